// WindowPicture: what one of the saver's windows shows of a frame, the frame stretched over the
// window (shell/stretch.h) straight into a DIB section (platform/draw_frame.h), which the window
// gets by BitBlt: the full-size picture is written once and copied once, by the system.
//
// Resize() / ResizeToPart() are the stretch's (FrameStretcher); the section follows the size at
// the next Make(), the only time it allocates. A tick is
//     picture.Make(frame);     // the frame stretched into the section
//     ... picture.pixels() ... // the stretched picture before it is shown: a caller may blend
//                              // over it here (width() x height() pixels, rows of width())
//     picture.Draw(window);    // BitBlt to the window's client area at (0, 0)
// Make() returns false, and Draw() then draws nothing, when the frame is empty or the section
// could not be made; the window keeps what it showed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/draw_frame.h"
#include "shell/stretch.h"

namespace lumora {

class WindowPicture {
public:
    void Resize(int sourceWidth, int sourceHeight, int width, int height,
                StretchFit fit = StretchFit::Fill) {
        stretcher_.Resize(sourceWidth, sourceHeight, width, height, fit);
    }
    void ResizeToPart(int sourceWidth, int sourceHeight, int wholeWidth, int wholeHeight, int left,
                      int top, int width, int height) {
        stretcher_.ResizeToPart(sourceWidth, sourceHeight, wholeWidth, wholeHeight, left, top,
                                width, height);
    }
    // True when both make the same picture of the same frame.
    bool SameAs(const WindowPicture& other) const {
        return stretcher_.SameStretchAs(other.stretcher_);
    }

    bool Make(const platform::FrameView& frame);
    bool made() const { return made_; }
    int width() const { return surface_.width(); }
    int height() const { return surface_.height(); }
    uint32_t* pixels() { return made_ ? surface_.pixels() : nullptr; }
    void Draw(HWND window) const;
    // The picture no longer shows the frame (another way drew it): not shared, not drawn.
    void Discard() { made_ = false; }

private:
    FrameStretcher stretcher_;
    platform::DrawSurface surface_;
    bool made_ = false;
};

}  // namespace lumora
