// Per-monitor DPI: the awareness, a window's DPI, design pixels scaled to it, and fonts made for it.
//
// The dialogs are designed in 96-DPI pixels; every rectangle and font height is scaled with
// Scale(value, dpi) = value * dpi / 96, rounded (MulDiv). DpiOf asks GetDpiForWindow (Windows 10
// 1607 and later) and falls back on the screen's LOGPIXELSX. EnablePerMonitorDpiAwareness asks for
// PerMonitorV2 at run time as well as in the manifest; a system that refuses (or has awareness
// from the manifest already) keeps what it has, which is harmless.
#pragma once

#include <windows.h>

namespace lumora::platform {

inline constexpr UINT DesignDpi = 96;

inline int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), DesignDpi); }

void EnablePerMonitorDpiAwareness();
UINT DpiOf(HWND window);
// The outer size of a window whose client area is clientWidth x clientHeight, at the DPI.
SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// CreateFontIndirectW / DeleteObject.
class Font {
public:
    Font() = default;
    // Design height in 96-DPI pixels of the character cell without internal leading.
    Font(const wchar_t* face, int designPixels, bool bold, UINT dpi);
    ~Font() { Reset(); }
    Font(Font&& other) noexcept : font_(other.font_) { other.font_ = nullptr; }
    Font& operator=(Font&& other) noexcept;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT get() const { return font_; }

private:
    void Reset();
    HFONT font_ = nullptr;
};

// CreateSolidBrush / DeleteObject.
class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
    ~SolidBrush() {
        if (brush_) DeleteObject(brush_);
    }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH get() const { return brush_; }

private:
    HBRUSH brush_;
};

}  // namespace lumora::platform
