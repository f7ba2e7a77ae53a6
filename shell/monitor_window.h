// TMonitorWindow: the saver on a monitor other than the primary one.
//
// A borderless, top-most window owned by the primary saver window and covering exactly one
// monitor's rectangle (in virtual-screen coordinates: negative left of or above the primary).
// It shows the primary window's frame, scaled by one factor to cover the monitor, centred and
// cropped (StretchFit::Cover). It computes nothing itself and ends nothing itself: keys, mouse
// moves and a close request are posted on to the primary window, which decides, so that the
// saver ends on every monitor together.
#pragma once

#include <windows.h>

#include <cstdint>

#include "platform/window_proc.h"
#include "shell/stretch.h"

namespace lumora {

class TMonitorWindow {
public:
    explicit TMonitorWindow(HWND primary) : primary_(primary) {}
    ~TMonitorWindow();
    TMonitorWindow(const TMonitorWindow&) = delete;
    TMonitorWindow& operator=(const TMonitorWindow&) = delete;

    // Creates the window over the monitor and shows it without taking the focus.
    bool Create(HINSTANCE instance, const RECT& monitor, int frameWidth, int frameHeight);
    // Moves the window to another rectangle; the stretch is made anew when the size changes.
    void Place(const RECT& monitor, int frameWidth, int frameHeight);
    HWND Handle() const { return window_; }
    // The rectangle it was last asked to cover.
    const RECT& Monitor() const { return monitor_; }

    // The frame (frameWidth x frameHeight pixels, rows `stride` pixels apart), covering the
    // window. A monitor the same shape as the primary one takes the primary window's stretch
    // of it (`primary`, already made) instead of making the same picture again.
    void DrawFrame(const uint32_t* frame, int stride, const FrameStretcher& primary);

private:
    template <typename Window>
    friend LRESULT CALLBACK platform::AttachedWindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

    void FormInput(UINT message, WPARAM wparam, LPARAM lparam);
    void FormClose();

    const HWND primary_;
    HWND window_ = nullptr;
    RECT monitor_{};
    FrameStretcher stretcher_;
};

}  // namespace lumora
