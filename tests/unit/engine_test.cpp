// The image engine: pattern fields, per-frame patterns, rotation, folding, colouring and frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/constants.h"
#include "engine/engine.h"
#include "engine/fpu_guard.h"

namespace lumora {
namespace {

// A state whose planes are never read gets the smallest ones, and others planes of at least
// 64 x 64 and a row and a column larger than their grid (the tests look just beyond it): the
// product's planes are 144 MB, and under the sanitizers each costs tens of milliseconds to make
// and free.

constexpr double NineDecimals = 5e-10;

std::unique_ptr<EngineState> MakeState(int pattern, int width, int height) {
    auto state = std::make_unique<EngineState>(std::max(height, 64) + 1, std::max(width, 64) + 1);
    state->Pattern = pattern;
    SetGridSize(*state, width, height);
    return state;
}

// ---- Pattern fields ---------------------------------------------------------------------

struct FieldExample {
    int pattern, width, height, row, col;
    double X, Y, Z;
};

TEST(PatternField, ExampleValuesToNineDecimals) {
    const FieldExample examples[] = {
        {15, 7, 5, 0, 0, 1.199995595, 1.066025404, 1.067129478},
        {15, 640, 480, 0, 0, 1.199995595, 1.066025404, 1.067129478},
        {22, 9, 3, 0, 0, 0.006324555, 0.006324555, 0.006324555},
        {19, 4, 4, 2, 2, 0.1, 0.000000247, 0.003141587},
        {23, 2, 2, 1, 1, 0.839216788, 0.305000431, 0.372321289},
        {24, 4, 4, 0, 0, 7.874882742, 14.719940681, 38.088240765},
        {20, 4, 4, 0, 0, 0.791831832, 0.417447045, -0.432452762},
        {25, 8, 8, 0, 0, 0.079331340, 0.058016855, 0.011288988},
    };
    for (const FieldExample& e : examples) {
        const std::string where =
            (testing::Message() << "pattern " << e.pattern << " grid " << e.width << "x" << e.height
                                << " at row " << e.row << " col " << e.col)
                .GetString();
        auto state = MakeState(e.pattern, e.width, e.height);
        GeneratePatternField(*state);
        EXPECT_NEAR(static_cast<double>(state->PlaneX[e.row][e.col]), e.X, NineDecimals) << where;
        EXPECT_NEAR(static_cast<double>(state->PlaneY[e.row][e.col]), e.Y, NineDecimals) << where;
        EXPECT_NEAR(static_cast<double>(state->PlaneZ[e.row][e.col]), e.Z, NineDecimals) << where;
    }
}

// True if any value of the three planes in rows 0..rows-1, columns 0..cols-1 is not 0.
bool AnyPlaneValueSet(const EngineState& state, int rows, int cols) {
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col)
            if (state.PlaneX[row][col] != 0 || state.PlaneY[row][col] != 0 ||
                state.PlaneZ[row][col] != 0)
                return true;
    return false;
}

TEST(PatternField, WritesOnlyForPatterns15To25AndNonEmptyGrids) {
    for (int pattern : {0, 1, 5, 14, 26, -3}) {
        auto state = MakeState(pattern, 16, 9);
        GeneratePatternField(*state);
        EXPECT_FALSE(AnyPlaneValueSet(*state, 9, 16)) << "pattern " << pattern;
    }
    for (auto [w, h] : {std::pair{0, 9}, std::pair{16, 0}}) {
        auto state = MakeState(17, w, h);
        GeneratePatternField(*state);
        EXPECT_FALSE(AnyPlaneValueSet(*state, 9, 16)) << w << "x" << h;
    }
    for (int pattern = 15; pattern <= 25; ++pattern) {
        auto state = MakeState(pattern, 16, 9);
        GeneratePatternField(*state);
        EXPECT_TRUE(AnyPlaneValueSet(*state, 9, 16)) << "pattern " << pattern;
        // Nothing outside the grid's block is touched.
        EXPECT_EQ(state->PlaneX[0][16], 0.0L);
        EXPECT_EQ(state->PlaneZ[9][0], 0.0L);
    }
}

TEST(PatternField, PerFramePatternLeavesTheLastFieldInThePlanes) {
    auto state = MakeState(17, 12, 7);
    GeneratePatternField(*state);
    const long double kept = state->PlaneY[3][5];
    state->Pattern = 5;
    GeneratePatternField(*state);
    EXPECT_EQ(state->PlaneY[3][5], kept);
}

TEST(PatternField, IteratedPatternsCarryNothingBetweenRuns) {
    auto state = MakeState(23, 13, 11);
    GeneratePatternField(*state);
    std::vector<long double> first(state->PlaneZ[10], state->PlaneZ[10] + 13);
    state->Pattern = 24;
    GeneratePatternField(*state);
    state->Pattern = 23;
    GeneratePatternField(*state);
    for (int col = 0; col < 13; ++col) EXPECT_EQ(state->PlaneZ[10][col], first[col]) << col;
}

TEST(PatternField, FullExportGridFitsThePlanes) {
    auto state = MakeState(22, 2000, 1500);
    EXPECT_EQ(state->GridWidth, 2000);
    EXPECT_EQ(state->GridHeight, 1500);
    GeneratePatternField(*state);
    // The far corner: a = b close to pi, so every u is small but not 0.
    EXPECT_GT(state->PlaneX[1499][1999], 0.006L);
    EXPECT_LT(state->PlaneX[1499][1999], 1.3L);
}

// ---- Grid sizing and the generator ------------------------------------------------------

TEST(Grid, SizedFromTheWindowWithTiesToEven) {
    struct Case {
        int windowWidth, windowHeight, divisor, gridWidth, gridHeight;
    } cases[] = {
        {1366, 768, 4, 342, 192},   // 341.5 rounds up to the even 342
        {683, 384, 2, 342, 192},    // the windowed live view of the same screen
        {1680, 1050, 4, 420, 262},  // 262.5 rounds down to the even 262
        {1920, 1080, 4, 480, 270},
        {8006, 6006, 4, 2001, 1501},  // 2001.5 and 1501.5 would leave the planes: clamped
        {30000, 20000, 2, 2001, 1501},
        {-40, 7, 2, 0, 4},  // 3.5 rounds to 4
        {10, 10, 0, 10, 10},
    };
    for (const Case& c : cases) {
        EngineState state(1, 1);
        state.WindowWidth = c.windowWidth;
        state.WindowHeight = c.windowHeight;
        SizeGridToWindow(state, c.divisor);
        EXPECT_EQ(state.GridWidth, c.gridWidth) << c.windowWidth << "/" << c.divisor;
        EXPECT_EQ(state.GridHeight, c.gridHeight) << c.windowHeight << "/" << c.divisor;
    }
    EngineState state(1, 1);
    SetGridSize(state, 2500, 1600);
    EXPECT_EQ(state.GridWidth, 2001);
    EXPECT_EQ(state.GridHeight, 1501);
    SetGridSize(state, -1, 1501);
    EXPECT_EQ(state.GridWidth, 0);
    EXPECT_EQ(state.GridHeight, 1501);
}

TEST(Grid, RoundHalfEven) {
    const std::pair<long double, long double> cases[] = {
        {0.5L, 0},      {1.5L, 2},  {2.5L, 2},   {127.5L, 128}, {126.5L, 126},      {0.255L, 0},
        {254.49L, 254}, {-0.5L, 0}, {-1.5L, -2}, {3.0L, 3},     {0.50000000001L, 1}};
    for (auto [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << static_cast<double>(in);
}

TEST(Random, SeededDrawsRepeatAndCoverTheRange) {
    SeedRandom(1234);
    std::vector<int> first;
    for (int i = 0; i < 50; ++i) first.push_back(Random(1000));
    SeedRandom(1234);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(Random(1000), first[i]);

    int counts[7] = {};
    for (int i = 0; i < 70000; ++i) {
        const int r = Random(7);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, 7);
        ++counts[r];
    }
    for (int c : counts) EXPECT_NEAR(c, 10000, 500);
    EXPECT_EQ(Random(1), 0);
    EXPECT_EQ(Random(0), 0);
}

// True if x is base + k*0.0001 for a whole k in 0..maxSteps (the grid the rates are drawn on).
bool OnRateGrid(long double x, long double base, int maxSteps) {
    const long double steps = (x - base) / 0.0001L;
    const long double k = std::round(steps);
    return std::fabs(steps - k) < 1e-6L && k >= 0 && k <= maxSteps;
}

TEST(Animation, SeedDrawsRatesAndAnglesOnTheirGrids) {
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SeedRandom(seed);
        EngineState state(1, 1);
        SeedAnimation(state);
        EXPECT_TRUE(OnRateGrid(state.RotationRate1, 0.0001L, 9));
        EXPECT_TRUE(OnRateGrid(state.RotationRate2, 0.0001L, 10));
        EXPECT_TRUE(OnRateGrid(state.RotationRate3, 0.0001L, 11));
        const long double a[] = {state.RotationAngle1 * 300, state.RotationAngle2 * 500,
                                 state.RotationAngle3 * 800};
        for (long double steps : a)
            EXPECT_NEAR(static_cast<double>(steps - std::round(steps)), 0, 1e-9);
        EXPECT_LT(state.RotationAngle1, 6.28L);
        EXPECT_LT(state.RotationAngle2, 6.28L);
        EXPECT_LT(state.RotationAngle3, 6.28L);
        EXPECT_GE(state.RotationAngle1, 0.0L);
    }
}

// ---- Rotation ---------------------------------------------------------------------------

TEST(Rotation, MatrixIsOrthonormalWithDeterminantOne) {
    SeedRandom(99);
    for (int trial = 0; trial < 200; ++trial) {
        EngineState state(1, 1);
        state.RotationRate1 = state.RotationRate2 = state.RotationRate3 = 0.0003L;
        state.RotationAngle1 = Random(100000) / 15915.0L;  // 0 .. 2*pi
        state.RotationAngle2 = Random(100000) / 15915.0L;
        state.RotationAngle3 = Random(100000) / 15915.0L;
        AdvanceRotation(state);
        const RotationMatrix& m = state.Matrix;
        const long double M[3][3] = {
            {m.M11, m.M12, m.M13}, {m.M21, m.M22, m.M23}, {m.M31, m.M32, m.M33}};
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                long double dot = 0;
                for (int k = 0; k < 3; ++k) dot += M[i][k] * M[j][k];
                EXPECT_NEAR(static_cast<double>(dot), i == j ? 1.0 : 0.0, 1e-15);
            }
        const long double det = M[0][0] * (M[1][1] * M[2][2] - M[1][2] * M[2][1]) -
                                M[0][1] * (M[1][0] * M[2][2] - M[1][2] * M[2][0]) +
                                M[0][2] * (M[1][0] * M[2][1] - M[1][1] * M[2][0]);
        EXPECT_NEAR(static_cast<double>(det), 1.0, 1e-15);
    }
}

