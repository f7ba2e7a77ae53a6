#include "platform/draw_frame.h"

namespace lumora::platform {

// The rows as a top-down 32-bit DIB `stride` pixels wide.
BITMAPINFO TopDownInfo(int stride, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = stride;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

DrawSurface::Parts::Parts(int width, int height)
    : dc(nullptr), section(dc.get(), TopDownInfo(width, height)),
      selected(dc.get(), section.get()) {}

bool DrawSurface::Resize(int width, int height) {
    if (width == width_ && height == height_ && (parts_ || width < 1 || height < 1)) return true;
    parts_.reset();
    width_ = height_ = 0;
    if (width < 1 || height < 1) return true;
    parts_.emplace(width, height);
    if (!parts_->dc.get() || !parts_->section.get()) {
        parts_.reset();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void DrawFrame(HDC dc, const DrawSurface& surface, int left, int top) {
    if (!dc || surface.empty()) return;
    BitBlt(dc, left, top, surface.width(), surface.height(), surface.get(), 0, 0, SRCCOPY);
    // GDI may batch the copy; the surface's bits are written again at the next frame.
    GdiFlush();
}

void DrawFrame(HDC dc, const FrameView& frame, int left, int top) {
    if (!dc || frame.empty()) return;
    const BITMAPINFO info = TopDownInfo(frame.stride, frame.height);
    SetDIBitsToDevice(dc, left, top, static_cast<DWORD>(frame.width),
                      static_cast<DWORD>(frame.height), 0, 0, 0, static_cast<UINT>(frame.height),
                      frame.pixels, &info, DIB_RGB_COLORS);
}

}  // namespace lumora::platform
