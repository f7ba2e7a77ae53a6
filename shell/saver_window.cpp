#include "shell/saver_window.h"

#include <cstdlib>

#include "engine/domain.h"
#include "engine/engine.h"
#include "platform/window_class.h"
#include "platform/window_dc.h"
#include "settings/settings_window.h"
#include "settings/app_title.h"
#include "shell/application.h"
#include "shell/frame_log.h"
#include "shell/frame_render.h"
#include "shell/span.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraSaverWindow";
constexpr UINT_PTR FrameTimerId = 1;
constexpr UINT FrameTimerInterval = 30;  // ms
constexpr WPARAM EscapeKey = VK_ESCAPE;  // 27
constexpr int MouseJerk = 100;           // pixels between two consecutive moves that are tolerated
constexpr int FullScreenGridDivisor = 4;
constexpr int WindowedGridDivisor = 2;

// Bordered and captioned with a close box only, for the live view; no border at all full-screen.
constexpr DWORD WindowedStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD FullScreenStyle = WS_POPUP | WS_SYSMENU;

FrameLog& Log() {
    static FrameLog log;
    return log;
}

void SetScreenSaverRunning(bool running) {
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, running ? 1 : 0, nullptr, 0);
}

}  // namespace

platform::WindowClassLook SaverWindowLook() {
    return {.iconId = ProgramIconId,
            .arrowCursor = true,
            .background = GetSysColorBrush(COLOR_BTNTEXT)};
}

TForm1::TForm1(EngineState& engine, SaverSettings& settings, bool windowed)
    : engine_(engine), settings_(settings), windowed_(windowed) {}

TForm1::~TForm1() {
    if (window_) DestroyWindow(window_);
}

bool TForm1::Create(HINSTANCE instance) {
    platform::RegisterWindowClass(instance, WindowClassName, WindowProc, SaverWindowLook());
    const DWORD style = windowed_ ? WindowedStyle : FullScreenStyle;
    CreateWindowExW(WS_EX_TOPMOST, WindowClassName, ApplicationTitle, style, 0, 0, 0, 0, nullptr,
                    nullptr, instance, AsCreateParam());
    if (!window_) return false;
    SetTimer(window_, FrameTimerId, FrameTimerInterval, nullptr);
    TheApplication().FormCreated(window_);
    return true;
}

void TForm1::Close() {
    if (window_) SendMessageW(window_, WM_CLOSE, 0, 0);
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;  // a handler may close and destroy the window
    switch (message) {
        case WM_CREATE: FormCreate(); return 0;
        case WM_TIMER: TimerTimer(); return 0;
        case WM_KEYDOWN: FormKeyDown(wparam); return 0;
        case WM_SYSKEYDOWN: FormKeyDown(wparam); break;  // Alt+F4 and the like still work
        case WM_MOUSEMOVE: FormMouseMove(); return 0;
        case WM_CLOSE: FormClose(); return 0;
        case WM_DESTROY: FormDestroy(); return 0;
        case WM_DISPLAYCHANGE: FormDisplayChange(); break;
        case WM_POWERBROADCAST: return FormPowerBroadcast(wparam, lparam);
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

void TForm1::FormCreate() {
    // An error while loading is shown to the user by the store; what was read stays in force,
    // what was not runs with its first-run value, and the window is still completed.
    LoadSettingsForWindow(engine_, settings_);
    SeedRandomFromClock();
    if (settings_.Rands) engine_.Pattern = Random(RandomPatternCount) + FirstPattern;
    // The live view shows what the dialog's pattern slider makes of the stored value.
    if (!windowed_) engine_.Pattern = PatternForFullScreen(engine_.Pattern);
    // The live view is one window whatever the monitors.
    mode_ = windowed_ ? MonitorsMode::Mirror : settings_.Monitors;
    const std::vector<MonitorRect> monitors =
        windowed_ ? std::vector<MonitorRect>{} : ListMonitors();
    if (windowed_)
        SizeWindowed();
    else
        SizeFullScreen();
    if (mode_ == MonitorsMode::Span) SizeSpan(monitors);
    SeedAnimation(engine_);
    GeneratePatternField(engine_);
    ReplaceFrame();
    ResizeStretch();
    GetCursorPos(&lastCursorPos_);
    SetScreenSaverRunning(true);
    Log().Start(engine_.Pattern, engine_.GridWidth, engine_.GridHeight, engine_.WindowWidth,
                engine_.WindowHeight);
    draw_.Start(window_, windowed_, mode_ != MonitorsMode::Span, Log());
    if (windowed_) return;
    otherMonitors_.Open(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)),
                        window_);
    CoverOtherMonitors(monitors);
    // Without the registration (or without a system that sends it) the saver just runs on.
    displayPower_ = platform::PowerSettingNotification(window_, platform::ConsoleDisplayStateGuid);
}

