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

class ExtendedPrecisionScope {
public:
    ExtendedPrecisionScope() : saved_(ReadX87ControlWord()) {
        const uint16_t wanted =
            static_cast<uint16_t>((saved_ & ~(X87PrecisionMask | X87RoundingMask)) | X87Precision64);
        if (wanted != saved_) WriteX87ControlWord(wanted);
    }
    ~ExtendedPrecisionScope() {
        if (ReadX87ControlWord() != saved_) WriteX87ControlWord(saved_);
    }
    ExtendedPrecisionScope(const ExtendedPrecisionScope&) = delete;
    ExtendedPrecisionScope& operator=(const ExtendedPrecisionScope&) = delete;

private:
    uint16_t saved_;
};

}  // namespace lumora
