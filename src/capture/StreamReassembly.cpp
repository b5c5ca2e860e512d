#include "capture/StreamReassembly.h"

#include <algorithm>

#include "capture/CaptureLayout.h"
#include "directplay/DirectPlayCodec.h"
#include "shared/ByteReader.h"

namespace scopewatch::capture {

namespace {
constexpr size_t kSizeWordBytes = sizeof(uint32_t);
}  // namespace

void StreamReassembly::Add(const TcpSegment& segment, const Sink& sink) {
    ++segmentsAdded_;
    const Key key{segment.from, segment.to};
    const bool syn = (segment.flags & tcp::kSyn) != 0;
    if ((segment.flags & tcp::kReset) != 0) {
        // The connection is torn down: what it still held will never be whole.
        if (const auto found = streams_.find(key); found != streams_.end()) {
            Stream& stream = found->second;
            heldBytes_ -= Held(stream);
            counts_.resyncBytes += Held(stream);
            stream.pending.clear();
            stream.waiting.clear();
            stream.waitingBytes = 0;
            stream.ended = true;
        }
        return;
    }
    Stream& stream = StreamFor(key, segment);
    stream.lastHeard = segmentsAdded_;
    const size_t before = Held(stream);
    if (!segment.payload.empty() && !stream.ended) {
        // The payload of a SYN starts after the sequence number the SYN itself takes.
        const uint32_t first = segment.sequence + (syn ? 1 : 0);
        const int32_t ahead =
            static_cast<int32_t>(first - (stream.base + static_cast<uint32_t>(stream.next)));
        const int64_t position = static_cast<int64_t>(stream.next) + ahead;
        const int64_t end = position + static_cast<int64_t>(segment.payload.size());
        if (end > static_cast<int64_t>(stream.next)) {
            const size_t seen = position < 0 ? static_cast<size_t>(-position) : 0;
            Place(stream, static_cast<uint64_t>(position + static_cast<int64_t>(seen)),
                  segment.payload.subspan(seen));
        }
    }
    Cut(key, stream, sink);
    if ((segment.flags & tcp::kFin) != 0 && stream.waiting.empty()) {
        // Nothing more comes: a frame begun and not finished never will be.
        counts_.resyncBytes += stream.pending.size();
        stream.pending.clear();
        stream.ended = true;
    }
    heldBytes_ = heldBytes_ - before + Held(stream);
    KeepWithinBounds(key);
}

StreamReassembly::Stream& StreamReassembly::StreamFor(const Key& key, const TcpSegment& segment) {
    const bool syn = (segment.flags & tcp::kSyn) != 0;
    auto found = streams_.find(key);
    if (found == streams_.end()) {
        if (streams_.size() >= limits_.streams) {
            const auto oldest = std::min_element(
                streams_.begin(), streams_.end(), [](const auto& one, const auto& other) {
                    return one.second.lastHeard < other.second.lastHeard;
                });
            heldBytes_ -= Held(oldest->second);
            streams_.erase(oldest);
            ++counts_.streamsDropped;
        }
        Stream stream;
        stream.base = syn ? segment.sequence + 1 : segment.sequence;
        stream.inFrame = syn;
        return streams_.emplace(key, std::move(stream)).first->second;
    }
    Stream& stream = found->second;
    if (syn && stream.base != segment.sequence + 1) {
        // A new connection between the same addresses (a retransmitted SYN changes nothing).
        heldBytes_ -= Held(stream);
        stream = Stream{};
        stream.base = segment.sequence + 1;
        stream.inFrame = true;
    }
    return stream;
}

// Bytes from `position` on, none of them before the stream's next position.
void StreamReassembly::Place(Stream& stream, uint64_t position, std::span<const uint8_t> bytes) {
    if (position < stream.next) {
        bytes = bytes.subspan(static_cast<size_t>(stream.next - position));
        position = stream.next;
    }
    if (position == stream.next) {
        Append(stream, bytes);
        TakeWaiting(stream);
        return;
    }
    std::vector<uint8_t>& slot = stream.waiting[position];
    if (bytes.size() > slot.size()) {
        stream.waitingBytes += bytes.size() - slot.size();
        slot.assign(bytes.begin(), bytes.end());
    }
    if (stream.waitingBytes > limits_.waitingBytes ||
        stream.waiting.size() > limits_.waitingSegments) {
        GiveUpHole(stream);
    }
}

void StreamReassembly::Append(Stream& stream, std::span<const uint8_t> bytes) {
    stream.pending.insert(stream.pending.end(), bytes.begin(), bytes.end());
    stream.next += bytes.size();
}

// Waiting bytes the stream has reached join it, less what it holds already.
void StreamReassembly::TakeWaiting(Stream& stream) {
    while (!stream.waiting.empty() && stream.waiting.begin()->first <= stream.next) {
        const auto first = stream.waiting.begin();
        const uint64_t end = first->first + first->second.size();
        if (end > stream.next) {
            Append(stream, std::span<const uint8_t>(first->second)
                               .subspan(static_cast<size_t>(stream.next - first->first)));
        }
        stream.waitingBytes -= first->second.size();
        stream.waiting.erase(first);
    }
}

// The stream goes on after its first hole: a frame begun before it is lost, and the bytes
// after it are resynchronised.
void StreamReassembly::GiveUpHole(Stream& stream) {
    if (stream.waiting.empty()) {
        return;
    }
    ++counts_.gapsSkipped;
    counts_.resyncBytes += stream.pending.size();
    stream.pending.clear();
    stream.skip = 0;
    stream.inFrame = false;
    stream.next = stream.waiting.begin()->first;
    TakeWaiting(stream);
}

void StreamReassembly::Cut(const Key& key, Stream& stream, const Sink& sink) {
    const std::vector<uint8_t>& bytes = stream.pending;
    const ByteReader pending(bytes);
    size_t at = 0;
    for (;;) {
        if (stream.skip > 0) {
            const size_t passed = std::min(stream.skip, bytes.size() - at);
            at += passed;
            stream.skip -= passed;
            if (stream.skip > 0) {
                break;
            }
        }
        if (!stream.inFrame) {
            bool found = false;
            const size_t frame = FindFrame(stream, at, found);
            counts_.resyncBytes += frame - at;
            at = frame;
            if (!found) {
                break;
            }
            stream.inFrame = true;
        }
        if (!pending.Contains(at, kSizeWordBytes)) {
            break;
        }
        const uint32_t word = pending.UInt32At(at);
        const auto size = directplay::FrameSize(word);
        if (!size) {
            if (directplay::IsLargeFrame(word)) {
                ++counts_.oversizedFrames;
                stream.skip = directplay::SizeInWord(word);
            } else {
                stream.inFrame = false;  // no frame has that size word: look for the next
            }
            continue;
        }
        if (!pending.Contains(at, *size)) {
            break;
        }
        sink(key.first, key.second,
             std::vector<uint8_t>(bytes.begin() + static_cast<long>(at),
                                  bytes.begin() + static_cast<long>(at + *size)));
        at += *size;
    }
    stream.pending.erase(stream.pending.begin(), stream.pending.begin() + static_cast<long>(at));
}

size_t StreamReassembly::FindFrame(const Stream& stream, size_t from, bool& found) const {
    const std::vector<uint8_t>& bytes = stream.pending;
    const ByteReader pending(bytes);
    for (size_t at = from; pending.Contains(at, kSizeWordBytes); ++at) {
        const auto size = directplay::FrameSize(pending.UInt32At(at));
        if (!size) {
            continue;
        }
        if (!pending.Contains(at, *size)) {
            found = false;
            return at;  // it may be one: wait for its bytes
        }
        if (directplay::Decode(bytes.data() + at, *size).ok()) {
            found = true;
            return at;
        }
    }
    found = false;
    // The last bytes may still begin a size word.
    return std::max(from, bytes.size() < kSizeWordBytes ? 0 : bytes.size() - kSizeWordBytes + 1);
}

void StreamReassembly::KeepWithinBounds(const Key& current) {
    while (heldBytes_ > limits_.totalBytes && streams_.size() > 1) {
        auto oldest = streams_.end();
        for (auto it = streams_.begin(); it != streams_.end(); ++it) {
            if (it->first != current &&
                (oldest == streams_.end() || it->second.lastHeard < oldest->second.lastHeard)) {
                oldest = it;
            }
        }
        heldBytes_ -= Held(oldest->second);
        streams_.erase(oldest);
        ++counts_.streamsDropped;
    }
}

void StreamReassembly::Finish(const Sink& sink) {
    for (auto& [key, stream] : streams_) {
        const size_t before = Held(stream);
        while (!stream.waiting.empty()) {
            GiveUpHole(stream);
            Cut(key, stream, sink);
        }
        heldBytes_ = heldBytes_ - before + Held(stream);
    }
}

}  // namespace scopewatch::capture
