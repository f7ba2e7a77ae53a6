// Start-up: reads the mode switch and opens the window that belongs to the mode.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "shell/app.h"
#include "shell/mode.h"

namespace {

std::wstring Argument(int index) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring text;
    if (arguments && index < count) text = arguments[index];
    LocalFree(arguments);
    return text;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    using namespace lumora;
    const Mode mode = ModeOf(ModeLetter(Argument(1)));
    if (mode == Mode::Nothing) return 0;
    return 0;
}
