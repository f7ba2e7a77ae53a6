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
    {{800, 600}, true},
    {{1024, 768}, true},
    {{1152, 864}, true},
    {{1280, 800}, false},
    {{1280, 1024}, false},
    {{1360, 768}, true},
    {{1366, 768}, true},
    {{1440, 900}, true},
    {{1600, 900}, true},
    {{1600, 1200}, false},
    {{1680, 1050}, true},
    {{1920, 1080}, false},
    {{1920, 1200}, false},
    {{2000, 1500}, false},
    // Today's desktops: ultrawide, 1440p, 16:10, 4K, super-ultrawide, 5K and 8K.
    {{2560, 1080}, false},
    {{2560, 1440}, false},
    {{2560, 1600}, false},
    {{2880, 1800}, false},
    {{3440, 1440}, false},
    {{3840, 2160}, false},
    {{5120, 1440}, false},
    {{5120, 2880}, false},
    {{7680, 4320}, false},
};
static_assert(std::size(Presets) == PresetCount);

}  // namespace

std::optional<ImageSize> ImageSizePreset(int wall) {
    if (wall < 1 || wall > PresetCount) return std::nullopt;
    return Presets[wall - 1].size;
}

std::optional<ImageSize> ImageSizeOf(int wall, const Desktop& desktop) {
    if (wall == DisplayEntry) return ImageSize{desktop.primary.width, desktop.primary.height};
    if (wall == DesktopEntry) return ImageSize{desktop.whole.width, desktop.whole.height};
    return ImageSizePreset(wall);
}

int LastImageSizeEntry(const Desktop& desktop) {
    return desktop.monitors > 1 ? DesktopEntry : DisplayEntry;
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

int FirstRunImageSize(ScreenSize screen, int storedWall) {
    if (const std::optional<int> preset = PresetForScreen(screen)) return *preset;
    return storedWall == 0 ? DisplayEntry : storedWall;  // 0: no entry was ever stored
}

}  // namespace lumora
