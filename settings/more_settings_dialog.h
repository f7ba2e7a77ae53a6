// TMoreDlg: the settings dialog's "More..." choices, a small dialog of its own.
//
// It shows, from the settings in memory, how often the full-screen saver changes to another
// pattern (CycleMinutes: a number 0..120 in a field with arrows, 0 for never), whether every
// start takes a random colour scheme (RandomColours) and whether the saver fades in from the
// desktop (FadeIn). "OK" (Enter) puts them into the settings in memory, which " Save Settings"
// of the settings dialog then stores with the others; "Cancel", Esc and the close box leave
// them as they were. Tab goes from control to control. One table of 96-DPI design rectangles
// on the dialogs' common frame, scaled to the window's DPI and laid out again when it changes.
#pragma once

#include <windows.h>

#include "platform/dpi.h"
#include "settings/dialog_frame.h"

namespace lumora {

struct SaverSettings;

class TMoreDlg : public DialogFrame {
public:
    explicit TMoreDlg(SaverSettings& settings);
    ~TMoreDlg() override;

    // Creates the dialog centred over `over` and shows it (FormCreate runs inside).
    bool Create(HINSTANCE instance, HWND over);
    bool IsOpen() const { return window_ && IsWindowVisible(window_); }
    void BringToFront();

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void OKBtnClick();
    void CancelBtnClick();
    void Leave();

    void MakeFonts() override;
    HFONT FontOf(int) const override { return font_.get(); }
    HWND FirstControl() const override;
    void LaidOut() override;
    void Command(int id, int code);
    void CentreOver(HWND over);

    SaverSettings& settings_;
    platform::Font font_;
};

}  // namespace lumora
