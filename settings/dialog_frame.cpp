#include "settings/dialog_frame.h"

#include <algorithm>
#include <string>

#include "platform/dpi.h"
#include "platform/handles.h"
#include "platform/window_class.h"
#include "platform/handles.h"
#include "settings/app_title.h"

namespace lumora {

void RegisterDialogClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
    platform::RegisterWindowClass(instance, name, procedure,
                                  {.iconId = ProgramIconId, .arrowCursor = true});
}

HWND CreateDesignedControl(HWND parent, HINSTANCE instance, const ControlDesign& design) {
    return CreateWindowExW(
        design.exStyle, design.windowClass, design.caption ? design.caption : L"",
        WS_CHILD | WS_VISIBLE | design.style, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance, nullptr);
}

RECT DesignRect(const ControlDesign& design, UINT dpi) {
    using platform::Scale;
    const int left = Scale(DialogBorderWidth + design.left, dpi);
    const int top = Scale(DialogBorderWidth + design.top, dpi);
    return RECT{left, top, left + Scale(design.width, dpi), top + Scale(design.height, dpi)};
}

void PlaceDesignedControl(HWND parent, const ControlDesign& design, UINT dpi, HFONT font,
                          int width) {
    const HWND control = GetDlgItem(parent, design.id);
    const RECT rect = DesignRect(design, dpi);
    const int placedWidth = width > 0 ? width : rect.right - rect.left;
    SetWindowPos(control, nullptr, rect.left, rect.top, placedWidth, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

SIZE DesignClientSize(int width, int height, UINT dpi) {
    return SIZE{platform::Scale(width + 2 * DialogBorderWidth, dpi),
                platform::Scale(height + 2 * DialogBorderWidth, dpi)};
}

void EraseWith(HWND window, HDC dc, HBRUSH brush) {
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush);
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

LRESULT ColourOnSilver(HDC dc, HBRUSH silver) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, Silver);
    return reinterpret_cast<LRESULT>(silver);
}

bool ControlTakesKey(const MSG& message) {
    if (!message.hwnd) return false;
    const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                      reinterpret_cast<LPARAM>(&message));
    return (code & DLGC_WANTMESSAGE) != 0;
}

bool KeepFocusOnActivate(HWND dialog, WPARAM wparam, HWND& remembered, HWND first) {
    if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(dialog, focus)) remembered = focus;
        return false;
    }
    const HWND target = remembered && IsChild(dialog, remembered) ? remembered : first;
    if (!target) return false;
    SetFocus(target);
    return true;
}

DialogFrame::DialogFrame(const DialogDesign& design) : design_(design), background_(Silver) {}

DialogFrame::~DialogFrame() = default;

void DialogFrame::DestroyFrame() {
    if (window_) DestroyWindow(window_);
}

bool DialogFrame::CreateFrame(HINSTANCE instance, HWND owner) {
    instance_ = instance;
    RegisterDialogClass(instance, design_.className, WindowProc);
    CreateWindowExW(design_.exStyle, design_.className, design_.caption, design_.style, 0, 0, 0, 0,
                    owner, nullptr, instance, AsCreateParam());
    return window_ != nullptr;
}

bool DialogFrame::FrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            result = ColourOnSilver(reinterpret_cast<HDC>(wparam), background_.get());
            return true;
        case WM_ERASEBKGND:
            EraseWith(window_, reinterpret_cast<HDC>(wparam), background_.get());
            result = 1;
            return true;
        case WM_DPICHANGED:
            DpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            result = 0;
            return true;
        case WM_ACTIVATE:
            result = 0;
            return KeepFocusOnActivate(window_, wparam, focused_, FirstControl());
    }
    return false;
}

void DialogFrame::CreateControls() {
    dpi_ = platform::DpiOf(window_);
    for (const ControlDesign& design : design_.controls)
        CreateDesignedControl(window_, instance_, design);
}

void DialogFrame::LayOut() {
    MakeFonts();
    const SIZE client = DesignClientSize(design_.clientWidth, design_.clientHeight, dpi_);
    const SIZE outer =
        platform::OuterSizeFor(client.cx, client.cy, design_.style, design_.exStyle, dpi_);
    SetWindowPos(window_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (const ControlDesign& design : design_.controls) PlaceControl(design);
    LaidOut();
    InvalidateRect(window_, nullptr, TRUE);
}

void DialogFrame::PlaceControl(const ControlDesign& design) {
    PlaceDesignedControl(window_, design, dpi_, FontOf(design.id));
}

void DialogFrame::DpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOut();
}

const ControlDesign& DialogFrame::DesignOf(int id) const {
    return *std::find_if(design_.controls.begin(), design_.controls.end(),
                         [id](const ControlDesign& c) { return c.id == id; });
}

int TextWidth(HWND window, HFONT font, const wchar_t* text) {
    const platform::WindowDC dc(window);
    const platform::SelectedObject selected(dc.get(), font);
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &extent);
    return extent.cx;
}

}  // namespace lumora
