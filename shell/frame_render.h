// One engine frame into a frame of the grid's size: the step the saver window and the preview
// take at every tick. The rotation always advances. An empty grid renders no pixel (the
// rotation moves on all the same); a frame smaller than the grid (its memory could not be had)
// gets nothing and the tick is skipped: false.
#pragma once

#include "engine/engine.h"
#include "platform/frame.h"

namespace lumora {

// Where the engine writes into a frame: its first pixel and its stride.
inline PixelTarget TargetOf(platform::Frame& frame) { return {frame.pixels(), frame.stride()}; }

bool RenderIntoFrame(EngineState& state, platform::Frame& frame);

}  // namespace lumora
