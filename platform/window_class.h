// Registering a window class: once per name and module. A later call for a name that is already
// registered finds it and changes nothing, so every window may register its class before it is
// created. What the class gives its windows is a WindowClassLook: class styles, the icon (a
// resource of the module, 0 for none), the cursor (none: the window sets its own) and the brush
// that erases the background (none: the window paints all of it).
#pragma once

#include <windows.h>

namespace lumora::platform {

struct WindowClassLook {
    UINT style = 0;
    int iconId = 0;
    bool arrowCursor = false;
    HBRUSH background = nullptr;
};

// True when the class is registered afterwards.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         const WindowClassLook& look);

}  // namespace lumora::platform
