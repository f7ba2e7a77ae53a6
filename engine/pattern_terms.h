// The per-frame patterns 1..14, each written once: its coordinates, the terms of its column alone
// and of its row alone, the terms of its grid point that do not depend on the frame, and the
// formula of its point over those terms. The straightforward evaluation (patterns.cpp), the 80-bit
// fast frame (fast_frame.cpp) and the vector frame (vector_rows.h) all read them here.
//
// Pattern<P> has, for a pattern P, its facts (every path reads them here, none keeps a list):
//   Slots                        the table slots its Column and Row write and its Point reads
//                                (0 .. Slots - 1; slot 0 is the coordinate);
//   GridSlots                    the per-grid values of a point (Grid), 0 for none;
//   GridAngle                    the last of them is an angle G the point only takes the sine of
//                                (with a3 added): the vector frame keeps sin G and cos G instead;
// and its formulas:
//   Coordinate(index, count)     u of a column (v of a row, over the rows).
//   Column(o, u, a, C), Row(o, v, a, R)
//                                slots 1.. of a column's (row's) terms; slot 0 is the coordinate.
//   Grid(o, col, row, W, H, out, w)  (patterns 4, 8, 10) the per-grid terms; w gets the logarithm
//                                of GridTerm(col, W) + GridTerm(row, H) + GridConstant.
//   Point(t, V1, V2, V3)         the point's three values.
// Point is a template over Terms, which supplies the number type (Value, with +, - and *) and the
// point's terms and operations: Col(k), Row(k), Grid(k) (slot k of the point's column, row, grid
// point), Square, Sqrt, Abs, Fifth (x / 5), Sin, Log, AtMostOne (values above 1 become 1), the
// constants Hundredth (0.01), Half (0.5), TenThousandth (0.0001) and A3 (the angle), and:
//   SinOfSum(s, r, argument)     sin of `argument`, a sum of a column part and a row part;
//   SinOfGridPlusA3()            pattern 10: sin(G + a3), G the grid's slot 1;
//   SinOfScaledLog(x)            pattern 9: sin(log(x) * 0.15);
//   Keep(p, q, r)                the point's intermediate values (the straightforward evaluation
//                                leaves them in the state; the others ignore them).
//
// The order of every sum and product is the definition's, and the straightforward evaluation
// computes each as written: its SinOfSum calls `argument` (a generic lambda over the Terms, so
// the others never instantiate it) and takes the library's sine of it. The fast paths read the
// same formulas with two differences, both bounded (vector_rows.h) and tested pixel for pixel:
//   - SinOfSum takes sin(X + Y) = sin X cos Y + cos X sin Y from tables of the column part X and
//     the row part Y (the Pair slots of Column and Row), where the definition adds the parts in
//     another order (sin(u + v - a2) of pattern 2 as u + (v - a2));
//   - the sines and logarithms computed per point, and the sines and cosines of the column and
//     row terms, use the engine's own kernels (fast_math.h).
// Column, Row and Grid are 80-bit code over an Ops type: o.Sin(x) and o.Cos(x) (the library's
// in the straightforward evaluation, the engine's kernels in the fast paths), o.Pair(argument,
// s, c) the sine and cosine of a part meant for the addition formula (the straightforward
// evaluation needs none and skips them), o.SinCos(x, s, c) a sine and cosine both used as they
// are. The inner sines of a Pair's argument stay the library's.
//
// Everything here is in an unnamed namespace: each translation unit (the vector ones are built
// with other instructions) has its own copy, and the vector ones instantiate Point only.
#pragma once

#include <cmath>

#include "engine/constants.h"

