#pragma once

#include <cstdint>
#include <string>

#include "shared/ByteReader.h"

namespace scopewatch {

// Where the examination of a scenery file stopped: the file, the record it was in (its offset
// and id) and what could not be read. What was decoded before that record is kept.
struct BglProblem {
    std::string file;
    int64_t recordOffset = 0;
    int32_t recordId = 0;
    std::string what;

    // "record 0x10002 at offset 1234: <what>"
    std::string Describe() const;
};

// The id and length word of the record at a position; the record occupies len + 8 bytes.
struct RecordHead {
    int32_t id = 0;
    int32_t len = 0;

    int64_t Size() const { return static_cast<int64_t>(len) + 8; }  // the head's 8 bytes
};

// Reads the id and length at the position. A negative length is malformed (the walk could
// never move past such a record): like a read outside the file, it throws MalformedBytes.
RecordHead ReadRecordHead(const ByteReader& file, int64_t position);

// A text of a length computed from the file's words, its zero bytes left out; a length below
// 1 gives the empty text, one beyond the file a read outside it.
std::string ReadTextOfLength(const ByteReader& file, int64_t position, int64_t length);

// The record a walk through a scenery file is reading, kept up to date so that a file that
// stops the walk can be reported by offset and record id.
struct RecordTrace {
    int64_t offset = 0;
    int32_t id = 0;

    void At(int64_t recordOffset, int32_t recordId) {
        offset = recordOffset;
        id = recordId;
    }
    // The problem of a walk that stopped here.
    BglProblem Problem(const std::string& what) const { return {{}, offset, id, what}; }
    // The problem of a walk that stopped here on malformed bytes: a read outside the file
    // (of fileLength bytes) says how many bytes it wanted at which offset, a contradiction
    // what contradicts.
    BglProblem Problem(const MalformedBytes& fault, int64_t fileLength) const;
};

}  // namespace scopewatch
