// TDrawTrialWindow: where the saver tries its Direct3D path before it knows whether to keep it.
//
// A borderless, top-most window without a title, made over the saver window and covering exactly
// its rectangle, shown without taking the focus. The Direct3D trial presents into it instead of
// into the saver window, so that the saver window never has a swap chain unless Direct3D is
// kept: a window that had one draws more slowly by GDI afterwards (under Wine its picture then
// takes another way to the screen). Keys, mouse moves and a close request are posted on to the
// saver window, which decides, as if the trial window were not there.
//
// When the trial is over the saver window is raised over it (which is why it is not owned by
// the saver window: an owned window stays above its owner), and it stays there, covered and
// without a swap chain, until the saver window goes: moving, hiding or letting go of a
// full-screen window can hold its thread for seconds (Wine waits that long for a window manager
// that is not there), and the pointer's moves made meanwhile would reach the saver merged into
// one jump.
#pragma once

#include <windows.h>

#include "platform/window_proc.h"

namespace lumora {

class TDrawTrialWindow : public platform::MessageWindow {
public:
    explicit TDrawTrialWindow(HWND saver) : saver_(saver) {}
    ~TDrawTrialWindow() override;

    bool Create();
    HWND Handle() const { return window_; }

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    const HWND saver_;
};

}  // namespace lumora
