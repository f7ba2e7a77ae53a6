#include "shell/preview.h"

#include "engine/domain.h"
#include "engine/engine.h"
#include "platform/draw_frame.h"
#include "platform/window_class.h"
#include "platform/handles.h"
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

FrameLog& Log() {
    static FrameLog log;
    return log;
}

// Handles are 32-bit values, sign-extended in a 64-bit program.
HWND HandleFromValue(int32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(value)); }

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

}  // namespace

void RunPreview(EngineState& engine, std::wstring_view hostArgument) {
    TPreviewWindow preview(engine);
    preview.RunPreview(hostArgument);
}

TPreviewWindow::~TPreviewWindow() {
    StopThread();
    if (window_) DestroyWindow(window_);
}

bool TPreviewWindow::CreatePreviewWindow(int width, int height, HWND host) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    // A plain class: no icon, cursor or background brush of its own.
    platform::RegisterWindowClass(instance, PreviewClassName, WindowProc, {.style = CS_PARENTDC});
    if (host) {
        CreateWindowExW(0, PreviewClassName, PreviewTitle, ChildStyle, 0, 0, width, height, host,
                        nullptr, instance, AsCreateParam());
    } else {
        CreateWindowExW(0, PreviewClassName, PreviewTitle, PopupStyle, 0, 0, width, height, nullptr,
                        nullptr, instance, AsCreateParam());
        SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
    }
    return window_ != nullptr;
}

void TPreviewWindow::RunPreview(std::wstring_view hostArgument) {
    PreviewMode = true;
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

    SetGridSize(engine_, width, height);  // unscaled; clamped to the planes
    SeedRandomFromClock();
    SeedAnimation(engine_);
    engine_.ColourScheme = PreviewColourScheme;
    engine_.Speed = PreviewSpeed;
    engine_.Pattern = Random(RandomPatternCount) + FirstPattern;
    GeneratePatternField(engine_);
    frame_ = platform::Frame(engine_.GridWidth, engine_.GridHeight);
    Log().Start(engine_.Pattern, engine_.GridWidth, engine_.GridHeight, width, height);
    Log().Engine(engine_.ColourScheme, engine_.Speed);

    thread_.emplace([this] { PreviewThreadProc(); });

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    StopThread();
}

// Shows the window, then asks for a repaint every 40 ms until the password check lets the
// preview end (it then posts the destroy message that ends the loop) or the loop has ended.
void TPreviewWindow::PreviewThreadProc() {
    const HWND window = window_;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    do {
        InvalidateRect(window, nullptr, FALSE);
        if (loopEnded_.Wait(InvalidateInterval)) return;
    } while (!StopRequested);
    PostMessageW(window, WM_DESTROY, 0, 0);
}

void TPreviewWindow::StopThread() {
    loopEnded_.Set();
    if (thread_) thread_->Join();
}

LRESULT TPreviewWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_DESTROY: PreviewDestroy(); return 0;
        case WM_PAINT:
            PaintPreviewFrame();
            return 0;  // never validated: painted again and again
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

void TPreviewWindow::PaintPreviewFrame() {
    if (!thread_) return;  // only before the loop runs, which dispatches nothing
    LARGE_INTEGER start, rendered, drawn;
    QueryPerformanceCounter(&start);
    const bool haveFrame = RenderIntoFrame(engine_, frame_);
    QueryPerformanceCounter(&rendered);
    if (haveFrame) {
        platform::WindowDC dc(window_);
        platform::DrawFrame(dc.get(), frame_.view());
    }
    QueryPerformanceCounter(&drawn);
    Log().Frame(Milliseconds(start, rendered), Milliseconds(rendered, drawn), 0.0);  // drawn 1:1
    // The pause ends early when a key or the mouse comes in. The paint is always due again, so
    // the thread never waits for messages otherwise, and a system that reads input only while a
    // thread waits (Wine does so every 200 messages or so: about ten seconds of frames) would
    // let a key press lie unseen.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, PaintPause, QS_INPUT);
}

// Mouse input in the pop-up: ignored in the preview; elsewhere every tenth message after a
// password dialog asks again.
void TPreviewWindow::AskPassword() {
    const PasswordAnswer answer = VerifySaverPassword(window_);
    if (answer.libraryWasAsked) InputGraceCount = GraceAfterDialog;
    StopRequested = answer.mayEnd;
}

void TPreviewWindow::PreviewMouseInput() {
    if (PreviewMode) return;
    if (--InputGraceCount <= 0) AskPassword();
}

void TPreviewWindow::PreviewKeyDown() { AskPassword(); }

void TPreviewWindow::PreviewDestroy() {
    if (!closed_) Log().Close();
    closed_ = true;
    PostQuitMessage(0);
}

}  // namespace lumora
