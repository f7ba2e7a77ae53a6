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
        desktop_ = platform::CaptureScreen(monitor);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    return true;
}

void TMonitorWindow::Place(const platform::ScreenRect& monitor, const MonitorPicture& picture) {
    if (!window_) return;
    const bool sameSize =
        monitor.width() == monitor_.width() && monitor.height() == monitor_.height();
    const bool samePart = picture.mode != MonitorsMode::Span ||
                          (monitor.left == monitor_.left && monitor.top == monitor_.top);
    if (!sameSize || !samePart || !(picture == picture_)) Show(monitor, picture);
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
            MakeOwnField(monitor, picture);
            stretched_.Resize(fieldFrame_.width(), fieldFrame_.height(), monitor.width(),
                              monitor.height());
            break;
    }
}

// Planes of the grid's own size, made once for this monitor (and again for another size).
void TMonitorWindow::MakeOwnField(const platform::ScreenRect& monitor,
                                  const MonitorPicture& picture) {
    fieldFrame_ = platform::Frame();
    incomingFrame_ = platform::Frame();
    shown_ = incoming_ = nullptr;
    spare_.reset();
    field_.reset();
    const int width = GridQuotient(monitor.width(), OwnFieldGridDivisor);
    const int height = GridQuotient(monitor.height(), OwnFieldGridDivisor);
    if (width < 1 || height < 1) return;
    field_ = std::make_unique<EngineState>(height, width);
    EngineState& field = *field_;
    field.GridWidth = width;  // within its own planes: set directly
    field.GridHeight = height;
    field.WindowWidth = monitor.width();
    field.WindowHeight = monitor.height();
    field.Speed = picture.speed;
    field.Pattern = picture.randomPattern ? NextPattern(picture.pattern) : picture.pattern;
    field.ColourScheme = picture.randomScheme ? RandomScheme() : picture.colourScheme;
    SeedAnimation(field);
    GeneratePatternField(field);
    fieldFrame_ = platform::Frame(width, height);
    if (fieldFrame_.empty()) {
        field_.reset();
        return;
    }
    shown_ = field_.get();
    if (!picture.cycles) return;
    incomingFrame_ = platform::Frame(width, height);
    if (incomingFrame_.empty()) return;
    spare_ = std::make_unique<EngineState>(height, width);
    spare_->GridWidth = width;
    spare_->GridHeight = height;
    spare_->WindowWidth = monitor.width();
    spare_->WindowHeight = monitor.height();
}

bool TMonitorWindow::BeginCrossFade() {
    if (!shown_ || !spare_ || incoming_) return false;
    EngineState& next = shown_ == field_.get() ? *spare_ : *field_;
    PrepareNextField(*shown_, next, picture_.randomScheme);
    incoming_ = &next;
    changeStart_ = GetTickCount64();
    return true;
}

// The field's frame of this tick; during a cross-fade the two fields' frames blended.
bool TMonitorWindow::RenderOwnField() {
    if (incoming_) {
        const int weight = BlendWeight(GetTickCount64() - changeStart_, CrossFadeMilliseconds);
        if (weight < FullWeight) {
            if (!RenderIntoFrame(*shown_, fieldFrame_) ||
                !RenderIntoFrame(*incoming_, incomingFrame_))
                return false;
            BlendPixels(fieldFrame_.view(), incomingFrame_.view(), weight, fieldFrame_.pixels(),
                        fieldFrame_.stride());
            return true;
        }
        shown_ = incoming_;
        incoming_ = nullptr;
    }
    return RenderIntoFrame(*shown_, fieldFrame_);
}

// The stretched picture to the window; during the fade-in blended with the desktop as it was
// (a picture of another size ends the fade-in).
void TMonitorWindow::Present() {
    if (!desktop_.empty()) {
        const ULONGLONG now = GetTickCount64();
        if (!fadeInStart_) fadeInStart_ = now;
        const int weight = BlendWeight(now - fadeInStart_, FadeInMilliseconds);
        const int width = stretched_.width(), height = stretched_.height();
        if (weight >= FullWeight || width != desktop_.width() || height != desktop_.height()) {
            desktop_ = platform::Frame();
        } else {
            uint32_t* pixels = stretched_.pixels();
            BlendPixels(desktop_.view(), platform::FrameView{pixels, width, height, width}, weight,
                        pixels, width);
        }
    }
    stretched_.Draw(window_);
}

void TMonitorWindow::DrawFrame(const platform::FrameView& frame, const WindowPicture& primary) {
    if (window_ && picture_.mode == MonitorsMode::Each) {
        if (shown_ && RenderOwnField() && stretched_.Make(fieldFrame_.view())) Present();
        return;
    }
    if (!window_ || picture_.mode == MonitorsMode::PrimaryOnly || frame.empty()) return;
    // The primary's picture is its own desktop's blend during its fade-in.
    if (desktop_.empty() && primary.made() && stretched_.SameAs(primary)) {
        primary.Draw(window_);
        return;
    }
    if (stretched_.Make(frame)) Present();
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
