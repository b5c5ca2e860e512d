#include "bgl/FileBuffer.h"

#include "platform/AtomicFile.h"

namespace scopewatch {

BufferOverrun::BufferOverrun(int64_t position, int64_t count, int64_t length)
    : BglError("read of " + std::to_string(count) + " bytes at offset " + std::to_string(position) +
               " lies outside the file (" + std::to_string(length) + " bytes)"),
      position_(position) {}

FileBuffer::FileBuffer(std::vector<uint8_t> fileBytes) : bytes_(std::move(fileBytes)) {
    bytes_.push_back(0);
}

bool FileBuffer::LoadFile(const std::string& realPath) {
    Clear();
    std::optional<std::vector<uint8_t>> content = ReadWholeFile(realPath);
    if (!content) {
        return false;
    }
    content->push_back(0);
    bytes_ = std::move(*content);
    return true;
}

void FileBuffer::Clear() {
    bytes_.assign(1, 0);
}

bool FileBuffer::Contains(int64_t position, int64_t count) const {
    return position >= 0 && count >= 0 && position <= static_cast<int64_t>(bytes_.size()) &&
           count <= static_cast<int64_t>(bytes_.size()) - position;
}

void FileBuffer::Require(int64_t position, int64_t count) const {
    if (!Contains(position, count)) {
        throw BufferOverrun(position, count, FileLength());
    }
}

int32_t FileBuffer::ReadInt32(int64_t position) const {
    Require(position, 4);
    const auto* p = bytes_.data() + position;
    const uint32_t value = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                           (static_cast<uint32_t>(p[2]) << 16) |
                           (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(value);
}

int16_t FileBuffer::ReadInt16(int64_t position) const {
    Require(position, 2);
    const auto* p = bytes_.data() + position;
    return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
}

uint8_t FileBuffer::ReadByte(int64_t position) const {
    Require(position, 1);
    return bytes_[static_cast<size_t>(position)];
}

std::string FileBuffer::ReadText(int64_t position, int n) const {
    if (n < 1) {
        return {};
    }
    Require(position, n);
    std::string text;
    text.reserve(static_cast<size_t>(n));
    for (int64_t i = position; i < position + n; ++i) {
        if (bytes_[static_cast<size_t>(i)] != 0) {
            text.push_back(static_cast<char>(bytes_[static_cast<size_t>(i)]));
        }
    }
    return text;
}

}  // namespace scopewatch
