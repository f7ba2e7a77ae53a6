// Lumora fast math: sine, cosine and natural logarithm in long double for the per-point terms
// of a frame that no table can take over.
//
// Accuracy: an absolute error of a few units in the 64th bit for |x| up to FastTrigLimit (sin,
// cos), and a few units in the last place for every positive normal x (log): the last bits of
// the library's functions, no more. Outside those ranges (and for NaN, infinities, zero,
// negatives and subnormals) they call the library, so any input gets the library's result.
//
// Method. sin/cos: x = k*pi/32 + r with |r| <= pi/64 (pi/32 split in two parts, so k*C1 is
// exact), then sin x = S_k cos r + C_k sin r from a table of S_k = sin(k*pi/32), C_k = cos(k*pi/32)
// and short Taylor polynomials of r. log: x = 2^e * m, m in [1, 2); m = c_j * (1 + t) with
// c_j = 1/I_j from a 128-entry table, t = m*I_j - 1 (|t| < 1/256), log x = e*ln2 - log I_j +
// log1p(t). The tables are filled from the library once, by InitFastMath (idempotent, call it
// before any thread uses the functions).
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace lumora {

constexpr long double FastTrigLimit = 256.0L;

struct FastMathTables {
    long double SinK[64], CosK[64];                // sin, cos of k*pi/32 for k mod 64
    long double LogInverse[129], MinusLogInv[129];  // I_j and -log(I_j)
};

extern FastMathTables g_fastMath;
void InitFastMath();

namespace fastmath_detail {

// pi/32 = PiOver32Hi53 + PiOver32Lo: the high part keeps 53 bits, so k*PiOver32Hi53 is exact
// for |k| < 2^11.
constexpr long double PiOver32Hi53 = 0.09817477042468103487493635839200578629970550537109375L;
constexpr long double PiOver32Lo = 3.8270212473354786788314560383593783069054670184375E-18L;
constexpr long double ThirtyTwoOverPi = 10.18591635788130148920856085584091917020541732739L;

inline long double SinPoly(long double r, long double r2) {
    // r - r^3/3! + ... - r^11/11!; |r| <= pi/64 leaves the next term below 2^-70.
    return r + r * r2 *
                   (-1.0L / 6 +
                    r2 * (1.0L / 120 +
                          r2 * (-1.0L / 5040 + r2 * (1.0L / 362880 + r2 * (-1.0L / 39916800)))));
}

inline long double CosPoly(long double r2) {
    // 1 - r^2/2! + ... + r^12/12!
    return 1.0L +
           r2 * (-0.5L +
                 r2 * (1.0L / 24 +
                       r2 * (-1.0L / 720 +
                             r2 * (1.0L / 40320 +
                                   r2 * (-1.0L / 3628800 + r2 * (1.0L / 479001600))))));
}

// The nearest integer of x, for |x| < 2^31, with the x87's rounding (to nearest).
inline int NearestInt(long double x) {
#if defined(__i386__) || defined(__x86_64__)
    int k;
    asm("fistpl %0" : "=m"(k) : "t"(x) : "st");
    return k;
#else
    return static_cast<int>(std::lrint(x));
#endif
}

}  // namespace fastmath_detail

// sin(x) and cos(x) of one argument, from one reduction.
inline void FastSinCos(long double x, long double& s, long double& c) {
    using namespace fastmath_detail;
    if (!(std::fabs(x) <= FastTrigLimit)) {
        s = std::sin(x);
        c = std::cos(x);
        return;
    }
    const int k = NearestInt(x * ThirtyTwoOverPi);
    const long double kk = static_cast<long double>(k);
    const long double r = (x - kk * PiOver32Hi53) - kk * PiOver32Lo;
    const long double r2 = r * r;
    const long double sr = SinPoly(r, r2), cr = CosPoly(r2);
    const int i = k & 63;
    s = g_fastMath.SinK[i] * cr + g_fastMath.CosK[i] * sr;
    c = g_fastMath.CosK[i] * cr - g_fastMath.SinK[i] * sr;
}

inline long double FastSin(long double x) {
    using namespace fastmath_detail;
    if (!(std::fabs(x) <= FastTrigLimit)) return std::sin(x);
    const int k = NearestInt(x * ThirtyTwoOverPi);
    const long double kk = static_cast<long double>(k);
    const long double r = (x - kk * PiOver32Hi53) - kk * PiOver32Lo;
    const long double r2 = r * r;
    const int i = k & 63;
    return g_fastMath.SinK[i] * CosPoly(r2) + g_fastMath.CosK[i] * SinPoly(r, r2);
}

inline long double FastLog(long double x) {
    // The 80-bit format: 64-bit significand with its integer bit, then sign and 15-bit exponent.
    unsigned char bytes[sizeof(long double)];
    std::memcpy(bytes, &x, sizeof bytes);
    uint64_t mantissa;
    uint16_t signExponent;
    std::memcpy(&mantissa, bytes, 8);
    std::memcpy(&signExponent, bytes + 8, 2);
    if (signExponent == 0 || signExponent >= 0x7FFF || !(mantissa >> 63)) return std::log(x);
    const int e = static_cast<int>(signExponent) - 16383;
    // m in [1, 2): the same significand with exponent 0.
    const uint16_t zeroExponent = 16383;
    std::memcpy(bytes + 8, &zeroExponent, 2);
    long double m;
    std::memcpy(&m, bytes, sizeof m);
    // Nearest of 129 centres 1 + j/128, so |t| <= 1/256.
    const int j = static_cast<int>(((mantissa << 1) >> 56) + 1) >> 1;
    const long double t = m * g_fastMath.LogInverse[j] - 1.0L;
    // log1p(t) = t - t^2/2 + ... - t^8/8, then below 2^-72.
    const long double p =
        t * t *
        (-0.5L +
         t * (1.0L / 3 + t * (-0.25L + t * (0.2L + t * (-1.0L / 6 + t * (1.0L / 7 + t * -0.125L))))));
    // ln 2 = Ln2Hi + Ln2Lo; the high part keeps 32 bits, so e*Ln2Hi is exact.
    constexpr long double Ln2Hi = 0.69314718036912381649017333984375L;
    constexpr long double Ln2Lo = 1.908214929270587816144265680755001343602552541e-10L;
    const long double ee = static_cast<long double>(e);
    return ((ee * Ln2Hi + g_fastMath.MinusLogInv[j]) + (t + (ee * Ln2Lo + p)));
}

}  // namespace lumora
