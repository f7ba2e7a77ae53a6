// What the processor and the system offer the engine and the picture's stretch: asked of cpuid
// and xgetbv at each call (a few hundred cycles; callers ask once, when they are made), never
// kept in the program. Nothing but these flags depends on the processor.
#pragma once

namespace lumora {

struct ProcessorFeatures {
    bool avx2 = false;    // AVX2 and FMA, with the AVX registers saved by the system
    bool avx512 = false;  // also AVX-512 F, DQ and VL, with their registers saved
};

ProcessorFeatures DetectProcessorFeatures();

}  // namespace lumora
