// Folding, colour schemes and pixel packing.
#include <cmath>

#include "engine/engine.h"

namespace lumora {
namespace {

struct Hue {
    int r, g, b;
};

// The fixed colours of schemes 4..18, red, green, blue in 0..255.
constexpr Hue HueColours[15] = {
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

constexpr int FirstHueScheme = 4;
constexpr int LastHueScheme = 18;

// m scaled by one hue component: a full component gives m itself, none gives 0, any other k
// gives m times the nearest long double to k/255.
long double HueChannel(long double m, int component) {
    if (component == 255) return m;
    if (component == 0) return 0.0L;
    return m * (static_cast<long double>(component) / 255.0L);
}

// Scheme 3 brightens the dark half: v / (1.52 - v)^2 below 0.5.
void Lift(long double& v) {
    if (v < 0.5L) {
        const long double gap = 1.52L - v;
        v = v / (gap * gap);
    }
}

int ChannelByte(long double channel) { return static_cast<int>(RoundHalfEven(channel * 255.0L)); }

}  // namespace

Channels SchemeChannels(long double& v1, long double& v2, long double& v3, int scheme) {
    if (scheme < 0 || scheme > LastHueScheme) scheme = 0;
    switch (scheme) {
        case 0: return {v1, v2, v3};
        case 1: return {v1 * v3, v2 * v1, v3 * v2};
        case 2: return {v1 * v2, v2 * v3, v3};
        case 3:
            Lift(v1);
            Lift(v2);
            Lift(v3);
            return {v1, v2, v3};
        default: {
            long double m = v1;
            if (v2 > m) m = v2;
            if (v3 > m) m = v3;
            const Hue& hue = HueColours[scheme - FirstHueScheme];
            return {HueChannel(m, hue.r), HueChannel(m, hue.g), HueChannel(m, hue.b)};
        }
    }
}

uint32_t PackColour(int r8, int g8, int b8) {
    return 0xFF000000u + static_cast<uint32_t>(r8) * 65536u + static_cast<uint32_t>(g8) * 256u +
           static_cast<uint32_t>(b8);
}

uint32_t PointColour(long double& v1, long double& v2, long double& v3, int scheme) {
    v1 = FoldValue(v1);
    v2 = FoldValue(v2);
    v3 = FoldValue(v3);
    const Channels c = SchemeChannels(v1, v2, v3, scheme);
    return PackColour(ChannelByte(c.R), ChannelByte(c.G), ChannelByte(c.B));
}

}  // namespace lumora
