// A test helper, never shipped: delivers to the running saver's window the messages the system
// would send but Wine does not.
//   send_to_saver power STATE     WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE for the console
//                                 display: STATE 0 off, 1 on, 2 dimmed
//   send_to_saver monitors        has the system list the monitors again and tell every window
//                                 (WM_DISPLAYCHANGE): ChangeDisplaySettingsEx back to the stored
//                                 mode. Run as a 64-bit program with LUMORA_TEST_MONITORS
//                                 naming the new heads, Wine takes the stand-in
//                                 libXinerama's new list: monitors plugged in or removed.
// The power setting must lie in the saver's own memory for its handler to read it, so it is
// written there (VirtualAllocEx, WriteProcessMemory) and the message is sent with its address.
// Prints what the window answered; exit status 0 when it was delivered, 1 when not, 2 on usage.
#include <windows.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr GUID ConsoleDisplayState = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};

int SendPower(HWND window, DWORD state) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HANDLE handle = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process);
    if (!handle) {
        std::fprintf(stderr, "send_to_saver: cannot open process %lu\n", process);
        return 1;
    }
    unsigned char setting[offsetof(POWERBROADCAST_SETTING, Data) + sizeof(DWORD)] = {};
    auto* header = reinterpret_cast<POWERBROADCAST_SETTING*>(setting);
    header->PowerSetting = ConsoleDisplayState;
    header->DataLength = sizeof(DWORD);
    std::memcpy(setting + offsetof(POWERBROADCAST_SETTING, Data), &state, sizeof state);
    void* remote =
        VirtualAllocEx(handle, nullptr, sizeof setting, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int status = 1;
    if (remote && WriteProcessMemory(handle, remote, setting, sizeof setting, nullptr)) {
        const LRESULT answer = SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                                            reinterpret_cast<LPARAM>(remote));
        std::printf("answer %ld\n", static_cast<long>(answer));
        status = 0;
    } else {
        std::fprintf(stderr, "send_to_saver: cannot write to process %lu\n", process);
    }
    if (remote) VirtualFreeEx(handle, remote, 0, MEM_RELEASE);
    CloseHandle(handle);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const bool power = argc == 3 && std::strcmp(argv[1], "power") == 0;
    const bool monitors = argc == 2 && std::strcmp(argv[1], "monitors") == 0;
    if (!power && !monitors) {
        std::fprintf(stderr, "usage: send_to_saver power 0|1|2 | monitors\n");
        return 2;
    }
    if (monitors) {
        const LONG result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
        std::printf("result %ld monitors %d\n", result, GetSystemMetrics(SM_CMONITORS));
        return result == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
    }
    HWND window = FindWindowW(L"LumoraSaverWindow", nullptr);
    if (!window) {
        std::fprintf(stderr, "send_to_saver: no saver window\n");
        return 1;
    }
    return SendPower(window, static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
}
