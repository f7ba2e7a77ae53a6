// process-probe window TITLE: the handle of the top-level window of that title, in decimal, and
// its size (GetWindowRect): "HANDLE WIDTHxHEIGHT".
// process-probe close TITLE: asks that window to close (WM_CLOSE).
// process-probe PID|NAME: one line of what Windows (or Wine) reports about another process's
// resources, for the soak tests:
//   private=BYTES working_set=BYTES handles=N gdi=N user=N windows=N
// private and working_set from GetProcessMemoryInfo, handles from GetProcessHandleCount, gdi and
// user from GetGuiResources (-1 where the call fails or is not implemented), windows the number
// of the process's windows, top-level and child. NAME is an executable's file name (lumora.scr):
// its first process. Status 1 when there is no such process or it cannot be opened.
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>

namespace {

struct WindowCount {
    DWORD process;
    int windows;
};

BOOL CALLBACK CountChild(HWND window, LPARAM param) {
    auto* count = reinterpret_cast<WindowCount*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->process) ++count->windows;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    CountChild(window, param);
    EnumChildWindows(window, CountChild, param);
    return TRUE;
}

long long GuiResources(HANDLE process, DWORD kind) {
    SetLastError(0);
    const DWORD count = GetGuiResources(process, kind);
    return count == 0 && GetLastError() != 0 ? -1 : static_cast<long long>(count);
}

// The id of the first process running the executable `name`, or 0.
DWORD FindProcess(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
    CloseHandle(snapshot);
    return found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 &&
        (std::wcscmp(argv[1], L"window") == 0 || std::wcscmp(argv[1], L"close") == 0)) {
        const HWND window = FindWindowW(nullptr, argv[2]);
        if (!window) return 1;
        if (argv[1][0] == L'c') return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
        RECT rect{};
        GetWindowRect(window, &rect);
        std::printf("%llu %ldx%ld\n",
                    static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)),
                    rect.right - rect.left, rect.bottom - rect.top);
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: process-probe PID|NAME\n");
        return 2;
    }
    wchar_t* end = nullptr;
    DWORD pid = static_cast<DWORD>(std::wcstoul(argv[1], &end, 10));
    if (*end != L'\0') pid = FindProcess(argv[1]);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::fprintf(stderr, "process-probe: cannot open process %lu (error %lu)\n", pid,
                     GetLastError());
        return 1;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                         sizeof memory);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    WindowCount windows{pid, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    std::printf("private=%llu working_set=%llu handles=%lu gdi=%lld user=%lld windows=%d\n",
                static_cast<unsigned long long>(memory.PrivateUsage),
                static_cast<unsigned long long>(memory.WorkingSetSize), handles,
                GuiResources(process, GR_GDIOBJECTS), GuiResources(process, GR_USEROBJECTS),
                windows.windows);
    CloseHandle(process);
    return 0;
}
