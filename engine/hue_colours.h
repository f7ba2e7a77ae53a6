// The fixed colours of the hue schemes 4..18, shared by the straightforward and the fast
// colouring: red, green, blue in 0..255.
//
// A hue scheme scales the largest folded value m by each component: a full component gives m
// itself, none gives 0, any other k gives m times the nearest long double to k/255 (HueFactor).
#pragma once

namespace lumora {

struct Hue {
    int r, g, b;
};

constexpr int FirstHueScheme = 4;
constexpr int LastHueScheme = 18;

constexpr Hue HueColours[LastHueScheme - FirstHueScheme + 1] = {
    {30, 144, 255},   // 4  dodger blue
    {0, 255, 255},    // 5  cyan
    {244, 164, 96},   // 6  sandy brown
    {205, 92, 92},    // 7  indian red
    {255, 215, 0},    // 8  gold
    {255, 105, 180},  // 9  hot pink
    {255, 20, 147},   // 10 deep pink
    {160, 32, 240},   // 11 purple
    {255, 69, 0},     // 12 orange red
    {255, 0, 0},      // 13 red
    {127, 255, 212},  // 14 aquamarine
    {0, 255, 127},    // 15 spring green
    {211, 211, 211},  // 16 light gray
    {119, 136, 153},  // 17 light slate gray
    {255, 255, 255},  // 18 white
};

// The factor of one component: m * HueFactor(k) is m for 255 and 0 for 0 (m is positive).
inline long double HueFactor(int component) {
    if (component == 255) return 1.0L;
    if (component == 0) return 0.0L;
    return static_cast<long double>(component) / 255.0L;
}

}  // namespace lumora
