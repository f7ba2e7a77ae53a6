// Folding, colour schemes and pixel packing.
#include <cmath>

#include "engine/engine.h"
#include "engine/hue_colours.h"

namespace lumora {
namespace {

// m scaled by one hue component (see HueFactor).
long double HueChannel(long double m, int component) {
    if (component == 255) return m;
    if (component == 0) return 0.0L;
    return m * HueFactor(component);
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
