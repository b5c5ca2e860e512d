#include "support/ProcessMemory.h"

#include <malloc.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>

#if defined(__SANITIZE_ADDRESS__)
#define SCOPEWATCH_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SCOPEWATCH_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef SCOPEWATCH_ADDRESS_SANITIZER
// The sanitizer's allocator keeps its own count; its malloc statistics are empty.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace scopewatch::testing {

ProcessMemory ReadProcessMemory() {
    ProcessMemory memory;
    std::ifstream statm("/proc/self/statm");
    int64_t totalPages = 0;
    int64_t residentPages = 0;
    if (statm >> totalPages >> residentPages) {
        memory.residentBytes = residentPages * sysconf(_SC_PAGESIZE);
    }
#ifdef SCOPEWATCH_ADDRESS_SANITIZER
    memory.heapInUseBytes = static_cast<int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    memory.heapInUseBytes = static_cast<int64_t>(info.uordblks + info.hblkhd);
#endif
    return memory;
}

bool ResidentSetMeaningful() {
#ifdef SCOPEWATCH_ADDRESS_SANITIZER
    return false;
#else
    return true;
#endif
}

}  // namespace scopewatch::testing
