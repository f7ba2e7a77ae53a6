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

bool DrawSurface::Resize(int width, int height) {
    if (width == width_ && height == height_ && (pixels_ || width < 1 || height < 1)) return true;
    Free();
    if (width < 1 || height < 1) return true;
    dc_ = CreateCompatibleDC(nullptr);
    if (!dc_) return false;
    const BITMAPINFO info = TopDownInfo(width, height);
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_ || !bits) {
        Free();
        return false;
    }
    previous_ = SelectObject(dc_, bitmap_);
    pixels_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void DrawSurface::Free() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
    pixels_ = nullptr;
    width_ = height_ = 0;
}

void DrawFrame(HDC dc, const DrawSurface& surface, int left, int top) {
    if (!dc || surface.empty()) return;
    BitBlt(dc, left, top, surface.width(), surface.height(), surface.dc(), 0, 0, SRCCOPY);
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
