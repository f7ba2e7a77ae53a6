#include "shell/monitor_window.h"

#include "engine/domain.h"
#include "platform/window_class.h"
#include "settings/app_title.h"
#include "shell/field_cycle.h"
#include "shell/frame_render.h"
#include "platform/screen_capture.h"
#include "shell/saver_window.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraMonitorWindow";
constexpr int OwnFieldGridDivisor = 4;  // as the primary window's full-screen grid

}  // namespace

TMonitorWindow::~TMonitorWindow() {
    if (window_) DestroyWindow(window_);
}

bool TMonitorWindow::Create(HINSTANCE instance, const platform::ScreenRect& monitor,
                            const MonitorPicture& picture, bool fadeIn) {
    platform::RegisterWindowClass(instance, WindowClassName, WindowProc, SaverWindowLook());
    // Owned by the primary window: no taskbar button of its own, always above its owner, and
    // destroyed with it at the latest.
    CreateWindowExW(WS_EX_TOPMOST, WindowClassName, ApplicationTitle, WS_POPUP, monitor.left,
                    monitor.top, monitor.width(), monitor.height(), primary_, nullptr, instance,
                    AsCreateParam());
    if (!window_) return false;
    Show(monitor, picture);
    if (fadeIn && picture.mode != MonitorsMode::PrimaryOnly)
        fadeIn_.From(platform::CaptureScreen(monitor));
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    return true;
}

void TMonitorWindow::Place(const platform::ScreenRect& monitor, const MonitorPicture& picture) {
    if (!window_) return;
    const bool sameSize =
        monitor.width() == monitor_.width() && monitor.height() == monitor_.height();
    const bool samePart = picture.mode != MonitorsMode::Span ||
                          (monitor.left == monitor_.left && monitor.top == monitor_.top);
    if (KeepsOwnField(picture)) {
        // Its own field goes on, whatever the primary shows now; at another size it goes on
        // over the new grid.
        if (!sameSize) {
            MakeOwnField(monitor, picture, life_.get());
            stretched_.Resize(life_ ? life_->frame().width() : 0,
                              life_ ? life_->frame().height() : 0, monitor.width(),
                              monitor.height());
        }
        picture_ = picture;
    } else if (!sameSize || !samePart || !(picture == picture_)) {
        Show(monitor, picture);
    }
    monitor_ = monitor;
    SetWindowPos(window_, HWND_TOPMOST, monitor.left, monitor.top, monitor.width(),
                 monitor.height(), SWP_NOACTIVATE);
}

// The stretch the picture asks for, made once here; a black monitor has none.
void TMonitorWindow::Show(const platform::ScreenRect& monitor, const MonitorPicture& picture) {
    monitor_ = monitor;
    picture_ = picture;
    switch (picture.mode) {
        case MonitorsMode::Mirror:
            stretched_.Resize(picture.frameWidth, picture.frameHeight, monitor.width(),
                              monitor.height(), StretchFit::Cover);
            break;
        case MonitorsMode::Span: {
            const platform::ScreenRect part = PartOf(monitor, picture.bounds);
            stretched_.ResizeToPart(picture.frameWidth, picture.frameHeight, picture.bounds.width(),
                                    picture.bounds.height(), part.left, part.top, part.width(),
                                    part.height());
            break;
        }
        case MonitorsMode::PrimaryOnly:
            stretched_.Resize(0, 0, 0, 0);
            InvalidateRect(window_, nullptr, TRUE);
            break;
        case MonitorsMode::Each:
            MakeOwnField(monitor, picture, nullptr);
            stretched_.Resize(life_ ? life_->frame().width() : 0,
                              life_ ? life_->frame().height() : 0, monitor.width(),
                              monitor.height());
            break;
    }
}

// A display change keeps a monitor's own field where it had one and is to have one still.
bool TMonitorWindow::KeepsOwnField(const MonitorPicture& picture) const {
    return life_ && picture.mode == MonitorsMode::Each && picture_.mode == MonitorsMode::Each &&
           picture.cycles == picture_.cycles && picture.randomScheme == picture_.randomScheme;
}

