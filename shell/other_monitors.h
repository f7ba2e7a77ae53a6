// The saver on every monitor but the primary one: one TMonitorWindow per other monitor.
//
// Cover() takes the monitors (ListMonitors, the primary among them) and covers each one other
// than the primary with a window of its own showing the picture, adding, moving or removing
// windows to match what it covered before, without touching the primary window. DrawFrame()
// gives every window the one frame computed per tick (a frame whose pixels cannot be read is not
// drawn here, and the other monitors keep the last one). Close() destroys the windows. With one
// monitor there is no window here at all. When a frame log is kept, every monitor is written to
// it with the window that covers it and, in a span, the part of the frame it shows; with a field
// of its own (Each) a "field" line of its pattern and grid follows. With fadeIn, every window
// made fades in from the desktop under it (TMonitorWindow), a monitor plugged in later as well.
// BeginCrossFade() changes every monitor's own field (Each) to its next pattern; each writes a
// "cycle" line when its change begins (in DrawFrame).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "shell/monitor_window.h"

namespace lumora {

class FrameLog;

struct MonitorRect {
    platform::ScreenRect rect;
    bool primary;
};

// Every monitor of the desktop, in the system's order; the primary one is flagged.
std::vector<MonitorRect> ListMonitors();

class OtherMonitors {
public:
    OtherMonitors() = default;
    OtherMonitors(const OtherMonitors&) = delete;
    OtherMonitors& operator=(const OtherMonitors&) = delete;

    void Open(HINSTANCE instance, HWND primary, bool fadeIn = false);
    bool IsOpen() const { return primary_ != nullptr; }
    void Cover(const std::vector<MonitorRect>& monitors, const MonitorPicture& picture,
               FrameLog& log);
    // primary: the primary window's stretch of this frame, already made.
    void DrawFrame(const platform::FrameView& frame, const WindowPicture& primary, FrameLog& log);
    void BeginCrossFade();
    void Close();

private:
    void Report(const std::vector<MonitorRect>& monitors, const MonitorPicture& picture,
                FrameLog& log) const;
    void ReportOwnField(const MonitorRect& monitor, FrameLog& log) const;

    HINSTANCE instance_ = nullptr;
    HWND primary_ = nullptr;
    bool fadeIn_ = false;                                   // every window made fades in
    std::vector<std::unique_ptr<TMonitorWindow>> windows_;  // in the order of the other monitors
};

}  // namespace lumora
