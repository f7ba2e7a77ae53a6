// Start-up: reads the mode switch and opens the window that belongs to the mode.
#include <windows.h>
#include <shellapi.h>

#include <optional>
#include <string>

#include "engine/engine.h"
#include "engine/worker_pool.h"
#include "platform/dpi.h"
#include "platform/gdiplus.h"
#include "platform/handles.h"
#include "settings/settings_dialog.h"
#include "settings/settings.h"
#include "settings/app_title.h"
#include "shell/application.h"
#include "shell/saver_window.h"
#include "shell/mode.h"
#include "shell/preview.h"
#include "shell/window_handle.h"

namespace {

std::wstring Argument(int index) {
    int count = 0;
    const lumora::platform::LocalMemory<LPWSTR> arguments(
        CommandLineToArgvW(GetCommandLineW(), &count));
    return arguments.get() && index < count ? std::wstring(arguments.get()[index]) : std::wstring();
}

// The one engine state of the process, with its planes, for the whole run.
lumora::EngineState& Engine() {
    static lumora::EngineState engine;
    return engine;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    using namespace lumora;
    const std::wstring argument1 = Argument(1);
    const Mode mode = ModeOf(ModeLetter(argument1));
    if (mode == Mode::Nothing) return 0;       // no window, and no engine: its planes are not made
    platform::EnablePerMonitorDpiAwareness();  // the manifest asks for it too
    // The imaging library encodes the settings mode's stills; nothing else uses it. It goes
    // last.
    std::optional<platform::GdiplusSession> gdiplus;
    if (mode == Mode::Settings) gdiplus.emplace();
    SaverSettings settings;
    int status = 0;
    if (mode == Mode::Preview) {
        const std::wstring argument2 = Argument(2);
        RunPreview(Engine(), HostHandleText(argument1, argument2));
    } else {
        // In mode C the settings dialog opens the saver window as its live view, from inside its
        // own creation, so that the live view becomes the main window.
        TForm1 form1(Engine(), settings, /*windowed=*/mode == Mode::Settings);
        if (mode == Mode::FullScreen) form1.Create(instance);
        TForm2 form2(Engine(), settings, form1);
        if (mode == Mode::Settings) form2.Create(instance);
        status = TheApplication().Run();
    }
    // The engine's worker threads end here, while everything they could touch still exists,
    // not among the static objects at exit (the engine state is one of them): a pool of one
    // thread is the caller alone. The windows and their frames are gone; GDI+ goes last.
    SetEnginePoolThreads(1);
    return status;
}
