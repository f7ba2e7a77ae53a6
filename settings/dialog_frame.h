// What the two dialogs of the settings mode share: controls made from a table of 96-DPI design
// rectangles, the 8-pixel border around the design's client area, the silver background, the
// window class with the program's icon.
//
// A design rectangle (left, top, width, height) is in the design's client area, which lies
// DialogBorderWidth pixels inside the window's client area on every side; all of it scales with
// the DPI (platform::Scale).
//
// DialogFrame is the part of a dialog window that does not depend on what the dialog is for:
// the window made from its DialogDesign, the controls created from the table in tab order, the
// layout at the window's DPI (window size, each control's rectangle and font) made again when
// the DPI changes, the silver background behind the dialog and its labels, and the focus kept
// across deactivation. A dialog derives from it, names its fonts and its first control, and
// passes the messages it does not handle itself to FrameMessage.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "platform/dpi.h"
#include "platform/window_proc.h"

namespace lumora {

inline constexpr int DialogBorderWidth = 8;
inline constexpr COLORREF Silver = RGB(192, 192, 192);

struct ControlDesign {
    int id;
    const wchar_t* windowClass;
    DWORD style;  // beyond WS_CHILD | WS_VISIBLE
    int left, top, width, height;
    const wchar_t* caption;
    DWORD exStyle = 0;
};

// A control's text (WM_GETTEXT).
std::wstring TextOf(HWND control);
// Black text on the silver background, for labels and check boxes (WM_CTLCOLORSTATIC).
LRESULT ColourOnSilver(HDC dc, HBRUSH silver);

// Registers a window class once per name: the program's icon, an arrow cursor, no background
// brush of its own (the dialog paints its silver).
void RegisterDialogClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);
HWND CreateDesignedControl(HWND parent, HINSTANCE instance, const ControlDesign& design);
// The control's rectangle at the DPI; width 0 keeps the design's width scaled.
RECT DesignRect(const ControlDesign& design, UINT dpi);
void PlaceDesignedControl(HWND parent, const ControlDesign& design, UINT dpi, HFONT font,
                          int width = 0);
// The window's client size for a design client area of width x height, border included.
SIZE DesignClientSize(int width, int height, UINT dpi);
// Fills the client area with the brush (WM_ERASEBKGND).
void EraseWith(HWND window, HDC dc, HBRUSH brush);
// The width of a text in a font, in pixels.
int TextWidth(HWND window, HFONT font, const wchar_t* text);

// True when the control a key goes to takes that key itself rather than leave it to the dialog,
// as an open drop-down list takes Esc to close, and only close, its list. The control is asked
// as a dialog asks it (WM_GETDLGCODE with the message), so every drop-down or pop-up control
// answers for itself.
bool ControlTakesKey(const MSG& message);

// What a dialog does on WM_ACTIVATE: remembers the focused control when it is left, and gives
// the focus back to it (or to the first control) when it is activated again, as after a
// message box. Returns true when it set the focus.
bool KeepFocusOnActivate(HWND dialog, WPARAM wparam, HWND& remembered, HWND first);

struct DialogDesign {
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;
    DWORD exStyle;
    int clientWidth;  // the design's client area, border excluded
    int clientHeight;
    std::span<const ControlDesign> controls;  // in creation order, which is the tab order
};

class DialogFrame : public platform::MessageWindow {
public:
    HWND Handle() const { return window_; }

protected:
    explicit DialogFrame(const DialogDesign& design);
    ~DialogFrame() override;

    // Registers the class and creates the window, attached to this dialog and owned by owner
    // (kept above it, minimised and destroyed with it); the dialog's WM_CREATE handler runs
    // inside.
    bool CreateFrame(HINSTANCE instance, HWND owner = nullptr);
    // Destroys the window; a dialog calls it from its own destructor, while the messages that
    // destroying sends can still reach all of it.
    void DestroyFrame();
    // The frame's share of the messages; true when it handled the message, with its result.
    bool FrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    // Takes the window's DPI and creates the controls of the table.
    void CreateControls();
    // The window's size and every control's rectangle and font at the window's DPI.
    void LayOut();

    // Fonts made for dpi_ (called by LayOut before any control is placed), and each control's.
    virtual void MakeFonts() = 0;
    virtual HFONT FontOf(int id) const = 0;
    // The control that gets the focus when the dialog is activated and none had it before.
    virtual HWND FirstControl() const = 0;
    // Places one control; by default at its design rectangle, in its font.
    virtual void PlaceControl(const ControlDesign& design);
    // What a dialog sets after its controls are placed (list item heights, say).
    virtual void LaidOut() {}

    const ControlDesign& DesignOf(int id) const;
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    HBRUSH Background() const { return background_.get(); }

    HINSTANCE instance_ = nullptr;
    UINT dpi_ = platform::DesignDpi;

private:
    void DpiChanged(UINT dpi, const RECT& suggested);

    const DialogDesign& design_;
    HWND focused_ = nullptr;  // the control that had the focus when the dialog was left
    platform::SolidBrush background_;
};

}  // namespace lumora
