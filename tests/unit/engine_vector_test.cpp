// The vector frame against the straightforward evaluation on every path the processor offers:
// identical pixels, every value within its bound, larger bounds only adding fallbacks, and the
// vector unit's rounding state set and put back.
//
// LUMORA_BOUND_FACTOR (default 1) scales the bounds the value test holds the differences to: a
// factor below 1 must make it fail (the bounds are not far above the real differences).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/fpu_guard.h"
#include "engine/pattern_terms.h"
#include "engine/render_tables.h"
#include "engine/still.h"
#include "engine/vector_frame.h"

namespace lumora {
namespace {

std::vector<EnginePath> VectorPaths() {
    std::vector<EnginePath> paths;
    for (EnginePath p : {EnginePath::Avx2, EnginePath::Avx512})
        if (EnginePathAvailable(p)) paths.push_back(p);
    return paths;
}

// A fresh state on `path`, its field generated.
std::unique_ptr<EngineState> MakeState(EnginePath path, int pattern, int width, int height,
                                       uint32_t seed) {
    auto state = std::make_unique<EngineState>(height + 1, width + 1);
    EXPECT_TRUE(state->Render->SetPath(path));
    SeedRandom(seed);
    SeedAnimation(*state);
    state->Pattern = pattern;
    state->Speed = 50;
    SetGridSize(*state, width, height);
    GeneratePatternField(*state);
    return state;
}

// Frames of one state on the active path against the straightforward points of the same
// rotation; returns the differing pixels. Schemes cycle through all 19.
long CompareFrames(EngineState& state, int frames, int firstScheme) {
    const int w = state.GridWidth, h = state.GridHeight;
    std::vector<uint32_t> expected(static_cast<size_t>(w) * h), actual(expected.size());
    long differing = 0;
    for (int f = 0; f < frames; ++f) {
        state.ColourScheme = (firstScheme + f) % 19;
        {
            ExtendedPrecisionScope precision;
            AdvanceRotation(state);
        }
        RenderPointsReference(state, {expected.data(), w});
        const uint32_t last = state.PixelColour;
        RenderPoints(state, {actual.data(), w});
        EXPECT_EQ(state.PixelColour, last);
        for (size_t i = 0; i < expected.size(); ++i) differing += expected[i] != actual[i];
    }
    return differing;
}

TEST(VectorFrame, EveryPathGivesTheStraightforwardPixelsForEveryPatternAndScheme) {
    struct Grid {
        int width, height;
    };
    for (EnginePath path : VectorPaths()) {
        long long points = 0;
        for (int pattern = 1; pattern <= 25; ++pattern)
            for (const Grid& g : {Grid{61, 37}, Grid{1, 9}, Grid{9, 1}, Grid{13, 5}}) {
                // Each check names its case itself, as in settings_test: a SCOPED_TRACE makes
                // GoogleTest on Windows start a thread of its own, which Wine may still be
                // starting when the program ends.
                const std::string label =
                    (testing::Message() << EnginePathName(path) << " pattern " << pattern
                                        << " grid " << g.width << "x" << g.height)
                        .GetString();
                auto state = MakeState(path, pattern, g.width, g.height, 500u + pattern);
                EXPECT_EQ(CompareFrames(*state, 19, pattern), 0) << label;
                points += state->Render->Counts().points;
            }
        // The vector path drew them (the counts are its own).
        EXPECT_EQ(points, 25L * 19 * (61 * 37 + 9 + 9 + 65));
    }
}

// States rendered in turn, as a cross-fade and each monitor's field do, and one whose field is
// made anew for another pattern: each frame is still the straightforward one (no state's tables
// or planes serve another).
TEST(VectorFrame, StatesRenderedInTurnKeepTheirOwnTablesAndPlanes) {
    for (EnginePath path : VectorPaths()) {
        std::vector<std::unique_ptr<EngineState>> states;
        int seed = 0;
        for (int pattern : {4, 4, 8, 10, 17, 17, 22}) {
            ++seed;
            states.push_back(MakeState(path, pattern, 29 + seed, 17, 600u + seed));
        }
        for (int round = 0; round < 3; ++round) {
            for (size_t i = 0; i < states.size(); ++i) {
                const std::string label = (testing::Message() << EnginePathName(path) << " round "
                                                              << round << " state " << i)
                                              .GetString();
                EXPECT_EQ(CompareFrames(*states[i], 1, round), 0) << label;
                EXPECT_EQ(CompareFrames(*states[(i + 1) % 2], 1, round), 0) << label;
            }
            states[0]->Pattern = round == 0 ? 21 : 8;
            GeneratePatternField(*states[0]);
        }
    }
}

TEST(VectorFrame, AStillInPiecesBeyondThePlanesTakesTheVectorPath) {
    for (EnginePath path : VectorPaths()) {
        for (int pattern : {4, 8, 10, 17}) {
            // a piece of a larger field: the per-grid tables and coordinates follow the piece
            auto state = MakeState(path, pattern, 40, 30, 77u);
            state->FieldWidth = 300, state->FieldHeight = 200, state->FieldColumn = 123,
            state->FieldRow = 57;
            GeneratePatternField(*state);
            const std::string label =
                (testing::Message() << EnginePathName(path) << " pattern " << pattern).GetString();
            EXPECT_EQ(CompareFrames(*state, 4, 3), 0) << label;
        }
    }
}

// Every value within its bound: on many frames of every pattern at top speed (the angles sweep
// fastest), |double - 80-bit| <= bound for each of the three values of every point.
TEST(VectorFrame, EveryValueLiesWithinItsBound) {
    const char* factorText = std::getenv("LUMORA_BOUND_FACTOR");
    const double factor = factorText ? std::atof(factorText) : 1.0;
    for (EnginePath path : VectorPaths()) {
        for (int pattern = 1; pattern <= 25; ++pattern) {
            const int w = 53, h = 41;
            auto state = MakeState(path, pattern, w, h, 900u + pattern);
            std::vector<double> record(static_cast<size_t>(w) * h * 6);
            std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
            long violations = 0, values = 0;
            double worstRatio = 0;
            for (int f = 0; f < 40; ++f) {
                ExtendedPrecisionScope precision;
                AdvanceRotation(*state);
                state->Render->SetTestHooks({1.0, record.data()});
                RenderPoints(*state, {pixels.data(), w});
                state->Render->SetTestHooks({});
                for (int i = 0; i < w * h; ++i) {
                    RotatePoint(*state, i / w, i % w);
                    PatternValues(*state, i / w, i % w);
                    const long double exact[3] = {state->PointValue1, state->PointValue2,
                                                  state->PointValue3};
                    for (int k = 0; k < 3; ++k) {
                        const double value = record[i * 6 + k], bound = record[i * 6 + 3 + k];
                        if (!std::isfinite(exact[k])) continue;  // such a point falls back
                        const double diff = static_cast<double>(std::fabs(value - exact[k]));
                        ++values;
                        violations += !(diff <= bound * factor);
                        if (bound > 0) worstRatio = std::max(worstRatio, diff / bound);
                    }
                }
            }
            std::printf("%s pattern %d: largest difference / bound %.3g over %ld values\n",
                        EnginePathName(path), pattern, worstRatio, values);
            const std::string label =
                (testing::Message() << EnginePathName(path) << " pattern " << pattern).GetString();
            EXPECT_EQ(violations, 0) << label << ": of " << values << " values";
            EXPECT_GT(values, 0) << label;
        }
    }
}

// The library's functions, as the straightforward evaluation takes them.
struct LibraryOps {
    static long double Sin(long double x) { return std::sin(x); }
    static long double Cos(long double x) { return std::cos(x); }
    static void SinCos(long double x, long double& s, long double& c) {
        s = std::sin(x);
        c = std::cos(x);
    }
};

// The per-grid values the vector frame makes in double, on a piece of a larger field: each within
// its slot's bound of the straightforward one (pattern 10 keeps sin G and cos G of its angle G).
TEST(VectorFrame, PerGridValuesLieWithinTheirSlotsBounds) {
    const int w = 37, h = 23, padded = 40;
    for (EnginePath path : VectorPaths()) {
        for (int pattern : {4, 8, 10}) {
            auto state = MakeState(path, pattern, w, h, 5u);
            state->FieldWidth = 300, state->FieldHeight = 200, state->FieldColumn = 201,
            state->FieldRow = 150;
            std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
            RenderFrame(*state, {pixels.data(), w});
            const RenderTables& tables = state->Render->Tables();
            const double* grid = tables.VectorGrid.Values.get();
            ASSERT_NE(grid, nullptr);
            long violations = 0, values = 0;
            double worstRatio = 0;
            for (int row = 0; row < h; ++row)
                for (int col = 0; col < w; ++col) {
                    long double exact[3] = {}, logarithm = 0;
                    WithPattern(pattern, [&](auto p) {
                        if constexpr (Pattern<p.value>::GridSlots > 0)
                            Pattern<p.value>::Grid(LibraryOps{}, 201 + col, 150 + row, 300, 200,
                                                   exact, logarithm);
                    });
                    if (pattern == 10) {
                        const long double angle = exact[1];
                        exact[1] = std::sin(angle), exact[2] = std::cos(angle);
                    }
                    const int slots = pattern == 4 ? 1 : pattern == 8 ? 2 : 3;
                    for (int k = 0; k < slots; ++k) {
                        const double value = grid[(static_cast<long>(k) * h + row) * padded + col];
                        const double bound = tables.VectorGridAbs[k];
                        const double diff = static_cast<double>(std::fabs(value - exact[k]));
                        ++values;
                        violations += !(diff <= bound);
                        worstRatio = std::max(worstRatio, diff / bound);
                    }
                }
            std::printf("%s pattern %d: largest difference / bound %.3g over %ld values\n",
                        EnginePathName(path), pattern, worstRatio, values);
            const std::string label =
                (testing::Message() << EnginePathName(path) << " pattern " << pattern).GetString();
            EXPECT_EQ(violations, 0) << label;
            EXPECT_GT(worstRatio, 0) << label;
            EXPECT_LT(tables.VectorGridAbs[0], 0x1p-40) << label;  // tight enough to decide
        }
    }
}

// Bounds far too large make points fall back, and the pixels stay the straightforward ones.
TEST(VectorFrame, LargerBoundsOnlyAddFallbacks) {
    for (EnginePath path : VectorPaths()) {
        for (int pattern : {3, 8, 9, 12, 17}) {
            const std::string label =
                (testing::Message() << EnginePathName(path) << " pattern " << pattern).GetString();
            auto state = MakeState(path, pattern, 61, 37, 31u);
            // pattern 8's per-grid sines carry the double sine's bound, several times the rest
            state->Render->SetTestHooks({pattern == 8 ? 1e7 : 1e8, nullptr});
            state->Render->ResetCounts();
            EXPECT_EQ(CompareFrames(*state, 19, 0), 0) << label;
            const VectorCounts counts = state->Render->Counts();
            std::printf("%s pattern %d: %lld of %lld points fell back\n", EnginePathName(path),
                        pattern, counts.fallbacks, counts.points);
            EXPECT_GT(counts.fallbacks, 0) << label;
            EXPECT_LT(counts.fallbacks, counts.points / 2) << label;
        }
    }
}

TEST(VectorFrame, AnglesBeyondTheBoundsRangeAreComputedStraightforwardly) {
    for (EnginePath path : VectorPaths()) {
        auto state = MakeState(path, 11, 23, 17, 5u);
        state->RotationAngle1 = 1e6L;  // lumora-render takes any angle
        state->Render->ResetCounts();
        EXPECT_EQ(CompareFrames(*state, 2, 0), 0);
        EXPECT_EQ(state->Render->Counts().fallbacks, state->Render->Counts().points);
    }
}

TEST(VectorFrame, TheCallersRoundingStateReachesNeitherThePixelsNorTheCaller) {
    if (!HasX87) GTEST_SKIP() << "no x87 unit";
    for (EnginePath path : VectorPaths()) {
        for (int pattern : {9, 14, 20}) {
            auto state = MakeState(path, pattern, 37, 23, 11u);
            // round upwards, flush to zero, denormals are zero
            const uint32_t saved = ReadMxcsr();
            const uint32_t odd =
                (saved & ~MxcsrRoundingMask) | 0x4000 | MxcsrFlushToZero | MxcsrDenormalsAreZero;
            WriteMxcsr(odd);
            const long differing = CompareFrames(*state, 3, 0);
            const uint32_t after = ReadMxcsr();
            WriteMxcsr(saved);
            EXPECT_EQ(differing, 0);
            EXPECT_EQ(after & ~0x3Fu, odd & ~0x3Fu);  // the flags (bits 0..5) may have been raised
        }
    }
}

// ---- Stills of the stored patterns without planes (RenderFieldVector) ----------------------

// A fresh state on `path` with planes of rows x columns, seeded, its rotation not yet advanced.
std::unique_ptr<EngineState> SeededState(EnginePath path, int pattern, int scheme, uint32_t seed,
                                         int rows = MaxGridRows, int columns = MaxGridColumns) {
    auto state = std::make_unique<EngineState>(rows, columns);
    EXPECT_TRUE(state->Render->SetPath(path));
    SeedRandom(seed);
    SeedAnimation(*state);
    state->Pattern = pattern;
    state->ColourScheme = scheme;
    state->Speed = 50;
    return state;
}

// The straightforward still: a fresh state with planes of the still's size, its field and one
// frame evaluated as written.
std::unique_ptr<EngineState> StraightforwardStill(int pattern, int scheme, uint32_t seed, int width,
                                                  int height, std::vector<uint32_t>& pixels) {
    auto state = SeededState(EnginePath::X87, pattern, scheme, seed, height, width);
    state->GridWidth = width;
    state->GridHeight = height;
    GeneratePatternFieldReference(*state);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    RenderFrameReference(*state, {pixels.data(), width});
    return state;
}

long Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    long count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

// Every stored pattern, and those with per-grid values, and every scheme, in small pieces within
// the planes and in wide ones beyond them: the straightforward still's pixels, the last one also
// left in the state.
TEST(VectorStill, StoredAndPerGridPatternsGiveTheStraightforwardStillOnEveryPath) {
    struct Size {
        int width, height, piecePoints, pieceColumns;
    };
    for (EnginePath path : VectorPaths()) {
        for (int pattern : {4, 8, 10, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25}) {
            for (const Size size : {Size{203, 97, 2000, 64}, Size{2100, 3, 1 << 18, 2001}}) {
                for (int scheme : {pattern % 19, (pattern + 7) % 19}) {
                    const std::string label =
                        (testing::Message()
                         << EnginePathName(path) << " pattern " << pattern << " scheme " << scheme
                         << " " << size.width << "x" << size.height)
                            .GetString();
                    const uint32_t seed = 300u + pattern * 19 + scheme;
                    std::vector<uint32_t> expected;
                    auto straightforward = StraightforwardStill(pattern, scheme, seed, size.width,
                                                                size.height, expected);
                    auto state = SeededState(path, pattern, scheme, seed);
                    std::vector<uint32_t> actual(expected.size(), 0);
                    StillRender(*state, size.width, size.height, size.piecePoints,
                                size.pieceColumns)
                        .RenderAll({actual.data(), size.width});
                    EXPECT_EQ(Differing(actual, expected), 0) << label;
                    EXPECT_EQ(state->PixelColour, straightforward->PixelColour) << label;
                    // the vector path drew every point
                    EXPECT_EQ(state->Render->Counts().points,
                              static_cast<long long>(size.width) * size.height)
                        << label;
                }
            }
        }
    }
}

// Points where the bounds leave the pixel undecided are computed in 80 bits: with every bound
// made far larger, many of them, and still the straightforward pixels.
TEST(VectorStill, LargerBoundsOnlyAddFallbacks) {
    for (EnginePath path : VectorPaths()) {
        // scales that leave the bounds below the colouring's limit, 2^-20, on most points
        for (const auto& [pattern, scale] : {std::pair{16, 1e6}, {23, 1e5}, {24, 3e6}}) {
            const std::string label =
                (testing::Message() << EnginePathName(path) << " pattern " << pattern).GetString();
            const int width = 150, height = 70;
            std::vector<uint32_t> expected;
            StraightforwardStill(pattern, 4, 71u, width, height, expected);
            auto state = SeededState(path, pattern, 4, 71u);
            state->Render->SetTestHooks({scale, nullptr});
            std::vector<uint32_t> actual(expected.size(), 0);
            StillRender(*state, width, height, 3000, 40).RenderAll({actual.data(), width});
            EXPECT_EQ(Differing(actual, expected), 0) << label;
            const VectorCounts counts = state->Render->Counts();
            std::printf("%s pattern %d: %lld of %lld points fell back\n", EnginePathName(path),
                        pattern, counts.fallbacks, counts.points);
            EXPECT_GT(counts.fallbacks, 0) << label;
            EXPECT_LT(counts.fallbacks, counts.points) << label;
        }
    }
}

// Every value within its bound of both 80-bit fields' turned values: the straightforward field's
// (the library's functions) and the fast one's (the engine's kernels), on a piece of a larger
// field, over many rotations.
TEST(VectorStill, EveryValueLiesWithinItsBoundOfBothFields) {
    const char* factorText = std::getenv("LUMORA_BOUND_FACTOR");
    const double factor = factorText ? std::atof(factorText) : 1.0;
    const int w = 47, h = 31;
    for (EnginePath path : VectorPaths()) {
        for (int pattern = 15; pattern <= 25; ++pattern) {
            auto state = SeededState(path, pattern, 0, 800u + pattern, h, w);
            auto straightforward = SeededState(path, pattern, 0, 1u, h, w);
            auto fast = SeededState(path, pattern, 0, 1u, h, w);
            EngineState* const exact[2] = {straightforward.get(), fast.get()};
            for (EngineState* s : {state.get(), exact[0], exact[1]}) {
                s->GridWidth = w, s->GridHeight = h;
                s->FieldWidth = 400, s->FieldHeight = 300, s->FieldColumn = 351, s->FieldRow = 13;
            }
            GeneratePatternFieldReference(*exact[0]);
            GeneratePatternField(*exact[1]);
            std::vector<double> record(static_cast<size_t>(w) * h * 6);
            std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
            long violations = 0, values = 0;
            double worstRatio = 0;
            for (int f = 0; f < 20; ++f) {
                ExtendedPrecisionScope precision;
                AdvanceRotation(*state);
                state->Render->SetTestHooks({1.0, record.data()});
                EXPECT_TRUE(RenderFieldVector(*state, {pixels.data(), w}));
                state->Render->SetTestHooks({});
                for (EngineState* e : exact) {
                    e->Matrix = state->Matrix;
                    for (int i = 0; i < w * h; ++i) {
                        RotatePoint(*e, i / w, i % w);
                        const long double turned[3] = {e->PointValue1, e->PointValue2,
                                                       e->PointValue3};
                        for (int k = 0; k < 3; ++k) {
                            const double value = record[i * 6 + k], bound = record[i * 6 + 3 + k];
                            const double diff = static_cast<double>(std::fabs(value - turned[k]));
                            ++values;
                            violations += !(diff <= bound * factor);
                            if (bound > 0 && std::isfinite(bound))
                                worstRatio = std::max(worstRatio, diff / bound);
                        }
                    }
                }
            }
            std::printf("%s pattern %d: largest difference / bound %.3g over %ld values\n",
                        EnginePathName(path), pattern, worstRatio, values);
            const std::string label =
                (testing::Message() << EnginePathName(path) << " pattern " << pattern).GetString();
            EXPECT_EQ(violations, 0) << label << ": of " << values << " values";
            EXPECT_GT(worstRatio, 0) << label;
        }
    }
}

// Only the stored patterns on a vector path take it: elsewhere it draws nothing.
TEST(VectorStill, OtherPatternsAndTheX87PathAreLeftToThePlanes) {
    auto x87 = SeededState(EnginePath::X87, 17, 0, 1u, 4, 4);
    x87->GridWidth = x87->GridHeight = 4;
    std::vector<uint32_t> pixels(16, 0);
    EXPECT_FALSE(RenderFieldVector(*x87, {pixels.data(), 4}));
    for (EnginePath path : VectorPaths()) {
        for (int pattern : {0, 3, 14, 26}) {
            auto state = SeededState(path, pattern, 0, 1u, 4, 4);
            state->GridWidth = state->GridHeight = 4;
            EXPECT_FALSE(RenderFieldVector(*state, {pixels.data(), 4})) << pattern;
        }
    }
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0u), 16);
}

