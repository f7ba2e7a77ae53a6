// The fast frame against the straightforward evaluation, thread-count independence, the worker
// pool and the fast sine, cosine and logarithm.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/fast_frame.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/worker_pool.h"

namespace lumora {
namespace {

// The straightforward frame, point by point in the order written: the reference.
void ReferenceFrame(EngineState& state, const PixelTarget& target) {
    ExtendedPrecisionScope precision;
    AdvanceRotation(state);
    const bool perFramePattern = state.Pattern >= 1 && state.Pattern <= 14;
    for (int row = 0; row < state.GridHeight; ++row) {
        for (int col = 0; col < state.GridWidth; ++col) {
            RotatePoint(state, row, col);
            if (perFramePattern) PatternValues(state, row, col);
            state.PixelColour = PointColour(state.PointValue1, state.PointValue2,
                                            state.PointValue3, state.ColourScheme);
            target.pixels[static_cast<long>(row) * target.stride + col] = state.PixelColour;
        }
    }
}

std::unique_ptr<EngineState> MakeState(int pattern, int scheme, int width, int height,
                                       uint32_t seed) {
    auto state = std::make_unique<EngineState>();
    SeedRandom(seed);
    SeedAnimation(*state);
    state->Pattern = pattern;
    state->ColourScheme = scheme;
    state->Speed = 20;
    SetGridSize(*state, width, height);
    GeneratePatternField(*state);
    return state;
}

struct Difference {
    long pixels = 0;
    long identical = 0;
    int largest = 0;  // largest difference of one channel
    bool opaque = true;
};

void Compare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, Difference& d) {
    for (size_t i = 0; i < a.size(); ++i) {
        ++d.pixels;
        if (a[i] == b[i]) {
            ++d.identical;
        } else {
            for (int shift = 0; shift < 24; shift += 8) {
                const int ca = static_cast<int>((a[i] >> shift) & 0xFF);
                const int cb = static_cast<int>((b[i] >> shift) & 0xFF);
                d.largest = std::max(d.largest, std::abs(ca - cb));
            }
        }
        if ((a[i] >> 24) != 0xFF || (b[i] >> 24) != 0xFF) d.opaque = false;
    }
}

// Renders `frames` frames of the same start state with both engines; every frame draws from the
// same seed in both, so the reflections draw the same rates.
Difference RunBoth(int pattern, int scheme, int width, int height, int frames, uint32_t seed,
                   int speed = 20) {
    auto reference = MakeState(pattern, scheme, width, height, seed);
    auto fast = MakeState(pattern, scheme, width, height, seed);
    reference->Speed = fast->Speed = speed;
    const size_t size = static_cast<size_t>(width) * height;
    std::vector<uint32_t> expected(size), actual(size);
    Difference d;
    for (int frame = 0; frame < frames; ++frame) {
        SeedRandom(seed * 31 + frame);
        ReferenceFrame(*reference, {expected.data(), width});
        SeedRandom(seed * 31 + frame);
        RenderFrameFast(*fast, {actual.data(), width});
        Compare(expected, actual, d);
        // The frame left the state where the straightforward one leaves it.
        EXPECT_EQ(fast->RotationAngle1, reference->RotationAngle1);
        EXPECT_EQ(fast->RotationAngle2, reference->RotationAngle2);
        EXPECT_EQ(fast->RotationAngle3, reference->RotationAngle3);
        EXPECT_EQ(fast->RotationRate1, reference->RotationRate1);
        EXPECT_EQ(fast->RotationRate2, reference->RotationRate2);
        EXPECT_EQ(fast->RotationRate3, reference->RotationRate3);
        EXPECT_EQ(fast->PixelColour, reference->PixelColour);
    }
    return d;
}

void ExpectEquivalent(const Difference& d) {
    EXPECT_LE(d.largest, 1);
    EXPECT_TRUE(d.opaque);
    EXPECT_GE(static_cast<double>(d.identical), 0.999 * static_cast<double>(d.pixels))
        << d.pixels - d.identical << " of " << d.pixels << " pixels differ";
}

// ---- The fast frame against the straightforward one ------------------------------------------

TEST(FastFrame, MatchesTheStraightforwardFrameForEveryPatternSchemeAndOddGrid) {
    struct Grid {
        int width, height;
    };
    const Grid grids[] = {{1, 9}, {9, 1}, {37, 23}, {1, 1}};
    const int schemes[] = {0, 1, 2, 3, 4, 13, 18};
    Difference all;
    for (int pattern = 1; pattern <= 25; ++pattern) {
        for (int scheme : schemes) {
            for (const Grid& g : grids) {
                SCOPED_TRACE(testing::Message() << "pattern " << pattern << " scheme " << scheme
                                                << " grid " << g.width << "x" << g.height);
                const Difference d = RunBoth(pattern, scheme, g.width, g.height, 3,
                                             static_cast<uint32_t>(pattern * 100 + scheme));
                EXPECT_LE(d.largest, 1);
                EXPECT_TRUE(d.opaque);
                all.pixels += d.pixels;
                all.identical += d.identical;
                all.largest = std::max(all.largest, d.largest);
            }
        }
    }
    ExpectEquivalent(all);
}

TEST(FastFrame, MatchesOnALargerGridOverSeveralFrames) {
    for (int pattern = 1; pattern <= 25; ++pattern) {
        SCOPED_TRACE(testing::Message() << "pattern " << pattern);
        ExpectEquivalent(RunBoth(pattern, pattern % 19, 160, 91, 4, 7000u + pattern));
    }
}

TEST(FastFrame, MatchesAtTopSpeedAcrossTheEndsOfTheAngleRange) {
    // Speed 50 over many frames drives angles past 0 and 2*pi and back.
    for (int pattern : {2, 3, 5, 8, 9, 10, 12, 14, 17, 24}) {
        SCOPED_TRACE(testing::Message() << "pattern " << pattern);
        auto reference = MakeState(pattern, 0, 23, 17, 99);
        auto fast = MakeState(pattern, 0, 23, 17, 99);
        for (EngineState* s : {reference.get(), fast.get()}) {
            s->Speed = 50;
            s->RotationAngle1 = 0.01L;
            s->RotationAngle2 = 6.27L;
            s->RotationAngle3 = 0.0L;
            s->RotationRate1 = -0.0015L;
        }
        std::vector<uint32_t> expected(23 * 17), actual(23 * 17);
        Difference d;
        for (int frame = 0; frame < 40; ++frame) {
            SeedRandom(500 + frame);
            ReferenceFrame(*reference, {expected.data(), 23});
            SeedRandom(500 + frame);
            RenderFrameFast(*fast, {actual.data(), 23});
            Compare(expected, actual, d);
        }
        EXPECT_EQ(fast->RotationAngle2, reference->RotationAngle2);
        ExpectEquivalent(d);
    }
}

constexpr uint32_t Untouched = 0x12345678u;

TEST(FastFrame, WritesOnlyTheGridOfAWiderTarget) {
    for (int pattern : {1, 9, 20}) {
        auto state = MakeState(pattern, 0, 5, 3, 1);
        const int stride = 8;
        std::vector<uint32_t> pixels(stride * 4, Untouched);
        RenderFrameFast(*state, {pixels.data(), stride});
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < stride; ++col) {
                const bool inGrid = row < 3 && col < 5;
                const uint32_t p = pixels[row * stride + col];
                if (inGrid) EXPECT_EQ(p >> 24, 0xFFu) << row << "," << col;
                else EXPECT_EQ(p, Untouched) << row << "," << col;
            }
    }
}

