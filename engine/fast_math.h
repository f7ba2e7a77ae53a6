// Lumora fast math: sine, cosine and natural logarithm in long double for the terms of a frame
// or a field that no table can take over.
//
// Accuracy: an absolute error of a few units in the 64th bit for |x| up to FastTrigLimit (sin,
// cos), and of a few units in the last place (absolute 2^-64 below 1) for every positive normal x
// (log): the last bits of the library's functions, no more. Outside those ranges (NaN,
// infinities, zero, negatives, subnormals, large angles) they call the library, so any input
// gets the library's result.
//
// Method. sin/cos: x = k*pi/128 + r with |r| <= pi/256 (pi/128 split in two parts, so k*C1 is
// exact), then sin x = S_k + (S_k (cos r - 1) + C_k sin r) from a table of S_k = sin(k*pi/128),
// C_k = cos(k*pi/128) and short Taylor polynomials of r. log: x = 2^e * m, m = 1 + f*2^-63 in
// [1, 2); m = c_j (1 + t) with c_j = 1/I_j the nearest of 513 centres 1 + j/512, so
// t = (I_j - 1) + f*(I_j*2^-63) with |t| <= 1/1024; log x = e ln2 - log I_j + log1p(t). The
// table values are the true ones rounded once (fast_math_tables.py), the same in every build,
// and the whole table is a constant made by the compiler: nothing to set up before a first call.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace lumora {

constexpr long double FastTrigLimit = 256.0L;

constexpr int FastTrigSteps = 256;  // table entries per turn
constexpr int FastLogCentres = 512;

struct FastMathTables {
    long double SinK[FastTrigSteps], CosK[FastTrigSteps];  // sin, cos of k*pi/128
    long double Inverse[FastLogCentres + 1];               // I_j = 1 / c_j
    long double PowerOfTwo[2047];                          // 2^(k - 1023), exact
    long double MinusLogInverse[FastLogCentres + 1];       // -log(I_j)
};

// Made at compile time (fast_math.cpp): constant-initialized, read-only, the same in every build.
extern const FastMathTables g_fastMath;

