// The vector frame's kernels and colouring (engine/vector_rows.h, built here for AVX2 as the
// engine builds it): the measured maximum errors of the sine and the logarithm over dense samples
// within their stated bounds, the fold without a bound being the engine's, and every pixel the
// colouring decides being the engine's at both ends of the bounds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "engine/engine.h"
#include "engine/fpu_guard.h"
#include "engine/hue_colours.h"

#define LUMORA_VECTOR_LANES 4
#define LUMORA_VECTOR_ENTRY RowsOfTheKernelTest
#include "engine/vector_rows.h"

namespace lumora::vector {
namespace {

bool HasAvx2() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"); }

// The largest |kernel(x) - reference(x)| / allowed(reference) over `samples` points of [lo, hi]
// (spaced on a log scale where asked), each jittered; 1 or less is within the bound.
template <class Kernel, class Reference, class Allowed>
double WorstShare(Kernel kernel, Reference reference, Allowed allowed, double lo, double hi,
                  long samples, bool logScale, double& worstAbsolute) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> jitter(0, 1);
    double worst = 0;
    worstAbsolute = 0;
    for (long i = 0; i < samples; i += N) {
        double xs[N];
        for (int l = 0; l < N; ++l) {
            const double t =
                (static_cast<double>(i + l) + jitter(rng)) / static_cast<double>(samples);
            // rounded to double through memory: the 32-bit build may keep x87 registers wider
            const volatile double x =
                logScale ? std::exp(std::log(lo) + t * (std::log(hi) - std::log(lo)))
                         : lo + t * (hi - lo);
            xs[l] = x;
        }
        const vd y = kernel(Load(xs));
        for (int l = 0; l < N; ++l) {
            const long double want = reference(static_cast<long double>(xs[l]));
            const double error =
                static_cast<double>(std::fabs(static_cast<long double>(y[l]) - want));
            worstAbsolute = std::max(worstAbsolute, error);
            worst = std::max(worst, error / allowed(want));
        }
    }
    return worst;
}

TEST(VectorKernels, SineAndLogarithmWithinTheirStatedBoundsOverDenseSamples) {
    if (!HasAvx2()) GTEST_SKIP() << "no AVX2";
    ExtendedPrecisionScope precision;
    VectorRoundingScope rounding;
    const long n = 1L << 21;
    auto sinl_ = [](long double x) { return std::sin(x); };
    auto cosl_ = [](long double x) { return std::cos(x); };
    auto logl_ = [](long double x) { return std::log(x); };
    auto sineBound = [](long double) { return SineError; };
    auto logBound = [](long double L) {
        return LogRelative * static_cast<double>(std::fabs(L)) + LogAbsolute;
    };
    struct Range {
        const char* name;
        double lo, hi;
    };
    double absolute;
    for (const Range& r :
         {Range{"sin [-pi/4, pi/4]", -0.785398, 0.785398}, Range{"sin [-8, 8]", -8, 8},
          Range{"sin [-64, 64]", -64, 64}, Range{"sin [-256, 256]", -256, 256},
          Range{"sin [-1024, 1024]", -SineLimit, SineLimit}}) {
        const double share = WorstShare(Sine<0>, sinl_, sineBound, r.lo, r.hi, n, false, absolute);
        std::printf("%-22s max |error| %.3g = %.2f * 2^-53 (%.3f of the bound)\n", r.name, absolute,
                    absolute / 0x1p-53, share);
        EXPECT_LE(share, 1.0) << r.name;
        // the cosine: the same reduction, the quadrant one on
        const double cosine = WorstShare(Cosine, cosl_, sineBound, r.lo, r.hi, n, false, absolute);
        std::printf("%-22s max |error| %.3g = %.2f * 2^-53 (%.3f of the bound)\n", "  its cos",
                    absolute, absolute / 0x1p-53, cosine);
        EXPECT_LE(cosine, 1.0) << r.name << " (cos)";
    }
    const double small = WorstShare(SmallSine, sinl_, sineBound, -SmallSineLimit, SmallSineLimit, n,
                                    false, absolute);
    std::printf("%-22s max |error| %.3g = %.2f * 2^-53 (%.3f of the bound)\n",
                "small sin [-1.7, 1.7]", absolute, absolute / 0x1p-53, small);
    EXPECT_LE(small, 1.0);
    for (const Range& r : {Range{"log [1e-4, 1e6]", 1e-4, 1e6}, Range{"log [0.5, 2]", 0.5, 2},
                           Range{"log 1 +- 2^-20", 1 - 0x1p-20, 1 + 0x1p-20}}) {
        const double share =
            WorstShare(Log, logl_, logBound, r.lo, r.hi, n, r.lo == 1e-4, absolute);
        std::printf("%-22s max |error| %.3g (%.3f of the bound)\n", r.name, absolute, share);
        EXPECT_LE(share, 1.0) << r.name;
    }
}

TEST(VectorKernels, TheFoldWithoutABoundIsTheEngines) {
    if (!HasAvx2()) GTEST_SKIP() << "no AVX2";
    ExtendedPrecisionScope precision;
    for (double x : {0.0, -0.0, 1.0, 2.0, -2.0, 3.5, 9.999999999999998, 10.0, 10.000000000000002,
                     11.0, -10.5, 1e300, 0.25, 4.0 + 0x1p-50, 7.0}) {
        const Folded f = Fold(Splat(x), Splat(0.0));
        EXPECT_EQ(f.f[0], static_cast<double>(FoldValue(x))) << x;
    }
}

// Values placed where a pixel is hardest to decide (a channel within a few bounds of k + 0.5,
// the lift's 0.5, the fold's 0, 2 and 10): wherever the colouring decides, the engine's own
// colouring of 80-bit values at both ends of the bound and at its centre gives the same pixel;
// and many, but not all, of these cases are left undecided.
TEST(VectorKernels, EveryDecidedPixelIsTheEnginesAtBothEndsOfTheBounds) {
    if (!HasAvx2()) GTEST_SKIP() << "no AVX2";
    ExtendedPrecisionScope precision;
    VectorRoundingScope rounding;
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> unit(0, 1);
    long decided = 0, wrong = 0, undecided = 0;
    for (int scheme = 0; scheme <= LastHueScheme; ++scheme) {
        Job j{};
        j.schemeKind = scheme < FirstHueScheme ? scheme : 4;
        if (j.schemeKind == 4) {
            const Hue& h = HueColours[scheme - FirstHueScheme];
            j.hue[0] = static_cast<double>(HueFactor(h.r));
            j.hue[1] = static_cast<double>(HueFactor(h.g));
            j.hue[2] = static_cast<double>(HueFactor(h.b));
        }
        for (int trial = 0; trial < 8000; ++trial) {
            const double E = std::ldexp(1.0, -20 - static_cast<int>(unit(rng) * 30));
            double v[3][N];
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < N; ++l) {
                    const int kind = static_cast<int>(unit(rng) * 5);
                    const double near = (unit(rng) - 0.5) * 8 * E;
                    v[k][l] = kind == 0   ? (std::floor(unit(rng) * 255) + 0.5) / 255 + near
                              : kind == 1 ? 0.5 + near
                              : kind == 2 ? 2.0 * std::floor(unit(rng) * 6) + near
                              : kind == 3 ? 10.0 + near
                                          : (unit(rng) - 0.5) * 24;
                }
            const vd V[3] = {Load(v[0]), Load(v[1]), Load(v[2])};
            const vd Es[3] = {Splat(E), Splat(E), Splat(E)};
            vi pixels;
            int mask = 0;
            switch (j.schemeKind) {
                case 0: mask = ColourPoints<0>(j, V, Es, pixels); break;
                case 1: mask = ColourPoints<1>(j, V, Es, pixels); break;
                case 2: mask = ColourPoints<2>(j, V, Es, pixels); break;
                case 3: mask = ColourPoints<3>(j, V, Es, pixels); break;
                default: mask = ColourPoints<4>(j, V, Es, pixels); break;
            }
            uint32_t px[N];
            std::memcpy(px, &pixels, sizeof px);
            for (int l = 0; l < N; ++l) {
                if (mask >> l & 1) {
                    ++undecided;
                    continue;
                }
                ++decided;
                for (int end = -1; end <= 1; ++end) {
                    // 80-bit values inside the bound (0.999 E: V80 - E itself may round outside)
                    long double a = v[0][l] + end * 0.999L * E, b = v[1][l] - end * 0.999L * E,
                                c = v[2][l] + end * 0.999L * E;
                    wrong += PointColour(a, b, c, scheme) != px[l];
                }
            }
        }
    }
    std::printf("colouring: %ld decided, %ld undecided, %ld wrong\n", decided, undecided, wrong);
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(undecided, 0);
    EXPECT_GT(decided, undecided);
}

}  // namespace
}  // namespace lumora::vector
