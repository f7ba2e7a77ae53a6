// Per-frame patterns 1..14: computed afresh for every point of every frame from its column and
// row, the grid size, the advanced angles a1..a3 and the frame's start sines s1..s3. They replace
// the rotated plane values entirely. The formulas are pattern_terms.h's; here they are evaluated
// as written, every sine and logarithm the library's, in 80 bits.
//
// The point's scratch lives in the state: u, v, w in IterA[0], IterB[0], IterC[0]; p, q, r in
// IterA[1], IterB[1], IterC[1]; the sequence of pattern 9 in IterA/IterB/IterC[1..3]; the sine
// terms of pattern 1 and g1, g2 of patterns 8 and 9 in IterParam1 and IterParam2. Nothing
// carries from one point to the next.
#include <cmath>

#include "engine/engine.h"
#include "engine/pattern_terms.h"
#include "engine/point.h"

namespace lumora {
namespace {

// The state's scratch fields and a PointScratch's, in one list: f(state field, scratch field).
template <class State, class Scratch, class F>
void ForEachScratchField(State& state, Scratch& s, F f) {
    for (int k = 0; k < 4; ++k) {
        f(state.IterA[k], s.IterA[k]);
        f(state.IterB[k], s.IterB[k]);
        f(state.IterC[k], s.IterC[k]);
    }
    f(state.IterParam1, s.IterParam1);
    f(state.IterParam2, s.IterParam2);
    f(state.PointValue1, s.PointValue1);
    f(state.PointValue2, s.PointValue2);
    f(state.PointValue3, s.PointValue3);
}

// The term definitions as written: no sine and cosine pair for the addition formula (SinOfSum
// below takes the sine of the whole argument), and sin w, cos w of pattern 8 by the library.
struct DefinitionOps {
    static long double Sin(long double x) { return std::sin(x); }
    static long double Cos(long double x) { return std::cos(x); }
    template <class F>
    void Pair(const F&, long double&, long double&) const {}
    static void SinCos(long double x, long double& s, long double& c) {
        s = std::sin(x);
        c = std::cos(x);
    }
};

constexpr int Slots = 8;

// One point's terms for the shared formulas (pattern_terms.h), every operation the library's in
// 80 bits, in the order written.
struct DefinitionTerms {
    using Value = long double;
    long double col[Slots], row[Slots], grid[2];
    FrameAngles a;
    PointScratch* scratch;
    mutable long double* logs;  // pattern 9: where each scaled logarithm is kept

    long double Col(int k) const { return col[k]; }
    long double Row(int k) const { return row[k]; }
    long double Grid(int k) const { return grid[k]; }
    template <class F>
    long double SinOfSum(int, int, const F& argument) const {
        return std::sin(argument(*this));
    }
    long double SinOfGridPlusA3() const { return std::sin(grid[1] + a.a3); }
    long double SinOfScaledLog(long double x) const {
        const long double w = std::log(x) * 0.15L;
        *logs++ = w;
        return std::sin(w);
    }
    void Keep(long double p, long double q, long double r) const {
        scratch->IterA[1] = p;
        scratch->IterB[1] = q;
        scratch->IterC[1] = r;
    }
    static long double Square(long double x) { return x * x; }
    static long double Sqrt(long double x) { return std::sqrt(x); }
    static long double Abs(long double x) { return std::fabs(x); }
    static long double Fifth(long double x) { return x / 5.0L; }
    static long double Sin(long double x) { return std::sin(x); }
    static long double Log(long double x) { return std::log(x); }
    static long double AtMostOne(long double x) { return x > 1.0L ? 1.0L : x; }
    static long double Hundredth() { return 0.01L; }
    static long double Half() { return 0.5L; }
    static long double TenThousandth() { return 0.0001L; }
    long double A1() const { return a.a1; }
    long double A2() const { return a.a2; }
    long double A3() const { return a.a3; }
    long double S1() const { return a.s1; }
    long double S3() const { return a.s3; }
};

// Pattern P at field point (row, col) of a W x H field. The scratch gets u, v (IterA[0],
// IterB[0]), w (IterC[0]), p, q, r (IterA..C[1]), the sequence of pattern 9 and g1, g2 or the sine
// terms of pattern 1 (IterParam1, IterParam2), where the pattern has them.
template <int P>
void PointOf(const FrameAngles& a, int row, int col, int W, int H, PointScratch& s) {
    using Formula = Pattern<P>;
    const DefinitionOps o;
    DefinitionTerms t{};
    t.a = a;
    t.scratch = &s;
    const long double u = Formula::Coordinate(col, W), v = Formula::Coordinate(row, H);
    t.col[0] = u;
    t.row[0] = v;
    Formula::Column(o, u, a, t.col);
    Formula::Row(o, v, a, t.row);
    s.IterA[0] = u;
    s.IterB[0] = v;
    if constexpr (Formula::GridSlots > 0) Formula::Grid(o, col, row, W, H, t.grid, s.IterC[0]);
    if constexpr (P == 9) {
        const long double g1 = t.col[1], g2 = t.row[1];
        s.IterParam1 = g1;
        s.IterParam2 = g2;
        long double x[3];
        Formula::Steps(t, s.IterA, s.IterB, g1, g2, x);
        t.logs = &s.IterC[1];
        s.PointValue1 = Formula::Value(t, x[0]);
        s.PointValue2 = Formula::Value(t, x[1]);
        s.PointValue3 = Formula::Value(t, x[2]);
    } else {
        Formula::Point(t, s.PointValue1, s.PointValue2, s.PointValue3);
        if constexpr (P == 1) s.IterParam1 = t.col[1], s.IterParam2 = t.row[1];
        if constexpr (P == 8) s.IterParam1 = t.col[2], s.IterParam2 = t.row[3];
    }
}

}  // namespace

long double PatternCoordinate(int pattern, int index, int count) {
    long double coordinate = 0;
    WithPattern(pattern, [&](auto p) { coordinate = Pattern<p.value>::Coordinate(index, count); });
    return coordinate;
}

void PatternValues(EngineState& state, int row, int col) {
    if (state.Pattern < 1 || state.Pattern > 14) return;
    PointScratch scratch;
    LoadScratch(state, scratch);
    PatternValuesInto(state, row, col, scratch);
    StoreScratch(scratch, state);
}

void LoadScratch(const EngineState& state, PointScratch& s) {
    ForEachScratchField(state, s, [](const long double& from, long double& to) { to = from; });
}

void StoreScratch(const PointScratch& s, EngineState& state) {
    ForEachScratchField(state, s, [](long double& to, const long double& from) { to = from; });
}

void PatternValuesInto(const EngineState& state, int row, int col, PointScratch& scratch) {
    const FrameAngles a{state.RotationAngle1, state.RotationAngle2, state.RotationAngle3,
                        state.StartSine1,     state.StartSine2,     state.StartSine3};
    const int W = FieldWidthOf(state), H = FieldHeightOf(state);
    row += state.FieldRow;
    col += state.FieldColumn;
    WithPattern(state.Pattern, [&](auto p) { PointOf<p.value>(a, row, col, W, H, scratch); });
}

}  // namespace lumora
