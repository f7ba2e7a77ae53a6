// The message plumbing every window of the program shares: one C++ object per window.
//
// A window class registered with MessageWindow::WindowProc as its procedure, whose windows are
// created with their object as lpCreateParams (CreateWindowExW(..., AsCreateParam())), sends
// every message from WM_NCCREATE on to that object's HandleMessage: the object's window_ is set
// and it is kept in GWLP_USERDATA when WM_NCCREATE arrives. WM_NCDESTROY, the last message a
// window gets, is handled by the object too and then detaches it: GWLP_USERDATA and window_ are
// cleared, so that an object that outlives its window knows it has none and one that goes first
// is never reached through it (its owner destroys the window before the object goes).
//
// A window object is the window, its messages and its controls, not a wrapper of a handle: it
// hands out its window as Handle(), a form's name for it, where the owners of the system's
// handles (platform/handles.h) hand out theirs with get().
#pragma once

#include <windows.h>

namespace lumora::platform {

class MessageWindow {
public:
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE) {
            auto* object = static_cast<MessageWindow*>(
                reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
            object->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
        auto* object = reinterpret_cast<MessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!object) return DefWindowProcW(window, message, wparam, lparam);
        const LRESULT result = object->HandleMessage(message, wparam, lparam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            object->window_ = nullptr;
        }
        return result;
    }

protected:
    MessageWindow() = default;
    virtual ~MessageWindow() = default;

    // What a window does with a message; DefWindowProcW(window_, ...) for what it leaves.
    virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // The creation parameter that attaches this object to the window being created.
    void* AsCreateParam() { return this; }

    HWND window_ = nullptr;
};

}  // namespace lumora::platform
