#include "shell/span.h"

#include <algorithm>

#include "engine/engine.h"

namespace lumora {
namespace {

constexpr int QuarterDivisor = 4;

// size / divisor to the nearest whole number, halves to even: exact in integers, as
// SizeGridToWindow rounds its quotient.
int RoundedQuotient(int size, int divisor) {
    int quotient = size / divisor;
    const int twiceRemainder = 2 * (size % divisor);
    if (twiceRemainder > divisor || (twiceRemainder == divisor && quotient % 2 != 0)) ++quotient;
    return quotient;
}

}  // namespace

ScreenRect BoundsOf(const std::vector<ScreenRect>& monitors) {
    if (monitors.empty()) return {};
    int left = monitors[0].left, top = monitors[0].top;
    int right = left + monitors[0].width, bottom = top + monitors[0].height;
    for (const ScreenRect& monitor : monitors) {
        left = std::min(left, monitor.left);
        top = std::min(top, monitor.top);
        right = std::max(right, monitor.left + monitor.width);
        bottom = std::max(bottom, monitor.top + monitor.height);
    }
    return {left, top, right - left, bottom - top};
}

SpanGrid SpanGridFor(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    int divisor = QuarterDivisor;
    while (RoundedQuotient(width, divisor) > MaxGridColumns ||
           RoundedQuotient(height, divisor) > MaxGridRows)
        ++divisor;
    return {divisor, RoundedQuotient(width, divisor), RoundedQuotient(height, divisor)};
}

ScreenRect PartOf(const ScreenRect& monitor, const ScreenRect& bounds) {
    return {monitor.left - bounds.left, monitor.top - bounds.top, monitor.width, monitor.height};
}

SourceRect SourceOf(const ScreenRect& monitor, const ScreenRect& bounds, int gridWidth,
                    int gridHeight) {
    const ScreenRect part = PartOf(monitor, bounds);
    const double across = bounds.width > 0 ? static_cast<double>(gridWidth) / bounds.width : 0;
    const double down = bounds.height > 0 ? static_cast<double>(gridHeight) / bounds.height : 0;
    return {part.left * across, part.top * down, (part.left + part.width) * across,
            (part.top + part.height) * down};
}

}  // namespace lumora
