#include "settings/registry_store.h"

#include <shlobj.h>

#include "platform/handles.h"
#include "platform/registry.h"
#include "settings/app_title.h"

namespace lumora {
namespace {

// Passes the registry's errors on as the store's, which word them.
class RegistrySettingsKey : public SettingsKey {
public:
    explicit RegistrySettingsKey(platform::RegistryKey key) : key_(std::move(key)) {}

    int32_t ReadInteger(const wchar_t* name) override {
        try {
            return key_.ReadInteger(name);
        } catch (const platform::RegistryError& error) {
            throw SettingsError(error.Kind(), error.Name());
        }
    }
    std::wstring ReadString(const wchar_t* name) override {
        try {
            return key_.ReadString(name);
        } catch (const platform::RegistryError& error) {
            throw SettingsError(error.Kind(), error.Name());
        }
    }
    void WriteInteger(const wchar_t* name, int32_t value) override {
        try {
            key_.WriteInteger(name, value);
        } catch (const platform::RegistryError& error) {
            throw SettingsError(error.Kind(), error.Name());
        }
    }
    void WriteString(const wchar_t* name, const std::wstring& value) override {
        try {
            key_.WriteString(name, value);
        } catch (const platform::RegistryError& error) {
            throw SettingsError(error.Kind(), error.Name());
        }
    }

private:
    platform::RegistryKey key_;
};

std::unique_ptr<SettingsKey> Wrap(std::optional<platform::RegistryKey> key) {
    if (!key) return nullptr;
    return std::make_unique<RegistrySettingsKey>(std::move(*key));
}

// The path of a known folder, or empty when the system has none.
std::wstring KnownFolder(REFKNOWNFOLDERID folder) {
    platform::TaskMemory<wchar_t> path;  // owned by the caller even when the call fails
    if (FAILED(SHGetKnownFolderPath(folder, KF_FLAG_CREATE, nullptr, path.out())) || !path.get())
        return {};
    return path.get();
}

}  // namespace

std::unique_ptr<SettingsKey> RegistrySettingsStore::OpenExisting() {
    return Wrap(platform::RegistryKey::Open(HKEY_CURRENT_USER, path_));
}

std::unique_ptr<SettingsKey> RegistrySettingsStore::OpenOrCreate() {
    return Wrap(platform::RegistryKey::Create(HKEY_CURRENT_USER, path_));
}

std::wstring RegistrySettingsStore::PicturesDirectory() {
    std::wstring pictures = KnownFolder(FOLDERID_Pictures);
    return pictures.empty() ? KnownFolder(FOLDERID_Profile) : pictures;
}

ErrorSink MessageBoxErrorSink(HWND owner) {
    return [owner](const std::wstring& message) {
        MessageBoxW(owner, message.c_str(), ApplicationTitle, MB_ICONERROR | MB_OK);
    };
}

}  // namespace lumora
