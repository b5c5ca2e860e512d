#pragma once

#include <cstdint>

namespace scopewatch::testing {

// What the test process holds: its resident set (from /proc/self/statm) and the bytes its
// heap has handed out and not taken back (malloc's own count, mallinfo2).
struct ProcessMemory {
    int64_t residentBytes = 0;
    int64_t heapInUseBytes = 0;
};

ProcessMemory ReadProcessMemory();

// Under the address sanitizer freed memory waits in a quarantine and the heap counts are the
// sanitizer's, so memory readings say nothing about growth: tests then only report them.
bool MemoryReadingsMeaningful();

}  // namespace scopewatch::testing
