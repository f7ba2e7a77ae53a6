#include "settings/dialog_frame.h"

#include <set>
#include <string>

#include "platform/dpi.h"

namespace lumora {

void RegisterDialogClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
    static std::set<std::wstring> registered;
    if (registered.count(name)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass)) registered.insert(name);
}

HWND CreateDesignedControl(HWND parent, HINSTANCE instance, const ControlDesign& design) {
    return CreateWindowExW(design.exStyle, design.windowClass, design.caption ? design.caption : L"",
                           WS_CHILD | WS_VISIBLE | design.style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)), instance,
                           nullptr);
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
    text.resize(static_cast<size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

LRESULT ColourOnSilver(HDC dc, HBRUSH silver) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, Silver);
    return reinterpret_cast<LRESULT>(silver);
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

int TextWidth(HWND window, HFONT font, const wchar_t* text) {
    const HDC dc = GetDC(window);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return extent.cx;
}

}  // namespace lumora