TEST(Rotation, ZeroAnglesGiveTheIdentityAndQuarterTurnSwapsAxes) {
    auto state = MakeState(17, 6, 4);
    GeneratePatternField(*state);
    state->RotationRate1 = 0.0001L;  // a1 = 0 keeps its rate, the others are redrawn
    state->Speed = 0;
    AdvanceRotation(*state);
    RotatePoint(*state, 2, 3);
    EXPECT_EQ(state->PointValue1, state->PlaneX[2][3]);
    EXPECT_EQ(state->PointValue2, state->PlaneY[2][3]);
    EXPECT_EQ(state->PointValue3, state->PlaneZ[2][3]);

    state->RotationAngle1 = constants::HalfPi;
    state->RotationAngle2 = state->RotationAngle3 = 0;
    AdvanceRotation(*state);
    const RotationMatrix& m = state->Matrix;
    const long double expected[9] = {0, 1, 0, -1, 0, 0, 0, 0, 1};
    const long double actual[9] = {m.M11, m.M12, m.M13, m.M21, m.M22, m.M23, m.M31, m.M32, m.M33};
    for (int i = 0; i < 9; ++i)
        EXPECT_NEAR(static_cast<double>(actual[i]), static_cast<double>(expected[i]), 1e-18) << i;
}

