#include "shell/monitor_window.h"

#include "platform/window_class.h"
#include "platform/window_dc.h"
#include "settings/app_title.h"
#include "shell/saver_window.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraMonitorWindow";

int Width(const RECT& rect) { return rect.right - rect.left; }
int Height(const RECT& rect) { return rect.bottom - rect.top; }

}  // namespace

TMonitorWindow::~TMonitorWindow() {
    if (window_) DestroyWindow(window_);
}

bool TMonitorWindow::Create(HINSTANCE instance, const RECT& monitor, int frameWidth,
                            int frameHeight) {
    platform::RegisterWindowClass(instance, WindowClassName,
                                  platform::AttachedWindowProc<TMonitorWindow>, SaverWindowLook());
    // Owned by the primary window: no taskbar button of its own, always above its owner, and
    // destroyed with it at the latest.
    CreateWindowExW(WS_EX_TOPMOST, WindowClassName, ApplicationTitle, WS_POPUP, monitor.left,
                    monitor.top, Width(monitor), Height(monitor), primary_, nullptr, instance,
                    this);
    if (!window_) return false;
    monitor_ = monitor;
    stretcher_.Resize(frameWidth, frameHeight, Width(monitor), Height(monitor), StretchFit::Cover);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    return true;
}

void TMonitorWindow::Place(const RECT& monitor, int frameWidth, int frameHeight) {
    if (!window_) return;
    monitor_ = monitor;
    if (stretcher_.width() != Width(monitor) || stretcher_.height() != Height(monitor))
        stretcher_.Resize(frameWidth, frameHeight, Width(monitor), Height(monitor),
                          StretchFit::Cover);
    SetWindowPos(window_, HWND_TOPMOST, monitor.left, monitor.top, Width(monitor),
                 Height(monitor), SWP_NOACTIVATE);
}

void TMonitorWindow::DrawFrame(const uint32_t* frame, int stride,
                               const FrameStretcher& primary) {
    if (!window_) return;
    const bool shared = stretcher_.SameStretchAs(primary);
    if (!shared) stretcher_.Stretch(frame, stride);
    const FrameStretcher& picture = shared ? primary : stretcher_;
    platform::WindowDC dc(window_);
    platform::CopyPixels(dc.get(), picture.pixels(), picture.width(), picture.height());
}

LRESULT TMonitorWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE: FormInput(message, wparam, lparam); return 0;
        case WM_CLOSE: FormClose(); return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

// Posted, not sent: the primary window may end the saver and destroy this window, which must
// not happen while this window is still inside its own handler.
void TMonitorWindow::FormInput(UINT message, WPARAM wparam, LPARAM lparam) {
    PostMessageW(primary_, message, wparam, lparam);
}

void TMonitorWindow::FormClose() { PostMessageW(primary_, WM_CLOSE, 0, 0); }

}  // namespace lumora
