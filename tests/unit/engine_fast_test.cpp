// The fast frame against the straightforward evaluation, thread-count independence, the worker
// pool and the fast sine, cosine and logarithm.
//
// The fast frame's sines and logarithms may differ from the library's in their last bits; on every
// case here that never reaches a channel byte, so every comparison asks for identical pixels. A
// case found to differ is listed by name as an exception, not hidden by a tolerance. None is
// listed today.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/fast_field.h"
#include "engine/fast_frame.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/vector_frame.h"
#include "engine/worker_pool.h"

// While set, the program's nothrow array allocations fail: the fast frame's per-grid tables are
// the only ones the engine makes that way.
std::atomic<bool> refuseNothrowArrays{false};

// Otherwise as the library's own: the ordinary array allocation, whose delete[] frees it.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (refuseNothrowArrays.load()) return nullptr;
    try {
        return ::operator new[](size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace lumora {
namespace {

// The straightforward frame, point by point in the order written: the reference, kept here
// apart from the library's copy so that neither can drift into the other.
void ReferenceFrame(EngineState& state, const PixelTarget& target) {
    ExtendedPrecisionScope precision;
    AdvanceRotation(state);
    const bool perFramePattern = state.Pattern >= 1 && state.Pattern <= 14;
    for (int row = 0; row < state.GridHeight; ++row) {
        for (int col = 0; col < state.GridWidth; ++col) {
            RotatePoint(state, row, col);
            if (perFramePattern) PatternValues(state, row, col);
            state.PixelColour = PointColour(state.PointValue1, state.PointValue2, state.PointValue3,
                                            state.ColourScheme);
            target.pixels[static_cast<long>(row) * target.stride + col] = state.PixelColour;
        }
    }
}

// Planes a row and a column larger than the grid (the tests look just beyond it): the product's
// are 144 MB, and under the sanitizers each state would cost tens of milliseconds to make and free.
std::unique_ptr<EngineState> MakeState(int pattern, int scheme, int width, int height,
                                       uint32_t seed) {
    auto state = std::make_unique<EngineState>(std::max(height, 0) + 1, std::max(width, 0) + 1);
    SeedRandom(seed);
    SeedAnimation(*state);
    state->Pattern = pattern;
    state->ColourScheme = scheme;
    state->Speed = 20;
    SetGridSize(*state, width, height);
    GeneratePatternFieldReference(*state);
    return state;
}

// The number of pixels in which two frames of the same size differ.
long DifferingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    long differing = 0;
    for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    return differing;
}

// Renders `frames` frames of the same start state with both engines; every frame draws from the
// same seed in both, so the reflections draw the same rates. Returns the pixels that differ over
// all frames.
long RunBothOnce(int pattern, int scheme, int width, int height, int frames, uint32_t seed,
                 int speed, EnginePath enginePath) {
    const char* path = EnginePathName(enginePath);
    auto reference = MakeState(pattern, scheme, width, height, seed);
    auto fast = MakeState(pattern, scheme, width, height, seed);
    EXPECT_TRUE(fast->Render->SetPath(enginePath));
    reference->Speed = fast->Speed = speed;
    const size_t size = static_cast<size_t>(width) * height;
    std::vector<uint32_t> expected(size), actual(size);
    long differing = 0;
    for (int frame = 0; frame < frames; ++frame) {
        SeedRandom(seed * 31 + frame);
        ReferenceFrame(*reference, {expected.data(), width});
        SeedRandom(seed * 31 + frame);
        RenderFrameFast(*fast, {actual.data(), width});
        differing += DifferingPixels(expected, actual);
        // The frame left the state where the straightforward one leaves it.
        EXPECT_EQ(fast->RotationAngle1, reference->RotationAngle1) << "path " << path;
        EXPECT_EQ(fast->RotationAngle2, reference->RotationAngle2) << "path " << path;
        EXPECT_EQ(fast->RotationAngle3, reference->RotationAngle3) << "path " << path;
        EXPECT_EQ(fast->RotationRate1, reference->RotationRate1) << "path " << path;
        EXPECT_EQ(fast->RotationRate2, reference->RotationRate2) << "path " << path;
        EXPECT_EQ(fast->RotationRate3, reference->RotationRate3) << "path " << path;
        EXPECT_EQ(fast->PixelColour, reference->PixelColour) << "path " << path;
    }
    return differing;
}

// The same on every path the processor offers (engine/vector_frame.h), the 80-bit one included.
long RunBoth(int pattern, int scheme, int width, int height, int frames, uint32_t seed,
             int speed = 20) {
    long differing = 0;
    for (EnginePath path : {EnginePath::X87, EnginePath::Avx2, EnginePath::Avx512}) {
        if (!EnginePathAvailable(path)) continue;
        differing += RunBothOnce(pattern, scheme, width, height, frames, seed, speed, path);
    }
    return differing;
}

// ---- The fast frame against the straightforward one ------------------------------------------

TEST(FastFrame, MatchesTheStraightforwardFrameForEveryPatternSchemeAndOddGrid) {
    struct Grid {
        int width, height;
    };
    const Grid grids[] = {{1, 9}, {9, 1}, {37, 23}, {1, 1}};
    const int schemes[] = {0, 1, 2, 3, 4, 13, 18};
    for (int pattern = 1; pattern <= 25; ++pattern) {
        for (int scheme : schemes) {
            for (const Grid& g : grids) {
                const std::string where =
                    (testing::Message() << "pattern " << pattern << " scheme " << scheme << " grid "
                                        << g.width << "x" << g.height)
                        .GetString();
                EXPECT_EQ(RunBoth(pattern, scheme, g.width, g.height, 3,
                                  static_cast<uint32_t>(pattern * 100 + scheme)),
                          0)
                    << where;
            }
        }
    }
}

TEST(FastFrame, IsTheEnginesFrameAndTheLibrarysReferenceIsTheStraightforwardLoop) {
    // RenderFrame is the fast frame, and the library's own straightforward loop has not drifted
    // from the one kept here.
    for (int pattern : {3, 9, 12, 21}) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
        auto a = MakeState(pattern, 13, 41, 29, 8);
        auto b = MakeState(pattern, 13, 41, 29, 8);
        std::vector<uint32_t> first(41 * 29), second(41 * 29);
        SeedRandom(3);
        RenderFrame(*a, {first.data(), 41});
        SeedRandom(3);
        RenderFrameFast(*b, {second.data(), 41});
        EXPECT_TRUE(first == second) << where;
        SeedRandom(4);
        RenderFrameReference(*a, {first.data(), 41});
        SeedRandom(4);
        ReferenceFrame(*b, {second.data(), 41});
        EXPECT_TRUE(first == second) << where;
    }
}

TEST(FastFrame, MatchesOnALargerGridOverSeveralFrames) {
    for (int pattern = 1; pattern <= 25; ++pattern) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
        EXPECT_EQ(RunBoth(pattern, pattern % 19, 160, 91, 4, 7000u + pattern), 0) << where;
    }
}

TEST(FastFrame, MatchesAtTopSpeedAcrossTheEndsOfTheAngleRange) {
    // Speed 50 over many frames drives angles past 0 and 2*pi and back.
    for (int pattern : {2, 3, 5, 8, 9, 10, 12, 14, 17, 24}) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
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
        for (int frame = 0; frame < 40; ++frame) {
            SeedRandom(500 + frame);
            ReferenceFrame(*reference, {expected.data(), 23});
            SeedRandom(500 + frame);
            RenderFrameFast(*fast, {actual.data(), 23});
            EXPECT_EQ(DifferingPixels(expected, actual), 0) << "frame " << frame << where;
        }
        EXPECT_EQ(fast->RotationAngle2, reference->RotationAngle2) << where;
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
                if (inGrid)
                    EXPECT_EQ(p >> 24, 0xFFu) << row << "," << col;
                else
                    EXPECT_EQ(p, Untouched) << row << "," << col;
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

// ---- The fast field --------------------------------------------------------------------------

TEST(FastField, PlanesAgreeWithTheStraightforwardFieldAndFramesMatch) {
    struct Grid {
        int width, height;
    };
    const Grid grids[] = {{1, 7}, {7, 1}, {37, 23}, {150, 101}};
    for (int pattern = 15; pattern <= 25; ++pattern) {
        for (const Grid& g : grids) {
            const std::string where = (testing::Message() << "pattern " << pattern << " grid "
                                                          << g.width << "x" << g.height)
                                          .GetString();
            auto reference = MakeState(pattern, 0, g.width, g.height, 3);
            auto fast = MakeState(0, 0, g.width, g.height, 3);
            fast->Pattern = pattern;
            GeneratePatternFieldFast(*fast);
            long double worst = 0;
            for (int row = 0; row < g.height; ++row)
                for (int col = 0; col < g.width; ++col) {
                    const long double scale = 1 + std::fabs(reference->PlaneZ[row][col]);
                    worst = std::max(
                        worst, std::fabs(fast->PlaneX[row][col] - reference->PlaneX[row][col]));
                    worst = std::max(
                        worst, std::fabs(fast->PlaneY[row][col] - reference->PlaneY[row][col]));
                    worst = std::max(
                        worst,
                        std::fabs(fast->PlaneZ[row][col] - reference->PlaneZ[row][col]) / scale);
                }
            EXPECT_LT(static_cast<double>(worst), 1e-13) << where;

            const size_t size = static_cast<size_t>(g.width) * g.height;
            std::vector<uint32_t> expected(size), actual(size);
            for (int frame = 0; frame < 2; ++frame) {
                SeedRandom(77 + frame);
                ReferenceFrame(*reference, {expected.data(), g.width});
                SeedRandom(77 + frame);
                RenderFrameFast(*fast, {actual.data(), g.width});
                EXPECT_EQ(DifferingPixels(expected, actual), 0) << "frame " << frame << where;
            }
        }
    }
}

TEST(FastField, WritesOnlyTheGridOfFieldPatterns) {
    auto state = MakeState(5, 0, 6, 4, 1);
    state->PlaneX[0][0] = 0.25L;  // a per-frame pattern keeps what the planes hold
    GeneratePatternFieldFast(*state);
    EXPECT_EQ(state->PlaneX[0][0], 0.25L);
    EXPECT_EQ(state->PlaneY[1][1], 0.0L);

    state->Pattern = 17;
    SetGridSize(*state, 0, 4);
    GeneratePatternFieldFast(*state);
    EXPECT_EQ(state->PlaneX[0][0], 0.25L);

    SetGridSize(*state, 6, 4);
    GeneratePatternFieldFast(*state);
    EXPECT_NE(state->PlaneX[3][5], 0.0L);
    EXPECT_EQ(state->PlaneX[3][6], 0.0L);  // beyond the grid
    EXPECT_EQ(state->PlaneX[4][0], 0.0L);
}

TEST(FastField, IteratedPatternsGiveTheSameFieldOnEveryThreadCount) {
    const int saved = FastThreadCount();
    for (int pattern : {23, 24, 16}) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
        std::vector<long double> first;
        for (int threads : {1, 2, 4}) {
            SetFastThreadCount(threads);
            auto state = MakeState(0, 0, 61, 47, 1);
            state->Pattern = pattern;
            GeneratePatternFieldFast(*state);
            std::vector<long double> values;
            for (int row = 0; row < 47; ++row)
                for (int col = 0; col < 61; ++col) {
                    values.push_back(state->PlaneX[row][col]);
                    values.push_back(state->PlaneY[row][col]);
                    values.push_back(state->PlaneZ[row][col]);
                }
            if (first.empty())
                first = values;
            else
                EXPECT_TRUE(values == first) << threads << " threads" << where;
        }
    }
    SetFastThreadCount(saved);
}

TEST(FastFrame, WithoutMemoryForTheGridTablesTheFrameIsComputedAsWritten) {
    refuseNothrowArrays = true;
    long double* probe = new (std::nothrow) long double[16];
    refuseNothrowArrays = false;
    ASSERT_EQ(probe, nullptr) << "this build does not take the replaced allocation function";
    for (int pattern : {4, 8, 10}) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
        // A grid larger than any other here, so its tables must be allocated afresh.
        constexpr int W = 211, H = 103;
        auto reference = MakeState(pattern, 2, W, H, 21);
        auto fast = MakeState(pattern, 2, W, H, 21);
        std::vector<uint32_t> expected(W * H), actual(W * H);
        SeedRandom(1);
        ReferenceFrame(*reference, {expected.data(), W});
        refuseNothrowArrays = true;
        SeedRandom(1);
        RenderFrameFast(*fast, {actual.data(), W});
        refuseNothrowArrays = false;
        EXPECT_TRUE(expected == actual) << where;
        EXPECT_EQ(fast->PixelColour, reference->PixelColour) << where;
        // With memory again, the next frame takes the fast path and still matches.
        SeedRandom(2);
        ReferenceFrame(*reference, {expected.data(), W});
        SeedRandom(2);
        RenderFrameFast(*fast, {actual.data(), W});
        EXPECT_EQ(DifferingPixels(expected, actual), 0) << where;
    }
}