namespace lumora {
namespace {

// Every pattern's point formula and the vector frame's operations under it are inlined into the
// loop over the points: a call per point there would pass the vectors through memory.
#define LUMORA_ALWAYS_INLINE inline __attribute__((always_inline))

// The frame's advanced angles and its start sines.
struct FrameAngles {
    long double a1, a2, a3, s1, s2, s3;
};

// ---- Coordinates -------------------------------------------------------------------------------
// Every quotient is taken in long double after the integer product.

inline long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
inline long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}
// (index/count - 0.5)*2: -1 at the first point, towards +1 at the last.
inline long double Centred(int index, int count) { return (Fraction(index, count) - 0.5L) * 2.0L; }
inline long double Falling(int index, int count) { return 1.0L - DoubleFraction(index, count); }

inline long double SquareOf(long double z) { return z * z; }
inline long double SineSquared(long double z) { return SquareOf(std::sin(z)); }

template <class Terms, class Value>
LUMORA_ALWAYS_INLINE Value LiftedTerm(const Terms& t, const Value& x) {  // x^2 + sqrt(x)/5
    return t.Square(x) + t.Fifth(t.Sqrt(x));
}

// The facts of a pattern without per-grid values.
struct PatternFacts {
    static constexpr int GridSlots = 0;
    static constexpr bool GridAngle = false;
};

template <int P>
struct Pattern;

template <>
struct Pattern<1> : PatternFacts {
    static constexpr int Slots = 2;
    static long double Coordinate(int i, int n) { return Centred(i, n); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = o.Sin(u / 2.0L + a.a1);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = o.Sin(v / 2.0L + a.a2);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        V1 = (t.Square(u) - t.Square(v)) + t.Col(1);
        V2 = u * v + t.Row(1);
        V3 = t.Sqrt(t.Square(u) + t.Square(v) + t.Hundredth());
    }
};

template <>
struct Pattern<2> : PatternFacts {
    static constexpr int Slots = 4;
    static long double Coordinate(int i, int n) { return Falling(i, n); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = SquareOf(o.Sin(u + a.a1 + a.a2));
        o.Pair([&] { return u; }, C[2], C[3]);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = SquareOf(o.Sin(v + a.a3 + a.a1));
        o.Pair([&] { return v - a.a2; }, R[2], R[3]);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        const V uv2 = t.Square(u * v);
        V1 = uv2 + t.Col(1);
        V2 = uv2 + t.Row(1);
        V3 = uv2 + t.Square(t.SinOfSum(2, 2, [&](const auto& d) { return u + v - d.A2(); }));
    }
};

// Patterns 3 and 13 share p, q and r; 3 lifts them and caps them at 1, 13 takes them as they are.
template <int P>
struct SineSumPattern : PatternFacts {
    static constexpr int Slots = 7;
    static long double Coordinate(int i, int n) {
        return static_cast<long double>(i) * constants::Pi / static_cast<long double>(n);
    }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        o.Pair([&] { return std::sin(u - a.a3) + (u + a.a1); }, C[1], C[2]);
        o.Pair([&] { return std::sin(u - a.a1); }, C[3], C[4]);
        o.Pair([&] { return std::sin(u - a.a2) + u; }, C[5], C[6]);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        const long double sv = std::sin(v);
        o.Pair([&] { return sv; }, R[1], R[2]);
        o.Pair([&] { return (v + a.a2) + sv; }, R[3], R[4]);
        o.Pair([&] { return (v + a.a3) + sv; }, R[5], R[6]);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        const V p = t.Square(t.SinOfSum(
            1, 1, [&](const auto& d) { return d.Sin(u - d.A3()) + (u + d.A1()) + d.Sin(v); }));
        const V q = t.Square(t.SinOfSum(
            3, 3, [&](const auto& d) { return d.Sin(u - d.A1()) + (v + d.A2()) + d.Sin(v); }));
        const V r = t.Square(t.SinOfSum(
            5, 5, [&](const auto& d) { return d.Sin(u - d.A2()) + (u + v + d.A3()) + d.Sin(v); }));
        t.Keep(p, q, r);
        if constexpr (P == 3) {
            V1 = t.AtMostOne(LiftedTerm(t, p));
            V2 = t.AtMostOne(LiftedTerm(t, q));
            V3 = t.AtMostOne(LiftedTerm(t, r));
        } else {
            V1 = p, V2 = q, V3 = r;
        }
    }
};
template <>
struct Pattern<3> : SineSumPattern<3> {};
template <>
struct Pattern<13> : SineSumPattern<13> {};

