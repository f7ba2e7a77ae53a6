// Folding, colour schemes and pixel packing. The schemes' formulas are colouring.h's.
#include "engine/colouring.h"
#include "engine/engine.h"

namespace lumora {
namespace {

int ChannelByte(long double channel) { return static_cast<int>(RoundHalfEven(channel * 255.0L)); }

}  // namespace

Channels SchemeChannels(long double& v1, long double& v2, long double& v3, int scheme) {
    return ColourChannels(ColouringOf(scheme), v1, v2, v3);
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
