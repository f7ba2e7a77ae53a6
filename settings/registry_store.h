// The settings store in the current user's registry, and how its errors reach the user.
//
//   RegistrySettingsStore  values under HKEY_CURRENT_USER\<path>, by default Software\Lumora,
//                          each key opened with full access and closed after each operation.
//   PicturesDirectory      the current user's Pictures folder (created when missing); the
//                          profile folder when the system has none; the default image directory.
//   MessageBoxErrorSink    shows each error in a message box captioned with the application
//                          title, with an error icon and an OK button.
#pragma once

#include <windows.h>

#include <string>

#include "settings/settings.h"
#include "settings/store.h"

namespace lumora {

inline constexpr wchar_t SettingsKeyPath[] = L"Software\\Lumora";

class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::wstring path = SettingsKeyPath) : path_(std::move(path)) {}

    std::unique_ptr<SettingsKey> OpenExisting() override;
    std::unique_ptr<SettingsKey> OpenOrCreate() override;
    std::wstring DefaultImageDirectory() override { return PicturesDirectory(); }

    static std::wstring PicturesDirectory();

private:
    std::wstring path_;
};

ErrorSink MessageBoxErrorSink(HWND owner);

}  // namespace lumora
