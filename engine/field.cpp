// Pattern field generation: the shapes of patterns 15..25, computed once per pattern or grid
// change into the three coordinate planes. RenderFrame turns them every frame.
//
// The formulas are field_patterns.h's; here they are evaluated as written, every sine, cosine
// and logarithm the library's, in 80 bits, point by point. Patterns 23 and 24 leave the last
// point's sequence in the state's IterA/IterB/IterC and their parameter in IterParam1, IterParam2.
#include <cmath>

#include "engine/engine.h"
#include "engine/fast_field.h"
#include "engine/field_patterns.h"
#include "engine/fpu_guard.h"
#include "engine/point.h"

namespace lumora {
namespace {

struct LibraryOps {
    static constexpr bool WholeSequence = true;
    static long double Sin(long double x) { return std::sin(x); }
    static long double Cos(long double x) { return std::cos(x); }
    static void SinCos(long double x, long double& s, long double& c) {
        s = std::sin(x);
        c = std::cos(x);
    }
    static long double Log(long double x) { return std::log(x); }
    static long double Sqrt(long double x) { return std::sqrt(x); }
    static long double Abs(long double x) { return std::fabs(x); }
};

template <int P>
PlanePoint ReferencePoint(EngineState& state, int row, int col, int W, int H) {
    const LibraryOps o;
    if constexpr (P == 23 || P == 24) {
        const long double parameter =
            P == 23 ? field::Pattern23Parameter : field::Pattern24Parameter;
        state.IterParam1 = state.IterParam2 = parameter;
    }
    return field::FieldPointOf<P>(o, row, col, W, H, state.IterA, state.IterB, state.IterC);
}

// The point at grid (row, col): the field's point at (FieldRow + row, FieldColumn + col).
PlanePoint FieldPoint(EngineState& state, int row, int col) {
    const int W = FieldWidthOf(state);
    const int H = FieldHeightOf(state);
    row += state.FieldRow;
    col += state.FieldColumn;
    switch (state.Pattern) {
        case 15: return ReferencePoint<15>(state, row, col, W, H);
        case 16: return ReferencePoint<16>(state, row, col, W, H);
        case 17: return ReferencePoint<17>(state, row, col, W, H);
        case 18: return ReferencePoint<18>(state, row, col, W, H);
        case 19: return ReferencePoint<19>(state, row, col, W, H);
        case 20: return ReferencePoint<20>(state, row, col, W, H);
        case 21: return ReferencePoint<21>(state, row, col, W, H);
        case 22: return ReferencePoint<22>(state, row, col, W, H);
        case 23: return ReferencePoint<23>(state, row, col, W, H);
        case 24: return ReferencePoint<24>(state, row, col, W, H);
        default: return ReferencePoint<25>(state, row, col, W, H);
    }
}

}  // namespace

void GeneratePatternField(EngineState& state) { GeneratePatternFieldFast(state); }

void GeneratePatternRows(EngineState& state, int begin, int end) {
    GeneratePatternRowsFast(state, begin, end);
}

bool PatternHasPlanes(int pattern) { return pattern >= 15 && pattern <= 25; }

void MarkFieldWritten(EngineState& state) { state.Render->PlanesWritten(); }

void GeneratePatternFieldReference(EngineState& state) {
    MarkFieldWritten(state);
    if (state.Pattern < 15 || state.Pattern > 25) return;  // per-frame patterns keep the planes
    if (state.GridHeight < 1) return;
    ExtendedPrecisionScope precision;
    for (int row = 0; row < state.GridHeight; ++row) {
        long double* X = state.PlaneX[row];
        long double* Y = state.PlaneY[row];
        long double* Z = state.PlaneZ[row];
        for (int col = 0; col < state.GridWidth; ++col) {
            const PlanePoint p = FieldPoint(state, row, col);
            X[col] = p.X;
            Y[col] = p.Y;
            Z[col] = p.Z;
        }
    }
}

}  // namespace lumora
