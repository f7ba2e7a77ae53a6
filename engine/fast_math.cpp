#include "engine/fast_math.h"

#include <mutex>

#include "engine/fpu_guard.h"

namespace lumora {

FastMathTables g_fastMath;

void InitFastMath() {
    static std::once_flag once;
    std::call_once(once, [] {
        ExtendedPrecisionScope precision;  // the tables hold full-precision values
        // sin and cos of j*pi/128 for j = 0..32 (angles up to pi/4, where rounding the argument
        // costs least); the rest of the circle by symmetry, so quarter turns are exact.
        constexpr long double PiStep = 0.0245436926061702596754894014318711162827903859326180L;
        constexpr int Quarter = FastTrigSteps / 4, Eighth = FastTrigSteps / 8;
        long double sinBase[Eighth + 1], cosBase[Eighth + 1];
        for (int j = 0; j <= Eighth; ++j) {
            const long double angle = static_cast<long double>(j) * PiStep;
            sinBase[j] = j == 0 ? 0.0L : std::sin(angle);
            cosBase[j] = j == 0 ? 1.0L : std::cos(angle);
        }
        for (int k = 0; k < FastTrigSteps; ++k) {
            const int j = k % Quarter;
            const long double s = j <= Eighth ? sinBase[j] : cosBase[Quarter - j];
            const long double c = j <= Eighth ? cosBase[j] : sinBase[Quarter - j];
            long double& S = g_fastMath.SinK[k];
            long double& C = g_fastMath.CosK[k];
            switch (k / Quarter) {
                case 0: S = s;  C = c;  break;
                case 1: S = c;  C = -s; break;
                case 2: S = -s; C = -c; break;
                default: S = -c; C = s; break;
            }
        }
        for (int j = 0; j <= FastLogCentres; ++j) {
            const long double centre = 1.0L + static_cast<long double>(j) / FastLogCentres;
            const long double inverse = 1.0L / centre;
            g_fastMath.InverseMinusOne[j] = inverse - 1.0L;
            g_fastMath.InverseScaled[j] = std::ldexp(inverse, -63);
            g_fastMath.MinusLogInverse[j] = -std::log(inverse);
        }
    });
}

}  // namespace lumora
