// The window procedure of a window class whose windows each belong to one C++ object: the
// object passed as lpCreateParams to CreateWindowExW is attached on WM_NCCREATE (its window_ is
// set and it is kept in GWLP_USERDATA), and every message from then on goes to its
// HandleMessage. WM_NCDESTROY, the last message a window gets, is handled by the object too and
// then detaches it: GWLP_USERDATA and window_ are cleared, so that an object that outlives its
// window knows it has none and one that goes first is never reached through it.
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
    const LRESULT result = object->HandleMessage(message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        object->window_ = nullptr;
    }
    return result;
}

}  // namespace lumora::platform
