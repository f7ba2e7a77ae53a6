// The settings store: one registry-like key of typed, named values.
//
// Every settings operation opens the key, reads or writes, and closes it again by letting the
// SettingsKey go; no key stays open between operations. Opening reports no error: a key that
// is missing or cannot be opened (or created) gives nullptr.
//
// Reads and writes throw SettingsError carrying the text shown to the user:
//   "Failed to get data for '<name>'"  integer or boolean missing, or too large for 4 bytes
//   "Invalid data type for '<name>'"   the value is there but of the wrong type
//   "Failed to set data for '<name>'"  the store refused a write
// Integers are signed 32-bit; booleans are stored as the integers 1 and 0 and any nonzero
// value reads as true; a missing string reads as empty.
//
// RegistrySettingsStore (registry_store.h, Windows) keeps the values under
// HKEY_CURRENT_USER\Software\Lumora; MemorySettingsStore (memory_store.h) keeps them in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/registry_value.h"

namespace lumora {

// The texts are written here and nowhere else; the registry reports only what went wrong.
class SettingsError {
public:
    SettingsError(platform::ValueError kind, std::wstring name)
        : kind_(kind), name_(std::move(name)) {}
    platform::ValueError Kind() const { return kind_; }
    std::wstring Message() const {
        switch (kind_) {
            case platform::ValueError::FailedToGetData:
                return L"Failed to get data for '" + name_ + L"'";
            case platform::ValueError::InvalidDataType:
                return L"Invalid data type for '" + name_ + L"'";
            case platform::ValueError::FailedToSetData: break;
        }
        return L"Failed to set data for '" + name_ + L"'";
    }

    static SettingsError FailedToGetData(const std::wstring& name) {
        return {platform::ValueError::FailedToGetData, name};
    }
    static SettingsError InvalidDataType(const std::wstring& name) {
        return {platform::ValueError::InvalidDataType, name};
    }
    static SettingsError FailedToSetData(const std::wstring& name) {
        return {platform::ValueError::FailedToSetData, name};
    }

private:
    platform::ValueError kind_;
    std::wstring name_;
};

// One open key. Destroying it closes the key.
class SettingsKey {
public:
    SettingsKey() = default;
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    virtual ~SettingsKey() = default;

    virtual int32_t ReadInteger(const wchar_t* name) = 0;
    bool ReadBool(const wchar_t* name) { return ReadInteger(name) != 0; }
    virtual std::wstring ReadString(const wchar_t* name) = 0;

    virtual void WriteInteger(const wchar_t* name, int32_t value) = 0;
    void WriteBool(const wchar_t* name, bool value) { WriteInteger(name, value ? 1 : 0); }
    virtual void WriteString(const wchar_t* name, const std::wstring& value) = 0;
};

class SettingsStore {
public:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;
    virtual ~SettingsStore() = default;

    // The key when it exists and could be opened; nullptr otherwise.
    virtual std::unique_ptr<SettingsKey> OpenExisting() = 0;
    // The key, created first when missing; nullptr when it can be neither opened nor created.
    virtual std::unique_ptr<SettingsKey> OpenOrCreate() = 0;
    // Where saved stills go when no directory is stored: the user's own pictures folder.
    virtual std::wstring DefaultImageDirectory() = 0;
};

}  // namespace lumora