template <>
struct Pattern<4> : PatternFacts {
    static constexpr int Slots = 2;
    static constexpr int GridSlots = 1;  // w
    static long double Coordinate(int i, int n) { return Falling(i, n); }
    template <class O>
    static void Column(const O&, long double u, const FrameAngles& a, long double* C) {
        C[1] = u + a.a1;
    }
    template <class O>
    static void Row(const O&, long double v, const FrameAngles& a, long double* R) {
        R[1] = v + a.a2;
    }
    // w = log(T(col) + T(row) + 0.01) / 2
    static constexpr long double GridConstant = 0.01L;
    static long double GridTerm(int i, int n) { return SquareOf(Fraction(i, n) - 0.5L); }
    template <class O>
    static void Grid(const O&, int col, int row, int W, int H, long double* out, long double& w) {
        w = std::log(GridTerm(col, W) + GridTerm(row, H) + GridConstant) * 0.5L;
        out[0] = w;
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V w = t.Grid(0);
        V1 = t.Col(1) + w;
        V2 = t.Row(1) + w;
        V3 = w + t.A3() + t.Row(0) + t.Col(0);
    }
};

template <>
struct Pattern<5> : PatternFacts {
    static constexpr int Slots = 4;
    static long double Coordinate(int i, int n) { return Falling(i, n); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = SquareOf(o.Sin(u + a.s1 + a.s2));
        o.Pair([&] { return u; }, C[2], C[3]);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = SquareOf(o.Sin(v + a.s3 + a.s2));
        o.Pair([&] { return (v + a.s1) + a.s3; }, R[2], R[3]);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        V1 = t.Col(1);
        V2 = t.Row(1);
        V3 = t.Square(t.SinOfSum(2, 2, [&](const auto& d) { return u + v + d.S1() + d.S3(); }));
    }
};

// Patterns 6 and 7: k = (sin u sin v)^2 times (6) or added to (7) three squared sines.
template <int P>
struct ProductPattern : PatternFacts {
    static constexpr int Slots = 5;
    static long double Coordinate(int i, int n) {
        return P == 6 ? Fraction(i, n) * 2.0L + constants::SixthPi : Fraction(i, n) * 3.0L;
    }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = SquareOf(o.Sin(u + a.a1 + a.a2));
        o.Pair([&] { return u; }, C[2], C[3]);
        C[4] = o.Sin(u);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = SquareOf(o.Sin(v + a.a3 + a.a1));
        o.Pair([&] { return v - (P == 6 ? a.a3 : a.a2); }, R[2], R[3]);
        R[4] = o.Sin(v);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        const V k = t.Square(t.Col(4) * t.Row(4));
        const V last = t.Square(
            t.SinOfSum(2, 2, [&](const auto& d) { return u + v - (P == 6 ? d.A3() : d.A2()); }));
        if constexpr (P == 6) {
            V1 = k * t.Col(1), V2 = k * t.Row(1), V3 = k * last;
        } else {
            V1 = t.Col(1) + k, V2 = t.Row(1) + k, V3 = last + k;
        }
    }
};
template <>
struct Pattern<6> : ProductPattern<6> {};
template <>
struct Pattern<7> : ProductPattern<7> {};

template <>
struct Pattern<8> : PatternFacts {
    static constexpr int Slots = 4;
    static constexpr int GridSlots = 2;  // sin w, cos w
    static long double Coordinate(int i, int n) { return Fraction(i, n) / 2.0L; }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = o.Cos(u);
        C[2] = o.Sin(a.a1 * u + a.a3) + a.s1;  // g1
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = o.Sin(v);
        R[2] = o.Cos(v);
        R[3] = o.Cos(a.a2 * v + a.a1) + a.s2;  // g2
    }
    // w = log(u^2 + v^2 + 0.1)
    static constexpr long double GridConstant = 0.1L;
    static long double GridTerm(int i, int n) {
        const long double u = Coordinate(i, n);
        return u * u;
    }
    template <class O>
    static void Grid(const O& o, int col, int row, int W, int H, long double* out, long double& w) {
        w = std::log(GridTerm(col, W) + GridTerm(row, H) + GridConstant);
        o.SinCos(w, out[0], out[1]);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        // p = cos u - sin v - sin w + g1, q = sin p + cos v + cos w + g2
        const V p = t.Col(1) - t.Row(1) - t.Grid(0) + t.Col(2);
        const V q = t.Sin(p) + t.Row(2) + t.Grid(1) + t.Row(3);
        const V r = t.Log(t.Square(p) * t.Square(q) + t.Half());
        t.Keep(p, q, r);
        const V ap = t.Abs(p), aq = t.Abs(q), ar = t.Abs(r);
        V1 = ap + t.Fifth(t.Sqrt(ap));
        V2 = aq + t.Fifth(t.Sqrt(aq));
        V3 = ar + t.Fifth(t.Sqrt(ar));
    }
};

