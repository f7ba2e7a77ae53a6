// The application object: the main window and the message loop.
//
// The main window is the first form whose creation (its creation handler included) is complete.
// Closing it ends the message loop and so the program; closing any other form only hides it.
#pragma once

#include <windows.h>

namespace lumora {

class Application {
public:
    // A form calls this when its creation is complete; the first one becomes the main window.
    void FormCreated(HWND form) {
        if (!mainWindow_) mainWindow_ = form;
    }
    bool IsMainWindow(HWND form) const { return form == mainWindow_; }
    // What closing a form does: the main window is destroyed (ending the loop), any other hidden.
    void CloseForm(HWND form);
    // Called from the main window's destruction.
    void FormDestroyed(HWND form);
    // Shows the main window and dispatches messages until it is gone; returns at once without one.
    int Run();

private:
    HWND mainWindow_ = nullptr;
};

Application& TheApplication();

}  // namespace lumora
