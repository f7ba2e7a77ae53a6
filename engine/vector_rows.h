// The vector frame's points: every value in double, several points at once, each value V with a
// bound E on |V - V80|, V80 being the value the straightforward 80-bit evaluation computes for
// that point; then the pixel, wherever no value within the bounds could give another one.
//
// Included once by each of vector_avx2.cpp (4 lanes) and vector_avx512.cpp (8 lanes), which set
// LUMORA_VECTOR_LANES and LUMORA_VECTOR_ENTRY. Everything here is in an unnamed namespace, so
// each translation unit has its own copy, built with its own instructions.
//
// Rounding: round to nearest, no flush to zero (the caller sets the MXCSR so). u = 2^-53 is a
// double's unit roundoff, 2^-64 an 80-bit one; U = 2^-53 + 2^-64 covers one rounding on each side.
//
// How each bound is made:
//   - Inputs. Table values are the 80-bit values rounded to double once; the table holds the
//     exact distance (vector_frame.cpp), plus TableAbs where the 80-bit value came from the
//     engine's own sine (fast_math.h; the straightforward code calls the C library's).
//   - Running bounds (struct Bounded). Each operation takes the bounds a, b of its operands to the
//     bound of its result: a product x*y gets |x|b + |y|a + ab, a sum a + b, plus U times the
//     result for the two roundings; sqrt gets min(a / sqrt x, sqrt a) (the square root of an
//     interval near 0 is as wide as the square root of its width); log gets a / (x - a) (infinite
//     where x - a <= 0), and a kernel's and the library's own errors are added where one is
//     called. The bound's own arithmetic rounds too: the colouring raises every bound by 2^-30
//     of itself, far above those roundings (a few times 2^-53 per operation) and the dropped
//     products of two roundings.
//   - Sines of sums. sin(X + Y) = sin X cos Y + cos X sin Y from tables of a column part X and a
//     row part Y: sinSumBound (vector_frame.cpp) adds the four tables' roundings and kernel
//     errors, the two roundings here, the 80-bit roundings by which X + Y differs from the
//     straightforward argument, and the library's error at that argument.
//   - Turned planes: rotationBound * (|x| + |y| + |z|), the roundings of the planes and the
//     matrix to double and of the three products and sums on either side (vector_frame.cpp).
// A bound above 2^-20 is not trusted (the dropped second-order terms would matter): that point
// falls back. So does any point with a NaN or infinite value or bound.
//
// Colouring (ColourPoints): the fold's jumps (0 -> 0.001 at even integers, beyond |x| = 10)
// become intervals; scheme 3's lift is undecided where 0.5 lies within the bound; each channel
// byte is decided only where c * 255 lies farther than 255 * bound + 2^-44 from k + 0.5 (2^-44
// covers the rounding of c * 255 on either side). Undecided points are recomputed by the
// straightforward evaluation (Job::fallback).
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "engine/field_patterns.h"
#include "engine/pattern_terms.h"
#include "engine/vector_job.h"

#ifndef LUMORA_VECTOR_LANES
#error "set LUMORA_VECTOR_LANES to 4 or 8"
#endif

