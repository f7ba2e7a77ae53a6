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
        for (int j = 0; j <= FastLogCentres; ++j) {
            const long double centre = 1.0L + static_cast<long double>(j) / FastLogCentres;
            const long double inverse = 1.0L / centre;
            g_fastMath.InverseMinusOne[j] = inverse - 1.0L;
            g_fastMath.InverseScaled[j] = std::ldexp(inverse, -63);
            g_fastMath.MinusLogInverse[j] = MinusLogInverseTable[j];
        }
    });
}

}  // namespace lumora
