// The sizes of saved stills: the one table of image-size presets, indexed by the stored Wall,
// the entries that follow the desktop, and the first-run rule that picks a display's entry.
// Pure: no Windows header.
//
// Wall 1..14 are the first presets (800 x 600 .. 2000 x 1500) and keep their meaning; 15..23
// follow for today's desktops (2560 x 1080 .. 7680 x 4320). Two more entries follow the desktop
// as it is when they are read: DisplayEntry (24) is the primary display's size and DesktopEntry
// (25) the rectangle around all monitors; with one monitor that is the display's size too.
//
//   ImageSizeOf       the size of an entry 1..25 on a desktop, or none.
//   LastImageSizeEntry the last entry a slider offers: DesktopEntry with several monitors,
//                     else DisplayEntry.
//   PresetForScreen   the preset of a primary display, or none: the presets are tested in order
//                     and a later match overrides an earlier one; of the first 14, most match the
//                     display's width alone, 4, 5, 10, 12, 13 and 14 its height as well (so
//                     1600 x 1200 gives 10, 1600 x 900 gives 9, 1280 x 720 none); 15..23 match
//                     width and height.
//   FirstRunImageSize the Wall a first run stores: the display's preset; without one the stored
//                     Wall, or DisplayEntry when none was ever stored (0): 1280 x 720 stores 24.
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

// What the desktop is when the image-size entries are read.
struct Desktop {
    ScreenSize primary;  // the primary display
    ScreenSize whole;    // the rectangle around all monitors
    int monitors = 1;
};

inline constexpr int PresetCount = 23;
inline constexpr int DisplayEntry = 24;
inline constexpr int DesktopEntry = 25;

std::optional<ImageSize> ImageSizePreset(int wall);
std::optional<ImageSize> ImageSizeOf(int wall, const Desktop& desktop);
int LastImageSizeEntry(const Desktop& desktop);
std::optional<int> PresetForScreen(ScreenSize screen);
int FirstRunImageSize(ScreenSize screen, int storedWall);

}  // namespace lumora
