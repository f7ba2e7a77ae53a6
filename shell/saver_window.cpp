#include "shell/saver_window.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <optional>
#include <cstdlib>

#include "engine/domain.h"
#include "engine/engine.h"
#include "platform/screen_capture.h"
#include "platform/handles.h"
#include "platform/window_class.h"
#include "platform/handles.h"
#include "settings/settings_window.h"
#include "settings/app_title.h"
#include "shell/application.h"
#include "shell/field_cycle.h"
#include "shell/frame_log.h"
#include "shell/frame_render.h"
#include "shell/span.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraSaverWindow";
constexpr UINT_PTR FrameTimerId = 1;
constexpr UINT FrameTimerInterval = 30;  // ms
constexpr UINT FirstFrameMessage = WM_APP + 1;
constexpr WPARAM EscapeKey = VK_ESCAPE;  // 27
constexpr int FullScreenGridDivisor = 4;
constexpr int WindowedGridDivisor = 2;

// Bordered and captioned with a close box only, for the live view; no border at all full-screen.
constexpr DWORD WindowedStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD FullScreenStyle = WS_POPUP | WS_SYSMENU;

FrameLog& Log() {
    static FrameLog log;
    return log;
}

// A test hook beside the frame log: LUMORA_CYCLE_MINUTE_MS shortens the cycle's minute, so
// that the frame-rate benchmark sees one cross-fade after another.
int64_t CycleMinuteMilliseconds() {
    wchar_t text[16];
    const DWORD length = GetEnvironmentVariableW(L"LUMORA_CYCLE_MINUTE_MS", text, 16);
    const long value = length > 0 && length < 16 ? std::wcstol(text, nullptr, 10) : 0;
    return value > 0 ? value : MinuteMilliseconds;
}

// The pointer's moves up to the one at `at` (a time of 0: its latest at that place), newest
// first, as the system recorded them; none where it keeps no such record.
size_t ReadPointerHistory(const PointerMove& at, std::array<PointerMove, 64>& moves) {
    MOUSEMOVEPOINT in{}, out[64];
    in.x = at.x, in.y = at.y, in.time = at.time;
    int count = GetMouseMovePointsEx(sizeof in, &in, out, 64, GMMP_USE_DISPLAY_POINTS);
    if (count < 0 && (at.x < 0 || at.y < 0)) {
        // Windows records places left of or above the primary monitor as 16-bit values.
        in.x = at.x & 0xFFFF, in.y = at.y & 0xFFFF;
        count = GetMouseMovePointsEx(sizeof in, &in, out, 64, GMMP_USE_DISPLAY_POINTS);
    }
    // Wine fills what it has not recorded with zeros (a time no record has).
    const size_t given = static_cast<size_t>(std::max(count, 0));
    size_t recorded = 0;
    for (; recorded < given && out[recorded].time; ++recorded) {
        const MOUSEMOVEPOINT& point = out[recorded];
        moves[recorded] = {point.x > 32767 ? point.x - 65536 : point.x,
                           point.y > 32767 ? point.y - 65536 : point.y, point.time};
    }
    return recorded;
}

// The pointer's place now (time 0: looked up as its latest record at that place).
PointerMove PointerPlace() {
    POINT cursor{};
    GetCursorPos(&cursor);
    return {cursor.x, cursor.y, 0};
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
    : engine_(engine), settings_(settings), windowed_(windowed), life_(engine) {}

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
    // The first frame as soon as the window shows, not a timer's interval later.
    PostMessageW(window_, FirstFrameMessage, 0, 0);
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
        case WM_TIMER:
        case FirstFrameMessage: TimerTimer(); return 0;
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
    if (!windowed_ && settings_.RandomColours) engine_.ColourScheme = RandomScheme();
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
    {
        // The desktop this window is about to cover, captured while the planes are made: the
        // two are the longest steps before the first frame.
        platform::Frame desktop;
        std::optional<platform::Thread> capture;
        if (!windowed_ && settings_.FadeIn)
            capture.emplace([this, &desktop] { desktop = CaptureUnderWindow(); });
        StartLife();
        capture.reset();  // joined
        if (!desktop.empty()) FadeInFrom(std::move(desktop));
    }
    ResizeStretch();
    PointerMove start = PointerPlace();
    std::array<PointerMove, 64> history;
    start.time = ReadPointerHistory(start, history) ? history[0].time : GetTickCount();
    mouse_ = MouseJerk(start);
    SetScreenSaverRunning(true);
    Log().Start(engine_.Pattern, engine_.GridWidth, engine_.GridHeight, engine_.WindowWidth,
                engine_.WindowHeight);
    draw_.Start(window_, windowed_, mode_ != MonitorsMode::Span, Log());
    if (windowed_) return;
    Log().Engine(engine_.ColourScheme, engine_.Speed);
    if (life_.fadeIn().active()) Log().FadeIn();
    otherMonitors_.Open(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)),
                        window_, settings_.FadeIn);
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
    std::vector<platform::ScreenRect> rects;
    primaryRect_ = platform::ScreenRect::Sized(0, 0, engine_.WindowWidth, engine_.WindowHeight);
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
    const platform::ScreenRect part = PartOf(primaryRect_, spanBounds_);
    draw_.picture().ResizeToPart(engine_.GridWidth, engine_.GridHeight, spanBounds_.width(),
                                 spanBounds_.height(), part.left, part.top, part.width(),
                                 part.height());
}

