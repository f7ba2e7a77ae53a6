// Constants of the engine's formulas, each written once with its listed digits. Every one is the
// long double nearest to the decimal written; none is computed at run time from another.
#pragma once

namespace lumora::constants {

constexpr long double Pi = 3.14159265358979324L;
constexpr long double HalfPi = 1.57079632679489662L;
constexpr long double ThirdPi = 1.04719755119659775L;
constexpr long double TwoThirdsPi = 2.09439510239319549L;
constexpr long double QuarterPi = 0.785398163397448310L;
constexpr long double SixthPi = 0.523598775598298873L;
constexpr long double TwoPi = 6.28318530717958648L;
constexpr long double ThreePi = 9.42477796076937972L;
constexpr long double FivePi = 15.7079632679489662L;
constexpr long double EightPi = 25.1327412287183459L;

}  // namespace lumora::constants