TEST(Rotation, AnglesTurnBackAtTheEndsWithAFreshRate) {
    const long double twoPi = constants::TwoPi;
    const long double keep = 0.00077L;
    struct Case {
        long double a1, a2, a3;
        // Expected: 0 = rate kept, +1/-1 = redrawn positive/negative on the grid from base.
        int sign1, sign2, sign3;
        long double base1, base2, base3;
        int steps1, steps2, steps3;
    } cases[] = {
        // a1 = 0 keeps its rate; a2 = 0 and a3 = 0 draw positive ones.
        {0, 0, 0, 0, +1, +1, 0, 0.00014L, 0.00012L, 0, 12, 13},
        // Exactly 2*pi draws a negative rate for every angle.
        {twoPi, twoPi, twoPi, -1, -1, -1, -0.00012L, -0.00013L, -0.00015L, 12, 14, 11},
        // Below 0 (after an overshoot) turns the first angle up again.
        {-0.01L, 3, 7, +1, 0, -1, 0.00013L, 0, -0.00015L, 13, 0, 11},
        {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        for (uint32_t seed = 1; seed <= 40; ++seed) {
            SeedRandom(seed);
            EngineState state(1, 1);
            state.Speed = 0;
            state.RotationRate1 = state.RotationRate2 = state.RotationRate3 = -keep;
            if (c.sign1 < 0 || c.a1 == twoPi) state.RotationRate1 = keep;
            if (c.sign2 < 0) state.RotationRate2 = keep;
            if (c.sign3 < 0) state.RotationRate3 = keep;
            const long double before[3] = {state.RotationRate1, state.RotationRate2,
                                           state.RotationRate3};
            state.RotationAngle1 = c.a1;
            state.RotationAngle2 = c.a2;
            state.RotationAngle3 = c.a3;
            AdvanceRotation(state);
            const long double after[3] = {state.RotationRate1, state.RotationRate2,
                                          state.RotationRate3};
            const int sign[3] = {c.sign1, c.sign2, c.sign3};
            const long double base[3] = {c.base1, c.base2, c.base3};
            const int steps[3] = {c.steps1, c.steps2, c.steps3};
            for (int i = 0; i < 3; ++i) {
                const std::string where =
                    (testing::Message()
                     << "angles " << static_cast<double>(c.a1) << "," << static_cast<double>(c.a2)
                     << "," << static_cast<double>(c.a3) << " rate " << i + 1 << " seed " << seed)
                        .GetString();
                if (sign[i] == 0) {
                    EXPECT_EQ(after[i], before[i]) << where;
                } else if (sign[i] > 0) {
                    EXPECT_TRUE(OnRateGrid(after[i], base[i], steps[i]))
                        << static_cast<double>(after[i]) << where;
                } else {
                    EXPECT_TRUE(OnRateGrid(-after[i], -base[i], steps[i]))
                        << static_cast<double>(after[i]) << where;
                }
            }
        }
    }
}

TEST(Rotation, ZeroRatesGetAStartValueAndEveryAngleMoves) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SeedRandom(seed);
        EngineState state(1, 1);
        state.Speed = 20;
        state.RotationAngle1 = state.RotationAngle2 = state.RotationAngle3 = 1;
        AdvanceRotation(state);
        EXPECT_TRUE(OnRateGrid(state.RotationRate1, 0.00012L, 12));
        EXPECT_TRUE(OnRateGrid(state.RotationRate2, 0.00013L, 13));
        EXPECT_TRUE(OnRateGrid(state.RotationRate3, 0.00014L, 12));
        EXPECT_EQ(state.RotationAngle1, 1 + 20 * state.RotationRate1);
        EXPECT_GT(state.RotationAngle2, 1);
        EXPECT_GT(state.RotationAngle3, 1);
    }
}

