#include "settings/export.h"

#include <algorithm>

namespace lumora {
namespace {

constexpr ImageSize ImageSizePresets[] = {
    {800, 600},   {1024, 768},  {1152, 864},  {1280, 800},  {1280, 1024},
    {1360, 768},  {1366, 768},  {1440, 900},  {1600, 900},  {1600, 1200},
    {1680, 1050}, {1920, 1080}, {1920, 1200}, {2000, 1500},
};
constexpr int PresetCount = static_cast<int>(std::size(ImageSizePresets));

// The named schemes, from 4 on; 0..3 (and anything below 0) are numbered.
constexpr const wchar_t* SchemeNames[] = {
    L"dodger blue", L"cyan",     L"sandy brown", L"indian red",  L"gold",
    L"hot pink",    L"deep pink", L"purple",     L"orange red",  L"red",
    L"aquamarine",  L"spring green", L"light gray", L"light slate gray", L"white",
};
constexpr int FirstNamedScheme = 4;

}  // namespace

std::optional<ImageSize> ImageSizePreset(int wall) {
    if (wall < 1 || wall > PresetCount) return std::nullopt;
    return ImageSizePresets[wall - 1];
}

std::wstring ApplyImageSizePreset(ExportState& export_, int wall, ScreenSize display) {
    if (const std::optional<ImageSize> size = ImageSizePreset(wall)) {
        export_.ImageWidth = size->width;
        export_.ImageHeight = size->height;
    }
    export_.DesktopSuffix.clear();
    if (display.width == export_.ImageWidth && display.height == export_.ImageHeight)
        export_.DesktopSuffix = L"-Your Desktop";
    std::wstring label = L"Image Size " + std::to_wstring(export_.ImageWidth) + L"x" +
                         std::to_wstring(export_.ImageHeight) + export_.DesktopSuffix;
    export_.ImageWidth = std::min(export_.ImageWidth, MaxImageWidth);
    export_.ImageHeight = std::min(export_.ImageHeight, MaxImageHeight);
    return label;
}

std::wstring PatternLabel(int pattern) { return L"Lumora image  " + std::to_wstring(pattern); }

std::wstring ColourSchemeLabel(int scheme, const std::wstring& current) {
    if (scheme < FirstNamedScheme) return L"Lumora color " + std::to_wstring(scheme + 1);
    const int named = scheme - FirstNamedScheme;
    if (named >= static_cast<int>(std::size(SchemeNames))) return current;
    return std::wstring(L"Lumora ") + SchemeNames[named];
}

}  // namespace lumora
