// The window class of a full-screen saver window: the program's icon, the arrow cursor (hidden
// while the saver runs), and the system colour for button text as background (black in the
// standard scheme), which shows until the first frame is drawn. Registered by the first call
// for a name; later calls find it registered.
#pragma once

#include <windows.h>

namespace lumora {

inline bool RegisterSaverWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure) {
    constexpr int ProgramIconId = 1;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, name, &windowClass)) return true;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconId));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNTEXT);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass) != 0;
}

}  // namespace lumora
