#include "engine/fast_math.h"

#include "engine/fpu_guard.h"

namespace lumora {
namespace {

// The true values rounded to long double once, offline, so that no build depends on its C
// library's last bits: SinTable, CosTable (k*pi/128) and MinusLogInverseTable (-log I_j).
#include "engine/fast_math_tables.inc"

static_assert(sizeof(SinTable) / sizeof(SinTable[0]) == FastTrigSteps);
static_assert(sizeof(MinusLogInverseTable) / sizeof(MinusLogInverseTable[0]) == FastLogCentres + 1);

}  // namespace

// The compiler folds the quotients in the 64-bit significand and rounds each once to nearest, as
// the x87 does at full precision (a test compares them with quotients computed at run time).
constexpr FastMathTables MakeFastMathTables() {
    FastMathTables t{};
    for (int k = 0; k < FastTrigSteps; ++k) {
        t.SinK[k] = SinTable[k];
        t.CosK[k] = CosTable[k];
    }
    long double up = 1.0L, down = 1.0L;  // powers of two are exact
    for (int k = 0; k <= 1023; ++k) {
        t.PowerOfTwo[1023 + k] = up;
        t.PowerOfTwo[1023 - k] = down;
        up *= 2.0L;
        down *= 0.5L;
    }
    for (int j = 0; j <= FastLogCentres; ++j) {
        const long double centre = 1.0L + static_cast<long double>(j) / FastLogCentres;
        t.Inverse[j] = 1.0L / centre;
        t.MinusLogInverse[j] = MinusLogInverseTable[j];
    }
    return t;
}

constinit const FastMathTables g_fastMath = MakeFastMathTables();

ScaledLogSine::ScaledLogSine(long double scale) : scale_(scale) {
    using namespace fastmath_detail;
    ExtendedPrecisionScope precision;
    for (int e = MinExponent; e <= MaxExponent; ++e) {
        const long double ee = static_cast<long double>(e);
        for (int j = 0; j <= FastLogCentres; ++j) {
            // e ln2 - log I_j, the exact product e*Ln2Hi first so only the small parts round.
            const long double log = (ee * Ln2Hi + g_fastMath.MinusLogInverse[j]) + ee * Ln2Lo;
            const int index = (e - MinExponent) * (FastLogCentres + 1) + j;
            FastSinCos(scale * log, table_[index].sin, table_[index].cos);
        }
    }
}

}  // namespace lumora
