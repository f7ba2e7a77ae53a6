// The geometry of one field spanning every monitor.
//
// The field lies over the rectangle around all monitors (the bounds; virtual-screen pixels,
// negative left of or above the primary monitor). Its grid is a quarter of the bounds in each
// direction, rounded to the nearest whole number with halves to even as for one screen; where
// that does not fit the planes (MaxGridColumns x MaxGridRows), the divisor is the smallest whole
// number above 4 with which it does. The frame is stretched over the bounds (each direction
// scaled on its own, as one window over the bounds would show it), and each monitor shows the
// part of that picture it covers: its rectangle taken relative to the bounds' top left corner.
// A monitor's source rectangle is the part of the frame, in grid points, that lands on it.
#pragma once

#include <vector>

#include "platform/screen_rect.h"

namespace lumora {

struct SpanGrid {
    int divisor = 4;
    int width = 0, height = 0;
    bool operator==(const SpanGrid&) const = default;
};

// In grid points, fractional: left and top inclusive, right and bottom exclusive.
struct SourceRect {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// The rectangle around all of them (empty for none).
platform::ScreenRect BoundsOf(const std::vector<platform::ScreenRect>& monitors);
// The grid over bounds of width x height pixels.
SpanGrid SpanGridFor(int width, int height);
// The monitor's rectangle relative to the bounds: where its part of the stretched frame lies.
platform::ScreenRect PartOf(const platform::ScreenRect& monitor,
                            const platform::ScreenRect& bounds);
// The part of a gridWidth x gridHeight frame stretched over the bounds that lands on the monitor.
SourceRect SourceOf(const platform::ScreenRect& monitor, const platform::ScreenRect& bounds,
                    int gridWidth, int gridHeight);

}  // namespace lumora
