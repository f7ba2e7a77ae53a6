// The colouring of a folded point, written once for the straightforward evaluation (colour.cpp),
// the 80-bit fast frame (fast_frame.cpp) and the vector frame's set-up (vector_frame.cpp).
//
// A scheme is resolved once per frame into a Colouring: its kind (0..3, or 4 for the hue
// schemes) and, for a hue scheme, the factor of each component (HueFactor: 1 for 255, 0 for 0,
// else k/255), so that a point's channels need no look-up. m * 1 is m and m * 0 is 0 for every
// folded value m, so this is the same as taking m or 0 for those components.
// The vector frame colours with intervals instead (vector_rows.h, ColourPoints): each step there
// is this one with the bounds carried through it.
#pragma once

#include "engine/engine.h"
#include "engine/hue_colours.h"

namespace lumora {

struct Colouring {
    int kind;  // 0, 1, 2, 3, or 4: a hue scheme
    long double hue[3];
};

// Schemes outside 0..18 colour as 0.
inline Colouring ColouringOf(int scheme) {
    if (scheme < 0 || scheme > LastHueScheme) scheme = 0;
    Colouring c{scheme < FirstHueScheme ? scheme : 4, {0.0L, 0.0L, 0.0L}};
    if (scheme >= FirstHueScheme) {
        const Hue& hue = HueColours[scheme - FirstHueScheme];
        c.hue[0] = HueFactor(hue.r);
        c.hue[1] = HueFactor(hue.g);
        c.hue[2] = HueFactor(hue.b);
    }
    return c;
}

// Scheme 3 brightens the dark half: v / (1.52 - v)^2 below 0.5.
inline void LiftDark(long double& v) {
    if (v < 0.5L) {
        const long double gap = 1.52L - v;
        v = v / (gap * gap);
    }
}

// Folded values in (0, 1] in, channels in [0, 1] out; scheme 3 lifts the values in place.
inline Channels ColourChannels(const Colouring& c, long double& v1, long double& v2,
                               long double& v3) {
    switch (c.kind) {
        case 1: return {v1 * v3, v2 * v1, v3 * v2};
        case 2: return {v1 * v2, v2 * v3, v3};
        case 3:
            LiftDark(v1);
            LiftDark(v2);
            LiftDark(v3);
            return {v1, v2, v3};
        case 4: {
            long double m = v1;
            if (v2 > m) m = v2;
            if (v3 > m) m = v3;
            return {m * c.hue[0], m * c.hue[1], m * c.hue[2]};
        }
        default: return {v1, v2, v3};
    }
}

}  // namespace lumora
