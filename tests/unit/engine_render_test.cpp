// The renderer: a fresh state's first frames on every path against the straightforward evaluation
// of a state of its own, with nothing rendered before them that they could lean on; states that
// share nothing; the patterns' facts against their formulas; the fast-math constants.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/fast_frame.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/pattern_terms.h"

namespace lumora {
namespace {

std::vector<EnginePath> Paths() {
    std::vector<EnginePath> paths;
    for (EnginePath p : {EnginePath::X87, EnginePath::Avx2, EnginePath::Avx512})
        if (EnginePathAvailable(p)) paths.push_back(p);
    return paths;
}

constexpr uint32_t Untouched = 0x12345678u;

struct Case {
    EnginePath path;
    int pattern, width, height, frames, extraStride;
    uint32_t seed;
    int scheme;
};

std::string Label(const Case& c) {
    return (testing::Message() << EnginePathName(c.path) << " pattern " << c.pattern << " scheme "
                               << c.scheme << " grid " << c.width << "x" << c.height << " stride +"
                               << c.extraStride << " seed " << c.seed)
        .GetString();
}

// A fresh state of its own (planes a little larger than the grid), seeded alike for both sides.
std::unique_ptr<EngineState> Fresh(const Case& c) {
    auto state = std::make_unique<EngineState>(c.height + 1, c.width + 1);
    SeedRandom(c.seed);
    SeedAnimation(*state);
    state->Pattern = c.pattern;
    state->ColourScheme = c.scheme;
    state->Speed = 20;
    SetGridSize(*state, c.width, c.height);
    return state;
}

// The case's frames from a fresh state on its path, RenderFrame from the first, into a target
// wider than the grid, against RenderFrameReference on a fresh state of its own; both draw the
// same numbers at every frame. Returns the differing pixels; the columns beyond the grid must stay
// as they were.
long DifferingPixels(const Case& c) {
    const std::string label = Label(c);
    auto fast = Fresh(c);
    auto reference = Fresh(c);
    EXPECT_TRUE(fast->Render->SetPath(c.path)) << label;
    GeneratePatternField(*fast);
    GeneratePatternFieldReference(*reference);
    const int stride = c.width + c.extraStride;
    std::vector<uint32_t> actual(static_cast<size_t>(stride) * c.height, Untouched);
    std::vector<uint32_t> expected(static_cast<size_t>(c.width) * c.height);
    long differing = 0;
    for (int frame = 0; frame < c.frames; ++frame) {
        SeedRandom(c.seed * 7 + frame);
        RenderFrame(*fast, {actual.data(), stride});
        SeedRandom(c.seed * 7 + frame);
        RenderFrameReference(*reference, {expected.data(), c.width});
        for (int row = 0; row < c.height; ++row)
            for (int col = 0; col < stride; ++col) {
                const uint32_t got = actual[static_cast<size_t>(row) * stride + col];
                if (col >= c.width) {
                    EXPECT_EQ(got, Untouched) << label << ": wrote beyond the grid at " << col;
                    continue;
                }
                differing += got != expected[static_cast<size_t>(row) * c.width + col];
            }
        EXPECT_EQ(fast->PixelColour, reference->PixelColour) << label << " frame " << frame;
        EXPECT_EQ(fast->RotationAngle3, reference->RotationAngle3) << label << " frame " << frame;
    }
    if (c.path != EnginePath::X87) {
        EXPECT_EQ(fast->Render->Counts().points,
                  static_cast<long long>(c.frames) * c.width * c.height)
            << label << ": the frames did not take the vector path";
    }
    return differing;
}

TEST(Renderer, AFreshStatesFirstFramesAreTheStraightforwardOnesOnEveryPath) {
    struct Size {
        int width, height, extraStride;
    };
    for (EnginePath path : Paths())
        for (int pattern = 1; pattern <= 25; ++pattern)
            for (const Size& s : {Size{67, 29, 9}, Size{5, 3, 1}}) {
                const Case c{path,
                             pattern,
                             s.width,
                             s.height,
                             3,
                             s.extraStride,
                             static_cast<uint32_t>(50 + pattern),
                             (pattern * 5 + s.width) % 19};
                EXPECT_EQ(DifferingPixels(c), 0) << Label(c);
            }
}

// A stored pattern's first frames before its planes are made, and its frames once they are:
// the straightforward evaluation's pixels, from a fresh state, on every vector path.
TEST(Renderer, FramesWithoutPlanesAreTheFramesWithThem) {
    for (EnginePath path : Paths())
        for (int pattern = 15; pattern <= 25; ++pattern) {
            const Case c{path,        pattern, 53, 21, 4, 0, static_cast<uint32_t>(90 + pattern),
                         pattern % 19};
            const std::string label = Label(c);
            auto fast = Fresh(c);
            auto reference = Fresh(c);
            ASSERT_TRUE(fast->Render->SetPath(path));
            GeneratePatternFieldReference(*reference);
            std::vector<uint32_t> actual(static_cast<size_t>(c.width) * c.height);
            std::vector<uint32_t> expected(actual.size());
            for (int frame = 0; frame < c.frames; ++frame) {
                SeedRandom(c.seed * 7 + frame);
                // Two frames without planes, then the planes made and the frames with them.
                if (frame < 2) {
                    EXPECT_EQ(RenderFrameWithoutPlanes(*fast, {actual.data(), c.width}),
                              path != EnginePath::X87)
                        << label;
                    if (path == EnginePath::X87) break;
                } else {
                    if (frame == 2) GeneratePatternField(*fast);
                    RenderFrame(*fast, {actual.data(), c.width});
                }
                SeedRandom(c.seed * 7 + frame);
                RenderFrameReference(*reference, {expected.data(), c.width});
                EXPECT_EQ(actual, expected) << label << " frame " << frame;
                EXPECT_EQ(fast->RotationAngle2, reference->RotationAngle2) << label;
            }
        }
    // Another pattern has no planes to do without.
    Case other{Paths().back(), 9, 8, 8, 1, 0, 1, 1};
    auto state = Fresh(other);
    const long double angle = state->RotationAngle1;
    std::vector<uint32_t> pixels(64);
    EXPECT_FALSE(RenderFrameWithoutPlanes(*state, {pixels.data(), 8}));
    EXPECT_EQ(state->RotationAngle1, angle) << "advanced all the same";
}

// Two fresh states of one pattern and grid, one made and rendered while the other renders: each
// keeps its own tables, so neither's frames depend on the other's.
TEST(Renderer, StatesShareNothing) {
    for (EnginePath path : Paths())
        for (int pattern : {4, 8, 10, 9, 21}) {
            const Case c{path, pattern, 31, 19, 2, 0, 7u, 3};
            auto first = Fresh(c);
            ASSERT_TRUE(first->Render->SetPath(path));
            GeneratePatternField(*first);
            std::vector<uint32_t> before(31 * 19), after(31 * 19), other(31 * 19);
            SeedRandom(1);
            RenderFrame(*first, {before.data(), 31});
            // another state of the same pattern at another grid, and of the same grid at
            // another field, rendered in between
            Case d = c;
            d.width = 17;
            auto second = Fresh(d);
            ASSERT_TRUE(second->Render->SetPath(path));
            second->FieldWidth = 90, second->FieldHeight = 40, second->FieldColumn = 11;
            GeneratePatternField(*second);
            RenderFrame(*second, {other.data(), 17});
            // the first state again from the same rotation gives the same frame
            auto again = Fresh(c);
            ASSERT_TRUE(again->Render->SetPath(path));
            GeneratePatternField(*again);
            SeedRandom(1);
            RenderFrame(*again, {after.data(), 31});
            EXPECT_EQ(before, after) << Label(c);
        }
}

// ---- The patterns' facts against their formulas ----------------------------------------------

constexpr long double Unwritten = std::numeric_limits<long double>::quiet_NaN();
constexpr long double FromKernel = 7.0L;

// Sines and cosines that say where they came from.
struct MarkingOps {
    static long double Sin(long double x) { return std::sin(x); }
    static long double Cos(long double x) { return std::cos(x); }
    template <class F>
    void Pair(const F& argument, long double& s, long double& c) const {
        s = std::sin(argument());
        c = std::cos(argument());
    }
    static void SinCos(long double, long double& s, long double& c) { s = c = FromKernel; }
};

// The highest slot written, or -1.
int LastWritten(const long double* slots, int count) {
    int last = -1;
    for (int k = 0; k < count; ++k)
        if (!std::isnan(slots[k])) last = k;
    return last;
}

TEST(PatternFacts, EachPatternsSlotsAndGridValuesAreTheOnesItsFormulasWrite) {
    for (int pattern = 1; pattern <= 14; ++pattern)
        WithPattern(pattern, [pattern](auto p) {
            using Formula = Pattern<p.value>;
            const FrameAngles angles{0.3L, 0.7L, 1.1L, 0.29L, 0.64L, 0.89L};
            long double column[FrameTermSlots], row[FrameTermSlots];
            for (int k = 0; k < FrameTermSlots; ++k) column[k] = row[k] = Unwritten;
            column[0] = row[0] = 0.25L;  // the coordinate
            Formula::Column(MarkingOps{}, 0.25L, angles, column);
            Formula::Row(MarkingOps{}, 0.25L, angles, row);
            const int last =
                std::max(LastWritten(column, FrameTermSlots), LastWritten(row, FrameTermSlots));
            EXPECT_EQ(last + 1, Formula::Slots) << "pattern " << pattern;
            long double grid[4] = {Unwritten, Unwritten, Unwritten, Unwritten};
            if constexpr (Formula::GridSlots > 0) {
                long double w = 0;
                Formula::Grid(MarkingOps{}, 3, 2, 9, 7, grid, w);
                // the logarithm of the sum of its column's and its row's terms and the constant
                // (pattern 4 halves it)
                const long double scale = p.value == 4 ? 0.5L : 1.0L;
                EXPECT_EQ(w, std::log(Formula::GridTerm(3, 9) + Formula::GridTerm(2, 7) +
                                      Formula::GridConstant) *
                                 scale)
                    << "pattern " << pattern;
            }
            EXPECT_EQ(LastWritten(grid, 4) + 1, Formula::GridSlots) << "pattern " << pattern;
            EXPECT_EQ(TableSlotsOf(pattern), Formula::Slots);
            EXPECT_EQ(GridSlotsOf(pattern), Formula::GridSlots);
        });
    // numbers outside 1..14 have no per-frame terms
    EXPECT_EQ(TableSlotsOf(15), 0);
    EXPECT_EQ(GridSlotsOf(0), 0);
}

// ---- The fast-math constants -----------------------------------------------------------------

TEST(FastMathTables, TheCompilersQuotientsAndPowersAreTheOnesComputedAtRunTime) {
    ExtendedPrecisionScope precision;
    for (int j = 0; j <= FastLogCentres; ++j) {
        volatile long double centre = 1.0L + static_cast<long double>(j) / FastLogCentres;
        const long double inverse = 1.0L / centre;
        EXPECT_EQ(g_fastMath.Inverse[j], inverse) << "centre " << j;
    }
    for (int k = 0; k < 2047; ++k)
        EXPECT_EQ(g_fastMath.PowerOfTwo[k], std::ldexp(1.0L, k - 1023)) << k;
    EXPECT_EQ(g_fastMath.SinK[64], 1.0L);  // sin(pi/2)
    EXPECT_EQ(g_fastMath.CosK[0], 1.0L);
}

}  // namespace
}  // namespace lumora