TEST(FastFrame, EmptyGridWritesNothingButAdvancesTheAngles) {
    auto state = MakeState(3, 0, 0, 5, 4);
    const long double before = state->RotationAngle1;
    uint32_t pixel = Untouched;
    RenderFrameFast(*state, {&pixel, 1});
    EXPECT_EQ(pixel, Untouched);
    EXPECT_NE(state->RotationAngle1, before);
}

// ---- The thread count does not change a frame ------------------------------------------------

TEST(FastFrame, OneTwoAndFourThreadsGiveIdenticalFrames) {
    const int saved = FastThreadCount();
    for (int pattern = 1; pattern <= 25; ++pattern) {
        SCOPED_TRACE(testing::Message() << "pattern " << pattern);
        std::vector<uint32_t> frames[3];
        const int counts[3] = {1, 2, 4};
        for (int i = 0; i < 3; ++i) {
            SetFastThreadCount(counts[i]);
            ASSERT_EQ(FastThreadCount(), counts[i]);
            auto state = MakeState(pattern, 3, 203, 61, 42);
            frames[i].assign(203 * 61, 0);
            for (int frame = 0; frame < 2; ++frame) {
                SeedRandom(9 + frame);
                RenderFrameFast(*state, {frames[i].data(), 203});
            }
        }
        EXPECT_TRUE(frames[0] == frames[1]);
        EXPECT_TRUE(frames[0] == frames[2]);
    }
    SetFastThreadCount(saved);
}

TEST(FastFrame, LoweredCallerPrecisionReachesNeitherTheCallerNorTheWorkers) {
    if (!HasX87) GTEST_SKIP() << "no x87 unit";
    for (int pattern : {3, 8, 9, 19}) {
        SCOPED_TRACE(testing::Message() << "pattern " << pattern);
        auto full = MakeState(pattern, 0, 64, 40, 5);
        auto lowered = MakeState(pattern, 0, 64, 40, 5);
        std::vector<uint32_t> expected(64 * 40), actual(64 * 40);
        SeedRandom(1);
        RenderFrameFast(*full, {expected.data(), 64});

        const uint16_t saved = ReadX87ControlWord();
        const uint16_t low = static_cast<uint16_t>((saved & ~X87PrecisionMask) | X87Precision24);
        WriteX87ControlWord(low);
        SeedRandom(1);
        RenderFrameFast(*lowered, {actual.data(), 64});
        const uint16_t after = ReadX87ControlWord();
        WriteX87ControlWord(saved);

        EXPECT_EQ(after, low) << "the caller's control word comes back";
        EXPECT_TRUE(expected == actual);
    }
}

