#include "platform/wallpaper.h"

#include <windows.h>

#include "platform/image_file.h"

namespace lumora::platform {
namespace {

bool SetDesktopString(HKEY key, const wchar_t* name, const wchar_t* value) {
    const DWORD bytes = static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) == ERROR_SUCCESS;
}

}  // namespace

std::wstring SetDesktopWallpaper(const std::wstring& path, WallpaperFit fit) {
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &key);
    if (status == ERROR_SUCCESS) {
        const bool set = SetDesktopString(key, L"WallpaperStyle", fit == WallpaperFit::Span ? L"22" : L"10") &&
                         SetDesktopString(key, L"TileWallpaper", L"0");
        RegCloseKey(key);
        if (!set) return SystemMessage(ERROR_ACCESS_DENIED);
    }
    std::wstring file = path;  // the call takes a writable string
    if (!SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, file.data(), SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
        const DWORD error = GetLastError();
        return error ? SystemMessage(error) : L"The system did not accept the picture.";
    }
    return {};
}

}  // namespace lumora::platform
