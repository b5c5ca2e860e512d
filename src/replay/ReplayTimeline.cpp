#include "replay/ReplayTimeline.h"

#include <algorithm>

#include "multiplayer/GameMessages.h"
#include "shared/ByteReader.h"

namespace scopewatch::replay {

namespace {

constexpr size_t kKindSize = 4;
constexpr size_t kHeadSize = 8;  // kind and length

}  // namespace

size_t ReplayTimeline::Add(int64_t micros, uint32_t sender, std::span<const uint8_t> bytes) {
    TimelineEntry entry;
    entry.micros = entries_.empty() ? micros : std::max(micros, entries_.back().micros);
    entry.offset = store_.size();
    entry.length = static_cast<uint32_t>(bytes.size());
    entry.sender = sender;
    store_.insert(store_.end(), bytes.begin(), bytes.end());
    const size_t index = entries_.size();
    entries_.push_back(entry);
    const int32_t kind = KindOf(index);
    const auto player = players_.find(sender);
    if (kind == kinds::kChat) {
        chat_.push_back(index);
    } else if (player == players_.end()) {
        return index;
    } else if (kind == kinds::kAircraftInfo) {
        player->second.aircraftInfo.push_back(index);
    } else if (kind == kinds::kPlayerPresent && bytes.size() >= kHeadSize + 4 &&
               ByteReader(bytes.data(), bytes.size()).UInt32At(kHeadSize) == sender) {
        player->second.announcements.push_back(index);
    }
    return index;
}

TimelinePlayer& ReplayTimeline::Player(uint32_t id, int64_t micros, const std::string& name) {
    auto [found, added] = players_.try_emplace(id);
    if (added) {
        found->second.id = id;
        found->second.since = micros;
        found->second.names.emplace_back(micros, name);
        arrival_.push_back(id);
    }
    return found->second;
}

void ReplayTimeline::Rename(uint32_t id, int64_t micros, const std::string& name) {
    const auto found = players_.find(id);
    if (found != players_.end() && found->second.names.back().second != name) {
        found->second.names.emplace_back(micros, name);
    }
}

void ReplayTimeline::Gone(uint32_t id, int64_t micros) {
    const auto found = players_.find(id);
    if (found != players_.end() && found->second.until == kNever) {
        found->second.until = micros;
    }
}

void ReplayTimeline::Finish() {
    entries_.shrink_to_fit();
    store_.shrink_to_fit();
    chat_.shrink_to_fit();
}

std::span<const uint8_t> ReplayTimeline::Bytes(size_t index) const {
    const TimelineEntry& entry = entries_[index];
    return std::span<const uint8_t>(store_).subspan(entry.offset, entry.length);
}

int32_t ReplayTimeline::KindOf(size_t index) const {
    const std::span<const uint8_t> bytes = Bytes(index);
    return bytes.size() < kKindSize ? 0 : ByteReader(bytes.data(), bytes.size()).Int32At(0);
}

size_t ReplayTimeline::FirstAfter(int64_t micros) const {
    const auto after = std::upper_bound(
        entries_.begin(), entries_.end(), micros,
        [](int64_t time, const TimelineEntry& entry) { return time < entry.micros; });
    return static_cast<size_t>(after - entries_.begin());
}

const TimelinePlayer* ReplayTimeline::FindPlayer(uint32_t id) const {
    const auto found = players_.find(id);
    return found == players_.end() ? nullptr : &found->second;
}

std::optional<std::string> ReplayTimeline::NameAt(uint32_t id, int64_t micros) const {
    const TimelinePlayer* player = FindPlayer(id);
    if (player == nullptr) {
        return std::nullopt;
    }
    std::string name = player->names.front().second;
    for (const auto& [since, held] : player->names) {
        if (since <= micros) {
            name = held;
        }
    }
    return name;
}

std::vector<const TimelinePlayer*> ReplayTimeline::PresentAt(int64_t micros) const {
    std::vector<const TimelinePlayer*> present;
    for (const uint32_t id : arrival_) {
        const TimelinePlayer& player = players_.at(id);
        if (player.since <= micros && micros < player.until) {
            present.push_back(&player);
        }
    }
    return present;
}

std::optional<size_t> ReplayTimeline::SaidAt(const TimelinePlayer& player, int32_t kind,
                                             int64_t micros) const {
    const std::vector<size_t>& said =
        kind == kinds::kAircraftInfo ? player.aircraftInfo : player.announcements;
    if (said.empty()) {
        return std::nullopt;
    }
    const auto after = std::upper_bound(
        said.begin(), said.end(), micros,
        [this](int64_t time, size_t index) { return time < entries_[index].micros; });
    return after == said.begin() ? said.front() : *(after - 1);
}

size_t ReplayTimeline::MemoryBytes() const {
    size_t bytes = entries_.capacity() * sizeof(TimelineEntry) + store_.capacity() +
                   chat_.capacity() * sizeof(size_t) + arrival_.capacity() * sizeof(uint32_t);
    for (const auto& [id, player] : players_) {
        bytes +=
            sizeof(player) +
            (player.aircraftInfo.capacity() + player.announcements.capacity()) * sizeof(size_t);
        for (const auto& [since, name] : player.names) {
            bytes += sizeof(since) + name.capacity() + sizeof(name);
        }
    }
    return bytes;
}

}  // namespace scopewatch::replay
