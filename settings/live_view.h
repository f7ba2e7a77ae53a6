// What the settings mode's dialogs need of the saver window that runs as their live view.
//
// The live view owns FrameBitmap and its frame timer; the dialogs change the engine state's
// Pattern, ColourScheme and Speed directly and go through this interface for everything else:
//   Open                creates the saver window in windowed mode (its creation completes first,
//                       so it becomes the main window); false when it could not be made
//   Close               closes it, which ends the program
//   RefillField         the coordinate planes for the current Pattern at the current grid
//   RenderStill         frame timer off; FrameBitmap is made anew at width x height and one
//                       frame of the field of that size rendered into it in pieces
//                       (engine/still.h), asking the progress after each piece whether to go
//                       on; Rendered, Cancelled, or NoMemory when the bitmap or a lock of it
//                       cannot be had. After either of the last two the caller restores the
//                       live view.
//   Still               that frame (the bitmap the live view draws otherwise)
//   RestoreLivePreview  FrameBitmap anew at the live view's own grid (half its client size), the
//                       planes refilled, the frame timer on again
#pragma once

#include <windows.h>

namespace lumora {

class FrameBitmap;

// Told how far a still has come; false stops it.
class StillProgress {
public:
    virtual ~StillProgress() = default;
    virtual bool Continue(int piecesDone, int pieces) = 0;
};

enum class StillResult { Rendered, Cancelled, NoMemory };

class LiveView {
public:
    virtual ~LiveView() = default;

    virtual bool Open(HINSTANCE instance) = 0;
    virtual HWND Handle() const = 0;
    virtual void Close() = 0;
    virtual void RefillField() = 0;
    virtual StillResult RenderStill(int width, int height, StillProgress& progress) = 0;
    virtual const FrameBitmap* Still() const = 0;
    virtual void RestoreLivePreview() = 0;
};

}  // namespace lumora
