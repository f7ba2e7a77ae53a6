// The sizes of saved stills: the one table of image-size presets, indexed by the stored Wall,
// and the first-run rule that picks a display's preset from it. Pure: no Windows header.
//
//   ImageSizePreset   the width x height of preset 1..14 (800 x 600 .. 2000 x 1500), or none.
//   PresetForScreen   the preset of a primary display, or none: the presets are tested in order
//                     and a later match overrides an earlier one; most match the display's width
//                     alone, 4, 5, 10, 12, 13 and 14 its height as well (so 1600 x 1200 gives 10,
//                     1600 x 900 gives 9, and 1280 x 720 or 2560 x 1440 give none).
#pragma once

#include <optional>

namespace lumora {

struct ImageSize {
    int width;
    int height;
};

struct ScreenSize {
    int width;
    int height;
};

std::optional<ImageSize> ImageSizePreset(int wall);
std::optional<int> PresetForScreen(ScreenSize screen);

}  // namespace lumora
