#include "platform/dpi.h"

#include "platform/handles.h"

namespace lumora::platform {
namespace {

template <typename Function>
Function User32Function(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

void EnablePerMonitorDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    if (const auto set = User32Function<SetContext>("SetProcessDpiAwarenessContext")) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
        if (set(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) return;
    }
    using SetAware = BOOL(WINAPI*)();
    if (const auto set = User32Function<SetAware>("SetProcessDPIAware")) set();
}

UINT DpiOf(HWND window) {
    using GetForWindow = UINT(WINAPI*)(HWND);
    static const auto getForWindow = User32Function<GetForWindow>("GetDpiForWindow");
    if (getForWindow && window) {
        if (const UINT dpi = getForWindow(window)) return dpi;
    }
    const WindowDC screen(nullptr);
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return dpi > 0 ? static_cast<UINT>(dpi) : DesignDpi;
}

SIZE OuterSizeFor(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi) {
    RECT frame{0, 0, clientWidth, clientHeight};
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

Font DesignFont(const wchar_t* face, int designPixels, bool bold, UINT dpi) {
    LOGFONTW description{};
    description.lfHeight = -Scale(designPixels, dpi);
    description.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(description.lfFaceName, face, LF_FACESIZE);
    return Font(description);
}

}  // namespace lumora::platform
