// The stored patterns 15..25, each written once: the three plane values of field point (row, col)
// of a W x H field. The straightforward field (field.cpp) and the fast one (fast_field.cpp) both
// read them here, over an Ops type that supplies the sine, cosine and logarithm: the library's
// in field.cpp, the engine's own kernels (fast_math.h) in fast_field.cpp. Everything else is the
// same operations in the same order, in 80 bits.
//
// Ops: Sin(x), Cos(x), SinCos(x, s, c) (both of one argument), Log(x). A value used twice (sin a
// of pattern 18, say) is computed once; the library's functions give the same bits either way.
// Where a pattern computes X twice, the first value X1 feeds the formulas after it and the plane
// keeps the second.
#pragma once

#include <cmath>

#include "engine/constants.h"

namespace lumora {
namespace {

struct PlanePoint {
    long double X, Y, Z;
};

namespace field {

using namespace constants;

inline long double Square(long double u) { return u * u; }
inline long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
inline long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}

template <class O>
PlanePoint Pattern15(const O& o, int row, int col, int W, int H) {
    const long double a = Fraction(col, W);
    const long double b = Fraction(row, H);
    const long double s = std::sqrt(b * b + a * a + 0.000001L) / 1.42L;
    PlanePoint p;
    p.X = 0.2L * o.Cos(ThreePi * s) + o.Sin(Pi * a + HalfPi);
    p.Y = 0.2L * o.Cos(FivePi * a) + o.Sin(Pi * b + TwoThirdsPi);
    p.Z = 0.2L * o.Cos(EightPi * b) + o.Sin(Pi * s + ThirdPi);
    return p;
}

// Patterns 16 and 21 differ only in how strongly the first X feels the inner sine.
template <bool Damped, class O>
PlanePoint Pattern16Or21(const O& o, int row, int col, int W, int H) {
    const long double a = (1.0L - DoubleFraction(col, W)) * 2.0L + Pi;
    const long double b = DoubleFraction(row, H) - Pi;
    long double sinA, cosA, sinB, cosB;
    o.SinCos(a, sinA, cosA);
    o.SinCos(b, sinB, cosB);
    const long double s = std::sqrt(Square(sinB) + Square(sinA) + 0.000001L);
    const long double X1 = Damped ? o.Sin(cosA + 0.1L * o.Sin(Pi * o.Sin(a * b)))
                                  : o.Sin(cosA + o.Sin(Pi * o.Sin(a * b)));
    PlanePoint p;
    p.Y = o.Sin(sinA + o.Sin(Pi * o.Sin(b * s * X1)));
    p.Z = o.Sin(cosB + o.Sin(Pi * o.Sin(p.Y * X1)));
    p.X = o.Sin(cosA + o.Sin(Pi * o.Sin(p.Y * p.Z)));
    return p;
}

template <class O>
PlanePoint Pattern17(const O& o, int row, int col, int W, int H) {
    const long double a = Fraction(col, W);
    const long double b = Fraction(row, H);
    const long double s = std::sqrt(Square(o.Sin(b)) + Square(o.Sin(a)) + 0.000001L);
    const long double X1 = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(a * b)) + o.Sin(Pi * a));
    PlanePoint p;
    p.Y = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(X1 * s)) + o.Sin(Pi * b));
    p.Z = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(X1 * p.Y)) + o.Cos(Pi * s));
    p.X = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(p.Y * p.Z)) + o.Cos(Pi * a));
    return p;
}