// Planes of the grid's own size, made once for this monitor (and again for another size). The
// field starts from the picture's choices, or goes on from `from`, the field it had.
void TMonitorWindow::MakeOwnField(const platform::ScreenRect& monitor,
                                  const MonitorPicture& picture, const FieldLife* from) {
    // The old field is kept until the new one has taken its choices and motion.
    std::unique_ptr<FieldLife> oldLife = std::move(life_);
    std::unique_ptr<EngineState> oldField = std::move(field_);
    const int width = GridQuotient(monitor.width(), OwnFieldGridDivisor);
    const int height = GridQuotient(monitor.height(), OwnFieldGridDivisor);
    if (width < 1 || height < 1) return;
    auto field = std::make_unique<EngineState>(height, width);
    field->GridWidth = width;  // within its own planes: set directly
    field->GridHeight = height;
    field->WindowWidth = monitor.width();
    field->WindowHeight = monitor.height();
    if (from) {
        const EngineState& shown = from->Shown();
        field->Pattern = shown.Pattern;
        field->ColourScheme = shown.ColourScheme;
        field->Speed = shown.Speed;
        CopyMotion(shown, *field);
    } else {
        field->Speed = picture.speed;
        field->Pattern = picture.randomPattern ? NextPattern(picture.pattern) : picture.pattern;
        field->ColourScheme = picture.randomScheme ? RandomScheme() : picture.colourScheme;
        SeedAnimation(*field);
    }
    oldLife.reset();
    oldField.reset();
    auto life = std::make_unique<FieldLife>(*field);
    const ChangeRule rule{picture.cycles ? Changes::Cycle : Changes::None, 0, MinuteMilliseconds,
                          picture.randomScheme};
    if (!life->Start(rule, GetTickCount64())) return;
    field_ = std::move(field);
    life_ = std::move(life);
}

bool TMonitorWindow::BeginCrossFade() { return life_ && life_->RequestChange(); }

// The stretched picture to the window; during the fade-in blended with the desktop as it was
// (a picture of another size ends the fade-in).
void TMonitorWindow::Present() {
    fadeIn_.Blend(stretched_.pixels(), stretched_.width(), stretched_.height(), stretched_.width(),
                  GetTickCount64());
    stretched_.Draw(window_);
}

bool TMonitorWindow::DrawFrame(const platform::FrameView& frame, const WindowPicture& primary) {
    if (window_ && picture_.mode == MonitorsMode::Each) {
        if (!life_) return false;
        const FieldLife::TickResult tick = life_->Tick(GetTickCount64());
        if (tick.frame && stretched_.Make(life_->frame().view())) Present();
        return tick.changed;
    }
    if (!window_ || picture_.mode == MonitorsMode::PrimaryOnly || frame.empty()) return false;
    // The primary's picture is its own desktop's blend during its fade-in.
    if (!fadeIn_.active() && primary.made() && stretched_.SameAs(primary)) {
        primary.Draw(window_);
        return false;
    }
    if (stretched_.Make(frame)) Present();
    return false;
}

LRESULT TMonitorWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE: FormInput(message, wparam, lparam); return 0;
        case WM_CLOSE: FormClose(); return 0;
        case WM_ERASEBKGND:
            if (FormEraseBackground(reinterpret_cast<HDC>(wparam))) return 1;
            break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// Posted, not sent: the primary window may end the saver and destroy this window, which must
// not happen while this window is still inside its own handler.
void TMonitorWindow::FormInput(UINT message, WPARAM wparam, LPARAM lparam) {
    PostMessageW(primary_, message, wparam, lparam);
}

void TMonitorWindow::FormClose() { PostMessageW(primary_, WM_CLOSE, 0, 0); }

// A monitor left dark is black whatever the colour scheme of the desktop; the others show the
// class's background until their first frame.
bool TMonitorWindow::FormEraseBackground(HDC dc) {
    if (picture_.mode != MonitorsMode::PrimaryOnly) return false;
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    return true;
}

}  // namespace lumora
