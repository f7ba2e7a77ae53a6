#include "engine/fast_math.h"

#include <mutex>

#include "engine/fpu_guard.h"

namespace lumora {
namespace {

// The true values rounded to long double once, offline, so that no build depends on its C
// library's last bits: SinTable, CosTable (k*pi/128) and MinusLogInverseTable (-log I_j).
#include "engine/fast_math_tables.inc"

static_assert(sizeof(SinTable) / sizeof(SinTable[0]) == FastTrigSteps);
static_assert(sizeof(MinusLogInverseTable) / sizeof(MinusLogInverseTable[0]) == FastLogCentres + 1);

}  // namespace

FastMathTables g_fastMath;

void InitFastMath() {
    static std::once_flag once;
    std::call_once(once, [] {
        ExtendedPrecisionScope precision;  // 1/centre must round to 64 bits, as the table assumes
        for (int k = 0; k < FastTrigSteps; ++k) {
            g_fastMath.SinK[k] = SinTable[k];
            g_fastMath.CosK[k] = CosTable[k];
        }
        for (int k = 0; k < 2047; ++k) g_fastMath.PowerOfTwo[k] = std::ldexp(1.0L, k - 1023);
        for (int j = 0; j <= FastLogCentres; ++j) {
            const long double centre = 1.0L + static_cast<long double>(j) / FastLogCentres;
            const long double inverse = 1.0L / centre;
            g_fastMath.Inverse[j] = inverse;
            g_fastMath.MinusLogInverse[j] = MinusLogInverseTable[j];
        }
    });
}

ScaledLogSine::ScaledLogSine(long double scale) : scale_(scale) {
    using namespace fastmath_detail;
    ExtendedPrecisionScope precision;
    InitFastMath();
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
