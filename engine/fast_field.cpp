#include "engine/fast_field.h"

#include <cmath>

#include "engine/constants.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/point.h"
#include "engine/worker_pool.h"

namespace lumora {
namespace {

using namespace constants;

struct PlanePoint {
    long double X, Y, Z;
};

inline long double Square(long double u) { return u * u; }
inline long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
inline long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}
inline long double Sin(long double x) { return FastSin(x); }
inline long double Cos(long double x) { return FastCos(x); }

PlanePoint Pattern15(int row, int col, int W, int H) {
    const long double a = Fraction(col, W);
    const long double b = Fraction(row, H);
    const long double s = std::sqrt(b * b + a * a + 0.000001L) / 1.42L;
    PlanePoint p;
    p.X = 0.2L * Cos(ThreePi * s) + Sin(Pi * a + HalfPi);
    p.Y = 0.2L * Cos(FivePi * a) + Sin(Pi * b + TwoThirdsPi);
    p.Z = 0.2L * Cos(EightPi * b) + Sin(Pi * s + ThirdPi);
    return p;
}

template <bool Damped>
PlanePoint Pattern16Or21(int row, int col, int W, int H) {
    const long double a = (1.0L - DoubleFraction(col, W)) * 2.0L + Pi;
    const long double b = DoubleFraction(row, H) - Pi;
    long double sinA, cosA, sinB, cosB;
    FastSinCos(a, sinA, cosA);
    FastSinCos(b, sinB, cosB);
    const long double s = std::sqrt(Square(sinB) + Square(sinA) + 0.000001L);
    const long double X1 = Damped ? Sin(cosA + 0.1L * Sin(Pi * Sin(a * b)))
                                  : Sin(cosA + Sin(Pi * Sin(a * b)));
    PlanePoint p;
    p.Y = Sin(sinA + Sin(Pi * Sin(b * s * X1)));
    p.Z = Sin(cosB + Sin(Pi * Sin(p.Y * X1)));
    p.X = Sin(cosA + Sin(Pi * Sin(p.Y * p.Z)));
    return p;
}

PlanePoint Pattern17(int row, int col, int W, int H) {
    const long double a = Fraction(col, W);
    const long double b = Fraction(row, H);
    const long double s = std::sqrt(Square(Sin(b)) + Square(Sin(a)) + 0.000001L);
    const long double X1 = Sin(0.2L * Sin(ThreePi * Sin(a * b)) + Sin(Pi * a));
    PlanePoint p;
    p.Y = Sin(0.2L * Sin(ThreePi * Sin(X1 * s)) + Sin(Pi * b));
    p.Z = Sin(0.2L * Sin(ThreePi * Sin(X1 * p.Y)) + Cos(Pi * s));
    p.X = Sin(0.2L * Sin(ThreePi * Sin(p.Y * p.Z)) + Cos(Pi * a));
    return p;
}

PlanePoint Pattern18(int row, int col, int W, int H) {
    const long double a = 1.628L - (1.0L - DoubleFraction(col, W));
    const long double b = 1.314L - (1.0L - DoubleFraction(row, H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L) + 1.7L;
    const long double sinHalfPiA = Sin(HalfPi * a);
    const long double X1 = 0.1L * Cos(FivePi * s) + sinHalfPiA;
    PlanePoint p;
    p.Y = 0.1L * Sin(FivePi * X1) + Sin(HalfPi * b);
    p.Z = 0.1L * Sin(FivePi * (p.Y + a)) + Sin(HalfPi * s);
    p.X = 0.1L * Cos(FivePi * p.Z) + sinHalfPiA;
    return p;
}

PlanePoint Pattern19(int row, int col, int W, int H) {
    const long double a = 1.0L - DoubleFraction(col, W);
    const long double b = 1.0L - DoubleFraction(row, H);
    const long double s = std::sqrt(b * b + a * a + 0.000001L);
    const long double sinPiA = Sin(Pi * a);
    const long double X1 = 0.1L * Square(Cos(s * b * ThreePi)) + sinPiA;
    PlanePoint p;
    p.Y = 0.1L * Square(Sin(X1 * s * FivePi)) + Sin(Pi * b);
    p.Z = 0.1L * Square(Sin(p.Y * a * EightPi)) + Sin(Pi * s);
    p.X = 0.1L * Square(Cos(p.Z * b * ThreePi)) + sinPiA;
    return p;
}

PlanePoint Pattern20(int row, int col, int W, int H) {
    const long double a = 1.628L - (1.0L - DoubleFraction(col, W));
    const long double b = 1.314L - (1.0L - DoubleFraction(row, H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L) + 1.7L;
    PlanePoint p;
    p.X = 0.2L * Cos(TwoPi * (s + b)) + Sin(HalfPi * a);
    p.Y = 0.2L * Sin(ThreePi * (a + s)) + Sin(HalfPi * b);
    p.Z = 0.2L * Sin(FivePi * (b + a)) + Sin(HalfPi * s);
    return p;
}

inline long double SoftenedSquare(long double u) {
    return std::sqrt(std::fabs(u) + 0.001L) / 5.0L + u * u;
}

PlanePoint Pattern22(int row, int col, int W, int H) {
    const long double a = Fraction(col, W) * Pi;
    const long double b = Fraction(row, H) * Pi;
    const long double sinA = Sin(a), sinB = Sin(b);
    const long double u1 = Sin(sinB + (sinA + a));
    const long double u2 = Sin(sinB + (sinA + b));
    const long double u3 = Sin(sinB + (sinA + (a + b)));
    return {SoftenedSquare(u1), SoftenedSquare(u2), SoftenedSquare(u3)};
}

// The iterated patterns keep their sequences here, one set per point, on the thread's stack.
struct IterScratch {
    long double A[11], B[11], C[11];
};

PlanePoint Pattern23(IterScratch& it, int row, int col, int W, int H) {
    long double* A = it.A;
    long double* B = it.B;
    long double* C = it.C;
    A[0] = 1.0L - DoubleFraction(col, W);
    B[0] = 1.0L - DoubleFraction(row, H);
    const long double param1 = 0.628L, param2 = 0.628L;
    for (int k = 1; k <= 10; ++k) {
        A[k] = Sin(A[k - 1] * A[k - 1] - B[k - 1] * B[k - 1] + param1);
        B[k] = Sin(2.0L * A[k - 1] * B[k - 1] + param2);
        // Only the last three C reach the planes, and nothing else reads C: skip the rest.
        if (k >= 8) C[k] = Sin(A[k] * A[k] + B[k] * B[k] + 0.000001L);
    }
    return {C[8], C[9], C[10]};
}

// Two neighbouring points of pattern 23 in lockstep: the same operations on each, so each
// point's values are those of Pattern23; the two chains of sines overlap in the pipeline.
void Pattern23Pair(int row, int col, int W, int H, PlanePoint& first, PlanePoint& second) {
    long double a0 = 1.0L - DoubleFraction(col, W), a1 = 1.0L - DoubleFraction(col + 1, W);
    long double b0 = 1.0L - DoubleFraction(row, H), b1 = b0;
    const long double param1 = 0.628L, param2 = 0.628L;
    long double c0[11], c1[11];
    for (int k = 1; k <= 10; ++k) {
        const long double na0 = Sin(a0 * a0 - b0 * b0 + param1);
        const long double na1 = Sin(a1 * a1 - b1 * b1 + param1);
        const long double nb0 = Sin(2.0L * a0 * b0 + param2);
        const long double nb1 = Sin(2.0L * a1 * b1 + param2);
        a0 = na0;
        a1 = na1;
        b0 = nb0;
        b1 = nb1;
        if (k >= 8) {
            c0[k] = Sin(a0 * a0 + b0 * b0 + 0.000001L);
            c1[k] = Sin(a1 * a1 + b1 * b1 + 0.000001L);
        }
    }
    first = {c0[8], c0[9], c0[10]};
    second = {c1[8], c1[9], c1[10]};
}

PlanePoint Pattern24(IterScratch& it, int row, int col, int W, int H) {
    long double* A = it.A;
    long double* B = it.B;
    long double* C = it.C;
    A[0] = std::fabs(1.0L - DoubleFraction(col, W)) * Pi + 0.1L;
    B[0] = std::fabs(1.0L - DoubleFraction(row, H)) * Pi + 0.1L;
    C[0] = 0.1L * FastLog(A[0] * A[0] + B[0] * B[0] + 0.000001L) + 0.1L;
    const long double param1 = 0.72L, param2 = 0.72L;
    for (int i = 0; i <= 2; ++i) {
        A[i + 1] = Sin(Pi * A[i]) + B[i] + C[i] + param1;
        B[i + 1] = Sin(Pi * B[i]) + A[i] + C[i] + param2;
        C[i + 1] = Sin(Pi * C[i]) + B[i + 1] + A[i];  // the new B but the old A
    }
    return {C[1], C[2], C[3]};
}

PlanePoint Pattern25(int row, int col, int W, int H) {
    const long double a = Sin(Fraction(col, W) + Pi);
    const long double b = Sin(static_cast<long double>(row) * QuarterPi / static_cast<long double>(H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L);
    const long double X1 = 0.1L * Cos(ThreePi * (s + b)) + Sin(Pi * a);
    PlanePoint p;
    p.Y = 0.1L * Cos(ThreePi * (X1 + s)) + Sin(Pi * b);
    p.Z = 0.1L * Cos(ThreePi * (p.Y + X1)) + Sin(Pi * s);
    p.X = Sin(Sin(a) + 0.1L * Cos(ThreePi * (p.Z + p.Y)));
    return p;
}

// Grid rows [begin, end): the formulas take the field's point and size (engine.h), the planes
// keep it at the grid's own (local) column.
template <int P>
void FieldRows(EngineState& state, int begin, int end) {
    const int W = FieldWidthOf(state), H = FieldHeightOf(state);
    const int offset = state.FieldColumn, endColumn = state.FieldColumn + state.GridWidth;
    IterScratch scratch;
    for (int local = begin; local < end; ++local) {
        const int row = state.FieldRow + local;
        long double* X = state.PlaneX[local];
        long double* Y = state.PlaneY[local];
        long double* Z = state.PlaneZ[local];
        int col = offset;
        if constexpr (P == 23) {
            for (; col + 1 < endColumn; col += 2) {
                PlanePoint first, second;
                Pattern23Pair(row, col, W, H, first, second);
                const int at = col - offset;
                X[at] = first.X;
                Y[at] = first.Y;
                Z[at] = first.Z;
                X[at + 1] = second.X;
                Y[at + 1] = second.Y;
                Z[at + 1] = second.Z;
            }
        }
        for (; col < endColumn; ++col) {
            PlanePoint p;
            if constexpr (P == 15) p = Pattern15(row, col, W, H);
            else if constexpr (P == 16) p = Pattern16Or21<false>(row, col, W, H);
            else if constexpr (P == 17) p = Pattern17(row, col, W, H);
            else if constexpr (P == 18) p = Pattern18(row, col, W, H);
            else if constexpr (P == 19) p = Pattern19(row, col, W, H);
            else if constexpr (P == 20) p = Pattern20(row, col, W, H);
            else if constexpr (P == 21) p = Pattern16Or21<true>(row, col, W, H);
            else if constexpr (P == 22) p = Pattern22(row, col, W, H);
            else if constexpr (P == 23) p = Pattern23(scratch, row, col, W, H);
            else if constexpr (P == 24) p = Pattern24(scratch, row, col, W, H);
            else p = Pattern25(row, col, W, H);
            X[col - offset] = p.X;
            Y[col - offset] = p.Y;
            Z[col - offset] = p.Z;
        }
    }
}

using RowsFunction = void (*)(EngineState&, int, int);
constexpr RowsFunction PatternRows[11] = {
    FieldRows<15>, FieldRows<16>, FieldRows<17>, FieldRows<18>, FieldRows<19>, FieldRows<20>,
    FieldRows<21>, FieldRows<22>, FieldRows<23>, FieldRows<24>, FieldRows<25>,
};

}  // namespace

void GeneratePatternFieldFast(EngineState& state) {
    MarkFieldWritten(state);
    if (state.Pattern < 15 || state.Pattern > 25) return;  // per-frame patterns keep the planes
    if (state.GridHeight < 1 || state.GridWidth < 1) return;
    ExtendedPrecisionScope precision;
    InitFastMath();
    const RowsFunction rows = PatternRows[state.Pattern - 15];
    auto job = [&state, rows](int begin, int end) { rows(state, begin, end); };
    WorkerPool& pool = EnginePool();
    const int grain = state.GridHeight / (pool.ThreadCount() * 16);
    pool.ForEachChunk(state.GridHeight, grain < 1 ? 1 : grain, job);
}

}  // namespace lumora
