#include "engine/fast_math.h"

#include <mutex>

namespace lumora {

FastMathTables g_fastMath;

void InitFastMath() {
    static std::once_flag once;
    std::call_once(once, [] {
        // sin and cos of j*pi/32 for j = 0..8 (angles up to pi/4, where the rounding of the
        // argument costs least); the rest of the circle by symmetry.
        constexpr long double PiOver32 = 0.0981747704246810387019576057274844651L;
        long double sinBase[9], cosBase[9];
        for (int j = 0; j <= 8; ++j) {
            const long double angle = static_cast<long double>(j) * PiOver32;
            sinBase[j] = std::sin(angle);
            cosBase[j] = std::cos(angle);
        }
        for (int k = 0; k < 64; ++k) {
            const int j = k % 16;
            const long double s = j <= 8 ? sinBase[j] : cosBase[16 - j];
            const long double c = j <= 8 ? cosBase[j] : sinBase[16 - j];
            switch (k / 16) {
                case 0: g_fastMath.SinK[k] = s;  g_fastMath.CosK[k] = c;  break;
                case 1: g_fastMath.SinK[k] = c;  g_fastMath.CosK[k] = -s; break;
                case 2: g_fastMath.SinK[k] = -s; g_fastMath.CosK[k] = -c; break;
                default: g_fastMath.SinK[k] = -c; g_fastMath.CosK[k] = s; break;
            }
        }
        for (int j = 0; j <= 128; ++j) {
            const long double centre = 1.0L + static_cast<long double>(j) / 128;
            const long double inverse = 1.0L / centre;
            g_fastMath.LogInverse[j] = inverse;
            g_fastMath.MinusLogInv[j] = -std::log(inverse);
        }
    });
}

}  // namespace lumora