template <class O>
PlanePoint Pattern18(const O& o, int row, int col, int W, int H) {
    const long double a = 1.628L - (1.0L - DoubleFraction(col, W));
    const long double b = 1.314L - (1.0L - DoubleFraction(row, H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L) + 1.7L;
    const long double sinHalfPiA = o.Sin(HalfPi * a);
    const long double X1 = 0.1L * o.Cos(FivePi * s) + sinHalfPiA;
    PlanePoint p;
    p.Y = 0.1L * o.Sin(FivePi * X1) + o.Sin(HalfPi * b);
    p.Z = 0.1L * o.Sin(FivePi * (p.Y + a)) + o.Sin(HalfPi * s);
    p.X = 0.1L * o.Cos(FivePi * p.Z) + sinHalfPiA;
    return p;
}

template <class O>
PlanePoint Pattern19(const O& o, int row, int col, int W, int H) {
    const long double a = 1.0L - DoubleFraction(col, W);
    const long double b = 1.0L - DoubleFraction(row, H);
    const long double s = std::sqrt(b * b + a * a + 0.000001L);
    const long double sinPiA = o.Sin(Pi * a);
    const long double X1 = 0.1L * Square(o.Cos(s * b * ThreePi)) + sinPiA;
    PlanePoint p;
    p.Y = 0.1L * Square(o.Sin(X1 * s * FivePi)) + o.Sin(Pi * b);
    p.Z = 0.1L * Square(o.Sin(p.Y * a * EightPi)) + o.Sin(Pi * s);
    p.X = 0.1L * Square(o.Cos(p.Z * b * ThreePi)) + sinPiA;
    return p;
}

template <class O>
PlanePoint Pattern20(const O& o, int row, int col, int W, int H) {
    const long double a = 1.628L - (1.0L - DoubleFraction(col, W));
    const long double b = 1.314L - (1.0L - DoubleFraction(row, H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L) + 1.7L;
    PlanePoint p;
    p.X = 0.2L * o.Cos(TwoPi * (s + b)) + o.Sin(HalfPi * a);
    p.Y = 0.2L * o.Sin(ThreePi * (a + s)) + o.Sin(HalfPi * b);
    p.Z = 0.2L * o.Sin(FivePi * (b + a)) + o.Sin(HalfPi * s);
    return p;
}

// sqrt(|u| + 0.001) / 5 + u^2, the closing step of pattern 22.
inline long double SoftenedSquare(long double u) {
    return std::sqrt(std::fabs(u) + 0.001L) / 5.0L + u * u;
}

template <class O>
PlanePoint Pattern22(const O& o, int row, int col, int W, int H) {
    const long double a = Fraction(col, W) * Pi;
    const long double b = Fraction(row, H) * Pi;
    const long double sinA = o.Sin(a), sinB = o.Sin(b);
    const long double u1 = o.Sin(sinB + (sinA + a));
    const long double u2 = o.Sin(sinB + (sinA + b));
    const long double u3 = o.Sin(sinB + (sinA + (a + b)));
    return {SoftenedSquare(u1), SoftenedSquare(u2), SoftenedSquare(u3)};
}

// Pattern 23: ten steps of a sine-damped quadratic map from A[0] = 1 - 2 col/W, B[0] = 1 - 2 row/H;
// the planes keep C[8], C[9], C[10]. V is long double, or a pair of points taken in lockstep
// (fast_field.cpp), whose two chains of sines overlap in the pipeline. Only the last three C
// reach the planes: the others are computed where the Ops ask for the whole sequence.
constexpr long double Pattern23Parameter = 0.628L;
template <class O, class V>
void Pattern23(const O& o, V* A, V* B, V* C) {
    const long double param1 = Pattern23Parameter, param2 = Pattern23Parameter;
    for (int k = 1; k <= 10; ++k) {
        A[k] = o.Sin(A[k - 1] * A[k - 1] - B[k - 1] * B[k - 1] + param1);
        B[k] = o.Sin(2.0L * A[k - 1] * B[k - 1] + param2);
        if (k >= 8 || O::WholeSequence) C[k] = o.Sin(A[k] * A[k] + B[k] * B[k] + 0.000001L);
    }
}
inline long double Pattern23Start(int index, int count) {
    return 1.0L - DoubleFraction(index, count);
}

// Pattern 24: three steps of a growing coupled sequence; values far outside [-1, 1] are normal
// here. The planes keep C[1], C[2], C[3].
constexpr long double Pattern24Parameter = 0.72L;
template <class O>
PlanePoint Pattern24(const O& o, long double* A, long double* B, long double* C, int row, int col,
                     int W, int H) {
    A[0] = std::fabs(1.0L - DoubleFraction(col, W)) * Pi + 0.1L;
    B[0] = std::fabs(1.0L - DoubleFraction(row, H)) * Pi + 0.1L;
    C[0] = 0.1L * o.Log(A[0] * A[0] + B[0] * B[0] + 0.000001L) + 0.1L;
    const long double param1 = Pattern24Parameter, param2 = Pattern24Parameter;
    for (int i = 0; i <= 2; ++i) {
        A[i + 1] = o.Sin(Pi * A[i]) + B[i] + C[i] + param1;
        B[i + 1] = o.Sin(Pi * B[i]) + A[i] + C[i] + param2;
        C[i + 1] = o.Sin(Pi * C[i]) + B[i + 1] + A[i];  // the new B but the old A
    }
    return {C[1], C[2], C[3]};
}

template <class O>
PlanePoint Pattern25(const O& o, int row, int col, int W, int H) {
    const long double a = o.Sin(Fraction(col, W) + Pi);
    const long double b =
        o.Sin(static_cast<long double>(row) * QuarterPi / static_cast<long double>(H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L);
    const long double X1 = 0.1L * o.Cos(ThreePi * (s + b)) + o.Sin(Pi * a);
    PlanePoint p;
    p.Y = 0.1L * o.Cos(ThreePi * (X1 + s)) + o.Sin(Pi * b);
    p.Z = 0.1L * o.Cos(ThreePi * (p.Y + X1)) + o.Sin(Pi * s);
    p.X = o.Sin(o.Sin(a) + 0.1L * o.Cos(ThreePi * (p.Z + p.Y)));
    return p;
}

// Every pattern but 23 and 24 (which keep a sequence) at one point.
template <int P, class O>
PlanePoint PlainPattern(const O& o, int row, int col, int W, int H) {
    switch (P) {
        case 15: return Pattern15(o, row, col, W, H);
        case 16: return Pattern16Or21<false>(o, row, col, W, H);
        case 17: return Pattern17(o, row, col, W, H);
        case 18: return Pattern18(o, row, col, W, H);
        case 19: return Pattern19(o, row, col, W, H);
        case 20: return Pattern20(o, row, col, W, H);
        case 21: return Pattern16Or21<true>(o, row, col, W, H);
        case 22: return Pattern22(o, row, col, W, H);
        default: return Pattern25(o, row, col, W, H);
    }
}

}  // namespace field
}  // namespace
}  // namespace lumora
