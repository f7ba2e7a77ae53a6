#include "shell/span.h"

#include <algorithm>

#include "engine/domain.h"
#include "engine/engine.h"

namespace lumora {
namespace {

constexpr int QuarterDivisor = 4;

}  // namespace

platform::ScreenRect BoundsOf(const std::vector<platform::ScreenRect>& monitors) {
    if (monitors.empty()) return {};
    platform::ScreenRect bounds = monitors[0];
    for (const platform::ScreenRect& monitor : monitors) {
        bounds.left = std::min(bounds.left, monitor.left);
        bounds.top = std::min(bounds.top, monitor.top);
        bounds.right = std::max(bounds.right, monitor.right);
        bounds.bottom = std::max(bounds.bottom, monitor.bottom);
    }
    return bounds;
}

SpanGrid SpanGridFor(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    int divisor = QuarterDivisor;
    while (GridQuotient(width, divisor) > MaxGridColumns ||
           GridQuotient(height, divisor) > MaxGridRows)
        ++divisor;
    return {divisor, GridQuotient(width, divisor), GridQuotient(height, divisor)};
}

platform::ScreenRect PartOf(const platform::ScreenRect& monitor,
                            const platform::ScreenRect& bounds) {
    return platform::ScreenRect::Sized(monitor.left - bounds.left, monitor.top - bounds.top,
                                       monitor.width(), monitor.height());
}

SourceRect SourceOf(const platform::ScreenRect& monitor, const platform::ScreenRect& bounds,
                    int gridWidth, int gridHeight) {
    const platform::ScreenRect part = PartOf(monitor, bounds);
    const double across = bounds.width() > 0 ? static_cast<double>(gridWidth) / bounds.width() : 0;
    const double down = bounds.height() > 0 ? static_cast<double>(gridHeight) / bounds.height() : 0;
    return {part.left * across, part.top * down, part.right * across, part.bottom * down};
}

}  // namespace lumora
