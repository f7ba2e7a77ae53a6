// The stored patterns 15..25, each written once: the three plane values of field point (row, col)
// of a W x H field. The straightforward field (field.cpp), the fast one (fast_field.cpp) and the
// vector still (vector_rows.h) all read them here.
//
// A pattern P is FieldPattern<P>: Column(col, W) and Row(row, H), the point's coordinates a and b,
// each of its column alone or its row alone, always in 80 bits; and Point(o, a, b), the formula
// over them. Point is a template over the value type V and an Ops type that supplies Sin(x),
// Cos(x), SinCos(x, s, c) (both of one argument), Log(x), Sqrt(x) and Abs(x): the library's in
// field.cpp and the engine's own kernels (fast_math.h) in fast_field.cpp, both over long double;
// in vector_rows.h, values in double carrying a bound on their distance from the 80-bit ones.
// Everything else is the same operations in the same order, the constants written as 80-bit
// values. A value used twice (sin a of pattern 18, say) is computed once; the library's functions
// give the same bits either way. Where a pattern computes X twice, the first value X1 feeds the
// formulas after it and the plane keeps the second.
//
// Patterns 23 and 24 keep a sequence per point (A, B, C, at least 11 values each): Point leaves
// it there, for the straightforward field to keep in the state.
#pragma once

#include <cmath>

#include "engine/constants.h"

#ifndef LUMORA_ALWAYS_INLINE
#define LUMORA_ALWAYS_INLINE inline __attribute__((always_inline))
#endif

namespace lumora {
namespace {

template <class V>
struct PointOf {
    V X, Y, Z;
};
using PlanePoint = PointOf<long double>;

namespace field {

using namespace constants;

inline long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
inline long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}
// 1.628 - (1 - 2 col/W) of patterns 18 and 20, 1.314 - (1 - 2 row/H).
inline long double Shifted(long double start, int index, int count) {
    return start - (1.0L - DoubleFraction(index, count));
}

template <class V>
LUMORA_ALWAYS_INLINE V Square(const V& u) {
    return u * u;
}

template <int P>
struct FieldPattern;

template <>
struct FieldPattern<15> {
    static long double Column(int col, int W) { return Fraction(col, W); }
    static long double Row(int row, int H) { return Fraction(row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        const V s = o.Sqrt(b * b + a * a + 0.000001L) / 1.42L;
        PointOf<V> p;
        p.X = 0.2L * o.Cos(ThreePi * s) + o.Sin(Pi * a + HalfPi);
        p.Y = 0.2L * o.Cos(FivePi * a) + o.Sin(Pi * b + TwoThirdsPi);
        p.Z = 0.2L * o.Cos(EightPi * b) + o.Sin(Pi * s + ThirdPi);
        return p;
    }
};

// Patterns 16 and 21 differ only in how strongly the first X feels the inner sine.
template <bool Damped>
struct Pattern16Or21 {
    static long double Column(int col, int W) {
        return (1.0L - DoubleFraction(col, W)) * 2.0L + Pi;
    }
    static long double Row(int row, int H) { return DoubleFraction(row, H) - Pi; }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        V sinA, cosA, sinB, cosB;
        o.SinCos(a, sinA, cosA);
        o.SinCos(b, sinB, cosB);
        const V s = o.Sqrt(Square(sinB) + Square(sinA) + 0.000001L);
        const V X1 = Damped ? o.Sin(cosA + 0.1L * o.Sin(Pi * o.Sin(a * b)))
                            : o.Sin(cosA + o.Sin(Pi * o.Sin(a * b)));
        PointOf<V> p;
        p.Y = o.Sin(sinA + o.Sin(Pi * o.Sin(b * s * X1)));
        p.Z = o.Sin(cosB + o.Sin(Pi * o.Sin(p.Y * X1)));
        p.X = o.Sin(cosA + o.Sin(Pi * o.Sin(p.Y * p.Z)));
        return p;
    }
};
template <>
struct FieldPattern<16> : Pattern16Or21<false> {};
template <>
struct FieldPattern<21> : Pattern16Or21<true> {};

template <>
struct FieldPattern<17> {
    static long double Column(int col, int W) { return Fraction(col, W); }
    static long double Row(int row, int H) { return Fraction(row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        const V s = o.Sqrt(Square(o.Sin(b)) + Square(o.Sin(a)) + 0.000001L);
        const V X1 = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(a * b)) + o.Sin(Pi * a));
        PointOf<V> p;
        p.Y = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(X1 * s)) + o.Sin(Pi * b));
        p.Z = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(X1 * p.Y)) + o.Cos(Pi * s));
        p.X = o.Sin(0.2L * o.Sin(ThreePi * o.Sin(p.Y * p.Z)) + o.Cos(Pi * a));
        return p;
    }
};

