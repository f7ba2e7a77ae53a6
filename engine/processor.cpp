#include "engine/processor.h"

#include <cstdint>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace lumora {

#if defined(__i386__) || defined(__x86_64__)
namespace {

uint64_t ReadXcr0() {
    uint32_t low, high;
    __asm__ __volatile__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<uint64_t>(high) << 32) | low;
}

}  // namespace

ProcessorFeatures DetectProcessorFeatures() {
    ProcessorFeatures f;
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    const bool osxsave = c & (1u << 27), avx = c & (1u << 28), fma = c & (1u << 12);
    if (!osxsave || !avx || !fma) return f;
    const uint64_t xcr0 = ReadXcr0();
    if ((xcr0 & 0x6) != 0x6) return f;  // the system saves the SSE and AVX registers
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return f;
    f.avx2 = b & (1u << 5);
    // AVX-512 F, DQ and VL, and the system saves the mask and upper ZMM registers.
    f.avx512 =
        f.avx2 && (b & (1u << 16)) && (b & (1u << 17)) && (b & (1u << 31)) && (xcr0 & 0xE0) == 0xE0;
    return f;
}
#else
ProcessorFeatures DetectProcessorFeatures() { return {}; }
#endif

}  // namespace lumora
