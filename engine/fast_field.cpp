#include "engine/fast_field.h"

#include <cmath>

#include "engine/field_patterns.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/point.h"
#include "engine/worker_pool.h"

namespace lumora {
namespace {

// The formulas are field_patterns.h's, over the engine's own kernels.
struct KernelOps {
    static constexpr bool WholeSequence = false;  // pattern 23: only the C the planes keep
    static long double Sin(long double x) { return FastSin(x); }
    static long double Cos(long double x) { return FastCos(x); }
    static void SinCos(long double x, long double& s, long double& c) { FastSinCos(x, s, c); }
    static long double Log(long double x) { return FastLog(x); }
    static long double Sqrt(long double x) { return std::sqrt(x); }
    static long double Abs(long double x) { return std::fabs(x); }
};

// Two neighbouring points of pattern 23 in lockstep: the same operations on each.
struct Two {
    long double x, y;
};
inline Two operator+(Two a, Two b) { return {a.x + b.x, a.y + b.y}; }
inline Two operator-(Two a, Two b) { return {a.x - b.x, a.y - b.y}; }
inline Two operator*(Two a, Two b) { return {a.x * b.x, a.y * b.y}; }
inline Two operator+(Two a, long double b) { return {a.x + b, a.y + b}; }
inline Two operator*(long double a, Two b) { return {a * b.x, a * b.y}; }
struct PairOps {
    static constexpr bool WholeSequence = false;
    static Two Sin(Two a) { return {FastSin(a.x), FastSin(a.y)}; }
};

// The field's point (row, col) of a W x H field.
template <int P>
PlanePoint KernelPoint(int row, int col, int W, int H) {
    long double A[11], B[11], C[11];  // the sequences of patterns 23 and 24
    return field::FieldPointOf<P>(KernelOps{}, row, col, W, H, A, B, C);
}

// Grid rows [begin, end): the formulas take the field's point and size (engine.h), the planes
// keep it at the grid's own (local) column.
template <int P>
void FieldRows(EngineState& state, int begin, int end) {
    const int W = FieldWidthOf(state), H = FieldHeightOf(state);
    const int offset = state.FieldColumn, endColumn = state.FieldColumn + state.GridWidth;
    for (int local = begin; local < end; ++local) {
        const int row = state.FieldRow + local;
        long double* X = state.PlaneX[local];
        long double* Y = state.PlaneY[local];
        long double* Z = state.PlaneZ[local];
        int col = offset;
        if constexpr (P == 23) {
            const long double b0 = field::FieldPattern<23>::Row(row, H);
            for (; col + 1 < endColumn; col += 2) {
                Two a2[11], b2[11], c2[11];
                a2[0] = {field::FieldPattern<23>::Column(col, W),
                         field::FieldPattern<23>::Column(col + 1, W)};
                b2[0] = {b0, b0};
                field::FieldPattern<23>::Sequence(PairOps{}, a2, b2, c2);
                const int at = col - offset;
                X[at] = c2[8].x;
                Y[at] = c2[9].x;
                Z[at] = c2[10].x;
                X[at + 1] = c2[8].y;
                Y[at + 1] = c2[9].y;
                Z[at + 1] = c2[10].y;
            }
        }
        for (; col < endColumn; ++col) {
            const PlanePoint p = KernelPoint<P>(row, col, W, H);
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
    GeneratePatternRowsFast(state, 0, state.GridHeight);
}

void GeneratePatternRowsFast(EngineState& state, int begin, int end) {
    MarkFieldWritten(state);
    if (!PatternHasPlanes(state.Pattern)) return;  // per-frame patterns keep the planes
    begin = begin < 0 ? 0 : begin;
    end = end > state.GridHeight ? state.GridHeight : end;
    if (begin >= end || state.GridWidth < 1) return;
    ExtendedPrecisionScope precision;
    const RowsFunction rows = PatternRows[state.Pattern - 15];
    auto job = [&state, rows, begin](int first, int last) {
        rows(state, begin + first, begin + last);
    };
    WorkerPool& pool = EnginePool();
    const int grain = (end - begin) / (pool.ThreadCount() * 16);
    pool.ForEachChunk(end - begin, grain < 1 ? 1 : grain, job);
}

void GenerateFieldPointFast(EngineState& state, int row, int col) {
    const int W = FieldWidthOf(state), H = FieldHeightOf(state);
    PlanePoint p{};
    field::WithFieldPattern(state.Pattern, [&](auto pattern) {
        p = KernelPoint<pattern.value>(state.FieldRow + row, state.FieldColumn + col, W, H);
    });
    state.PlaneX[row][col] = p.X;
    state.PlaneY[row][col] = p.Y;
    state.PlaneZ[row][col] = p.Z;
}

}  // namespace lumora
