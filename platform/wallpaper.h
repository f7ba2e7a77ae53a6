// The desktop's background: a picture file shown filling each monitor, or spanning all of them.
//
// SetDesktopWallpaper stores the fit (HKCU\Control Panel\Desktop: WallpaperStyle "10" to fill,
// "22" to span; TileWallpaper "0") and then the file (SPI_SETDESKWALLPAPER, written to the
// user's profile and announced to the running programs). A failure carries the system's
// reason.
#pragma once

#include <string>

#include "platform/outcome.h"

namespace lumora::platform {

enum class WallpaperFit { Fill, Span };

Outcome SetDesktopWallpaper(const std::wstring& path, WallpaperFit fit);

}  // namespace lumora::platform
