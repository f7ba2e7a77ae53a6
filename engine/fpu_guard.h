// The x87 control word, and a scope that gives the engine full extended precision.
//
// long double arithmetic runs on the x87 unit in every build (i686 and x86_64, Windows and
// Linux). Its precision-control field decides how many significand bits each result keeps; some
// Windows DLLs lower it to 53 or 24 bits, and the Win64 default is 53. The engine's results are
// defined for 64 bits and round-to-nearest, so its entry points hold this scope: it sets
// precision control to 64 bits and rounding control to nearest, leaves the exception masks alone,
// and puts the caller's control word back on exit. On other processors it does nothing.
#pragma once

#include <cstdint>

namespace lumora {

#if defined(__i386__) || defined(__x86_64__)
constexpr bool HasX87 = true;

inline uint16_t ReadX87ControlWord() {
    uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word) : : "memory");
    return word;
}

inline void WriteX87ControlWord(uint16_t word) {
    __asm__ __volatile__("fldcw %0" : : "m"(word) : "memory");
}
#else
constexpr bool HasX87 = false;
inline uint16_t ReadX87ControlWord() { return 0; }
inline void WriteX87ControlWord(uint16_t) {}
#endif

// Bits 8..9: precision control (11 = 64-bit significand). Bits 10..11: rounding (00 = nearest).
constexpr uint16_t X87PrecisionMask = 0x0300;
constexpr uint16_t X87Precision24 = 0x0000;
constexpr uint16_t X87Precision53 = 0x0200;
constexpr uint16_t X87Precision64 = 0x0300;
constexpr uint16_t X87RoundingMask = 0x0C00;

// Holds a control register at `wanted(saved)` for the scope, and puts the saved value back on exit.
template <class Word, Word (*Read)(), void (*Write)(Word), Word (*Wanted)(Word)>
class ControlScope {
public:
    ControlScope() : saved_(Read()) {
        const Word wanted = Wanted(saved_);
        if (wanted != saved_) Write(wanted);
    }
    ~ControlScope() {
        if (Read() != saved_) Write(saved_);
    }
    ControlScope(const ControlScope&) = delete;
    ControlScope& operator=(const ControlScope&) = delete;

private:
    Word saved_;
};

inline uint16_t ExtendedPrecisionWord(uint16_t word) {
    return static_cast<uint16_t>((word & ~(X87PrecisionMask | X87RoundingMask)) | X87Precision64);
}
using ExtendedPrecisionScope =
    ControlScope<uint16_t, ReadX87ControlWord, WriteX87ControlWord, ExtendedPrecisionWord>;

// The SSE/AVX unit's control and status register (MXCSR): bits 13..14 rounding (00 = nearest),
// bit 15 flush to zero, bit 6 denormals are zero. The vector frame needs round to nearest and
// neither flush, and holds this scope on every thread around its work: it sets those bits, leaves
// the exception masks and flags alone, and puts the caller's register back on exit. Only the
// vector path takes it (its processors have the register); elsewhere it does nothing.
#if defined(__i386__) || defined(__x86_64__)
inline uint32_t ReadMxcsr() {
    uint32_t word;
    __asm__ __volatile__("stmxcsr %0" : "=m"(word) : : "memory");
    return word;
}
inline void WriteMxcsr(uint32_t word) {
    __asm__ __volatile__("ldmxcsr %0" : : "m"(word) : "memory");
}
#else
inline uint32_t ReadMxcsr() { return 0; }
inline void WriteMxcsr(uint32_t) {}
#endif
constexpr uint32_t MxcsrRoundingMask = 0x6000;
constexpr uint32_t MxcsrFlushToZero = 0x8000;
constexpr uint32_t MxcsrDenormalsAreZero = 0x0040;

inline uint32_t NearestNoFlushWord(uint32_t word) {
    return word & ~(MxcsrRoundingMask | MxcsrFlushToZero | MxcsrDenormalsAreZero);
}
using VectorRoundingScope = ControlScope<uint32_t, ReadMxcsr, WriteMxcsr, NearestNoFlushWord>;

}  // namespace lumora
