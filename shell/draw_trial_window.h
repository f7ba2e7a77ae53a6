// TDrawTrialWindow: where the saver tries its Direct3D path before it knows whether to keep it.
//
// A borderless, top-most window without a title, made over the saver window and covering its
// rectangle but for its last column, shown without taking the focus. The Direct3D trial presents
// into it instead of into the saver window, so that the saver window never has a swap chain
// unless Direct3D is kept: a window that had one draws more slowly by GDI afterwards (under Wine
// its picture then takes another way to the screen). Keys, mouse moves and a close request are
// posted on to the saver window, which decides, as if the trial window were not there.
//
// Why not the whole rectangle: Wine hands a window the size of the screen to the window manager,
// and letting go of such a window waits for the manager to take it away, two seconds where there
// is none; the saver's thread would read no input meanwhile, and the pointer's moves would arrive
// merged into one jump. A window a column narrower goes at once. The column is the saver
// window's last picture while the trial runs (two seconds, once); the trial measures the present
// of a window of all but the same size.
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
