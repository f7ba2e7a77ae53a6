// Taking a frame to a window through GDI: the way of the preview, the live view and the monitor
// windows, and of the saver window wherever the graphics processor's swap chain does not draw
// for it (platform/gpu_swap_chain.h; shell/saver_draw.h chooses).
//
// DrawSurface is a picture the program writes into and the system draws from without a copy: a
// top-down 32-bit DIB section (width x height pixels, rows of exactly `width` pixels, the top row
// first) selected into a memory device context of its own (the owners of platform/handles.h);
// get() is that device context. Resize() makes it anew for another
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
#include <optional>

#include "platform/frame.h"
#include "platform/handles.h"

namespace lumora::platform {

// The header of a top-down 32-bit DIB, `stride` pixels wide: rows of exactly `stride` pixels,
// the top row first.
BITMAPINFO TopDownInfo(int stride, int height);

class DrawSurface {
public:
    // True when the surface has the size afterwards (a size below 1 makes it empty, and true).
    bool Resize(int width, int height);

    bool empty() const { return !parts_; }
    int width() const { return width_; }
    int height() const { return height_; }
    uint32_t* pixels() const { return parts_ ? parts_->section.bits() : nullptr; }
    FrameView view() const { return {pixels(), width_, height_, width_}; }
    HDC get() const { return parts_ ? parts_->dc.get() : nullptr; }

private:
    // Made together and let go in the reverse order: the section is selected out of the device
    // context before it is deleted, and the device context goes last.
    struct Parts {
        Parts(int width, int height);
        MemoryDC dc;
        DibSection section;
        SelectedObject selected;
    };

    std::optional<Parts> parts_;
    int width_ = 0, height_ = 0;
};

void DrawFrame(HDC dc, const DrawSurface& surface, int left = 0, int top = 0);
void DrawFrame(HDC dc, const FrameView& frame, int left = 0, int top = 0);

}  // namespace lumora::platform