TEST(Rotation, AngleDriftsBackAndForthBetweenTheEnds) {
    SeedRandom(7);
    EngineState state(1, 1);
    SeedAnimation(state);
    state.Speed = 50;
    int turns = 0;
    long double lastRate = state.RotationRate1;
    for (int frame = 0; frame < 200000; ++frame) {
        AdvanceRotation(state);
        if ((state.RotationRate1 > 0) != (lastRate > 0)) ++turns;
        lastRate = state.RotationRate1;
        // A step is at most 50 * 0.0015: the overshoot past an end stays below one step.
        ASSERT_GT(state.RotationAngle1, -0.08L);
        ASSERT_LT(state.RotationAngle1, constants::TwoPi + 0.08L);
        ASSERT_GT(state.RotationAngle3, -0.08L);
        ASSERT_LT(state.RotationAngle3, constants::TwoPi + 0.08L);
    }
    EXPECT_GE(turns, 4);
}

// ---- Per-frame patterns -----------------------------------------------------------------

TEST(PerFramePattern, CornerValuesHoldForAnyAngles) {
    SeedRandom(5);
    for (int trial = 0; trial < 20; ++trial) {
        EngineState state(6, 10);
        SetGridSize(state, 10, 6);
        SeedAnimation(state);
        state.Speed = 20;
        AdvanceRotation(state);
        state.Pattern = 9;
        PatternValues(state, 0, 0);
        EXPECT_NEAR(static_cast<double>(state.PointValue1), 0.982146493, NineDecimals);
        state.Pattern = 1;
        PatternValues(state, 0, 0);
        EXPECT_NEAR(static_cast<double>(state.PointValue3), 1.417744688, NineDecimals);
        EXPECT_EQ(state.IterA[0], -1.0L);  // u = v = -1 at the corner
        state.Pattern = 12;
        PatternValues(state, 3, 5);  // the centre of the even grid: u = v = 0
        EXPECT_EQ(state.PointValue1, std::fabs(std::sin(state.RotationAngle2)));
        EXPECT_EQ(state.PointValue2, std::fabs(std::sin(state.RotationAngle3)));
        EXPECT_EQ(state.PointValue3, std::fabs(std::sin(-state.RotationAngle1)));
    }
}