void TForm1::CoverOtherMonitors(const std::vector<MonitorRect>& monitors) {
    switch (mode_) {
        case MonitorsMode::Mirror: Log().Mode("mirror"); break;
        case MonitorsMode::Span: Log().Span(spanGrid_, spanBounds_); break;
        case MonitorsMode::PrimaryOnly: Log().Mode("primary-only"); break;
        case MonitorsMode::Each: Log().Mode("each"); break;
    }
    MonitorPicture picture{mode_, engine_.GridWidth, engine_.GridHeight, spanBounds_};
    if (mode_ == MonitorsMode::Each)
        picture = {mode_,
                   0,
                   0,
                   {},
                   engine_.Pattern,
                   engine_.ColourScheme,
                   engine_.Speed,
                   settings_.Rands,
                   settings_.RandomColours,
                   settings_.CycleMinutes > 0};
    otherMonitors_.Cover(monitors, picture, Log());
}

// Monitors plugged in or removed: each gets a window or loses it; a span is made anew over the
// new rectangle around them (grid, planes, frame, every window's part).
void TForm1::FormDisplayChange() {
    if (!otherMonitors_.IsOpen()) return;
    const std::vector<MonitorRect> monitors = ListMonitors();
    Log().DisplayChange();
    if (mode_ == MonitorsMode::Span) {
        // The span's grid changes: the field shown goes on in the first engine state, whose
        // planes hold any grid, and the other is made anew for the new grid.
        life_.ShowChosen();
        SizeSpan(monitors);
        StartLife();
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
        if (RenderTick()) DrawFrame();
        return;
    }
    LARGE_INTEGER frequency, start, rendered, drawn;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!RenderTick()) return;
    QueryPerformanceCounter(&rendered);
    DrawFrame();
    QueryPerformanceCounter(&drawn);
    const double msPerTick = 1000.0 / static_cast<double>(frequency.QuadPart);
    Log().Frame(static_cast<double>(rendered.QuadPart - start.QuadPart) * msPerTick,
                static_cast<double>(drawn.QuadPart - rendered.QuadPart) * msPerTick,
                draw_.stretchMs());
}

// The grid-sized frame over the whole drawing area (shell/saver_draw.h); the other monitors
// take their pictures of the same frame.
void TForm1::DrawFrame() {
    const platform::FrameView frame = life_.frame().view();
    draw_.Draw(window_, frame, Log());
    otherMonitors_.DrawFrame(frame, draw_.picture(), Log());
    EndFadeInWhenDue();
}

// The frame of this tick, by the field's life (shell/field_life.h); a change that begins with it
// begins on the other monitors too.
bool TForm1::RenderTick() {
    if (windowed_) life_.FollowSettings(settings_.CycleMinutes, settings_.RandomColours);
    const FieldLife::TickResult tick = life_.Tick(GetTickCount64());
    if (tick.changed) {
        Log().Cycle(life_.Shown().Pattern, life_.Shown().ColourScheme);
        otherMonitors_.BeginCrossFade();
    }
    return tick.frame;
}

// The field, its frame and what its changes need, at the grid of engine_: made once, before
// the frames start (and again for a span's new grid). The live view keeps the dialog's choices
// in engine_, which " Save Settings" stores, and changes whatever the minutes, which the dialog
// may change while it runs.
void TForm1::StartLife() {
    const Changes changes = windowed_                    ? Changes::LiveView
                            : settings_.CycleMinutes > 0 ? Changes::Cycle
                                                         : Changes::None;
    life_.Start(
        {changes, settings_.CycleMinutes, CycleMinuteMilliseconds(), settings_.RandomColours},
        GetTickCount64());
}

// The part of the desktop this window is about to cover, before it shows.
platform::Frame TForm1::CaptureUnderWindow() const {
    RECT rect;
    if (!GetWindowRect(window_, &rect)) return {};
    return platform::CaptureScreen(platform::ScreenRectOf(rect));
}

// During the fade-in the picture, as it will be shown, is blended in place with the desktop as it
// was. That is the stretched picture of the GDI path, which the first frames always take (the
// draw's trial starts on it); a picture of another size (Direct3D forced, at the grid's size)
// ends the fade-in at once.
void TForm1::FadeInFrom(platform::Frame desktop) {
    life_.fadeIn().From(std::move(desktop));
    fadingIn_ = true;
    draw_.beforePresent = [this](uint32_t* pixels, int width, int height, int stride) {
        life_.fadeIn().Blend(pixels, width, height, stride, GetTickCount64());
    };
}

// The second runs out also where no picture is made (an empty grid); the hook goes with it.
void TForm1::EndFadeInWhenDue() {
    if (!fadingIn_) return;
    life_.fadeIn().EndWhenDue(GetTickCount64());
    if (life_.fadeIn().active()) return;
    fadingIn_ = false;
    draw_.beforePresent = nullptr;
    Log().FadeInEnd();
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

// The moves since the last one judged, from the system's record of them: the message stands
// for all the moves made while the thread was busy (shell/mouse_jerk.h). A move passed on by
// another of the saver's windows has the place and time of its passing, not of the move, and is
// looked up by the pointer's place now.
void TForm1::FormMouseMove() {
    if (windowed_) return;
    const DWORD place = GetMessagePos();
    const PointerMove reported{GET_X_LPARAM(place), GET_Y_LPARAM(place),
                               static_cast<uint32_t>(GetMessageTime())};
    std::array<PointerMove, 64> history;
    size_t count = ReadPointerHistory(reported, history);
    PointerMove now = reported;
    if (!count) {
        now = PointerPlace();
        count = ReadPointerHistory(now, history);
        now.time = reported.time;
    }
    if (count ? mouse_.Moved({history.data(), count}) : mouse_.MovedTo(now)) Close();
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