// Pattern 9: three steps of u' = (u^2 - v^2) g1, v' = u v + g2 from (u, v), g1 = cos(u + a1),
// g2 = sin(v + a2); V_k = |sin(log(u_k^2 v_k^2 + 0.0001) * 0.15)|. The fast paths take the
// arguments of the three logarithms first and the sines afterwards (Steps, then Value).
template <>
struct Pattern<9> : PatternFacts {
    static constexpr int Slots = 2;
    static long double Coordinate(int i, int n) { return Fraction(i, n); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = o.Cos(u + a.a1);  // g1
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = o.Sin(v + a.a2);  // g2
    }
    // The sequence u[0..3], v[0..3] from u[0], v[0], and each step's argument x[0..2].
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Steps(const T& t, V* u, V* v, const V& g1, const V& g2, V* x) {
        for (int k = 0; k < 3; ++k) {
            u[k + 1] = (t.Square(u[k]) - t.Square(v[k])) * g1;
            v[k + 1] = u[k] * v[k] + g2;
            x[k] = t.Square(u[k + 1]) * t.Square(v[k + 1]) + t.TenThousandth();
        }
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static V Value(const T& t, const V& x) {
        return t.Abs(t.SinOfScaledLog(x));
    }
};

template <>
struct Pattern<10> : PatternFacts {
    static constexpr int Slots = 3;
    static constexpr int GridSlots = 2;  // |w|, G = (w + u) + v
    static constexpr bool GridAngle = true;
    static long double Coordinate(int i, int n) { return 1.0L - (1.0L - DoubleFraction(i, n)); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = SquareOf(o.Sin(u + a.a1));
        C[2] = std::fabs(u);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = SquareOf(o.Sin(v + a.a2));
        R[2] = std::fabs(v);
    }
    // w = log(T(col) + T(row) + 0.01)
    static constexpr long double GridConstant = 0.01L;
    static long double GridTerm(int i, int n) { return SquareOf(Centred(i, n)); }
    template <class O>
    static void Grid(const O&, int col, int row, int W, int H, long double* out, long double& w) {
        w = std::log(GridTerm(col, W) + GridTerm(row, H) + GridConstant);
        out[0] = std::fabs(w);
        out[1] = w + Coordinate(col, W) + Coordinate(row, H);  // G = (w + u) + v
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        V1 = t.Col(1) + t.Row(2);
        V2 = t.Row(1) + t.Col(2);
        V3 = t.Square(t.SinOfGridPlusA3()) + t.Grid(0);
    }
};

template <>
struct Pattern<11> : PatternFacts {
    static constexpr int Slots = 7;
    static long double Coordinate(int i, int n) { return Centred(i, n); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        SineSumPattern<11>::Column(o, u, a, C);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        o.Pair([&] { return v; }, R[1], R[2]);
        o.Pair([&] { return (v + a.a2) + v; }, R[3], R[4]);
        o.Pair([&] { return (v + a.a3) + v; }, R[5], R[6]);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        const V p = t.Abs(
            t.SinOfSum(1, 1, [&](const auto& d) { return d.Sin(u - d.A3()) + (u + d.A1()) + v; }));
        const V q = t.Abs(
            t.SinOfSum(3, 3, [&](const auto& d) { return d.Sin(u - d.A1()) + (v + d.A2()) + v; }));
        const V r = t.Abs(t.SinOfSum(
            5, 5, [&](const auto& d) { return d.Sin(u - d.A2()) + (u + v + d.A3()) + v; }));
        t.Keep(p, q, r);
        V1 = p + t.Fifth(t.Sqrt(p + t.Hundredth()));
        V2 = q + t.Fifth(t.Sqrt(q + t.Hundredth()));
        V3 = r + t.Fifth(t.Sqrt(r + t.Hundredth()));
    }
};

template <>
struct Pattern<12> : PatternFacts {
    static constexpr int Slots = 5;
    static long double Coordinate(int i, int n) { return Centred(i, n); }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        C[1] = std::fabs(o.Sin(u + a.a2));
        C[2] = std::fabs(u);
        o.Pair([&] { return u; }, C[3], C[4]);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        R[1] = std::fabs(o.Sin(v + a.a3));
        R[2] = std::fabs(v);
        o.Pair([&] { return v - a.a1; }, R[3], R[4]);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        V1 = t.Col(1) - t.Row(2);
        V2 = t.Row(1) - t.Col(2);
        V3 = t.Abs(t.SinOfSum(3, 3, [&](const auto& d) { return u + v - d.A1(); })) - t.Abs(u - v);
    }
};

