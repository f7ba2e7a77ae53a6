// TDrawTrialWindow: where the saver tries its Direct3D path before it knows whether to keep it.
//
// A borderless, top-most window without a title, made over the saver window and covering exactly
// its rectangle, shown without taking the focus. The Direct3D trial presents into it instead of
// into the saver window, so that the saver window never has a swap chain unless Direct3D is
// kept: a window that had one draws more slowly by GDI afterwards (under Wine its picture then
// takes another way to the screen). Keys, mouse moves and a close request are posted on to the
// saver window, which decides, as if the trial window were not there.
//
// The window lives on a thread of its own: moving, hiding or letting go of a full-screen window
// can hold its thread for seconds (Wine waits that long for a window manager that is not there),
// and the saver's thread must go on drawing and judging the pointer's moves meanwhile. The
// pointer's moves over a window are read by its thread, so the saver window is raised over the
// trial's before it goes (which is why the trial's is not owned by it: an owned window stays
// above its owner). Retire() asks that thread to let the window go and returns at once; the
// destructor waits until it has.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/handles.h"
#include "platform/window_proc.h"

namespace lumora {

class TDrawTrialWindow : public platform::MessageWindow {
public:
    explicit TDrawTrialWindow(HWND saver) : saver_(saver) {}
    ~TDrawTrialWindow() override;

    // Starts the window's thread and waits until the window is shown; false where it is not.
    bool Create();
    HWND Handle() const { return shown_; }
    void Retire();

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void Run(const RECT& rect, HINSTANCE instance);

    const HWND saver_;
    HWND shown_ = nullptr;  // the window, as its thread made it (window_ is that thread's)
    platform::Event made_;
    std::unique_ptr<platform::Thread> thread_;
};

}  // namespace lumora
