#include "settings/registry_store.h"

#include <shlobj.h>

#include "platform/handles.h"
#include "platform/registry.h"
#include "settings/app_title.h"

namespace lumora {
namespace {

// The registry's reads and writes, worded as the store's.
class RegistrySettingsKey : public SettingsKey {
public:
    explicit RegistrySettingsKey(platform::RegistryKey key) : key_(std::move(key)) {}

    platform::Outcome ReadInteger(const wchar_t* name, int32_t& value) override {
        return ReadOutcome(key_.ReadInteger(name, value), name);
    }
    platform::Outcome ReadString(const wchar_t* name, std::wstring& value) override {
        return ReadOutcome(key_.ReadString(name, value), name);
    }
    platform::Outcome WriteInteger(const wchar_t* name, int32_t value) override {
        return WriteOutcome(key_.WriteInteger(name, value), name);
    }
    platform::Outcome WriteString(const wchar_t* name, const std::wstring& value) override {
        return WriteOutcome(key_.WriteString(name, value), name);
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