TEST(VectorFrame, PathsAreChosenFromTheProcessorAndCanBeForced) {
    EXPECT_TRUE(EnginePathAvailable(EnginePath::X87));
    EngineState fresh;
    const EnginePath first = fresh.Render->Path();
    EXPECT_TRUE(EnginePathAvailable(first));
    // the fastest available first
    const EnginePath best = EnginePathAvailable(EnginePath::Avx512) ? EnginePath::Avx512
                            : EnginePathAvailable(EnginePath::Avx2) ? EnginePath::Avx2
                                                                    : EnginePath::X87;
    EXPECT_EQ(first, best);
    EXPECT_EQ(FastestEnginePath(), best);
    auto state = MakeState(EnginePath::X87, 5, 20, 10, 3u);
    EXPECT_EQ(state->Render->Path(), EnginePath::X87);
    EXPECT_EQ(CompareFrames(*state, 2, 0), 0);
    EXPECT_EQ(state->Render->Counts().points, 0);  // the 80-bit frame drew them
    // a path forced on one state is that state's alone
    EXPECT_EQ(fresh.Render->Path(), best);
    if (!EnginePathAvailable(EnginePath::Avx512)) {
        EXPECT_FALSE(state->Render->SetPath(EnginePath::Avx512));
        EXPECT_EQ(state->Render->Path(), EnginePath::X87);
    }
    EXPECT_STREQ(EnginePathName(EnginePath::Avx2), "avx2");
}

}  // namespace
}  // namespace lumora
