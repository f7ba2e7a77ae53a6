#include "shell/field_cycle.h"

#include <algorithm>

#include "engine/domain.h"
#include "engine/engine.h"

namespace lumora {
namespace {

// One of first..last, uniformly, other than `current` (which may lie outside the range: then
// any of them).
int DrawOtherThan(int current, int first, int last) {
    if (current < first || current > last) return first + Random(last - first + 1);
    const int drawn = first + Random(last - first);
    return drawn >= current ? drawn + 1 : drawn;
}

}  // namespace

int NextPattern(int current) { return DrawOtherThan(current, FirstPattern, LastRandomPattern); }

int NextScheme(int current) { return DrawOtherThan(current, FirstColourScheme, LastColourScheme); }

int RandomScheme() { return FirstColourScheme + Random(LastColourScheme - FirstColourScheme + 1); }

bool CycleDue(int64_t millisecondsSinceChange, int minutes, int64_t minuteMilliseconds) {
    return minutes > 0 && millisecondsSinceChange >= int64_t{minutes} * minuteMilliseconds;
}

int BlendWeight(int64_t elapsed, int64_t duration) {
    if (duration <= 0 || elapsed >= duration) return FullWeight;
    if (elapsed <= 0) return 0;
    return static_cast<int>(elapsed * FullWeight / duration);
}

// Two channels at a time: red and blue, then alpha and green, each in a 16-bit lane that
// holds 255 * 256 + 128 without reaching the next.
void BlendPixels(const platform::FrameView& from, const platform::FrameView& to, int weight,
                 uint32_t* out, int outStride) {
    const uint32_t w = static_cast<uint32_t>(std::clamp(weight, 0, FullWeight));
    const uint32_t keep = FullWeight - w;
    const int width = std::min(from.width, to.width), height = std::min(from.height, to.height);
    constexpr uint32_t Lanes = 0x00FF00FFu, Half = 0x00800080u;
    for (int row = 0; row < height; ++row) {
        const uint32_t* a = from.pixels + static_cast<ptrdiff_t>(row) * from.stride;
        const uint32_t* b = to.pixels + static_cast<ptrdiff_t>(row) * to.stride;
        uint32_t* o = out + static_cast<ptrdiff_t>(row) * outStride;
        for (int col = 0; col < width; ++col) {
            const uint32_t x = a[col], y = b[col];
            const uint32_t redBlue = (((x & Lanes) * keep + (y & Lanes) * w + Half) >> 8) & Lanes;
            const uint32_t green =
                (((x >> 8 & Lanes) * keep + (y >> 8 & Lanes) * w + Half) & ~Lanes) & 0x0000FF00u;
            o[col] = platform::Frame::Black | green | redBlue;
        }
    }
}

void CopyMotion(const EngineState& from, EngineState& to) {
    to.RotationRate1 = from.RotationRate1;
    to.RotationRate2 = from.RotationRate2;
    to.RotationRate3 = from.RotationRate3;
    to.RotationAngle1 = from.RotationAngle1;
    to.RotationAngle2 = from.RotationAngle2;
    to.RotationAngle3 = from.RotationAngle3;
}

void PrepareNextField(const EngineState& shown, EngineState& next, bool randomScheme) {
    next.Pattern = NextPattern(shown.Pattern);
    next.ColourScheme = randomScheme ? NextScheme(shown.ColourScheme) : shown.ColourScheme;
    next.Speed = shown.Speed;
    CopyMotion(shown, next);
    GeneratePatternField(next);
}

}  // namespace lumora
