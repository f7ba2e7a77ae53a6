#include "shell/draw_trial_window.h"

#include <algorithm>

#include "platform/window_class.h"
#include "shell/saver_window.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraDrawTrialWindow";

}  // namespace

TDrawTrialWindow::~TDrawTrialWindow() {
    if (window_) DestroyWindow(window_);
}

bool TDrawTrialWindow::Create() {
    RECT rect;
    if (!GetWindowRect(saver_, &rect)) return false;
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(saver_, GWLP_HINSTANCE));
    platform::RegisterWindowClass(instance, WindowClassName, WindowProc, SaverWindowLook());
    CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, WindowClassName, L"",
                    WS_POPUP, rect.left, rect.top, std::max(1L, rect.right - rect.left - 1),
                    rect.bottom - rect.top, nullptr, nullptr, instance, AsCreateParam());
    if (!window_) return false;
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    return true;
}

// Posted, not sent: the saver window may end the saver and destroy this window meanwhile.
LRESULT TDrawTrialWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_MOUSEMOVE:
        case WM_CLOSE: PostMessageW(saver_, message, wparam, lparam); return 0;
    }
    return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace lumora
