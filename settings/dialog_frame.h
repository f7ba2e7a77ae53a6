// What the two dialogs of the settings mode share: controls made from a table of 96-DPI design
// rectangles, the 8-pixel border around the design's client area, the silver background, the
// window class with the program's icon, and the busy cursor.
//
// A design rectangle (left, top, width, height) is in the design's client area, which lies
// DialogBorderWidth pixels inside the window's client area on every side; all of it scales with
// the DPI (platform::Scale).
#pragma once

#include <windows.h>

#include <string>

namespace lumora {

inline constexpr int DialogBorderWidth = 8;
inline constexpr COLORREF Silver = RGB(192, 192, 192);
inline constexpr int ProgramIconId = 1;

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

// What a dialog does on WM_ACTIVATE: remembers the focused control when it is left, and gives
// the focus back to it (or to the first control) when it is activated again, as after a
// message box. Returns true when it set the focus.
bool KeepFocusOnActivate(HWND dialog, WPARAM wparam, HWND& remembered, HWND first);

// The hourglass while a long computation holds the message loop.
class BusyCursor {
public:
    BusyCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~BusyCursor() { SetCursor(previous_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace lumora
