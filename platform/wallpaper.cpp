#include "platform/wallpaper.h"

#include <windows.h>

#include "platform/image_file.h"
#include "platform/registry.h"

namespace lumora::platform {

Outcome SetDesktopWallpaper(const std::wstring& path, WallpaperFit fit) {
    // A desktop key that cannot be opened leaves the fit as it is; the picture is still set.
    if (const std::optional<RegistryKey> key =
            RegistryKey::Open(HKEY_CURRENT_USER, L"Control Panel\\Desktop", KEY_SET_VALUE)) {
        if (!key->WriteString(L"WallpaperStyle", fit == WallpaperFit::Span ? L"22" : L"10") ||
            !key->WriteString(L"TileWallpaper", L"0"))
            return Outcome::Failed(SystemMessage(ERROR_ACCESS_DENIED));
    }
    std::wstring file = path;  // the call takes a writable string
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, file.data(),
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
        const DWORD error = GetLastError();
        return Outcome::Failed(error ? SystemMessage(error)
                                     : L"The system did not accept the picture.");
    }
    return Outcome::Done();
}

}  // namespace lumora::platform
