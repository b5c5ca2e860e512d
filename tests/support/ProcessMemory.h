#pragma once

#include <cstdint>

namespace scopewatch::testing {

// What the test process holds: its resident set (from /proc/self/statm) and the bytes its
// heap has handed out and not taken back (malloc's own count, or the address sanitizer's).
struct ProcessMemory {
    int64_t residentBytes = 0;
    int64_t heapInUseBytes = 0;
};

ProcessMemory ReadProcessMemory();

// Under the address sanitizer freed memory waits in a quarantine that the resident set
// includes, so the resident set says nothing about growth there: tests then only report it.
// The heap count means the same in every build.
bool ResidentSetMeaningful();

}  // namespace scopewatch::testing
