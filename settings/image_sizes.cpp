#include "settings/image_sizes.h"

#include <iterator>

namespace lumora {
namespace {

struct Preset {
    ImageSize size;
    bool widthAlone;  // the first-run rule compares a display's width only
};

// Indexed by Wall - 1.
constexpr Preset Presets[] = {
    {{800, 600}, true},    {{1024, 768}, true},   {{1152, 864}, true},   {{1280, 800}, false},
    {{1280, 1024}, false}, {{1360, 768}, true},   {{1366, 768}, true},   {{1440, 900}, true},
    {{1600, 900}, true},   {{1600, 1200}, false}, {{1680, 1050}, true},  {{1920, 1080}, false},
    {{1920, 1200}, false}, {{2000, 1500}, false},
};
constexpr int PresetCount = static_cast<int>(std::size(Presets));

}  // namespace

std::optional<ImageSize> ImageSizePreset(int wall) {
    if (wall < 1 || wall > PresetCount) return std::nullopt;
    return Presets[wall - 1].size;
}

std::optional<int> PresetForScreen(ScreenSize screen) {
    std::optional<int> preset;
    for (int wall = 1; wall <= PresetCount; ++wall) {
        const Preset& row = Presets[wall - 1];
        if (screen.width == row.size.width && (row.widthAlone || screen.height == row.size.height))
            preset = wall;
    }
    return preset;
}

}  // namespace lumora
