// The progress of a still that takes a while: a small window with a bar and Cancel.
//
// StillProgressWindow is told after each piece of a still (settings/still_image.h). For the first
// half second it shows nothing and lets the still render undisturbed; after that it shows
// itself centred on the screen, always on top, with the still's size, a bar of the pieces done
// and a Cancel button, keeps the program's windows painted between pieces, and answers false
// once the user pressed Cancel, Esc or its close box. While it shows, the dialogs and the live
// view take no input (what they hold must not change under the still). It goes, and gives the
// input back, when it is destroyed.
#pragma once

#include <windows.h>

#include "platform/dpi.h"
#include "platform/window_proc.h"
#include "settings/dialog_frame.h"
#include "settings/still_image.h"

namespace lumora {

class StillProgressWindow : public DialogFrame, public StillProgress {
public:
    // dialog and liveView take no input while it shows.
    StillProgressWindow(HINSTANCE instance, HWND dialog, HWND liveView, int width, int height);
    ~StillProgressWindow() override;

    bool Continue(int piecesDone, int pieces) override;

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void CancelBtnClick();
    void Show();
    void PumpMessages();

    void MakeFonts() override;
    HFONT FontOf(int) const override { return font_.get(); }
    HWND FirstControl() const override;

    int width_, height_;
    ULONGLONG start_;
    bool cancelled_ = false;
    HWND held_[2];  // the windows that take no input while it shows
    bool holding_ = false;
    platform::Font font_;
};

}  // namespace lumora