TEST(PerFramePattern, Pattern3IsCappedAtOneAndPattern14ReachesAbove) {
    SeedRandom(11);
    EngineState state(48, 64);
    SetGridSize(state, 64, 48);
    SeedAnimation(state);
    state.Speed = 50;
    long double max3 = 0, max14 = 0;
    for (int frame = 0; frame < 40; ++frame) {
        AdvanceRotation(state);
        for (int row = 0; row < 48; ++row)
            for (int col = 0; col < 64; ++col) {
                state.Pattern = 3;
                PatternValues(state, row, col);
                max3 = std::max({max3, state.PointValue1, state.PointValue2, state.PointValue3});
                state.Pattern = 14;
                PatternValues(state, row, col);
                max14 = std::max({max14, state.PointValue1, state.PointValue2, state.PointValue3});
            }
    }
    EXPECT_LE(max3, 1.0L);
    EXPECT_GT(max14, 1.1L);
    EXPECT_LE(max14, 1.2L);
}

// ---- Folding and colouring --------------------------------------------------------------

TEST(Colour, FoldValue) {
    const std::pair<long double, double> cases[] = {
        {0, 0.001},      {0.3L, 0.3}, {1, 1},      {1.25L, 0.75},  {2, 0.001},
        {3.7L, 0.3},     {9.5L, 0.5}, {10, 0.001}, {12, 0.001},    {-0.4L, 0.4},
        {-10.5L, 0.001}, {4.2L, 0.2}, {6.9L, 0.9}, {1e30L, 0.001}, {-1.6L, 0.4}};
    for (auto [in, out] : cases) {
        const long double folded = FoldValue(in);
        EXPECT_NEAR(static_cast<double>(folded), out, 1e-15) << static_cast<double>(in);
        EXPECT_GT(folded, 0.0L);
        EXPECT_LE(folded, 1.0L);
    }
    EXPECT_EQ(FoldValue(std::nanl("")), 0.001L);
    EXPECT_EQ(FoldValue(-std::numeric_limits<long double>::infinity()), 0.001L);
}

