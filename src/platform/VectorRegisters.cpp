#include "platform/VectorRegisters.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace scopewatch {
namespace {

#if defined(__x86_64__) || defined(__i386__)
// Compiled for AVX, called only where the processor has it.
__attribute__((target("avx"))) void ZeroUpperHalves() {
    _mm256_zeroupper();
}
#endif

}  // namespace

void ClearUpperVectorRegisters() {
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx")) {
        ZeroUpperHalves();
    }
#endif
}

}  // namespace scopewatch
