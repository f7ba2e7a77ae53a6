#include "shell/preview.h"

#include <memory>

#include "engine/domain.h"
#include "engine/engine.h"
#include "platform/gdiplus.h"
#include "platform/window_class.h"
#include "platform/window_dc.h"
#include "shell/frame_log.h"
#include "shell/frame_render.h"
#include "shell/password.h"
#include "shell/window_handle.h"

namespace lumora {
namespace {

constexpr wchar_t PreviewClassName[] = L"SaverPreviewClass";
constexpr wchar_t PreviewTitle[] = L"ZuVoduz";
constexpr DWORD ChildStyle = WS_CHILD | WS_VISIBLE | WS_DISABLED;
constexpr DWORD PopupStyle = WS_POPUP | WS_VISIBLE;
constexpr DWORD InvalidateInterval = 40;  // ms, the thread's pause between repaint requests
constexpr DWORD PaintPause = 30;          // ms, after every frame painted
constexpr int PreviewColourScheme = 0;
constexpr int PreviewSpeed = 10;
constexpr int32_t GraceAfterDialog = 10;  // mouse messages after a password dialog; the tenth asks

// What the paint needs of RunPreview: the engine and the frame, which exist before the first
// message is dispatched and until the loop has ended. Main thread only.
struct PreviewFrame {
    EngineState* engine = nullptr;
    FrameBitmap* bitmap = nullptr;
};
PreviewFrame& TheFrame() {
    static PreviewFrame frame;
    return frame;
}

FrameLog& Log() {
    static FrameLog log;
    return log;
}

// Handles are 32-bit values, sign-extended in a 64-bit program.
HWND HandleFromValue(int32_t value) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(value));
}

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

void DrawPreviewFrame(const EngineState& engine, const FrameBitmap& bitmap) {
    platform::WindowDC dc(Preview().PreviewWindow);
    platform::GdiplusGraphics graphics(dc.get());
    graphics.DrawImage(bitmap.image(), engine.GridWidth, engine.GridHeight);
}

// Mouse input in the pop-up: ignored in the preview; elsewhere every tenth message after a
// password dialog asks again.
void AskPassword() {
    PreviewState& preview = Preview();
    const PasswordAnswer answer = VerifySaverPassword(preview.PreviewWindow);
    if (answer.libraryWasAsked) preview.InputGraceCount = GraceAfterDialog;
    preview.StopRequested = answer.mayEnd;
}

void PreviewMouseInput() {
    PreviewState& preview = Preview();
    if (preview.PreviewMode) return;
    if (--preview.InputGraceCount <= 0) AskPassword();
}

void PreviewKeyDown() { AskPassword(); }

void PreviewDestroy() {
    Log().Close();
    PostQuitMessage(0);
}

}  // namespace

PreviewState& Preview() {
    static PreviewState state;
    return state;
}

HWND CreatePreviewWindow(int width, int height, HWND host) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // A plain class: no icon, cursor or background brush of its own.
    platform::RegisterWindowClass(instance, PreviewClassName, PreviewWindowProc,
                                  {.style = CS_PARENTDC});
    HWND window;
    if (host) {
        window = CreateWindowExW(0, PreviewClassName, PreviewTitle, ChildStyle, 0, 0, width, height,
                                 host, nullptr, instance, nullptr);
    } else {
        window = CreateWindowExW(0, PreviewClassName, PreviewTitle, PopupStyle, 0, 0, width, height,
                                 nullptr, nullptr, instance, nullptr);
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
    }
    Preview().PreviewWindow = window;
    return window;
}

void RunPreview(EngineState& engine, std::wstring_view hostArgument) {
    PreviewState& preview = Preview();
    preview.PreviewMode = true;
    const HWND host = HandleFromValue(ParseWindowHandle(hostArgument));
    int width = PopupWidth;
    int height = PopupHeight;
    if (host) {
        RECT rect;
        if (!GetWindowRect(host, &rect)) return;  // names no window: nothing could ever end us
        width = rect.right - rect.left;
        height = rect.bottom - rect.top;
    }
    if (!CreatePreviewWindow(width, height, host)) return;

    SetGridSize(engine, width, height);  // unscaled; clamped to the planes
    SeedRandomFromClock();
    SeedAnimation(engine);
    engine.ColourScheme = PreviewColourScheme;
    engine.Speed = PreviewSpeed;
    engine.Pattern = Random(RandomPatternCount) + FirstPattern;
    GeneratePatternField(engine);
    FrameBitmap bitmap(engine.GridWidth, engine.GridHeight);
    TheFrame() = PreviewFrame{&engine, &bitmap};
    Log().Start(engine.Pattern, engine.GridWidth, engine.GridHeight, width, height);
    Log().Engine(engine.ColourScheme, engine.Speed);

    // Never joined: the thread ends with the process.
    const HANDLE thread = CreateThread(nullptr, 0, PreviewThreadProc, nullptr, 0, nullptr);
    if (thread) CloseHandle(thread);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    TheFrame() = PreviewFrame{};
}

DWORD WINAPI PreviewThreadProc(void*) {
    PreviewState& preview = Preview();
    ShowWindow(preview.PreviewWindow, SW_SHOW);
    UpdateWindow(preview.PreviewWindow);
    do {
        InvalidateRect(preview.PreviewWindow, nullptr, FALSE);
        Sleep(InvalidateInterval);
    } while (!preview.StopRequested);
    PostMessageW(preview.PreviewWindow, WM_DESTROY, 0, 0);
    return 0;
}

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_DESTROY: PreviewDestroy(); return 0;
        case WM_PAINT: PaintPreviewFrame(); return 0;  // never validated: painted again and again
        // The default processing is what gives the window its title.
        case WM_NCCREATE: DefWindowProcW(window, message, wparam, lparam); return 1;
        case WM_KEYDOWN: PreviewKeyDown(); return 0;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN: PreviewMouseInput(); return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void PaintPreviewFrame() {
    const PreviewFrame& frame = TheFrame();
    if (!frame.engine) return;  // only before the loop runs, which dispatches nothing
    LARGE_INTEGER start, rendered, drawn;
    QueryPerformanceCounter(&start);
    RenderIntoBitmap(*frame.engine, *frame.bitmap);
    QueryPerformanceCounter(&rendered);
    DrawPreviewFrame(*frame.engine, *frame.bitmap);
    QueryPerformanceCounter(&drawn);
    Log().Frame(Milliseconds(start, rendered), Milliseconds(rendered, drawn));
    // The pause ends early when a key or the mouse comes in. The paint is always due again, so
    // the thread never waits for messages otherwise, and a system that reads input only while a
    // thread waits (Wine does so every 200 messages or so: about ten seconds of frames) would
    // let a key press lie unseen.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, PaintPause, QS_INPUT);
}

}  // namespace lumora
