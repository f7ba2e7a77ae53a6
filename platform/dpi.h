// Per-monitor DPI: the awareness, a window's DPI, design pixels scaled to it, and fonts made for
// it.
//
// The dialogs are designed in 96-DPI pixels; every rectangle and font height is scaled with
// Scale(value, dpi) = value * dpi / 96, rounded (MulDiv). DpiOf asks GetDpiForWindow (Windows 10
// 1607 and later) and falls back on the screen's LOGPIXELSX. EnablePerMonitorDpiAwareness asks for
// PerMonitorV2 at run time as well as in the manifest; a system that refuses (or has awareness
// from the manifest already) keeps what it has, which is harmless.
#pragma once

#include <windows.h>

#include "platform/handles.h"

namespace lumora::platform {

inline constexpr UINT DesignDpi = 96;

inline int Scale(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), DesignDpi); }

void EnablePerMonitorDpiAwareness();
UINT DpiOf(HWND window);
// The outer size of a window whose client area is clientWidth x clientHeight, at the DPI.
SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// A font of the face, designPixels high at 96 DPI (the character cell without internal
// leading), made for the DPI.
Font DesignFont(const wchar_t* face, int designPixels, bool bold, UINT dpi);

}  // namespace lumora::platform
