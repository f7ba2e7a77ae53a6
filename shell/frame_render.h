// One engine frame into a frame bitmap: the step between the engine, which writes into memory
// its caller owns, and the imaging library's bitmap, which the windows draw and the stills save.
//
// RenderIntoBitmap             the rotation always advances; the pixels go through one lock of
//                              the grid's rectangle, or pixel by pixel when the grid does not fit
//                              the bitmap or the lock fails (pixels that cannot be written keep
//                              their colour)
// RenderIntoBitmapPixelByPixel the same frame, always through GdipBitmapSetPixel (slower; kept to
//                              measure and compare)
// LockedTarget                 a locked rectangle as the engine's pixel target
// Main thread only: the pixel-by-pixel path keeps one scratch frame, grown only when needed.
#pragma once

#include "engine/engine.h"
#include "platform/gdiplus.h"

namespace lumora {

void RenderIntoBitmap(EngineState& state, FrameBitmap& bitmap);
void RenderIntoBitmapPixelByPixel(EngineState& state, FrameBitmap& bitmap);

inline PixelTarget LockedTarget(const LockedBits& bits) {
    return PixelTarget{bits.pixels(), bits.stride()};
}

}  // namespace lumora