namespace fastmath_detail {

// pi/128 = PiStepHi + PiStepLo: the high part keeps 50 bits, so k*PiStepHi is exact for
// |k| < 2^14 (|x| up to 400).
constexpr long double PiStepHi = 0.0245436926061702587187340895980014465749263763427734375L;
constexpr long double PiStepLo = 9.567553118338696697078640095898445767263667546274048e-19L;
constexpr long double StepsPerRadian = 40.74366543152520595683424342336367668082166930955685L;

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

// A polynomial coefficient rounded to double. The coefficients of the higher terms multiply powers
// of a small argument, so that rounding stays far below 2^-64 of the result, and the x87 loads a
// double constant as one operation where an extended one takes four.
constexpr long double Short(long double c) { return static_cast<double>(c); }

struct Reduced {
    long double r, r2;
    int k;
};

inline Reduced Reduce(long double x) {
    const int k = NearestInt(x * StepsPerRadian);
    const long double kk = static_cast<long double>(k);
    const long double r = (x - kk * PiStepHi) - kk * PiStepLo;
    return {r, r * r, k & (FastTrigSteps - 1)};
}

// sin r with |r| <= pi/256: r - r^3/3! + r^5/5! - r^7/7!; the next term is below 2^-75.
inline long double SinPoly(long double r, long double r2) {
    return r + r * r2 * (Short(-1.0L / 6) + r2 * (Short(1.0L / 120) + r2 * Short(-1.0L / 5040)));
}

// cos r - 1 = -r^2/2! + ... + r^8/8!
inline long double CosMinusOnePoly(long double r2) {
    return r2 *
           (-0.5L + r2 * (Short(1.0L / 24) + r2 * (Short(-1.0L / 720) + r2 * Short(1.0L / 40320))));
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
    const Reduced d = Reduce(x);
    const long double sr = SinPoly(d.r, d.r2), cm = CosMinusOnePoly(d.r2);
    const long double S = g_fastMath.SinK[d.k], C = g_fastMath.CosK[d.k];
    s = S + (S * cm + C * sr);
    c = C + (C * cm - S * sr);
}

inline long double FastSin(long double x) {
    using namespace fastmath_detail;
    if (!(std::fabs(x) <= FastTrigLimit)) return std::sin(x);
    const Reduced d = Reduce(x);
    const long double S = g_fastMath.SinK[d.k], C = g_fastMath.CosK[d.k];
    return S + (S * CosMinusOnePoly(d.r2) + C * SinPoly(d.r, d.r2));
}

inline long double FastCos(long double x) {
    using namespace fastmath_detail;
    if (!(std::fabs(x) <= FastTrigLimit)) return std::cos(x);
    const Reduced d = Reduce(x);
    const long double S = g_fastMath.SinK[d.k], C = g_fastMath.CosK[d.k];
    return C + (C * CosMinusOnePoly(d.r2) - S * SinPoly(d.r, d.r2));
}

namespace fastmath_detail {

// x = 2^e * c_j * (1 + t) for a positive normal x; false for anything else.
struct LogParts {
    int e, j;
    long double t;
};

inline bool SplitForLog(long double x, LogParts& parts) {
    // The exponent and the centre come from x rounded to double, whose bits reload cheaply (an
    // 80-bit store is slow to reload in pieces); t comes from x itself, m = x * 2^-e exactly, so
    // the rounding only moves the choice of centre by one at most: t stays small and exact.
    const double rounded = static_cast<double>(x);
    uint64_t bits;
    std::memcpy(&bits, &rounded, sizeof bits);
    const int biased = static_cast<int>(bits >> 52);   // the sign bit makes negatives large
    if (biased <= 0 || biased >= 0x7FF) return false;  // zero, subnormal, negative, inf, NaN
    parts.e = biased - 1023;
    // The nearest of the centres 1 + j/512 by the top fraction bits of the double.
    parts.j = static_cast<int>(((bits >> 42) & 0x3FF) + 1) >> 1;
    const long double m = x * g_fastMath.PowerOfTwo[1023 - parts.e];  // exact, in [0.99.., 2)
    parts.t = m * g_fastMath.Inverse[parts.j] - 1.0L;  // one rounding; the subtraction is exact
    return true;
}

// log1p(t) - t = -t^2/2 + ... - t^6/6 for |t| <= 1/1024; the next term is below 2^-72.
inline long double Log1pTail(long double t) {
    return t * t *
           (-0.5L +
            t * (Short(1.0L / 3) + t * (-0.25L + t * (Short(0.2L) + t * Short(-1.0L / 6)))));
}

// ln 2 = Ln2Hi + Ln2Lo; the high part keeps 32 bits, so e*Ln2Hi is exact.
constexpr long double Ln2Hi = 0.69314718036912381649017333984375L;
constexpr long double Ln2Lo = 1.908214929270587816144265680755001343602552541e-10L;

}  // namespace fastmath_detail

inline long double FastLog(long double x) {
    using namespace fastmath_detail;
    LogParts d{};
    if (!SplitForLog(x, d)) return std::log(x);
    const long double ee = static_cast<long double>(d.e);
    return (ee * Ln2Hi + g_fastMath.MinusLogInverse[d.j]) + (d.t + (ee * Ln2Lo + Log1pTail(d.t)));
}

// sin(c * ln x) for one fixed scale c, without forming the logarithm: with x = 2^e c_j (1 + t),
// c ln x = A + d where A = c (e ln2 - log I_j) comes from a table of sin A and cos A over the
// exponents MinExponent..MaxExponent and the centres, and d = c log1p(t) is below |c|/1024. Within
// a few units of the 64th bit of sin(c * FastLog(x)); x outside that range takes that path.
// For |c| <= 1/4 (the short series of d assume it); about 1 MB of tables, so make one and keep it.
class ScaledLogSine {
public:
    static constexpr int MinExponent = -16, MaxExponent = 40;

    explicit ScaledLogSine(long double scale);

    long double operator()(long double x) const {
        using namespace fastmath_detail;
        LogParts d{};
        if (!SplitForLog(x, d) || d.e < MinExponent || d.e > MaxExponent)
            return FastSin(FastLog(x) * scale_);
        const int index = (d.e - MinExponent) * (FastLogCentres + 1) + d.j;
        const long double S = table_[index].sin, C = table_[index].cos;
        // log1p(t) to t^5: the t^6/6 left out is below 2^-62 and scaled by |c| <= 1/4.
        const long double t = d.t;
        const long double delta =
            scale_ * (t + t * t * (-0.5L + t * (Short(1.0L / 3) + t * (-0.25L + t * Short(0.2L)))));
        const long double delta2 = delta * delta;
        // |delta| < 2^-12: sin to delta^3, cos - 1 to delta^4, the rest below 2^-70.
        const long double sinDelta = delta + delta * delta2 * Short(-1.0L / 6);
        const long double cosDeltaMinusOne = delta2 * (-0.5L + delta2 * Short(1.0L / 24));
        return S + (S * cosDeltaMinusOne + C * sinDelta);
    }

private:
    static constexpr int Entries = (MaxExponent - MinExponent + 1) * (FastLogCentres + 1);
    struct SinCos {
        long double sin, cos;  // side by side: one cache line serves both
    };
    long double scale_;
    SinCos table_[Entries];
};

}  // namespace lumora
