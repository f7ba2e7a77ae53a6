// The cursor shown for a while: ShowCursor(TRUE) / ShowCursor(FALSE).
#pragma once

#include <windows.h>

namespace lumora::platform {

// The cursor shown while the object lives: ShowCursor(TRUE) / ShowCursor(FALSE), so that the
// thread's display counter is back where it was afterwards.
class ShownCursor {
public:
    ShownCursor() { ShowCursor(TRUE); }
    ~ShownCursor() { ShowCursor(FALSE); }
    ShownCursor(const ShownCursor&) = delete;
    ShownCursor& operator=(const ShownCursor&) = delete;
};

}  // namespace lumora::platform
