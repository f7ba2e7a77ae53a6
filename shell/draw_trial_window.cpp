#include "shell/draw_trial_window.h"

#include "platform/window_class.h"
#include "shell/saver_window.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraDrawTrialWindow";
constexpr UINT RetireMessage = WM_APP + 1;

}  // namespace

TDrawTrialWindow::~TDrawTrialWindow() {
    Retire();
    thread_.reset();  // waits for the thread
}

bool TDrawTrialWindow::Create() {
    RECT rect;
    if (!GetWindowRect(saver_, &rect)) return false;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(saver_, GWLP_HINSTANCE));
    platform::RegisterWindowClass(instance, WindowClassName, WindowProc, SaverWindowLook());
    thread_ = std::make_unique<platform::Thread>([this, rect, instance] { Run(rect, instance); });
    if (!thread_->get()) return false;
    // Showing a window over the saver's may send the saver's thread messages: answered here.
    made_.WaitAnswering(INFINITE);
    return shown_ != nullptr;
}

void TDrawTrialWindow::Run(const RECT& rect, HINSTANCE instance) {
    CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, WindowClassName, L"",
                    WS_POPUP, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                    nullptr, nullptr, instance, AsCreateParam());
    if (window_) ShowWindow(window_, SW_SHOWNOACTIVATE);
    shown_ = window_;
    made_.Set();
    if (!shown_) return;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

void TDrawTrialWindow::Retire() {
    if (shown_) PostMessageW(shown_, RetireMessage, 0, 0);
    shown_ = nullptr;
}

// Posted, not sent: the saver window may end the saver and destroy this window meanwhile.
LRESULT TDrawTrialWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_CLOSE: PostMessageW(saver_, message, wparam, lparam); return 0;
        case RetireMessage: DestroyWindow(window); return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace lumora
