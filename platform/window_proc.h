// The window procedure of a window class whose windows each belong to one C++ object: the
// object passed as lpCreateParams to CreateWindowExW is attached on WM_NCCREATE (its window_ is
// set and it is kept in GWLP_USERDATA), and every message from then on goes to its
// HandleMessage. The class clears GWLP_USERDATA and window_ when its window goes.
#pragma once

#include <windows.h>

namespace lumora::platform {

template <typename Window>
LRESULT CALLBACK AttachedWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        object->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    }
    auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!object) return DefWindowProcW(window, message, wparam, lparam);
    return object->HandleMessage(message, wparam, lparam);
}

}  // namespace lumora::platform
