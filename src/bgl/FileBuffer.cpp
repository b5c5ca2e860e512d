#include "bgl/FileBuffer.h"

#include "platform/AtomicFile.h"

namespace scopewatch {

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

}  // namespace scopewatch
