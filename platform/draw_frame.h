// Taking a frame to a window: the one way the saver's windows and the preview put pixels on the
// screen. DrawFrame copies the frame 1:1 to (left, top) of the device context (what lies beyond
// the window is clipped); an empty frame draws nothing. A frame that must cover more pixels than
// it has is stretched first (shell/stretch.h), so that the copy stays 1:1. The status of the
// system's call is not acted on: a failed draw leaves the window as it was.
#pragma once

#include <windows.h>

#include "platform/frame.h"

namespace lumora::platform {

void DrawFrame(HDC dc, const FrameView& frame, int left = 0, int top = 0);

}  // namespace lumora::platform
