// A stand-in for the desktop's screen saver dialog, for the end-to-end tests only.
//
//   preview_host SAVER WIDTH HEIGHT HOLD_MS [early|colon]
//
// With "colon" it passes the handle after a colon of the switch ("/p:1234"), as some hosts do,
// instead of as the second argument.
// With "early" it does not wait for the preview: it destroys its window, without hiding it
// first, HOLD_MS after starting the saver, while the preview may still be starting; it reports
// "early" in place of the preview line and no "hidden" line.
//
// Opens a top-level window with a child of WIDTH x HEIGHT (the dialog's little monitor
// picture), starts "SAVER /p <child's handle>", waits up to 20 s for a window of class
// SaverPreviewClass inside the child to be visible, reports it, keeps everything running for
// HOLD_MS, then ends as a dialog does: hides its window, destroys it, and waits up to 10 s for
// the saver to end. It pumps its messages all along, as a real host does. One line on standard
// output per step:
//   started child=<handle in decimal>
//   preview title=T size=WxH at=X,Y style=0xS exstyle=0xE process=saver|other
//   nopreview                                   (none appeared; the saver still runs or ended)
//   hidden took=MS
//   destroyed tick=T took=MS                    (T: GetTickCount64 before DestroyWindow)
//   exit status=N after=MS                      (MS since T; or "exit running" after 10 s)
// Under Wine without a window manager, hiding a captioned window takes about 2 s.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t HostClass[] = L"LumoraTestHost";
constexpr DWORD PreviewWait = 20000;  // ms
constexpr DWORD ExitWait = 10000;     // ms

// Dispatches messages until the handle is signalled or ms have passed; true when signalled.
bool PumpUntil(HANDLE handle, DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD count = handle ? 1 : 0;
        const DWORD woke = MsgWaitForMultipleObjects(count, &handle, FALSE, left, QS_ALLINPUT);
        if (handle && woke == WAIT_OBJECT_0) return true;
        if (woke == WAIT_TIMEOUT) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Report(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool early = argc == 6 && std::wcscmp(argv[5], L"early") == 0;
    const bool colon = argc == 6 && std::wcscmp(argv[5], L"colon") == 0;
    if (argc != 5 && !early && !colon) {
        std::fprintf(stderr, "usage: preview_host SAVER WIDTH HEIGHT HOLD_MS [early|colon]\n");
        return 2;
    }
    const int width = _wtoi(argv[2]);
    const int height = _wtoi(argv[3]);
    const DWORD hold = static_cast<DWORD>(_wtoi(argv[4]));
    const HINSTANCE instance = GetModuleHandleW(nullptr);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = HostClass;
    RegisterClassW(&windowClass);
    const HWND top =
        CreateWindowExW(0, HostClass, L"Lumora test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                        width + 100, height + 100, nullptr, nullptr, instance, nullptr);
    const HWND picture = CreateWindowExW(0, HostClass, L"picture", WS_CHILD | WS_VISIBLE, 20, 20,
                                         width, height, top, nullptr, instance, nullptr);
    if (!top || !picture) return 3;

    // Windows passes the handle in decimal.
    const std::wstring commandLine = L"\"" + std::wstring(argv[1]) +
                                     (colon ? L"\" /p:" : L"\" /p ") +
                                     std::to_wstring(reinterpret_cast<uintptr_t>(picture));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION saver{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(argv[1], mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &saver)) {
        Report("nostart error=%lu\n", GetLastError());
        return 4;
    }
    Report("started child=%llu\n",
           static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(picture)));

    HWND preview = nullptr;
    const ULONGLONG deadline = early ? 0 : GetTickCount64() + PreviewWait;
    // Found as soon as it is created; reported once its creation is complete and it is visible.
    while (!(preview && IsWindowVisible(preview)) && GetTickCount64() < deadline) {
        if (PumpUntil(saver.hProcess, 50)) break;  // the saver ended
        preview = FindWindowExW(picture, nullptr, L"SaverPreviewClass", nullptr);
    }
    if (preview) {
        wchar_t title[64] = L"";
        GetWindowTextW(preview, title, 64);
        RECT outer, inner;
        GetWindowRect(picture, &outer);
        GetWindowRect(preview, &inner);
        DWORD owner = 0;
        GetWindowThreadProcessId(preview, &owner);
        Report(
            "preview title=%ls size=%ldx%ld at=%ld,%ld style=0x%08lx exstyle=0x%08lx process=%s\n",
            title, inner.right - inner.left, inner.bottom - inner.top, inner.left - outer.left,
            inner.top - outer.top, static_cast<unsigned long>(GetWindowLongW(preview, GWL_STYLE)),
            static_cast<unsigned long>(GetWindowLongW(preview, GWL_EXSTYLE)),
            owner == saver.dwProcessId ? "saver" : "other");
    } else {
        Report(early ? "early\n" : "nopreview\n");
    }

    PumpUntil(nullptr, hold);
    // A dialog that ends is hidden first, then destroyed; one that goes away early (it crashed,
    // or was closed at once) is destroyed without hiding, which would take seconds.
    if (!early) {
        const ULONGLONG hiding = GetTickCount64();
        ShowWindow(top, SW_HIDE);
        Report("hidden took=%llu\n", GetTickCount64() - hiding);
    }
    const ULONGLONG destroyed = GetTickCount64();  // the saver's time to end counts from here
    DestroyWindow(top);
    Report("destroyed tick=%llu took=%llu\n", destroyed, GetTickCount64() - destroyed);
    if (PumpUntil(saver.hProcess, ExitWait)) {
        DWORD status = 0;
        GetExitCodeProcess(saver.hProcess, &status);
        Report("exit status=%lu after=%llu\n", status, GetTickCount64() - destroyed);
    } else {
        Report("exit running\n");
    }
    CloseHandle(saver.hThread);
    CloseHandle(saver.hProcess);
    return 0;
}
