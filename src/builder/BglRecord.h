#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace scopewatch {

class FileBuffer;

// Thrown when a scenery file's records contradict themselves: a negative length, or a list
// whose items cannot fit in its record. Like a read outside the buffer, it stops the
// examination of the file at that record.
class MalformedRecord : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The id and length word of the record at a position; the record occupies len + 8 bytes.
struct RecordHead {
    int32_t id = 0;
    int32_t len = 0;

    int64_t Size() const { return static_cast<int64_t>(len) + 8; }
};

// Reads the id and length at the position. A negative length is malformed (the walk could
// never move past such a record).
RecordHead ReadRecordHead(const FileBuffer& buffer, int64_t position);

// A text of a length computed from the file's words: a length beyond the file is a read
// outside the buffer rather than an overflowing count.
std::string ReadTextOfLength(const FileBuffer& buffer, int64_t position, int64_t length);

// The record a walk through a scenery file is reading, kept up to date so that a file that
// stops the walk can be reported by offset and record id.
struct RecordTrace {
    int64_t offset = 0;
    int32_t id = 0;

    void At(int64_t recordOffset, int32_t recordId) {
        offset = recordOffset;
        id = recordId;
    }
    // "record 0x10002 at offset 1234"
    std::string Describe() const;
};

}  // namespace scopewatch