namespace lumora::vector {
namespace {

constexpr int N = LUMORA_VECTOR_LANES;
typedef double vd __attribute__((vector_size(8 * N)));
typedef long long vl __attribute__((vector_size(8 * N)));  // lane masks (-1 / 0) and raw bits
typedef int vi __attribute__((vector_size(4 * N)));

constexpr double U = 0x1p-53 + 0x1p-64;
constexpr double Inf = __builtin_inf();

// ---- Lanes -----------------------------------------------------------------------------------

// A broadcast (vd{} + x would add 0 in scalar first, which the 32-bit build did on the x87).
LUMORA_ALWAYS_INLINE vd Splat(double x) {
#if LUMORA_VECTOR_LANES == 8
    return (vd)_mm512_set1_pd(x);
#else
    return (vd)_mm256_set1_pd(x);
#endif
}
LUMORA_ALWAYS_INLINE vl SplatL(long long x) { return vl{} + x; }
// Unaligned loads and stores of the lanes' own types (a memcpy's store may alias anything: the
// job's tables would be read again after every pixel written).
typedef double vdUnaligned __attribute__((vector_size(8 * N), aligned(8)));
typedef int viUnaligned __attribute__((vector_size(4 * N), aligned(4)));
LUMORA_ALWAYS_INLINE vd Load(const double* p) { return *reinterpret_cast<const vdUnaligned*>(p); }
LUMORA_ALWAYS_INLINE void Store(double* p, vd v) { *reinterpret_cast<vdUnaligned*>(p) = v; }
LUMORA_ALWAYS_INLINE vd Abs(vd x) { return (vd)((vl)x & SplatL(0x7fffffffffffffffLL)); }
LUMORA_ALWAYS_INLINE vd Select(vl m, vd a, vd b) { return (vd)((m & (vl)a) | (~m & (vl)b)); }
LUMORA_ALWAYS_INLINE vd Max(vd a, vd b) { return Select(a > b, a, b); }
LUMORA_ALWAYS_INLINE vd Min(vd a, vd b) { return Select(a < b, a, b); }
// Nearest integer, ties to even, exact for |x| < 2^51 (round to nearest).
LUMORA_ALWAYS_INLINE vd Round(vd x) {
    const vd m = Splat(0x1.8p52);
    return (x + m) - m;
}
// One rounding: fused multiply-add, used where a bound counts it as one operation.
LUMORA_ALWAYS_INLINE vd Fma(vd a, vd b, vd c) {
#if LUMORA_VECTOR_LANES == 8
    return (vd)_mm512_fmadd_pd((__m512d)a, (__m512d)b, (__m512d)c);
#else
    return (vd)_mm256_fmadd_pd((__m256d)a, (__m256d)b, (__m256d)c);
#endif
}
LUMORA_ALWAYS_INLINE vd Sqrt(vd x) {  // correctly rounded
#if LUMORA_VECTOR_LANES == 8
    return (vd)_mm512_sqrt_pd((__m512d)x);
#else
    return (vd)_mm256_sqrt_pd((__m256d)x);
#endif
}
// Bit i set where lane i of the mask is set.
LUMORA_ALWAYS_INLINE int Lanes(vl m) {
#if LUMORA_VECTOR_LANES == 8
    return _mm512_movepi64_mask((__m512i)m);
#else
    return _mm256_movemask_pd((__m256d)m);
#endif
}
// An upper bound on 1/x for x in [2^-100, 2^100], +inf elsewhere: the single-precision reciprocal
// estimate (relative error at most 1.5 * 2^-12 by the architecture, after a conversion that
// rounds by 2^-24) raised by 2^-10.
LUMORA_ALWAYS_INLINE vd ReciprocalAbove(vd x) {
    const vl inRange = (x >= 0x1p-100) & (x <= 0x1p100);
#if LUMORA_VECTOR_LANES == 8
    const vd r = (vd)_mm512_cvtps_pd(_mm256_rcp_ps(_mm512_cvtpd_ps((__m512d)x)));
#else
    const vd r = (vd)_mm256_cvtps_pd(_mm_rcp_ps(_mm256_cvtpd_ps((__m256d)x)));
#endif
    return Select(inRange, r * (1.0 + 0x1p-10), Splat(Inf));
}

// ---- Kernels ---------------------------------------------------------------------------------
// Their errors against the C library's long double functions; the tests measure the maxima over
// dense samples (about 1.1 * 2^-53 for the sines, 0.8 units in the last place for the logarithm)
// and check these bounds, a few times larger.

// The sine for |x| <= SineLimit: k = nearest(x * 2/pi), r = ((x - k P1) - k P2) - k P3 with P1,
// P2 of 33 bits (k P1 and k P2 exact for |k| < 2^20), the minimax polynomials of sin and cos on
// |r| <= pi/4 (approximation error below 2^-58), the quadrant from k.
constexpr double SineLimit = 1024;
constexpr double SineError = 0x1p-50;  // absolute
// sin x for |x| <= SmallSineLimit without reduction: Taylor to x^21, the next term below 2^-58.
constexpr double SmallSineLimit = 1.7;
// log x for positive normal x: LogRelative * |log x| + LogAbsolute.
constexpr double LogRelative = 0x1p-50;
constexpr double LogAbsolute = 0x1p-60;

LUMORA_ALWAYS_INLINE vd SinPolynomial(vd r, vd z) {
    vd p = Fma(z, Splat(1.58969099521155010221e-10), Splat(-2.50507602534068634195e-08));
    p = Fma(z, p, Splat(2.75573137070700676789e-06));
    p = Fma(z, p, Splat(-1.98412698298579493134e-04));
    p = Fma(z, p, Splat(8.33333333332248946124e-03));
    p = Fma(z, p, Splat(-1.66666666666666324348e-01));
    return Fma(r * z, p, r);
}
LUMORA_ALWAYS_INLINE vd CosPolynomial(vd z) {
    vd p = Fma(z, Splat(-1.13596475577881948265e-11), Splat(2.08757232129817482790e-09));
    p = Fma(z, p, Splat(-2.75573143513906633035e-07));
    p = Fma(z, p, Splat(2.48015872894767294178e-05));
    p = Fma(z, p, Splat(-1.38888888888741095749e-03));
    p = Fma(z, p, Splat(4.16666666666666019037e-02));
    const vd hz = z * 0.5;
    const vd w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + z * z * p);
}
// sin(x + shift pi/2): the sine for shift 0, the cosine for 1 (the same reduction and polynomials,
// the quadrant one further on).
template <int Shift = 0>
LUMORA_ALWAYS_INLINE vd Sine(vd x) {
    constexpr double TwoOverPi = 6.36619772367581382433e-01;
    constexpr double P1 = 1.57079632673412561417e+00;  // the first 33 bits of pi/2
    constexpr double P2 = 6.07710050630396597660e-11;  // the next 33
    constexpr double P3 = 2.02226624871116645580e-21;  // the rest, rounded
    const vd m = Splat(0x1.8p52);
    const vd t = x * TwoOverPi + m;  // k may be one off near a half: |r| stays below pi/4 + 2^-40
    const vd k = t - m;
    const vl bits = (vl)t + Shift;
    const vd r = ((x - k * P1) - k * P2) - k * P3;
    const vd z = r * r;
    const vd v = Select((bits & 1) != 0, CosPolynomial(z), SinPolynomial(r, z));
    return (vd)((vl)v ^ ((bits & 2) << 62));  // quadrants 2 and 3: negated
}
LUMORA_ALWAYS_INLINE vd Cosine(vd x) { return Sine<1>(x); }
LUMORA_ALWAYS_INLINE vd SmallSine(vd x) {
    const vd z = x * x;
    vd p = Fma(z, Splat(1.9572941063391263e-20), Splat(-8.22063524662433e-18));
    p = Fma(z, p, Splat(2.8114572543455206e-15));
    p = Fma(z, p, Splat(-7.647163731819816e-13));
    p = Fma(z, p, Splat(1.6059043836821613e-10));
    p = Fma(z, p, Splat(-2.505210838544172e-08));
    p = Fma(z, p, Splat(2.7557319223985893e-06));
    p = Fma(z, p, Splat(-0.0001984126984126984));
    p = Fma(z, p, Splat(0.008333333333333333));
    p = Fma(z, p, Splat(-0.16666666666666666));
    return Fma(x * z, p, x);
}
// x = 2^e (1 + f), 1 + f in [sqrt(1/2), sqrt(2)), s = f / (2 + f), the minimax series in s^2.
LUMORA_ALWAYS_INLINE vd Log(vd x) {
    const vl bits = (vl)x;
    vl e = (bits >> 52) - 1023;
    vd m = (vd)((bits & SplatL(0x000fffffffffffffLL)) | SplatL(0x3ff0000000000000LL));  // [1, 2)
    const vl big = m > 1.41421356237309504880;
    m = Select(big, m * 0.5, m);
    e = e - big;  // big is -1 where set
    // e as a double: the bits of 1.5 * 2^52 + e, less 1.5 * 2^52
    const vd ed = (vd)((e + 0x0008000000000000LL) | 0x4330000000000000LL) - Splat(0x1.8p52);
    const vd f = m - 1.0;
    const vd s = f / (2.0 + f);
    const vd z = s * s;
    const vd w = z * z;
    const vd t1 =
        w * Fma(w, Fma(w, Splat(1.531383769920937332e-01), Splat(2.222219843214978396e-01)),
                Splat(3.999999999940941908e-01));
    const vd t2 =
        z * Fma(w,
                Fma(w, Fma(w, Splat(1.479819860511658591e-01), Splat(1.818357216161805012e-01)),
                    Splat(2.857142874366239149e-01)),
                Splat(6.666666666666735130e-01));
    const vd hfsq = 0.5 * f * f;
    return ed * 6.93147180369123816490e-01 -
           ((hfsq - (s * (hfsq + (t2 + t1)) + ed * 1.90821492927058770002e-10)) - f);
}

// ---- Values with bounds ----------------------------------------------------------------------

// The C library's long double functions against the true ones (the straightforward code's
// error): sinl within 2^-62 absolute for the arguments the patterns give (the frame falls back
// whole beyond), logl within 2^-60 relative.
constexpr double LibrarySinAbs = 0x1p-62;
constexpr double LibraryLogRel = 0x1p-60;
constexpr double LibraryLogAbs = 0x1p-62;

struct Bounded {
    vd v, e;
};
LUMORA_ALWAYS_INLINE Bounded Mul(Bounded a, Bounded b) {
    const vd v = a.v * b.v;
    return {v, Fma(Abs(a.v), b.e, Fma(Abs(b.v), a.e, Fma(a.e, b.e, U * Abs(v))))};
}
LUMORA_ALWAYS_INLINE Bounded Square(Bounded a) {
    const vd v = a.v * a.v;
    return {v, Fma(2.0 * Abs(a.v), a.e, Fma(a.e, a.e, U * v))};
}
LUMORA_ALWAYS_INLINE Bounded Add(Bounded a, Bounded b) {
    const vd v = a.v + b.v;
    return {v, a.e + b.e + U * Abs(v)};
}
LUMORA_ALWAYS_INLINE Bounded Sub(Bounded a, Bounded b) {
    const vd v = a.v - b.v;
    return {v, a.e + b.e + U * Abs(v)};
}
// With a constant c whose 80-bit value is within ec of the double.
LUMORA_ALWAYS_INLINE Bounded AddC(Bounded a, double c, double ec) {
    const vd v = a.v + c;
    return {v, a.e + ec + U * Abs(v)};
}
LUMORA_ALWAYS_INLINE Bounded MulC(Bounded a, double c, double ec) {
    const vd v = a.v * c;
    return {v, Fma(Splat(__builtin_fabs(c)), a.e, Fma(Abs(a.v), Splat(ec), U * Abs(v)))};
}
LUMORA_ALWAYS_INLINE Bounded AbsB(Bounded a) { return {Abs(a.v), a.e}; }
LUMORA_ALWAYS_INLINE Bounded LogB(Bounded a) {
    const vd v = Log(a.v);
    const vd spread = a.e * ReciprocalAbove(a.v - a.e);  // +inf where x - a <= 0
    return {v, spread + (LogRelative + LibraryLogRel) * Abs(v) + (LogAbsolute + LibraryLogAbs)};
}
LUMORA_ALWAYS_INLINE Bounded SinB(Bounded a) {
    const vd e = a.e + (SineError + LibrarySinAbs);
    return {Sine(a.v), Select(Abs(a.v) <= SineLimit, e, Splat(Inf))};
}
LUMORA_ALWAYS_INLINE Bounded SmallSinB(Bounded a) {
    const vd e = a.e + (SineError + LibrarySinAbs);
    return {SmallSine(a.v), Select(Abs(a.v) <= SmallSineLimit, e, Splat(Inf))};
}
// The square root rounds once on each side. Its spread is at most a / sqrt x, taken with the
// reciprocal estimate (an upper bound, ReciprocalAbove: no division); only where that is large (x
// near 0, or below the estimate's range) is the square root of the operand's bound, the width of
// the square root of an interval near 0, computed and the smaller taken. The spread is raised by
// 2^-50 for the product's and the inner square root's own roundings.
LUMORA_ALWAYS_INLINE Bounded SqrtB(Bounded a) {
    const vd s = Sqrt(a.v);
    vd spread = a.e * ReciprocalAbove(s);
    if (__builtin_expect(Lanes(~(spread <= 0x1p-30)) != 0, 0)) spread = Min(spread, Sqrt(a.e));
    return {s, spread * (1.0 + 0x1p-50) + U * s};
}

// ---- Colouring -------------------------------------------------------------------------------

struct Folded {
    vd f, e;
};

// The fold into (0, 1]: f0 = the distance to the nearest even integer (exact). Where the 80-bit
// fold may meet its jump to 0.001 (f0 within the bound) the value becomes the interval
// [0, max(0.001, f0 + E)], as centre and radius; beyond 10 + E it is 0.001 exactly.
inline Folded Fold(vd x, vd E) {
    const vd a = Abs(x);
    const vd f0 = Abs(a - 2.0 * Round(a * 0.5));
    const vl beyond = a > 10.0 + E;
    const vl nearZero = (f0 <= E) & (E > 0.0);
    const vd hi = Max(Splat(0.001), f0 + E);
    vd f = Select(nearZero, hi * 0.5, f0);
    vd e = Select(nearZero, hi * 0.5, E);
    f = Select(beyond | (f == 0.0), Splat(0.001), f);  // f == 0 here only where E == 0
    e = Select(beyond, Splat(0.0), e);
    return {f, e};
}

// A channel's byte (ties to even); marks the lanes it cannot decide.
LUMORA_ALWAYS_INLINE vd Byte(vd c, vd ec, vl& undecided) {
    const vd t = c * 255.0;
    const vd b = Round(t);
    const vd margin = ec * 255.0 + 0x1p-44;
    undecided |= Abs(t - b) >= 0.5 - margin;
    return b;
}

// Scheme 3: v / (1.52 - v)^2 below 0.5. Its slope is at most 1.91 on [0, 0.5]; 5U covers the three
// roundings of each side and 1.52 rounded to double (the same double as 1.52L's).
LUMORA_ALWAYS_INLINE vd Lift(vd f, vd e, vl& undecided) {
    undecided |= (f - e <= 0.5) & (f + e >= 0.5);
    const vd gap = 1.52 - f;
    return Select(f < 0.5, f / (gap * gap), f);
}

// The pixels of N points; returns the lanes left undecided.
template <int Kind>
__attribute__((always_inline)) inline int ColourPoints(const Job& j, const vd V[3], const vd Ein[3],
                                                       vi& pixels) {
    vd E[3];
    for (int k = 0; k < 3; ++k) E[k] = Ein[k] * (1.0 + 0x1p-30);
    vl undecided = (V[0] != V[0]) | (V[1] != V[1]) | (V[2] != V[2]);
    undecided |= ~((E[0] <= 0x1p-20) & (E[1] <= 0x1p-20) & (E[2] <= 0x1p-20));  // NaN too
    // The common case first: no value of the N points within its bound of a jump of the fold (a
    // distance f0 > E from every even integer, and |x| + E < 10). Then the 80-bit fold is the
    // same triangle wave, within E (it is 1-Lipschitz), and f0 is the folded value.
    Folded a, b, c;
    const vd a0 = Abs(V[0]), a1 = Abs(V[1]), a2 = Abs(V[2]);
    const vd f0 = Abs(a0 - 2.0 * Round(a0 * 0.5)), f1 = Abs(a1 - 2.0 * Round(a1 * 0.5)),
             f2 = Abs(a2 - 2.0 * Round(a2 * 0.5));
    const vl plain = (f0 > E[0]) & (f1 > E[1]) & (f2 > E[2]) & (a0 + E[0] < 10.0) &
                     (a1 + E[1] < 10.0) & (a2 + E[2] < 10.0);
    if (__builtin_expect(Lanes(plain) == (1 << N) - 1, 1)) {
        a = {f0, E[0]}, b = {f1, E[1]}, c = {f2, E[2]};
    } else {
        a = Fold(V[0], E[0]), b = Fold(V[1], E[1]), c = Fold(V[2], E[2]);
    }
    vd R, G, B, eR, eG, eB;
    if constexpr (Kind == 0) {
        R = a.f, G = b.f, B = c.f, eR = a.e, eG = b.e, eB = c.e;
    } else if constexpr (Kind == 1 || Kind == 2) {
        // products of values in (0, 1]: |xy - x'y'| <= ex |y| + ey |x| + ex ey, and U
        auto product = [](const Folded& x, const Folded& y, vd& ep) {
            ep = Fma(x.e, y.f, Fma(y.e, x.f, x.e * y.e)) + U;
            return x.f * y.f;
        };
        if constexpr (Kind == 1) {
            R = product(a, c, eR), G = product(b, a, eG), B = product(c, b, eB);
        } else {
            R = product(a, b, eR), G = product(b, c, eG), B = c.f, eB = c.e;
        }
    } else if constexpr (Kind == 3) {
        R = Lift(a.f, a.e, undecided);
        G = Lift(b.f, b.e, undecided);
        B = Lift(c.f, c.e, undecided);
        eR = 1.91 * a.e + 5 * U, eG = 1.91 * b.e + 5 * U, eB = 1.91 * c.e + 5 * U;
    } else {
        // the largest value times k/255: the factor's rounding (u) and the product's on each side
        const vd m = Max(Max(a.f, b.f), c.f);
        const vd er = Max(Max(a.e, b.e), c.e) + 3 * U * m;
        R = m * j.hue[0], G = m * j.hue[1], B = m * j.hue[2];
        eR = er * j.hue[0], eG = er * j.hue[1], eB = er * j.hue[2];
    }
    const vd r8 = Byte(R, eR, undecided), g8 = Byte(G, eG, undecided), b8 = Byte(B, eB, undecided);
    // r * 65536 + g * 256 + b + 0x7F000000 is an exact integer in int's range; flipping the top
    // bit gives the opaque pixel.
    const vd packed = r8 * 65536.0 + g8 * 256.0 + b8 + 2130706432.0;
    pixels = __builtin_convertvector(packed, vi) ^ (int)0x80000000;
    return Lanes(undecided);
}

// ---- Points into pixels ----------------------------------------------------------------------

LUMORA_ALWAYS_INLINE int Min(int a, int b) { return a < b ? a : b; }

// The rare and the test-only work of N points, out of line: recording, the fallback.
__attribute__((noinline)) long long SlowLanes(const Job& j, int row, int col, const vd V[3],
                                              const vd E[3], int mask, uint32_t* px) {
    const int n = Min(N, j.width - col);
    if (j.record)
        for (int l = 0; l < n; ++l)
            for (int k = 0; k < 3; ++k) {
                double* r = j.record + (static_cast<long>(row) * j.width + col + l) * 6;
                r[k] = V[k][l], r[3 + k] = E[k][l];
            }
    long long fallbacks = 0;
    for (int l = 0; l < n; ++l)
        if (mask >> l & 1) {
            px[l] = j.fallback(j.fallbackContext, row, col + l);
            ++fallbacks;
        }
    return fallbacks;
}

template <int Kind>
__attribute__((always_inline)) inline long long Finish(const Job& j, int row, int col,
                                                       const vd Vin[3], const vd Ein[3]) {
    const bool test = j.record != nullptr || j.boundScale != 1.0;
    vd V[3] = {Vin[0], Vin[1], Vin[2]}, E[3] = {Ein[0], Ein[1], Ein[2]};
    if (__builtin_expect(test, 0))
        for (int k = 0; k < 3; ++k) E[k] *= j.boundScale;
    const int n = Min(N, j.width - col);
    vi pixels;
    const int mask = ColourPoints<Kind>(j, V, E, pixels) & ((1 << n) - 1);
    long long fallbacks = 0;
    if (__builtin_expect(mask != 0 || test, 0)) {
        uint32_t px[N];
        std::memcpy(px, &pixels, sizeof px);
        fallbacks = SlowLanes(j, row, col, V, E, mask, px);
        std::memcpy(&pixels, px, sizeof px);
    }
    uint32_t* out = j.pixels + static_cast<long>(row) * j.stride + col;
    if (n == N)
        *reinterpret_cast<viUnaligned*>(out) = pixels;
    else
        for (int l = 0; l < n; ++l) out[l] = static_cast<uint32_t>(pixels[l]);
    return fallbacks;
}

// ---- Tables ----------------------------------------------------------------------------------

LUMORA_ALWAYS_INLINE Bounded Col(const Job& j, int slot, int col) {
    const long i = static_cast<long>(slot) * j.paddedWidth + col;
    return {Load(j.col + i), Load(j.colE + i)};
}
LUMORA_ALWAYS_INLINE Bounded Row(const Job& j, int slot, int row) {
    const long i = static_cast<long>(slot) * j.height + row;
    return {Splat(j.row[i]), Splat(j.rowE[i])};
}
LUMORA_ALWAYS_INLINE vd ColV(const Job& j, int slot, int col) {
    return Load(j.col + static_cast<long>(slot) * j.paddedWidth + col);
}
// A per-grid value, within gridAbs of the 80-bit one.
LUMORA_ALWAYS_INLINE Bounded Grid(const Job& j, int slot, int row, int col) {
    const vd v = Load(j.grid + (static_cast<long>(slot) * j.height + row) * j.paddedWidth + col);
    return {v, Splat(j.gridAbs[slot])};
}
// A row's terms, broadcast once for all its points.
struct RowTerms {
    Bounded slot[TableSlots];
    LUMORA_ALWAYS_INLINE RowTerms(const Job& j, int row) {
        for (int k = 0; k < TableSlots; ++k) slot[k] = Row(j, k, row);
    }
};

// ---- The per-frame patterns ------------------------------------------------------------------
// The shared formulas (pattern_terms.h) on the table slots vector_frame.cpp fills, each operation
// carrying its bound.

LUMORA_ALWAYS_INLINE Bounded operator+(Bounded a, Bounded b) { return Add(a, b); }
LUMORA_ALWAYS_INLINE Bounded operator-(Bounded a, Bounded b) { return Sub(a, b); }
LUMORA_ALWAYS_INLINE Bounded operator*(Bounded a, Bounded b) { return Mul(a, b); }

struct VectorTerms {
    using Value = Bounded;
    const Job& j;
    const RowTerms& rows;
    int row, col;

