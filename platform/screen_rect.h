// A rectangle of the screen, in pixels of the virtual screen (negative left of or above the
// primary monitor): left and top inclusive, right and bottom exclusive, as Win32's RECT.
// Pure: the conversion from a RECT is given where windows.h is.
#pragma once

namespace lumora::platform {

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;

    // The rectangle of width x height pixels at (left, top).
    static constexpr ScreenRect Sized(int left, int top, int width, int height) {
        return {left, top, left + width, top + height};
    }
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
    bool operator==(const ScreenRect&) const = default;
};

}  // namespace lumora::platform

#ifdef _WIN32
#include <windows.h>

namespace lumora::platform {

inline ScreenRect ScreenRectOf(const RECT& rect) {
    return {static_cast<int>(rect.left), static_cast<int>(rect.top), static_cast<int>(rect.right),
            static_cast<int>(rect.bottom)};
}

}  // namespace lumora::platform
#endif
