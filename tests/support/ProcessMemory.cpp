#include "support/ProcessMemory.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>

namespace scopewatch::testing {

ProcessMemory ReadProcessMemory() {
    ProcessMemory memory;
    std::ifstream statm("/proc/self/statm");
    int64_t totalPages = 0;
    int64_t residentPages = 0;
    if (statm >> totalPages >> residentPages) {
        memory.residentBytes = residentPages * sysconf(_SC_PAGESIZE);
    }
    const struct mallinfo2 info = mallinfo2();
    memory.heapInUseBytes = static_cast<int64_t>(info.uordblks + info.hblkhd);
    return memory;
}

bool MemoryReadingsMeaningful() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#endif
#endif
    return true;
}

}  // namespace scopewatch::testing