// The fold skips the steps a value is below: the full chain's bits at and beside every threshold.
TEST(Colour, FoldValueEqualsTheFullChain) {
    for (int step = -1400; step <= 1400; ++step) {
        const long double x = step / 128.0L;
        for (long double in : {x, std::nextafterl(x, -20.0L), std::nextafterl(x, 20.0L)}) {
            long double chain = std::fabs(in);
            for (int even = 10; even >= 2; even -= 2)
                if (chain > even / 2.0L) chain = even - chain;
            EXPECT_EQ(FoldValue(in), chain > 0.0L ? chain : 0.001L) << static_cast<double>(in);
        }
    }
}

TEST(Colour, SchemeBytes) {
    struct Case {
        long double v1, v2, v3;
        int scheme;
        uint32_t pixel;
    } cases[] = {
        {1, 0.5L, 0.001L, 0, 0xFFFF8000},    // 127.5 rounds to the even 128
        {0.25L, 0.5L, 1, 3, 0xFF2880FF},     // 0.25 lifted to 0.1550: 40, 128, 255
        {1, 0.2L, 0.3L, 4, 0xFF1E90FF},      // dodger blue at full strength
        {0.2L, 0.5L, 0.4L, 13, 0xFF800000},  // m = 0.5 of red
        {0.5L, 0.5L, 0.2L, 13, 0xFF800000},  // a tie for the largest changes nothing
        {0.5L, 0.5L, 0.5L, 11, 0xFF501078},  // purple at half: 80, 16, 120
        {1, 0.5L, 0.25L, 1, 0xFF408020},     // 0.25, 0.5, 0.125 -> 63.75, 127.5, 31.875
        {1, 0.5L, 0.25L, 2, 0xFF802040},     // 0.5, 0.125, 0.25
        {1, 0.5L, 0.001L, 19, 0xFFFF8000},   // out of range colours as scheme 0
        {1, 0.5L, 0.001L, -1, 0xFFFF8000},
        {2, 4, 0, 18, 0xFF000000},  // everything folds to 0.001: black in every scheme
        {2, 4, 0, 3, 0xFF000000},
    };
    for (const Case& c : cases) {
        long double v1 = c.v1, v2 = c.v2, v3 = c.v3;
        EXPECT_EQ(PointColour(v1, v2, v3, c.scheme), c.pixel)
            << "scheme " << c.scheme << " values " << static_cast<double>(c.v1) << ","
            << static_cast<double>(c.v2) << "," << static_cast<double>(c.v3);
    }
    for (int scheme = 0; scheme <= 18; ++scheme) {
        long double v1 = 10, v2 = 0, v3 = -2;
        EXPECT_EQ(PointColour(v1, v2, v3, scheme), 0xFF000000u) << scheme;
    }
}

TEST(Colour, SchemeThreeKeepsTheLiftedValues) {
    long double v1 = 0.25L, v2 = 0.5L, v3 = 0.49L;
    SchemeChannels(v1, v2, v3, 3);
    EXPECT_NEAR(static_cast<double>(v1), 0.25 / (1.27 * 1.27), 1e-15);
    EXPECT_EQ(v2, 0.5L);
    EXPECT_NEAR(static_cast<double>(v3), 0.49 / (1.03 * 1.03), 1e-15);
}

