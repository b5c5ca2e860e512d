#include "SeedFolder.h"

#include <stdexcept>

#include "platform/AtomicFile.h"

namespace scopewatch::fuzzing {

SeedFolder::SeedFolder(const std::filesystem::path& root, const std::string& target)
    : folder_(root / target) {
    std::filesystem::create_directories(folder_);
}

void SeedFolder::Add(const std::string& name, const std::vector<uint8_t>& input) const {
    if (const Status written = WriteFileAtomically(folder_ / name, input); !written.ok()) {
        throw std::runtime_error(written.failure);
    }
}

void SeedFolder::Add(const std::string& name, const std::string& input) const {
    Add(name, std::vector<uint8_t>(input.begin(), input.end()));
}

std::vector<uint8_t> Prefixed(const std::vector<uint8_t>& prefix,
                              const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> joined = prefix;
    joined.insert(joined.end(), bytes.begin(), bytes.end());
    return joined;
}

std::vector<uint8_t> Word(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
            static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
}

}  // namespace scopewatch::fuzzing