template <>
struct Pattern<14> : PatternFacts {
    static constexpr int Slots = 7;
    static long double Coordinate(int i, int n) { return Falling(i, n) * 0.5L; }
    template <class O>
    static void Column(const O& o, long double u, const FrameAngles& a, long double* C) {
        o.Pair([&] { return (u + a.a1) + (u - a.a3); }, C[1], C[2]);
        o.Pair([&] { return u - a.a1; }, C[3], C[4]);
        o.Pair([&] { return u + (u - a.a2); }, C[5], C[6]);
    }
    template <class O>
    static void Row(const O& o, long double v, const FrameAngles& a, long double* R) {
        Pattern<11>::Row(o, v, a, R);
    }
    template <class T, class V>
    LUMORA_ALWAYS_INLINE static void Point(const T& t, V& V1, V& V2, V& V3) {
        const V u = t.Col(0), v = t.Row(0);
        const V p =
            t.Abs(t.SinOfSum(1, 1, [&](const auto& d) { return (u + d.A1()) + (u - d.A3()) + v; }));
        const V q =
            t.Abs(t.SinOfSum(3, 3, [&](const auto& d) { return (v + d.A2()) + (u - d.A1()) + v; }));
        const V r = t.Abs(
            t.SinOfSum(5, 5, [&](const auto& d) { return (u + v + d.A3()) + (u - d.A2()) + v; }));
        t.Keep(p, q, r);
        V1 = LiftedTerm(t, p);  // up to 1.2: left for the fold
        V2 = LiftedTerm(t, q);
        V3 = LiftedTerm(t, r);
    }
};

// Calls f(std::integral_constant<int, P>) for pattern 1..14; nothing for any other number.
template <int P>
struct PatternNumber {
    static constexpr int value = P;
};
template <class F>
inline void WithPattern(int pattern, F&& f) {
    switch (pattern) {
        case 1: f(PatternNumber<1>{}); break;
        case 2: f(PatternNumber<2>{}); break;
        case 3: f(PatternNumber<3>{}); break;
        case 4: f(PatternNumber<4>{}); break;
        case 5: f(PatternNumber<5>{}); break;
        case 6: f(PatternNumber<6>{}); break;
        case 7: f(PatternNumber<7>{}); break;
        case 8: f(PatternNumber<8>{}); break;
        case 9: f(PatternNumber<9>{}); break;
        case 10: f(PatternNumber<10>{}); break;
        case 11: f(PatternNumber<11>{}); break;
        case 12: f(PatternNumber<12>{}); break;
        case 13: f(PatternNumber<13>{}); break;
        case 14: f(PatternNumber<14>{}); break;
        default: break;
    }
}

// The facts of pattern 1..14 at run time; 0 or false for any other number.
inline int TableSlotsOf(int pattern) {
    int slots = 0;
    WithPattern(pattern, [&](auto p) { slots = Pattern<p.value>::Slots; });
    return slots;
}
inline int GridSlotsOf(int pattern) {
    int slots = 0;
    WithPattern(pattern, [&](auto p) { slots = Pattern<p.value>::GridSlots; });
    return slots;
}
inline bool GridAngle(int pattern) {
    bool angle = false;
    WithPattern(pattern, [&](auto p) { angle = Pattern<p.value>::GridAngle; });
    return angle;
}

}  // namespace
}  // namespace lumora
