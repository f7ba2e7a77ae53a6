// The screen as it is: a copy of a rectangle of the virtual screen's pixels into a frame of its
// size, opaque (what a window shows before it covers it, for the saver's fade-in). An empty
// frame when the rectangle is empty or the copy could not be made; parts of the rectangle that
// no monitor shows read as the system gives them (black).
#pragma once

#include "platform/frame.h"
#include "platform/screen_rect.h"

namespace lumora::platform {

Frame CaptureScreen(const ScreenRect& rect);

}  // namespace lumora::platform
