#include "settings/export.h"

#include <algorithm>
#include <iterator>

#include "engine/domain.h"

namespace lumora {

std::wstring ApplyImageSizePreset(ExportState& export_, int wall, const Desktop& desktop) {
    if (const std::optional<ImageSize> size = ImageSizeOf(wall, desktop)) {
        export_.ImageWidth = size->width;
        export_.ImageHeight = size->height;
    }
    export_.DesktopSuffix.clear();
    if (desktop.primary.width == export_.ImageWidth &&
        desktop.primary.height == export_.ImageHeight)
        export_.DesktopSuffix = L"-Your Desktop";
    // A still the size of the whole desktop spans its monitors when it becomes the background.
    export_.SpansDesktop = wall == DesktopEntry && desktop.monitors > 1;
    return L"Image Size " + std::to_wstring(export_.ImageWidth) + L"x" +
           std::to_wstring(export_.ImageHeight) + export_.DesktopSuffix;
}

std::wstring PatternLabel(int pattern) { return L"Lumora image  " + std::to_wstring(pattern); }

std::wstring ColourSchemeLabel(int scheme, const std::wstring& current) {
    // The schemes below the named ones (and anything below 0) are numbered.
    if (scheme < FirstNamedColourScheme) return L"Lumora color " + std::to_wstring(scheme + 1);
    const int named = scheme - FirstNamedColourScheme;
    if (named >= static_cast<int>(std::size(ColourSchemeNames))) return current;
    const std::string_view name = ColourSchemeNames[named];
    return L"Lumora " + std::wstring(name.begin(), name.end());
}

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The length of the root: "C:\" (3), "\\server\share\" (up to the fourth separator), "\" (1).
size_t RootLength(std::wstring_view path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        size_t separators = 2;
        for (size_t i = 2; i < path.size(); ++i) {
            if (IsSeparator(path[i]) && ++separators == 4) return i + 1;
        }
        return path.size();
    }
    if (path.size() >= 2 && path[1] == L':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

}  // namespace

std::vector<DirectoryLink> DirectoryChain(std::wstring_view directory) {
    std::vector<DirectoryLink> chain;
    const size_t root = RootLength(directory);
    if (root > 0)
        chain.push_back(
            {std::wstring(directory.substr(0, root)), std::wstring(directory.substr(0, root))});
    size_t start = root;
    while (start < directory.size()) {
        size_t end = start;
        while (end < directory.size() && !IsSeparator(directory[end])) ++end;
        if (end > start) {
            chain.push_back({std::wstring(directory.substr(0, end)),
                             std::wstring(directory.substr(start, end - start))});
        }
        start = end + 1;
    }
    return chain;
}

}  // namespace lumora
