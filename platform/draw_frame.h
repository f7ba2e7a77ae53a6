// Taking a frame to a window through GDI: the way of the preview, the live view and the monitor
// windows, and of the saver window wherever the graphics processor's swap chain does not draw
// for it (platform/gpu_swap_chain.h; shell/saver_draw.h chooses).
//
// DrawSurface is a picture the program writes into and the system draws from without a copy: a
// top-down 32-bit DIB section (width x height pixels, rows of exactly `width` pixels, the top row
// first) selected into a memory device context of its own. Resize() makes it anew for another
// size (allocates; an empty surface when the system has no memory for it); nothing else
// allocates. pixels() are the section's own bits: write them between two draws, never while a
// draw may still be reading them (DrawFrame waits for its copy to be done before it returns).
//
// DrawFrame copies a picture 1:1 to (left, top) of the device context (what lies beyond the
// window is clipped): a surface by BitBlt, a frame in memory (the preview's, a pixel per grid
// point) by SetDIBitsToDevice. An empty picture draws nothing. A frame that must cover more
// pixels than it has is stretched first (shell/stretch.h), straight into a surface, so that the
// copy stays 1:1. The status of the system's call is not acted on: a failed draw leaves the
// window as it was.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/frame.h"

namespace lumora::platform {

// The header of a top-down 32-bit DIB, `stride` pixels wide: rows of exactly `stride` pixels,
// the top row first.
BITMAPINFO TopDownInfo(int stride, int height);

class DrawSurface {
public:
    DrawSurface() = default;
    ~DrawSurface() { Free(); }
    DrawSurface(const DrawSurface&) = delete;
    DrawSurface& operator=(const DrawSurface&) = delete;

    // True when the surface has the size afterwards (a size below 1 makes it empty, and true).
    bool Resize(int width, int height);

    bool empty() const { return pixels_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t* pixels() { return pixels_; }
    FrameView view() const { return {pixels_, width_, height_, width_}; }
    HDC dc() const { return dc_; }

private:
    void Free();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;  // the memory DC's own bitmap, selected back before it goes
    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
};

void DrawFrame(HDC dc, const DrawSurface& surface, int left = 0, int top = 0);
void DrawFrame(HDC dc, const FrameView& frame, int left = 0, int top = 0);

}  // namespace lumora::platform
