#include "bgl/BglRecord.h"

#include <algorithm>
#include <cstdio>

#include "bgl/BglLayout.h"

namespace scopewatch {

RecordHead ReadRecordHead(const ByteReader& file, int64_t position) {
    RecordHead head;
    head.id = file.Int32At(position + bgl::kRecordIdOffset);
    head.len = file.Int32At(position + bgl::kRecordLengthOffset);
    if (head.len < 0) {
        file.Refuse(position, "negative record length " + std::to_string(head.len) + " at offset " +
                                  std::to_string(position));
    }
    return head;
}

std::string ReadTextOfLength(const ByteReader& file, int64_t position, int64_t length) {
    if (length < 1) {
        return {};
    }
    std::string text = file.TextAt(position, static_cast<uint64_t>(length));
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

std::string BglProblem::Describe() const {
    char idText[16];
    std::snprintf(idText, sizeof idText, "0x%X", static_cast<uint32_t>(recordId));
    return std::string("record ") + idText + " at offset " + std::to_string(recordOffset) + ": " +
           what;
}

BglProblem RecordTrace::Problem(const MalformedBytes& fault, int64_t fileLength) const {
    const auto* overrun = dynamic_cast<const ReadPastEnd*>(&fault);
    if (overrun == nullptr) {
        return Problem(fault.expected());
    }
    // An offset from a negative position reads back as that position.
    const auto offset = static_cast<int64_t>(fault.offset());
    return Problem("read of " + std::to_string(overrun->count()) + " bytes at offset " +
                   std::to_string(offset) + " lies outside the file (" +
                   std::to_string(fileLength) + " bytes)");
}

}  // namespace scopewatch