// ---- Frames -----------------------------------------------------------------------------

constexpr uint32_t Untouched = 0x12345678;

struct Frame {
    int width, height, stride;
    std::vector<uint32_t> pixels;
    Frame(int w, int h, int extraColumns = 0, int extraRows = 0)
        : width(w), height(h), stride(w + extraColumns),
          pixels(static_cast<size_t>(stride) * (h + extraRows), Untouched) {}
    PixelTarget target() { return {pixels.data(), stride}; }
};

void SeededState(EngineState& state, int pattern, int scheme, int speed, uint32_t seed) {
    SeedRandom(seed);
    SeedAnimation(state);
    state.Pattern = pattern;
    state.ColourScheme = scheme;
    state.Speed = speed;
    GeneratePatternField(state);
}

TEST(Frame, WritesExactlyTheGridAndNothingElse) {
    for (int pattern : {3, 12, 17, 24}) {
        auto state = MakeState(pattern, 37, 23);
        SeededState(*state, pattern, 0, 20, 3);
        Frame frame(37, 23, 5, 2);
        RenderFrame(*state, frame.target());
        int written = 0, outside = 0;
        for (int row = 0; row < 25; ++row)
            for (int col = 0; col < 42; ++col) {
                const uint32_t p = frame.pixels[row * 42 + col];
                if (row < 23 && col < 37) {
                    written += (p >> 24) == 0xFF;
                } else {
                    outside += p != Untouched;
                }
            }
        EXPECT_EQ(written, 37 * 23) << "pattern " << pattern;
        EXPECT_EQ(outside, 0) << "pattern " << pattern;
    }
}

TEST(Frame, EmptyGridWritesNothingButStillAdvances) {
    for (auto [w, h] : {std::pair{0, 10}, std::pair{10, 0}}) {
        auto state = MakeState(5, w, h);
        SeededState(*state, 5, 0, 20, 8);
        const long double angle = state->RotationAngle2;
        Frame frame(10, 10);
        RenderFrame(*state, frame.target());
        for (uint32_t p : frame.pixels) ASSERT_EQ(p, Untouched);
        EXPECT_NE(state->RotationAngle2, angle);
    }
}

TEST(Frame, SpeedZeroFreezesThePicture) {
    for (int pattern : {5, 8, 20}) {
        auto state = MakeState(pattern, 40, 30);
        SeededState(*state, pattern, 2, 0, 21);
        Frame first(40, 30), later(40, 30);
        RenderFrame(*state, first.target());
        for (int i = 0; i < 5; ++i) RenderFrame(*state, later.target());
        EXPECT_EQ(first.pixels, later.pixels) << "pattern " << pattern;
    }
    // A moving picture really changes, so the comparison above means something.
    auto state = MakeState(20, 40, 30);
    SeededState(*state, 20, 2, 50, 21);
    Frame first(40, 30), later(40, 30);
    RenderFrame(*state, first.target());
    for (int i = 0; i < 5; ++i) RenderFrame(*state, later.target());
    EXPECT_NE(first.pixels, later.pixels);
}

TEST(Frame, PerFramePatternsIgnoreThePlanes) {
    for (int pattern = 1; pattern <= 14; ++pattern) {
        auto clean = MakeState(pattern, 24, 16);
        SeededState(*clean, pattern, 1, 20, 40);
        auto filled = MakeState(17, 24, 16);
        SeededState(*filled, 17, 1, 20, 40);  // planes hold pattern 17
        filled->Pattern = pattern;
        Frame a(24, 16), b(24, 16);
        RenderFrame(*clean, a.target());
        RenderFrame(*filled, b.target());
        EXPECT_EQ(a.pixels, b.pixels) << "pattern " << pattern;
    }
}