// ---- Worker pool -----------------------------------------------------------------------------

TEST(WorkerPool, EveryIndexIsDoneExactlyOnce) {
    for (int threads : {1, 2, 3, 5}) {
        WorkerPool pool(threads);
        EXPECT_EQ(pool.ThreadCount(), threads);
        for (int count : {0, 1, 7, 64, 1001}) {
            for (int grain : {1, 3, 64, 5000}) {
                std::vector<std::atomic<int>> visits(static_cast<size_t>(count) + 1);
                auto job = [&](int begin, int end) {
                    EXPECT_LT(begin, end);
                    for (int i = begin; i < end; ++i) visits[i].fetch_add(1);
                };
                pool.ForEachChunk(count, grain, job);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(visits[i].load(), 1) << threads << " threads, count " << count
                                                   << ", grain " << grain << ", index " << i;
                EXPECT_EQ(visits[count].load(), 0);
            }
        }
    }
}

TEST(WorkerPool, WorkersComputeAtFullPrecision) {
    if (!HasX87) GTEST_SKIP() << "no x87 unit";
    WorkerPool pool(3);
    std::vector<uint16_t> precision(600, 0);
    auto job = [&](int begin, int end) {
        for (int i = begin; i < end; ++i) precision[i] = ReadX87ControlWord() & X87PrecisionMask;
    };
    pool.ForEachChunk(600, 1, job);
    for (uint16_t p : precision) EXPECT_EQ(p, X87Precision64);
}

// ---- Fast sine, cosine and logarithm ---------------------------------------------------------

TEST(FastMath, SineAndCosineWithinTheLastBitsOfTheLibrary) {
    InitFastMath();
    const long double unit = std::ldexp(1.0L, -64);
    long double worst = 0;
    for (int i = -200000; i <= 200000; ++i) {
        // Covers the whole fast range, multiples of pi/64 included.
        const long double x = static_cast<long double>(i) * 0.00127L + 0.3e-7L * (i % 13);
        long double s, c;
        FastSinCos(x, s, c);
        worst = std::max(worst, std::fabs(s - std::sin(x)));
        worst = std::max(worst, std::fabs(c - std::cos(x)));
        worst = std::max(worst, std::fabs(FastSin(x) - std::sin(x)));
    }
    EXPECT_LE(worst, 4 * unit) << "largest error " << static_cast<double>(worst / unit) << " units";
    // Exact where the library is exact.
    EXPECT_EQ(FastSin(0.0L), 0.0L);
    long double s, c;
    FastSinCos(0.0L, s, c);
    EXPECT_EQ(c, 1.0L);
}

TEST(FastMath, OutOfRangeAndSpecialArgumentsGetTheLibrarysResult) {
    InitFastMath();
    const long double inf = std::numeric_limits<long double>::infinity();
    const long double nan = std::numeric_limits<long double>::quiet_NaN();
    for (long double x : {1.0e6L, -3.0e4L, FastTrigLimit * 1.5L}) {
        EXPECT_EQ(FastSin(x), std::sin(x));
        long double s, c;
        FastSinCos(x, s, c);
        EXPECT_EQ(s, std::sin(x));
        EXPECT_EQ(c, std::cos(x));
    }
    EXPECT_TRUE(std::isnan(FastSin(nan)));
    EXPECT_TRUE(std::isnan(FastSin(inf)));
    EXPECT_TRUE(std::isnan(FastLog(nan)));
    EXPECT_TRUE(std::isnan(FastLog(-1.0L)));
    EXPECT_EQ(FastLog(0.0L), -inf);
    EXPECT_EQ(FastLog(inf), inf);
    const long double tiny = std::numeric_limits<long double>::denorm_min() * 7;
    EXPECT_EQ(FastLog(tiny), std::log(tiny));
}

TEST(FastMath, LogarithmWithinTheLastBitsOfTheLibrary) {
    InitFastMath();
    long double worst = 0;  // in units of 2^-64 below 1, of the last place above
    for (int i = -300000; i <= 300000; ++i) {
        const long double x = std::exp(static_cast<long double>(i) * 0.0001L) * 1.0000003L;
        const long double expected = std::log(x);
        const long double unit = std::fabs(expected) < 1 ? std::ldexp(1.0L, -64)
                                                         : std::fabs(expected) * std::ldexp(1.0L, -63);
        worst = std::max(worst, std::fabs(FastLog(x) - expected) / unit);
    }
    for (long double x : {0.0001L, 0.01L, 0.1L, 0.5L, 1.0L, 2.0L, 1e300L, 1e-300L}) {
        EXPECT_NEAR(static_cast<double>(FastLog(x)), static_cast<double>(std::log(x)),
                    1e-15 * std::max(1.0, std::fabs(static_cast<double>(std::log(x)))));
    }
    EXPECT_EQ(FastLog(1.0L), 0.0L);
    EXPECT_LE(worst, 4) << "largest error " << static_cast<double>(worst) << " units";
}

}  // namespace
}  // namespace lumora
