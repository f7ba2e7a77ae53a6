// What the settings mode's dialogs need of the saver window that runs as their live view.
//
// The live view owns its frame and its frame timer; the dialogs change the engine state's
// Pattern, ColourScheme and Speed directly and go through this interface for everything else:
//   Open           creates the saver window in windowed mode (its creation completes first, so
//                  it becomes the main window); false when it could not be made
//   Close          closes it, which ends the program
//   RefillField    the coordinate planes for the current Pattern at the current grid
//   PauseForStill  the frames stop and the window keeps showing the last one: the engine state
//                  and its planes belong to a still of width x height until Resume
//   Resume         the live view's own grid again (half its client size), the planes refilled,
//                  the frames going again; nothing once the window is gone
// StillPause pauses the live view for as long as it lives, so that the live view comes back
// however the still's way ends.
#pragma once

#include <windows.h>

namespace lumora {

class LiveView {
public:
    virtual ~LiveView() = default;

    virtual bool Open(HINSTANCE instance) = 0;
    virtual HWND Handle() const = 0;
    virtual void Close() = 0;
    virtual void RefillField() = 0;
    virtual void PauseForStill(int width, int height) = 0;
    virtual void Resume() = 0;
};

class StillPause {
public:
    StillPause(LiveView& liveView, int width, int height) : liveView_(liveView) {
        liveView_.PauseForStill(width, height);
    }
    ~StillPause() { liveView_.Resume(); }
    StillPause(const StillPause&) = delete;
    StillPause& operator=(const StillPause&) = delete;

private:
    LiveView& liveView_;
};

}  // namespace lumora
