// What the settings dialog shows and keeps for saved stills: the image-size label, the labels
// of its sliders, and ExportState. Pure: no Windows header.
//
//   ApplyImageSizePreset  takes the size of an image-size entry on the desktop into ExportState
//                         (an entry outside 1..25 leaves the size as it was: 0 x 0 before any),
//                         marks it "-Your Desktop" when it equals the primary display; returns
//                         the image-size label, "Image Size 1920x1080-Your Desktop". Stills of
//                         any size are rendered in pieces, so nothing limits the size here.
//   PatternLabel          "Lumora image  7": two blanks before the number.
//   ColourSchemeLabel     the colour scheme label of scheme n; above 18 the current caption stays.
//   DirectoryChain        the entries of the save-image dialog's directory list above and at a
//                         directory: its root ("C:\", "\\server\share\"), each parent, itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/image_sizes.h"

namespace lumora {

// The settings dialog's record for stills; the save-image dialog reads and raises the number.
struct ExportState {
    int ImageWidth = 0;
    int ImageHeight = 0;
    int ImageNumber = 0;  // in the proposed name of the next still; 1 when the dialog opens
    std::wstring DesktopSuffix;
    bool SpansDesktop = false;  // the whole desktop of several monitors
};

std::wstring ApplyImageSizePreset(ExportState& export_, int wall, const Desktop& desktop);
std::wstring PatternLabel(int pattern);
std::wstring ColourSchemeLabel(int scheme, const std::wstring& current);

struct DirectoryLink {
    std::wstring path;  // the full path, no trailing separator except at the root
    std::wstring name;  // what the list shows: the root as it is, else the last component
};
std::vector<DirectoryLink> DirectoryChain(std::wstring_view directory);

}  // namespace lumora
