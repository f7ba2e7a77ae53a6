#include "platform/draw_frame.h"

namespace lumora::platform {

void DrawFrame(HDC dc, const FrameView& frame, int left, int top) {
    if (!dc || frame.empty()) return;
    // The rows as a top-down DIB `stride` pixels wide, of which the frame's width is drawn.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.stride;
    info.bmiHeader.biHeight = -frame.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(frame.width),
                      static_cast<DWORD>(frame.height), 0, 0, 0, static_cast<UINT>(frame.height),
                      frame.pixels, &info, DIB_RGB_COLORS);
}

}  // namespace lumora::platform
