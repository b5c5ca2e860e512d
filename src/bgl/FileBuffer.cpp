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
    // The buffer's memory serves file after file.
    if (!ReadWholeFileInto(realPath, bytes_)) {
        Clear();
        return false;
    }
    bytes_.push_back(0);
    return true;
}

void FileBuffer::Clear() {
    bytes_.assign(1, 0);
}

void FileBuffer::ThrowOverrun(int64_t position, int64_t count) const {
    throw BufferOverrun(position, count, FileLength());
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