    LUMORA_ALWAYS_INLINE Bounded Col(int k) const { return lumora::vector::Col(j, k, col); }
    LUMORA_ALWAYS_INLINE Bounded Row(int k) const { return rows.slot[k]; }
    LUMORA_ALWAYS_INLINE Bounded Grid(int k) const { return lumora::vector::Grid(j, k, row, col); }
    // sin(X + Y) from sin X, cos X in column slots s, s + 1 and sin Y, cos Y in row slots r, r + 1
    template <class F>
    LUMORA_ALWAYS_INLINE Bounded SinOfSum(int s, int r, const F&) const {
        return {Fma(ColV(j, s, col), rows.slot[r + 1].v, ColV(j, s + 1, col) * rows.slot[r].v),
                Splat(j.sinSumBound)};
    }
    // sin(G + a3) for the grid's G = (w + u) + v, from its sine and cosine (slots 1, 2) and a3's:
    // sinSumBound counts each table value within 2^-53 + TableAbs + LibrarySinAbs of the true
    // one; sin G and cos G are within that plus their own bounds of it.
    LUMORA_ALWAYS_INLINE Bounded SinOfGridPlusA3() const {
        const long at = (static_cast<long>(j.height) + row) * j.paddedWidth + col;
        const vd sg = Load(j.grid + at),
                 cg = Load(j.grid + at + static_cast<long>(j.height) * j.paddedWidth);
        return {Fma(sg, Splat(j.cosA3), cg * j.sinA3),
                Splat(j.sinSumBound + j.gridAbs[1] + j.gridAbs[2])};
    }
    static Bounded Square(Bounded x) { return lumora::vector::Square(x); }
    static Bounded Sqrt(Bounded x) { return SqrtB(x); }
    // beyond |0.15 log x| = 1.7 the small sine's bound is infinite: such a point falls back
    Bounded SinOfScaledLog(Bounded x) const { return SmallSinB(MulC(LogB(x), j.c015, j.e015)); }
    static void Keep(Bounded, Bounded, Bounded) {}
    static Bounded Abs(Bounded x) { return AbsB(x); }
    Bounded Fifth(Bounded x) const { return MulC(x, j.c02, j.e02); }
    static Bounded Sin(Bounded x) { return SinB(x); }
    static Bounded Log(Bounded x) { return LogB(x); }
    // continuous and 1-Lipschitz: the bound stays
    static Bounded AtMostOne(Bounded x) { return {Min(x.v, Splat(1.0)), x.e}; }
    Bounded Hundredth() const { return {Splat(j.c001), Splat(j.e001)}; }
    static Bounded Half() { return {Splat(0.5), Splat(0.0)}; }
    Bounded TenThousandth() const { return {Splat(j.c0001), Splat(j.e0001)}; }
    Bounded A3() const { return {Splat(j.a3), Splat(j.ea3)}; }
};

template <int P>
__attribute__((always_inline)) inline void PatternPoint(const Job& j, const RowTerms& rows, int r,
                                                        int c, vd V[3], vd E[3]) {
    Bounded v1, v2, v3;
    Pattern<P>::Point(VectorTerms{j, rows, r, c}, v1, v2, v3);
    V[0] = v1.v, V[1] = v2.v, V[2] = v3.v;
    E[0] = v1.e, E[1] = v2.e, E[2] = v3.e;
}

template <int P, int Kind>
long long PatternRows(const Job& j, int begin, int end) {
    long long fallbacks = 0;
    for (int r = begin; r < end; ++r) {
        const RowTerms rows(j, r);
        for (int c = 0; c < j.width; c += N) {
            vd V[3], E[3];
            PatternPoint<P>(j, rows, r, c, V, E);
            fallbacks += Finish<Kind>(j, r, c, V, E);
        }
    }
    return fallbacks;
}

// Pattern 9 in three passes over blocks of a row, each loop short with few values alive: the
// three logarithms' arguments (Pattern<9>::Steps), then the values from them, then the colours.
template <int Kind>
long long Pattern9Rows(const Job& j, int begin, int end) {
    constexpr int Block = 64;
    double xs[3][Block], es[3][Block];
    long long fallbacks = 0;
    for (int r = begin; r < end; ++r) {
        const RowTerms rows(j, r);
        const VectorTerms t{j, rows, r, 0};
        const Bounded v0 = rows.slot[0], g2 = rows.slot[1];
        for (int first = 0; first < j.width; first += Block) {
            const int count = Min(Block, j.paddedWidth - first);
            for (int c = 0; c < count; c += N) {
                Bounded u[4] = {Col(j, 0, first + c)}, v[4] = {v0}, x[3];
                Pattern<9>::Steps(t, u, v, Col(j, 1, first + c), g2, x);
                for (int k = 0; k < 3; ++k) {
                    Store(&xs[k][c], x[k].v);
                    Store(&es[k][c], x[k].e);
                }
            }
            for (int k = 0; k < 3; ++k)
                for (int c = 0; c < count; c += N) {
                    const Bounded y =
                        Pattern<9>::Value(t, Bounded{Load(&xs[k][c]), Load(&es[k][c])});
                    Store(&xs[k][c], y.v);
                    Store(&es[k][c], y.e);
                }
            for (int c = 0; c < count && first + c < j.width; c += N) {
                const vd V[3] = {Load(&xs[0][c]), Load(&xs[1][c]), Load(&xs[2][c])};
                const vd E[3] = {Load(&es[0][c]), Load(&es[1][c]), Load(&es[2][c])};
                fallbacks += Finish<Kind>(j, r, first + c, V, E);
            }
        }
    }
    return fallbacks;
}

// The planes turned by the matrix: x m1 + y m2 + z m3 for each row of the matrix.
template <int Kind>
__attribute__((always_inline)) inline long long TurnedPoints(const Job& j, int r, int first,
                                                             int count, const double* x,
                                                             const double* y, const double* z) {
    const double* m = j.m;
    const vd bound = Splat(j.rotationBound);
    long long fallbacks = 0;
    for (int c = 0; c < count; c += N) {
        const vd px = Load(x + c), py = Load(y + c), pz = Load(z + c);
        const vd e = bound * ((Abs(px) + Abs(py)) + Abs(pz));
        const vd V[3] = {Fma(pz, Splat(m[2]), Fma(py, Splat(m[1]), px * m[0])),
                         Fma(pz, Splat(m[5]), Fma(py, Splat(m[4]), px * m[3])),
                         Fma(pz, Splat(m[8]), Fma(py, Splat(m[7]), px * m[6]))};
        const vd E[3] = {e, e, e};
        fallbacks += Finish<Kind>(j, r, first + c, V, E);
    }
    return fallbacks;
}

// From the double planes, or without them from the 80-bit ones converted in blocks of a row.
template <int Kind>
long long RotatedRows(const Job& j, int begin, int end) {
    long long fallbacks = 0;
    if (j.doubleX) {
        for (int r = begin; r < end; ++r) {
            const long at = static_cast<long>(r) * j.paddedWidth;
            fallbacks += TurnedPoints<Kind>(j, r, 0, j.width, j.doubleX + at, j.doubleY + at,
                                            j.doubleZ + at);
        }
        return fallbacks;
    }
    constexpr int Block = 64;
    double x[Block], y[Block], z[Block];
    for (int r = begin; r < end; ++r) {
        const long double* X = j.planeX + r * j.planeStride;
        const long double* Y = j.planeY + r * j.planeStride;
        const long double* Z = j.planeZ + r * j.planeStride;
        for (int first = 0; first < j.width; first += Block) {
            const int count = Min(Block, j.width - first);
            for (int c = 0; c < count; ++c) {
                x[c] = static_cast<double>(X[first + c]);
                y[c] = static_cast<double>(Y[first + c]);
                z[c] = static_cast<double>(Z[first + c]);
            }
            for (int c = count; c < Block; ++c) x[c] = y[c] = z[c] = 0.0;
            fallbacks += TurnedPoints<Kind>(j, r, first, count, x, y, z);
        }
    }
    return fallbacks;
}

// ---- The stored patterns, without planes ---------------------------------------------------
// A still of patterns 15..25 takes each point's plane values from their formulas
// (field_patterns.h) in double, each operation carrying its bound, and turns them as the planes
// are turned. The 80-bit values these bound are the planes' in either field: the straightforward
// one (the library's sine, cosine and logarithm) and the fast one (the engine's kernels, within
// KernelAbs of the library's). A sine or cosine of x within e of the 80-bit argument x80 adds
//   e                      (both are 1-Lipschitz),
//   SineError              the kernel against the library's function at x,
//   2 FieldLibraryAbs      the library's against the true function at x and at x80,
//   KernelAbs              the engine's 80-bit kernel against the library's at x80.
// FieldLibraryAbs allows LibrarySinAbs and, for a library that reduces by pi carried to 66 bits
// (the x87's own fsin), 2^-64 per unit of |x|: far above both at every argument up to
// FieldArgumentLimit, where the bound becomes infinite and the point falls back. A logarithm adds
// the kernel's relative error the same way. Constants are the 80-bit ones: the double nearest,
// and the exact distance.
constexpr double KernelAbs = 0x1p-60;
constexpr double KernelLogRel = 0x1p-60;
constexpr double FieldArgumentLimit = 256;
constexpr double FieldLibraryAbs = LibrarySinAbs + FieldArgumentLimit * 0x1p-64;

// c's double and the exact distance from c (folded by the compiler for a literal).
LUMORA_ALWAYS_INLINE Bounded Constant(long double c) {
    const double d = static_cast<double>(c);
    return {Splat(d), Splat(static_cast<double>(__builtin_fabsl(c - d)))};
}
LUMORA_ALWAYS_INLINE Bounded operator+(Bounded a, long double c) { return a + Constant(c); }
LUMORA_ALWAYS_INLINE Bounded operator*(long double c, Bounded a) { return Constant(c) * a; }
LUMORA_ALWAYS_INLINE Bounded operator*(Bounded a, long double c) { return a * Constant(c); }
// x / c: the quotient's spread a / |c| and |x/c| (ec / |c|) from c's distance, doubled for the
// dropped second-order terms, and the two roundings.
LUMORA_ALWAYS_INLINE Bounded operator/(Bounded a, long double c) {
    const double d = static_cast<double>(c);
    const double ec = static_cast<double>(__builtin_fabsl(c - d));
    const vd v = a.v / d;
    return {v, (a.e + 2.0 * ec * Abs(v)) / __builtin_fabs(d) + U * Abs(v)};
}

template <int Shift>
LUMORA_ALWAYS_INLINE Bounded FieldSine(Bounded a) {
    const vd e = a.e + (SineError + 2 * FieldLibraryAbs + KernelAbs);
    return {Sine<Shift>(a.v), Select(Abs(a.v) + a.e <= FieldArgumentLimit, e, Splat(Inf))};
}

struct FieldOps {
    static constexpr bool WholeSequence = false;  // pattern 23: only the C the planes keep
    LUMORA_ALWAYS_INLINE static Bounded Sin(Bounded x) { return FieldSine<0>(x); }
    LUMORA_ALWAYS_INLINE static Bounded Cos(Bounded x) { return FieldSine<1>(x); }
    LUMORA_ALWAYS_INLINE static void SinCos(Bounded x, Bounded& s, Bounded& c) {
        s = FieldSine<0>(x);
        c = FieldSine<1>(x);
    }
    LUMORA_ALWAYS_INLINE static Bounded Log(Bounded x) {
        const Bounded y = LogB(x);
        return {y.v, y.e + KernelLogRel * vector::Abs(y.v)};
    }
    LUMORA_ALWAYS_INLINE static Bounded Sqrt(Bounded x) { return SqrtB(x); }
    LUMORA_ALWAYS_INLINE static Bounded Abs(Bounded x) { return AbsB(x); }
};

// Rows of a pattern's field: slot 0 of the column and row tables holds the point's coordinates
// (FieldPattern<P>::Column and Row, in 80 bits, rounded once), the matrix turns the values as
// TurnedPoints does, and each value's bound adds |m_k| times its plane value's bound.
template <int P, int Kind>
long long FieldRows(const Job& j, int begin, int end) {
    const double* m = j.m;
    const vd bound = Splat(j.rotationBound);
    long long fallbacks = 0;
    for (int r = begin; r < end; ++r) {
        const Bounded b = Row(j, 0, r);
        for (int c = 0; c < j.width; c += N) {
            Bounded A[11], B[11], C[11];
            const PointOf<Bounded> p =
                field::FieldPattern<P>::Point(FieldOps{}, Col(j, 0, c), b, A, B, C);
            const vd e = bound * ((Abs(p.X.v) + Abs(p.Y.v)) + Abs(p.Z.v));
            vd V[3], E[3];
            for (int k = 0; k < 3; ++k) {
                V[k] = Fma(p.Z.v, Splat(m[3 * k + 2]),
                           Fma(p.Y.v, Splat(m[3 * k + 1]), p.X.v * m[3 * k]));
                E[k] = Fma(Splat(__builtin_fabs(m[3 * k + 2])), p.Z.e,
                           Fma(Splat(__builtin_fabs(m[3 * k + 1])), p.Y.e,
                               Fma(Splat(__builtin_fabs(m[3 * k])), p.X.e, e)));
            }
            fallbacks += Finish<Kind>(j, r, c, V, E);
        }
    }
    return fallbacks;
}

// ---- Per-grid values ------------------------------------------------------------------------
// The per-grid values in double: w = log(T(col) + T(row) + GridConstant) from the terms' bounds,
// then the pattern's values of w (pattern_terms.h). Their 80-bit values are the straightforward
// evaluation's (the library's logarithm, sine and cosine): LogB and FieldSine bound each against
// the library's.
template <int P>
void GridRowsOf(const GridJob& j, int begin, int end, double* largest) {
    vd most[GridSlots];
    for (int k = 0; k < GridSlots; ++k) most[k] = Splat(0.0);
    const long plane = static_cast<long>(j.height) * j.paddedWidth;
    for (int r = begin; r < end; ++r) {
        const Bounded rowTerm = {Splat(j.row[r]), Splat(j.rowE[r])};
        const Bounded v = {Splat(j.row[j.height + r]), Splat(j.rowE[j.height + r])};
        for (int c = 0; c < j.paddedWidth; c += N) {
            const Bounded colTerm = {Load(j.col + c), Load(j.colE + c)};
            const Bounded w = LogB(AddC(colTerm + rowTerm, j.c, j.ec));
            Bounded out[GridSlots];
            int slots = 0;
            if constexpr (P == 4) {
                out[slots++] = MulC(w, 0.5, 0.0);
            } else if constexpr (P == 8) {
                out[slots++] = FieldSine<0>(w);
                out[slots++] = FieldSine<1>(w);
            } else {
                const Bounded u = {Load(j.col + j.paddedWidth + c),
                                   Load(j.colE + j.paddedWidth + c)};
                const Bounded G = (w + u) + v;
                out[slots++] = AbsB(w);
                out[slots++] = FieldSine<0>(G);
                out[slots++] = FieldSine<1>(G);
            }
            for (int k = 0; k < slots; ++k) {
                Store(j.grid + k * plane + static_cast<long>(r) * j.paddedWidth + c, out[k].v);
                // a NaN bound counts as infinite: no point of the grid is decided then
                const vd e = out[k].e;
                most[k] = Max(most[k], Select(e == e, e, Splat(Inf)));
            }
        }
    }
    for (int k = 0; k < GridSlots; ++k)
        for (int l = 0; l < N; ++l) largest[k] = most[k][l] > largest[k] ? most[k][l] : largest[k];
}

template <int Kind>
long long RowsOfScheme(const Job& j, int begin, int end) {
    switch (j.pattern) {
        case 1: return PatternRows<1, Kind>(j, begin, end);
        case 2: return PatternRows<2, Kind>(j, begin, end);
        case 3: return PatternRows<3, Kind>(j, begin, end);
        case 4: return PatternRows<4, Kind>(j, begin, end);
        case 5: return PatternRows<5, Kind>(j, begin, end);
        case 6: return PatternRows<6, Kind>(j, begin, end);
        case 7: return PatternRows<7, Kind>(j, begin, end);
        case 8: return PatternRows<8, Kind>(j, begin, end);
        case 9: return Pattern9Rows<Kind>(j, begin, end);
        case 10: return PatternRows<10, Kind>(j, begin, end);
        case 11: return PatternRows<11, Kind>(j, begin, end);
        case 12: return PatternRows<12, Kind>(j, begin, end);
        case 13: return PatternRows<13, Kind>(j, begin, end);
        case 14: return PatternRows<14, Kind>(j, begin, end);
        case 15: return FieldRows<15, Kind>(j, begin, end);
        case 16: return FieldRows<16, Kind>(j, begin, end);
        case 17: return FieldRows<17, Kind>(j, begin, end);
        case 18: return FieldRows<18, Kind>(j, begin, end);
        case 19: return FieldRows<19, Kind>(j, begin, end);
        case 20: return FieldRows<20, Kind>(j, begin, end);
        case 21: return FieldRows<21, Kind>(j, begin, end);
        case 22: return FieldRows<22, Kind>(j, begin, end);
        case 23: return FieldRows<23, Kind>(j, begin, end);
        case 24: return FieldRows<24, Kind>(j, begin, end);
        case 25: return FieldRows<25, Kind>(j, begin, end);
        default: return RotatedRows<Kind>(j, begin, end);
    }
}

}  // namespace

#ifdef LUMORA_VECTOR_GRID_ENTRY
void LUMORA_VECTOR_GRID_ENTRY(const GridJob& job, int begin, int end, double* largest) {
    switch (job.pattern) {
        case 4: GridRowsOf<4>(job, begin, end, largest); break;
        case 8: GridRowsOf<8>(job, begin, end, largest); break;
        default: GridRowsOf<10>(job, begin, end, largest); break;
    }
}
#endif

long long LUMORA_VECTOR_ENTRY(const Job& job, int begin, int end) {
    switch (job.schemeKind) {
        case 1: return RowsOfScheme<1>(job, begin, end);
        case 2: return RowsOfScheme<2>(job, begin, end);
        case 3: return RowsOfScheme<3>(job, begin, end);
        case 4: return RowsOfScheme<4>(job, begin, end);
        default: return RowsOfScheme<0>(job, begin, end);
    }
}

}  // namespace lumora::vector