template <>
struct FieldPattern<18> {
    static long double Column(int col, int W) { return Shifted(1.628L, col, W); }
    static long double Row(int row, int H) { return Shifted(1.314L, row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        const V s = o.Sqrt(b * b + a * a + 0.000001L) + 1.7L;
        const V sinHalfPiA = o.Sin(HalfPi * a);
        const V X1 = 0.1L * o.Cos(FivePi * s) + sinHalfPiA;
        PointOf<V> p;
        p.Y = 0.1L * o.Sin(FivePi * X1) + o.Sin(HalfPi * b);
        p.Z = 0.1L * o.Sin(FivePi * (p.Y + a)) + o.Sin(HalfPi * s);
        p.X = 0.1L * o.Cos(FivePi * p.Z) + sinHalfPiA;
        return p;
    }
};

template <>
struct FieldPattern<19> {
    static long double Column(int col, int W) { return 1.0L - DoubleFraction(col, W); }
    static long double Row(int row, int H) { return 1.0L - DoubleFraction(row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        const V s = o.Sqrt(b * b + a * a + 0.000001L);
        const V sinPiA = o.Sin(Pi * a);
        const V X1 = 0.1L * Square(o.Cos(s * b * ThreePi)) + sinPiA;
        PointOf<V> p;
        p.Y = 0.1L * Square(o.Sin(X1 * s * FivePi)) + o.Sin(Pi * b);
        p.Z = 0.1L * Square(o.Sin(p.Y * a * EightPi)) + o.Sin(Pi * s);
        p.X = 0.1L * Square(o.Cos(p.Z * b * ThreePi)) + sinPiA;
        return p;
    }
};

template <>
struct FieldPattern<20> {
    static long double Column(int col, int W) { return Shifted(1.628L, col, W); }
    static long double Row(int row, int H) { return Shifted(1.314L, row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        const V s = o.Sqrt(b * b + a * a + 0.000001L) + 1.7L;
        PointOf<V> p;
        p.X = 0.2L * o.Cos(TwoPi * (s + b)) + o.Sin(HalfPi * a);
        p.Y = 0.2L * o.Sin(ThreePi * (a + s)) + o.Sin(HalfPi * b);
        p.Z = 0.2L * o.Sin(FivePi * (b + a)) + o.Sin(HalfPi * s);
        return p;
    }
};

template <>
struct FieldPattern<22> {
    static long double Column(int col, int W) { return Fraction(col, W) * Pi; }
    static long double Row(int row, int H) { return Fraction(row, H) * Pi; }
    // sqrt(|u| + 0.001) / 5 + u^2, the closing step.
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static V SoftenedSquare(const O& o, const V& u) {
        return o.Sqrt(o.Abs(u) + 0.001L) / 5.0L + u * u;
    }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V*, V*, V*) {
        const V sinA = o.Sin(a), sinB = o.Sin(b);
        const V u1 = o.Sin(sinB + (sinA + a));
        const V u2 = o.Sin(sinB + (sinA + b));
        const V u3 = o.Sin(sinB + (sinA + (a + b)));
        return {SoftenedSquare(o, u1), SoftenedSquare(o, u2), SoftenedSquare(o, u3)};
    }
};

// Pattern 23: ten steps of a sine-damped quadratic map from A[0] = 1 - 2 col/W, B[0] = 1 - 2 row/H;
// the planes keep C[8], C[9], C[10]. V may also be a pair of points taken in lockstep
// (fast_field.cpp), whose two chains of sines overlap in the pipeline. Only the last three C
// reach the planes: the others are computed where the Ops ask for the whole sequence
// (WholeSequence).
constexpr long double Pattern23Parameter = 0.628L;
template <>
struct FieldPattern<23> {
    static long double Column(int col, int W) { return 1.0L - DoubleFraction(col, W); }
    static long double Row(int row, int H) { return 1.0L - DoubleFraction(row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static void Sequence(const O& o, V* A, V* B, V* C) {
        const long double param1 = Pattern23Parameter, param2 = Pattern23Parameter;
        for (int k = 1; k <= 10; ++k) {
            A[k] = o.Sin(A[k - 1] * A[k - 1] - B[k - 1] * B[k - 1] + param1);
            B[k] = o.Sin(2.0L * A[k - 1] * B[k - 1] + param2);
            if (k >= 8 || O::WholeSequence) C[k] = o.Sin(A[k] * A[k] + B[k] * B[k] + 0.000001L);
        }
    }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V* A, V* B,
                                                 V* C) {
        A[0] = a;
        B[0] = b;
        Sequence(o, A, B, C);
        return {C[8], C[9], C[10]};
    }
};

// Pattern 24: three steps of a growing coupled sequence; values far outside [-1, 1] are normal
// here. The planes keep C[1], C[2], C[3].
constexpr long double Pattern24Parameter = 0.72L;
template <>
struct FieldPattern<24> {
    static long double Column(int col, int W) {
        return std::fabs(1.0L - DoubleFraction(col, W)) * Pi + 0.1L;
    }
    static long double Row(int row, int H) { return Column(row, H); }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& a, const V& b, V* A, V* B,
                                                 V* C) {
        A[0] = a;
        B[0] = b;
        C[0] = 0.1L * o.Log(A[0] * A[0] + B[0] * B[0] + 0.000001L) + 0.1L;
        const long double param1 = Pattern24Parameter, param2 = Pattern24Parameter;
        for (int i = 0; i <= 2; ++i) {
            A[i + 1] = o.Sin(Pi * A[i]) + B[i] + C[i] + param1;
            B[i + 1] = o.Sin(Pi * B[i]) + A[i] + C[i] + param2;
            C[i + 1] = o.Sin(Pi * C[i]) + B[i + 1] + A[i];  // the new B but the old A
        }
        return {C[1], C[2], C[3]};
    }
};

template <>
struct FieldPattern<25> {
    // a = sin(col/W + pi), b = sin(row pi/4 / H): the sines are the formula's
    static long double Column(int col, int W) { return Fraction(col, W) + Pi; }
    static long double Row(int row, int H) {
        return static_cast<long double>(row) * QuarterPi / static_cast<long double>(H);
    }
    template <class O, class V>
    LUMORA_ALWAYS_INLINE static PointOf<V> Point(const O& o, const V& column, const V& row, V*, V*,
                                                 V*) {
        const V a = o.Sin(column);
        const V b = o.Sin(row);
        const V s = o.Sqrt(b * b + a * a + 0.000001L);
        const V X1 = 0.1L * o.Cos(ThreePi * (s + b)) + o.Sin(Pi * a);
        PointOf<V> p;
        p.Y = 0.1L * o.Cos(ThreePi * (X1 + s)) + o.Sin(Pi * b);
        p.Z = 0.1L * o.Cos(ThreePi * (p.Y + X1)) + o.Sin(Pi * s);
        p.X = o.Sin(o.Sin(a) + 0.1L * o.Cos(ThreePi * (p.Z + p.Y)));
        return p;
    }
};

// Calls f(FieldNumber<P>{}) for pattern 15..25; nothing for any other number.
template <int P>
struct FieldNumber {
    static constexpr int value = P;
};
template <class F>
inline void WithFieldPattern(int pattern, F&& f) {
    switch (pattern) {
        case 15: f(FieldNumber<15>{}); break;
        case 16: f(FieldNumber<16>{}); break;
        case 17: f(FieldNumber<17>{}); break;
        case 18: f(FieldNumber<18>{}); break;
        case 19: f(FieldNumber<19>{}); break;
        case 20: f(FieldNumber<20>{}); break;
        case 21: f(FieldNumber<21>{}); break;
        case 22: f(FieldNumber<22>{}); break;
        case 23: f(FieldNumber<23>{}); break;
        case 24: f(FieldNumber<24>{}); break;
        case 25: f(FieldNumber<25>{}); break;
        default: break;
    }
}

// The point (row, col) of a W x H field in 80 bits; A, B, C its sequence (patterns 23, 24).
template <int P, class O>
PlanePoint FieldPointOf(const O& o, int row, int col, int W, int H, long double* A, long double* B,
                        long double* C) {
    const long double a = FieldPattern<P>::Column(col, W), b = FieldPattern<P>::Row(row, H);
    return FieldPattern<P>::Point(o, a, b, A, B, C);
}

}  // namespace field
}  // namespace
}  // namespace lumora
