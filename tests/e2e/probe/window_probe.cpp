// window-probe: what the end-to-end tests ask of another process's windows and of a program file.
//
//   window-probe controls TITLE   the top-level window of that caption: one line
//                                 "window x y w h client W H dpi D" (outer rectangle on the screen,
//                                 client size, the window's DPI), then per child control
//                                 "control ID CLASS x y w h itemheight H value V text T"
//                                 (rectangle in the parent's client area, a list's item height,
//                                 a slider's position, a check box's state, a list's item
//                                 count or a drop-down list's selection, and the text; a
//                                 list's items follow as "item I TEXT").
//                                 A line "state enabled E active A focus F" follows the window
//                                 line: whether the window takes input, whether it is its
//                                 thread's active window, and the id of the control of it that
//                                 has the keyboard focus (0: the focus is outside the window,
//                                 -1: nowhere).
//   window-probe settext TITLE ID TEXT  sets a control's text, as a paste or another program
//                                 would (WM_SETTEXT: no keyboard filter applies).
//   window-probe clicks TITLE ID N  posts N clicks of control ID to that window at once, as a
//                                 quick double click or a tool's clicks arrive (BN_CLICKED each).
//   window-probe manifest FILE    "dpiAware VALUE" and "dpiAwareness VALUE" from the file's
//                                 application manifest (resource 1), "" for a setting it lacks.
// Exit status 0, or 1 when the window or the manifest is not there.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(bytes > 0 ? bytes : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), bytes, nullptr, nullptr);
    narrow.pop_back();
    return narrow;
}

// WM_GETTEXT, which reaches a control of another process (GetWindowText would not).
std::wstring TextOf(HWND window) {
    wchar_t text[512] = L"";
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = L"";
    GetClassNameW(window, name, 128);
    return name;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM parentParameter) {
    const HWND parent = reinterpret_cast<HWND>(parentParameter);
    if (GetParent(control) != parent) return TRUE;
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const std::wstring kind = ClassOf(control);
    LRESULT value = 0;
    LRESULT itemHeight = 0;  // a font of another process cannot be read; a list's item height can
    if (kind == TRACKBAR_CLASSW) value = SendMessageW(control, TBM_GETPOS, 0, 0);
    if (kind == L"Button") value = SendMessageW(control, BM_GETCHECK, 0, 0);
    if (kind == L"ComboBox") value = SendMessageW(control, CB_GETCURSEL, 0, 0);
    if (kind == L"ListBox") value = SendMessageW(control, LB_GETCOUNT, 0, 0);
    if (kind == L"ListBox") itemHeight = SendMessageW(control, LB_GETITEMHEIGHT, 0, 0);
    std::printf("control %d %s %ld %ld %ld %ld itemheight %ld value %ld text %s\n",
                GetDlgCtrlID(control), Utf8(kind).c_str(), rect.left, rect.top,
                rect.right - rect.left, rect.bottom - rect.top, static_cast<long>(itemHeight),
                static_cast<long>(value), Utf8(TextOf(control)).c_str());
    if (kind == L"ListBox") {
        for (LRESULT i = 0; i < value; ++i) {
            wchar_t item[512] = L"";
            if (SendMessageW(control, LB_GETTEXTLEN, i, 0) < 512)
                SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
            std::printf("item %ld %s\n", static_cast<long>(i), Utf8(item).c_str());
        }
    }
    return TRUE;
}

int Controls(const wchar_t* title) {
    const HWND window = FindWindowW(nullptr, title);
    if (!window) return 1;
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    using GetDpi = UINT(WINAPI*)(HWND);
    const auto getDpi = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    std::printf("window %ld %ld %ld %ld client %ld %ld dpi %u\n", outer.left, outer.top,
                outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom,
                getDpi ? getDpi(window) : 0u);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    const int focus = !thread.hwndFocus                   ? -1
                      : IsChild(window, thread.hwndFocus) ? GetDlgCtrlID(thread.hwndFocus)
                                                          : 0;
    std::printf("state enabled %d active %d focus %d\n", IsWindowEnabled(window) ? 1 : 0,
                thread.hwndActive == window ? 1 : 0, focus);
    EnumChildWindows(window, PrintControl, reinterpret_cast<LPARAM>(window));
    return 0;
}

int SetText(const wchar_t* title, int id, const wchar_t* text) {
    const HWND window = FindWindowW(nullptr, title);
    const HWND control = window ? GetDlgItem(window, id) : nullptr;
    if (!control) return 1;
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return 0;
}

std::string Setting(HANDLE context, const wchar_t* ns, const wchar_t* name) {
    using Query =
        BOOL(WINAPI*)(DWORD, HANDLE, const wchar_t*, const wchar_t*, wchar_t*, SIZE_T, SIZE_T*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryActCtxSettingsW")));
    wchar_t value[256] = L"";
    SIZE_T written = 0;
    if (!query || !query(0, context, ns, name, value, 256, &written)) return "";
    return Utf8(value);
}

int Manifest(const wchar_t* file) {
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = file;
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE context = CreateActCtxW(&request);
    if (context == INVALID_HANDLE_VALUE) return 1;
    std::printf(
        "dpiAware %s\n",
        Setting(context, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware")
            .c_str());
    std::printf(
        "dpiAwareness %s\n",
        Setting(context, L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness")
            .c_str());
    ReleaseActCtx(context);
    return 0;
}

int PostClicks(const wchar_t* title, int id, int count) {
    const HWND window = FindWindowW(nullptr, title);
    const HWND control = window ? GetDlgItem(window, id) : nullptr;
    if (!control) return 1;
    for (int i = 0; i < count; ++i)
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(control));
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"controls") return Controls(argv[2]);
    if (argc == 3 && std::wstring(argv[1]) == L"manifest") return Manifest(argv[2]);
    if (argc == 5 && std::wstring(argv[1]) == L"settext")
        return SetText(argv[2], _wtoi(argv[3]), argv[4]);
    if (argc == 5 && std::wstring(argv[1]) == L"clicks")
        return PostClicks(argv[2], _wtoi(argv[3]), _wtoi(argv[4]));
    std::fprintf(stderr,
                 "usage: window-probe controls TITLE | settext TITLE ID TEXT | clicks TITLE ID N | "
                 "manifest FILE\n");
    return 2;
}
