#include "bgl/BglRecord.h"

#include <cstdio>

#include "bgl/BglLayout.h"
#include "bgl/FileBuffer.h"

namespace scopewatch {

RecordHead ReadRecordHead(const FileBuffer& buffer, int64_t position) {
    RecordHead head;
    head.id = buffer.ReadInt32(position + bgl::kRecordIdOffset);
    head.len = buffer.ReadInt32(position + bgl::kRecordLengthOffset);
    if (head.len < 0) {
        throw MalformedRecord("negative record length " + std::to_string(head.len) + " at offset " +
                              std::to_string(position));
    }
    return head;
}

std::string ReadTextOfLength(const FileBuffer& buffer, int64_t position, int64_t length) {
    if (length < 1) {
        return {};
    }
    if (length > buffer.FileLength() + 1) {
        throw BufferOverrun(position, length, buffer.FileLength());
    }
    return buffer.ReadText(position, static_cast<int>(length));
}

std::string BglProblem::Describe() const {
    char idText[16];
    std::snprintf(idText, sizeof idText, "0x%X", static_cast<uint32_t>(recordId));
    return std::string("record ") + idText + " at offset " + std::to_string(recordOffset) + ": " +
           what;
}

}  // namespace scopewatch
