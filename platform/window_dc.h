// Drawing into a window: its device context, a GDI+ surface on it, a 1:1 copy of pixels.
//
// A surface is created on the window's DC for each draw and released right after it; the
// status results of the drawing calls are not acted on (a failed draw leaves the window as it was).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>

namespace lumora::platform {

// GetDC / ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// GdipCreateFromHDC / GdipDeleteGraphics.
class GdiplusGraphics {
public:
    explicit GdiplusGraphics(HDC dc) { Gdiplus::DllExports::GdipCreateFromHDC(dc, &graphics_); }
    ~GdiplusGraphics() {
        if (graphics_) Gdiplus::DllExports::GdipDeleteGraphics(graphics_);
    }
    GdiplusGraphics(const GdiplusGraphics&) = delete;
    GdiplusGraphics& operator=(const GdiplusGraphics&) = delete;

    // The whole image into the rectangle (0, 0, width, height), scaled with the library's
    // default interpolation.
    void DrawImage(Gdiplus::GpImage* image, int width, int height) {
        if (graphics_ && image)
            Gdiplus::DllExports::GdipDrawImageRectI(graphics_, image, 0, 0, width, height);
    }

private:
    Gdiplus::GpGraphics* graphics_ = nullptr;
};

// Copies a top-down 32-bit frame of width x height pixels 1:1 to (0, 0) of the context.
inline void CopyPixels(HDC dc, const uint32_t* pixels, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels, &info, DIB_RGB_COLORS);
}

}  // namespace lumora::platform