// ---- The thread count does not change a frame ------------------------------------------------

TEST(FastFrame, OneTwoAndFourThreadsGiveIdenticalFrames) {
    const int saved = FastThreadCount();
    for (int pattern = 1; pattern <= 25; ++pattern) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
        std::vector<uint32_t> frames[3];
        const int counts[3] = {1, 2, 4};
        for (int i = 0; i < 3; ++i) {
            SetFastThreadCount(counts[i]);
            ASSERT_EQ(FastThreadCount(), counts[i]) << where;
            auto state = MakeState(pattern, 3, 203, 61, 42);
            frames[i].assign(203 * 61, 0);
            for (int frame = 0; frame < 2; ++frame) {
                SeedRandom(9 + frame);
                RenderFrameFast(*state, {frames[i].data(), 203});
            }
        }
        EXPECT_TRUE(frames[0] == frames[1]) << where;
        EXPECT_TRUE(frames[0] == frames[2]) << where;
    }
    SetFastThreadCount(saved);
}

TEST(FastFrame, LoweredCallerPrecisionReachesNeitherTheCallerNorTheWorkers) {
    if (!HasX87) GTEST_SKIP() << "no x87 unit";
    for (int pattern : {3, 8, 9, 19}) {
        const std::string where = (testing::Message() << "pattern " << pattern).GetString();
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

        EXPECT_EQ(after, low) << "the caller's control word comes back" << where;
        EXPECT_TRUE(expected == actual) << where;
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

TEST(FastMath, SineAndCosineWithinAUnitOfTheTrueValues) {
    // x (exactly representable), sin x and cos x to 30 digits.
    struct Value {
        long double x, sin, cos;
    };
    const Value values[] = {
        {0.0009999999999999999999584953855845392833857L, 0.000999999833333341666624963660308L,
         0.999999500000041666665277819307L},
        {0.01227184630000000000042182941167867582521L, 0.0122715382826350285466880829602L,
         0.999924701839182400210556857044L},
        {0.5000000000000000000000000000000000000000L, 0.479425538604203000273287935216L,
         0.877582561890372716116281582604L},
        {0.7853981633974483096282022398515465511082L, 0.70710678118654752440971246687L,
         0.70710678118654752439197625734L},
        {1.000000000000000000000000000000000000000L, 0.84147098480789650665250232163L,
         0.540302305868139717400936607443L},
        {1.570796326794896619256404479703093102216L, 1.0L, -2.50827880633416601177866354017e-20L},
        {2.000000000000000000000000000000000000000L, 0.909297426825681695396019865912L,
         -0.416146836547142386997568229501L},
        {3.141592653589793238512808959406186204433L, -5.01655761266833202355732708033e-20L, -1.0L},
        {3.500000000000000000000000000000000000000L, -0.350783227689619848120368800044L,
         -0.936456687290796337698657626672L},
        {-4.099999999999999999913263826201159645279L, 0.818277111064410504215178994628L,
         -0.574823946533268911606002905381L},
        {6.283185307179586477025617918812372408865L, 1.00331152253366640471146541607e-19L, 1.0L},
        {10.10000000000000000034694469519536141888L, -0.625070648892882365237340835261L,
         -0.780568180169183541353673545722L},
        {25.13274122871834589942885429536545416340L, -8.27229277087056891017503624053e-18L, 1.0L},
        {-70.30000000000000000277555756156289135106L, -0.926484628465194365028475366117L,
         0.376332609825020025889823623626L},
        {120.9000000000000000013877787807814456755L, 0.998683563315886367499740403474L,
         0.0512946426314092269715216599996L},
        {255.5000000000000000000000000000000000000L, -0.85781083992165317854324206824L,
         -0.513965526969375549620497221447L},
    };
    const long double unit = std::ldexp(1.0L, -64);
    for (const Value& v : values) {
        const std::string where =
            (testing::Message() << "x = " << static_cast<double>(v.x)).GetString();
        long double s, c;
        FastSinCos(v.x, s, c);
        EXPECT_LE(std::fabs(s - v.sin), 2 * unit) << where;
        EXPECT_LE(std::fabs(c - v.cos), 2 * unit) << where;
        EXPECT_EQ(FastSin(v.x), s) << where;
        EXPECT_EQ(FastCos(v.x), c) << where;
    }
    EXPECT_EQ(FastSin(0.0L), 0.0L);
    EXPECT_EQ(FastCos(0.0L), 1.0L);
}

TEST(FastMath, SineAndCosineFollowTheLibraryOverTheWholeRange) {
    // The library's own last bits vary between builds; a slip in the reduction or the tables
    // would show as an error far above these few units.
    const long double unit = std::ldexp(1.0L, -64);
    long double worst = 0;
    for (int i = -200000; i <= 200000; ++i) {
        const long double x = static_cast<long double>(i) * 0.00127L + 0.3e-7L * (i % 13);
        long double s, c;
        FastSinCos(x, s, c);
        worst = std::max(worst, std::fabs(s - std::sin(x)));
        worst = std::max(worst, std::fabs(c - std::cos(x)));
    }
    EXPECT_LE(worst, 16 * unit) << "largest difference " << static_cast<double>(worst / unit)
                                << " units";
}

TEST(FastMath, SineOfAScaledLogarithmWithinAFewUnitsOfTheTrueValue) {
    const auto sinOfLog = std::make_unique<ScaledLogSine>(0.15L);
    // x (exactly representable) and sin(0.15 ln x) to 30 digits; 1e-7 and 9e15 lie outside the
    // tabled exponents and take the general path.
    struct Value {
        long double x, expected;
    };
    const Value values[] = {
        {0.0001000000000000000000011434944787933054577L, -0.982146492706391222583094909877L},
        {0.0001230000000000000000059063607412042362643L, -0.975832505469509039788043323683L},
        {0.5000000000000000000000000000000000000000L, -0.103784851942898384790622575004L},
        {0.9999899999999999999737709810432306767325L, -0.00000150000750004944180101179946225L},
        {1.000000000000000000000000000000000000000L, 0.0L},
        {1.000976562500000000000000000000000000000L, 0.000146412895435216399506753245623L},
        {2.500000000000000000000000000000000000000L, 0.137011282948075174340896202752L},
        {7.388999999999999999857752674969901818258L, 0.295519118696226994929003706911L},
        {1000.000000000000000000000000000000000000L, 0.860455665190991433995131835514L},
        {123456.7890000000000014779288903810083866L, 0.982426560947039745984460152913L},
        {3000000000000.000000000000000000000000000L, -0.919910568465001836789040512835L},
        {9000000000000000.000000000000000000000000L, -0.698132033084870209144912760285L},
        {0.00000009999999999999999999845515748799596551441L, -0.662295438310751659570329576564L},
    };
    const long double unit = std::ldexp(1.0L, -64);
    for (const Value& v : values) {
        const std::string where =
            (testing::Message() << "x = " << static_cast<double>(v.x)).GetString();
        EXPECT_LE(std::fabs((*sinOfLog)(v.x) - v.expected), 8 * unit) << where;
    }
    // Over the whole tabled range, next to the two kernels it stands for. Both round c ln x to a
    // long double on the way, whose last place is 8 units of 2^-64 once |c ln x| passes 4.
    long double worst = 0;
    for (int i = 0; i <= 200000; ++i) {
        const long double x = std::exp(static_cast<long double>(i) * 0.00015L - 9.5L);
        worst = std::max(worst, std::fabs((*sinOfLog)(x)-FastSin(FastLog(x) * 0.15L)));
    }
    EXPECT_LE(worst, 16 * unit) << "largest difference " << static_cast<double>(worst / unit)
                                << " units";
    EXPECT_TRUE(std::isnan((*sinOfLog)(-1.0L)));
}

TEST(FastMath, OutOfRangeAndSpecialArgumentsGetTheLibrarysResult) {
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
    long double worst = 0;  // in units of 2^-64 below 1, of the last place above
    for (int i = -300000; i <= 300000; ++i) {
        const long double x = std::exp(static_cast<long double>(i) * 0.0001L) * 1.0000003L;
        const long double expected = std::log(x);
        const long double unit = std::fabs(expected) < 1
                                     ? std::ldexp(1.0L, -64)
                                     : std::fabs(expected) * std::ldexp(1.0L, -63);
        worst = std::max(worst, std::fabs(FastLog(x) - expected) / unit);
    }
    for (long double x : {0.0001L, 0.01L, 0.1L, 0.5L, 1.0L, 2.0L, 1e300L, 1e-300L}) {
        EXPECT_NEAR(static_cast<double>(FastLog(x)), static_cast<double>(std::log(x)),
                    1e-15 * std::max(1.0, std::fabs(static_cast<double>(std::log(x)))));
    }
    // Just below and above powers of two and halfway between two log centres, where rounding x
    // to pick its exponent and centre can land on the neighbouring ones.
    for (int k = -20; k <= 45; ++k) {
        const long double power = std::ldexp(1.0L, k);
        const long double halfway = power * (1.0L + 3.0L / 1024);
        for (long double x :
             {std::nextafter(power, 0.0L), power, std::nextafter(power, 4.0L * power),
              std::nextafter(halfway, 0.0L), halfway, std::nextafter(halfway, 4.0L * power)}) {
            const long double expected = std::log(x);
            const long double unit = std::fabs(expected) < 1
                                         ? std::ldexp(1.0L, -64)
                                         : std::fabs(expected) * std::ldexp(1.0L, -63);
            worst = std::max(worst, std::fabs(FastLog(x) - expected) / unit);
        }
    }
    EXPECT_EQ(FastLog(1.0L), 0.0L);
    EXPECT_LE(worst, 4) << "largest error " << static_cast<double>(worst) << " units";
}

}  // namespace
}  // namespace lumora
