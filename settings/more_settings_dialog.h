// TMoreDlg: the settings dialog's "More..." choices, a small dialog of its own.
//
// It shows, from the settings in memory, how often the full-screen saver changes to another
// pattern (CycleMinutes: a number 0..120 in a field with arrows, 0 for never), whether every
// start takes a random colour scheme (RandomColours) and whether the saver fades in from the
// desktop (FadeIn). "OK" (Enter) puts them into the settings in memory, which " Save Settings"
// of the settings dialog then stores with the others; a minutes text that is not a whole number
// in 0..120 (pasted, or set by another program: the field takes only digits from the keyboard)
// is refused with a message naming the range, and the dialog stays open. The arrows step within
// the range. "Cancel", Esc and the close box leave the choices as they were. Tab goes from
// control to control.
//
// It is modal to the settings dialog, its owner: the owner takes no input while it is open, and
// however it is left the owner is active again with the focus on the control that opened it.
// One table of 96-DPI design rectangles on the dialogs' common frame, scaled to the window's DPI
// and laid out again when it changes.
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

    // Creates the dialog centred over its owner, modal to it, and shows it (FormCreate runs
    // inside); returnFocus gets the focus back when the dialog is left.
    bool Create(HINSTANCE instance, HWND owner, HWND returnFocus);
    bool IsOpen() const { return window_ && IsWindowVisible(window_); }
    void BringToFront();

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void OKBtnClick();
    void CancelBtnClick();
    void Leave();
    void RefuseMinutes();

    void MakeFonts() override;
    HFONT FontOf(int) const override { return font_.get(); }
    HWND FirstControl() const override;
    void LaidOut() override;
    void Command(int id, int code);
    void CentreOver(HWND over);

    SaverSettings& settings_;
    HWND owner_ = nullptr;        // takes no input while the dialog is open
    HWND returnFocus_ = nullptr;  // the owner's control that opened the dialog
    platform::Font font_;
};

}  // namespace lumora
