// The per-point formulas of the per-frame patterns 1..8 and 10..14 over their per-frame and
// per-grid terms (fast_frame.h, FrameTerms and GridPoint), written once for the 80-bit frame
// (fast_frame.cpp) and the vector frame (vector_rows.h). They are patterns.cpp's formulas with
// every term of one coordinate taken from the tables and a sine of a column term plus a row term
// taken by the addition formula.
//
// Terms supplies the number type (Value, with +, - and *) and the point's terms and operations:
// Col(k), Row(k), Grid(k) (slot k of the point's column, row, grid point), SinOfSum(s, r)
// (sin(X + Y) from the sine and cosine of X in column slots s, s + 1 and of Y in row slots
// r, r + 1), SinOfGridPlusA3() (pattern 10: sin(G + a3)), Square, Sqrt, Abs, Fifth (x / 5),
// Sin, Log, AtMostOne (values above 1 become 1), and the constants Hundredth (0.01), Half (0.5)
// and A3 (the angle). For the 80-bit frame each is the operation as written, in that order; the
// vector frame's carry bounds (vector_rows.h).
//
// Everything here is in an unnamed namespace: each translation unit (the vector ones are built
// with other instructions) has its own copy.
#pragma once

namespace lumora {
namespace {

template <class Terms, class Value>
inline Value LiftedTerm(const Terms& t, const Value& x) {  // x^2 + sqrt(x)/5
    return t.Square(x) + t.Fifth(t.Sqrt(x));
}

template <int P, class Terms, class Value = typename Terms::Value>
inline void PatternTerms(const Terms& t, Value& V1, Value& V2, Value& V3) {
    if constexpr (P == 1) {
        const Value u = t.Col(0), v = t.Row(0);
        V1 = (t.Square(u) - t.Square(v)) + t.Col(1);  // u * u - v * v
        V2 = u * v + t.Row(1);
        V3 = t.Sqrt(t.Square(u) + t.Square(v) + t.Hundredth());
    } else if constexpr (P == 2) {
        const Value uv2 = t.Square(t.Col(0) * t.Row(0));
        V1 = uv2 + t.Col(1);
        V2 = uv2 + t.Row(1);
        V3 = uv2 + t.Square(t.SinOfSum(2, 2));
    } else if constexpr (P == 3 || P == 13) {
        const Value p = t.Square(t.SinOfSum(1, 1));
        const Value q = t.Square(t.SinOfSum(3, 3));
        const Value r = t.Square(t.SinOfSum(5, 5));
        if constexpr (P == 3) {
            V1 = t.AtMostOne(LiftedTerm(t, p));
            V2 = t.AtMostOne(LiftedTerm(t, q));
            V3 = t.AtMostOne(LiftedTerm(t, r));
        } else {
            V1 = p, V2 = q, V3 = r;
        }
    } else if constexpr (P == 4) {
        const Value w = t.Grid(0);
        V1 = t.Col(1) + w;
        V2 = t.Row(1) + w;
        V3 = w + t.A3() + t.Row(0) + t.Col(0);
    } else if constexpr (P == 5) {
        V1 = t.Col(1);
        V2 = t.Row(1);
        V3 = t.Square(t.SinOfSum(2, 2));
    } else if constexpr (P == 6 || P == 7) {
        const Value k = t.Square(t.Col(4) * t.Row(4));
        const Value last = t.Square(t.SinOfSum(2, 2));
        if constexpr (P == 6) {
            V1 = k * t.Col(1), V2 = k * t.Row(1), V3 = k * last;
        } else {
            V1 = t.Col(1) + k, V2 = t.Row(1) + k, V3 = last + k;
        }
    } else if constexpr (P == 8) {
        const Value p = t.Col(1) - t.Row(1) - t.Grid(0) + t.Col(2);
        const Value q = t.Sin(p) + t.Row(2) + t.Grid(1) + t.Row(3);
        const Value r = t.Log(t.Square(p) * t.Square(q) + t.Half());
        const Value ap = t.Abs(p), aq = t.Abs(q), ar = t.Abs(r);
        V1 = ap + t.Fifth(t.Sqrt(ap));
        V2 = aq + t.Fifth(t.Sqrt(aq));
        V3 = ar + t.Fifth(t.Sqrt(ar));
    } else if constexpr (P == 10) {
        V1 = t.Col(1) + t.Row(2);
        V2 = t.Row(1) + t.Col(2);
        V3 = t.Square(t.SinOfGridPlusA3()) + t.Grid(0);
    } else if constexpr (P == 11) {
        const Value p = t.Abs(t.SinOfSum(1, 1));
        const Value q = t.Abs(t.SinOfSum(3, 3));
        const Value r = t.Abs(t.SinOfSum(5, 5));
        V1 = p + t.Fifth(t.Sqrt(p + t.Hundredth()));
        V2 = q + t.Fifth(t.Sqrt(q + t.Hundredth()));
        V3 = r + t.Fifth(t.Sqrt(r + t.Hundredth()));
    } else if constexpr (P == 12) {
        V1 = t.Col(1) - t.Row(2);
        V2 = t.Row(1) - t.Col(2);
        V3 = t.Abs(t.SinOfSum(3, 3)) - t.Abs(t.Col(0) - t.Row(0));
    } else if constexpr (P == 14) {
        V1 = LiftedTerm(t, t.Abs(t.SinOfSum(1, 1)));  // up to 1.2: left for the fold
        V2 = LiftedTerm(t, t.Abs(t.SinOfSum(3, 3)));
        V3 = LiftedTerm(t, t.Abs(t.SinOfSum(5, 5)));
    }
}

}  // namespace
}  // namespace lumora