void TForm1::SizeFullScreen() {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int width = screenWidth;
    const int height = screenHeight;
    engine_.WindowWidth = width;
    engine_.WindowHeight = height;
    SizeGridToWindow(engine_, FullScreenGridDivisor);
    ShowCursor(FALSE);
    const int left = screenWidth / 2 - width / 2;
    const int top = screenHeight / 2 - height / 2;
    SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// One field over the rectangle around all monitors: the grid is the span's, the frame is drawn
// over that rectangle, of which this window shows the primary monitor's part.
void TForm1::SizeSpan(const std::vector<MonitorRect>& monitors) {
    std::vector<ScreenRect> rects;
    primaryRect_ = ScreenRect::Sized(0, 0, engine_.WindowWidth, engine_.WindowHeight);
    for (const MonitorRect& monitor : monitors) {
        rects.push_back(monitor.rect);
        if (monitor.primary) primaryRect_ = rects.back();
    }
    if (rects.empty()) rects.push_back(primaryRect_);
    spanBounds_ = BoundsOf(rects);
    spanGrid_ = SpanGridFor(spanBounds_.width(), spanBounds_.height());
    engine_.WindowWidth = spanBounds_.width();
    engine_.WindowHeight = spanBounds_.height();
    SetGridSize(engine_, spanGrid_.width, spanGrid_.height);
    SetWindowPos(window_, nullptr, primaryRect_.left, primaryRect_.top, primaryRect_.width(),
                 primaryRect_.height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::ResizeStretch() {
    if (mode_ != MonitorsMode::Span) {
        draw_.picture().Resize(engine_.GridWidth, engine_.GridHeight, engine_.WindowWidth,
                               engine_.WindowHeight);
        return;
    }
    const ScreenRect part = PartOf(primaryRect_, spanBounds_);
    draw_.picture().ResizeToPart(engine_.GridWidth, engine_.GridHeight, spanBounds_.width(),
                                 spanBounds_.height(), part.left, part.top, part.width(),
                                 part.height());
}

void TForm1::CoverOtherMonitors(const std::vector<MonitorRect>& monitors) {
    switch (mode_) {
        case MonitorsMode::Mirror: Log().Mode("mirror"); break;
        case MonitorsMode::Span: Log().Span(spanGrid_, spanBounds_); break;
        case MonitorsMode::PrimaryOnly: Log().Mode("primary-only"); break;
    }
    otherMonitors_.Cover(
        monitors, MonitorPicture{mode_, engine_.GridWidth, engine_.GridHeight, spanBounds_}, Log());
}

// Monitors plugged in or removed: each gets a window or loses it; a span is made anew over the
// new rectangle around them (grid, planes, frame, every window's part).
void TForm1::FormDisplayChange() {
    if (!otherMonitors_.IsOpen()) return;
    const std::vector<MonitorRect> monitors = ListMonitors();
    Log().DisplayChange();
    if (mode_ == MonitorsMode::Span) {
        SizeSpan(monitors);
        ReplaceFrame();
        GeneratePatternField(engine_);
        ResizeStretch();
    }
    CoverOtherMonitors(monitors);
}

void TForm1::SizeWindowed() {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RECT frame{0, 0, screenWidth / 2, screenHeight / 2};
    AdjustWindowRectEx(&frame, WindowedStyle, FALSE, WS_EX_TOPMOST);
    const int outerWidth = frame.right - frame.left;
    const int outerHeight = frame.bottom - frame.top;
    engine_.WindowWidth = screenWidth / 2;
    engine_.WindowHeight = screenHeight / 2;
    SizeGridToWindow(engine_, WindowedGridDivisor);
    const int left = screenWidth / 2 - outerWidth / 2;
    const int top = screenHeight / 5;
    SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm1::TimerTimer() {
    if (displayOff_ || paused_) return;  // nobody sees it, or a still has the engine: it waits
    if (!Log().enabled()) {
        if (RenderIntoFrame(engine_, frame_)) DrawFrame();
        return;
    }
    LARGE_INTEGER frequency, start, rendered, drawn;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!RenderIntoFrame(engine_, frame_)) return;
    QueryPerformanceCounter(&rendered);
    DrawFrame();
    QueryPerformanceCounter(&drawn);
    const double msPerTick = 1000.0 / static_cast<double>(frequency.QuadPart);
    Log().Frame(static_cast<double>(rendered.QuadPart - start.QuadPart) * msPerTick,
                static_cast<double>(drawn.QuadPart - rendered.QuadPart) * msPerTick);
}

// The grid-sized frame over the whole drawing area (shell/saver_draw.h); the other monitors
// take their pictures of the same frame.
void TForm1::DrawFrame() {
    draw_.Draw(window_, frame_.view(), Log());
    otherMonitors_.DrawFrame(frame_.view(), draw_.picture());
}

void TForm1::ReplaceFrame() {
    frame_ = Frame();  // the old frame goes before the new one is made
    frame_ = Frame(engine_.GridWidth, engine_.GridHeight);
}

void TForm1::RefillField() {
    GeneratePatternField(engine_);
    Log().Field(engine_.Pattern, engine_.GridWidth, engine_.GridHeight);
}

// The frames stop where they are: the engine state and its planes are the still's now.
void TForm1::PauseForStill(int width, int height) {
    paused_ = true;
    if (window_) KillTimer(window_, FrameTimerId);
    Log().Field(engine_.Pattern, width, height);
}

void TForm1::Resume() {
    paused_ = false;
    if (!window_) return;  // gone with the program: nothing to show again
    SizeGridToWindow(engine_, WindowedGridDivisor);
    RefillField();
    SetTimer(window_, FrameTimerId, FrameTimerInterval, nullptr);
}

void TForm1::FormKeyDown(WPARAM key) {
    if (key == EscapeKey || !windowed_) Close();
}

void TForm1::FormMouseMove() {
    POINT cursor;
    GetCursorPos(&cursor);
    if (!windowed_ && (std::abs(lastCursorPos_.x - cursor.x) > MouseJerk ||
                       std::abs(lastCursorPos_.y - cursor.y) > MouseJerk)) {
        lastCursorPos_ = cursor;
        Close();
        return;
    }
    lastCursorPos_ = cursor;
}

// The display off stops the frames where they are; on or dimmed, they go on from there.
LRESULT TForm1::FormPowerBroadcast(WPARAM event, LPARAM data) {
    const auto state = platform::ConsoleDisplayState(event, data);
    if (!state || windowed_) return TRUE;
    const bool off = *state == platform::DisplayState::Off;
    if (off != displayOff_) {
        displayOff_ = off;
        if (off)
            Log().Pause();
        else
            Log().Resume();
    }
    return TRUE;
}

void TForm1::FormClose() {
    otherMonitors_.Close();
    SetScreenSaverRunning(false);
    Log().Close();
    TheApplication().CloseForm(window_);
}

void TForm1::FormDestroy() {
    KillTimer(window_, FrameTimerId);
    draw_.StopGpu();  // the swap chain goes before its window
    TheApplication().FormDestroyed(window_);
}

}  // namespace lumora