TEST(Frame, EveryPatternAndSchemeGivesAColourField) {
    // No frame may come out flat: a flat frame means a pattern or scheme lost its values. Pattern
    // 24's large values fold to the floor in much of the field, so the bar is low.
    for (int pattern = 1; pattern <= 25; ++pattern) {
        auto state = MakeState(pattern, 32, 18);
        SeededState(*state, pattern, 0, 20, 77);
        for (int scheme = 0; scheme <= 18; ++scheme) {
            state->ColourScheme = scheme;
            Frame frame(32, 18);
            RenderFrame(*state, frame.target());
            int differing = 0;
            for (uint32_t p : frame.pixels) differing += p != frame.pixels[0];
            EXPECT_GT(differing, 32 * 18 / 20) << "pattern " << pattern << " scheme " << scheme;
        }
    }
}

// ---- Precision of the x87 unit ----------------------------------------------------------

// Renders one frame of each kind with the caller's control word lowered to the given precision.
std::vector<uint32_t> RenderWithPrecision(uint16_t precision, int pattern,
                                          std::vector<long double>* plane) {
    auto state = MakeState(pattern, 48, 32);
    SeedRandom(4242);
    SeedAnimation(*state);
    state->Speed = 20;
    const uint16_t saved = ReadX87ControlWord();
    const uint16_t lowered = static_cast<uint16_t>((saved & ~X87PrecisionMask) | precision);
    WriteX87ControlWord(lowered);
    GeneratePatternField(*state);
    Frame frame(48, 32);
    RenderFrame(*state, frame.target());
    RenderFrame(*state, frame.target());
    const uint16_t after = ReadX87ControlWord();
    WriteX87ControlWord(saved);
    EXPECT_EQ(after, lowered) << "the caller's control word comes back";
    if (plane) plane->assign(state->PlaneX[31], state->PlaneX[31] + 48);
    return frame.pixels;
}

TEST(Precision, LoweredX87PrecisionDoesNotReachTheEngine) {
    if (!HasX87) GTEST_SKIP() << "no x87 unit";
    // The lowering is real: 1 + 2^-60 survives only with a 64-bit significand.
    const uint16_t saved = ReadX87ControlWord();
    volatile long double one = 1.0L, tiny = 0x1p-60L;
    WriteX87ControlWord(static_cast<uint16_t>((saved & ~X87PrecisionMask) | X87Precision53));
    volatile long double sum53 = one + tiny;
    WriteX87ControlWord(saved);
    volatile long double sum64 = one + tiny;
    ASSERT_EQ(sum53, 1.0L);
    ASSERT_NE(sum64, 1.0L);

    for (int pattern : {4, 8, 16, 24}) {
        std::vector<long double> full, at53, at24;
        const auto reference = RenderWithPrecision(X87Precision64, pattern, &full);
        EXPECT_EQ(RenderWithPrecision(X87Precision53, pattern, &at53), reference) << pattern;
        EXPECT_EQ(RenderWithPrecision(X87Precision24, pattern, &at24), reference) << pattern;
        EXPECT_EQ(at53, full) << "planes of pattern " << pattern;
        EXPECT_EQ(at24, full) << "planes of pattern " << pattern;
    }

    // The start angles too: 1883/300 rounded to 24 bits would be another angle.
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        EngineState normal, lowered;
        SeedRandom(seed);
        SeedAnimation(normal);
        SeedRandom(seed);
        WriteX87ControlWord(static_cast<uint16_t>((saved & ~X87PrecisionMask) | X87Precision24));
        SeedAnimation(lowered);
        WriteX87ControlWord(saved);
        EXPECT_EQ(lowered.RotationAngle1, normal.RotationAngle1) << seed;
        EXPECT_EQ(lowered.RotationAngle2, normal.RotationAngle2) << seed;
        EXPECT_EQ(lowered.RotationAngle3, normal.RotationAngle3) << seed;
        EXPECT_EQ(lowered.RotationRate2, normal.RotationRate2) << seed;
    }
}

}  // namespace
}  // namespace lumora
