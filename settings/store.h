// The settings store: one registry-like key of typed, named values.
//
// Every settings operation opens the key, reads or writes, and closes it again by letting the
// SettingsKey go; no key stays open between operations. Opening reports no error: a key that
// is missing or cannot be opened (or created) gives nullptr.
//
// Reads and writes give a platform::Outcome (platform/outcome.h), the one way a failure the
// user sees travels; its reason is the text shown:
//   "Failed to get data for '<name>'"  integer or boolean missing, or too large for 4 bytes
//   "Invalid data type for '<name>'"   the value is there but of the wrong type
//   "Failed to set data for '<name>'"  the store refused a write
// A read changes the caller's value only when it is done.
// Integers are signed 32-bit; booleans are stored as the integers 1 and 0 and any nonzero
// value reads as true; a missing string reads as empty.
//
// RegistrySettingsStore (registry_store.h, Windows) keeps the values under
// HKEY_CURRENT_USER\Software\Lumora; MemorySettingsStore (memory_store.h) keeps them in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/outcome.h"
#include "platform/registry_value.h"

namespace lumora {

// The texts are written here and nowhere else; the stores report only what went wrong.
inline platform::Outcome ReadOutcome(platform::ValueRead read, const std::wstring& name) {
    switch (read) {
        case platform::ValueRead::Ok: return platform::Outcome::Done();
        case platform::ValueRead::FailedToGetData:
            return platform::Outcome::Failed(L"Failed to get data for '" + name + L"'");
        case platform::ValueRead::InvalidDataType: break;
    }
    return platform::Outcome::Failed(L"Invalid data type for '" + name + L"'");
}
inline platform::Outcome WriteOutcome(bool written, const std::wstring& name) {
    return written ? platform::Outcome::Done()
                   : platform::Outcome::Failed(L"Failed to set data for '" + name + L"'");
}

// One open key. Destroying it closes the key.
class SettingsKey {
public:
    SettingsKey() = default;
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;
    virtual ~SettingsKey() = default;

    virtual platform::Outcome ReadInteger(const wchar_t* name, int32_t& value) = 0;
    platform::Outcome ReadBool(const wchar_t* name, bool& value) {
        int32_t stored = 0;
        platform::Outcome read = ReadInteger(name, stored);
        if (read) value = stored != 0;
        return read;
    }
    virtual platform::Outcome ReadString(const wchar_t* name, std::wstring& value) = 0;

    virtual platform::Outcome WriteInteger(const wchar_t* name, int32_t value) = 0;
    platform::Outcome WriteBool(const wchar_t* name, bool value) {
        return WriteInteger(name, value ? 1 : 0);
    }
    virtual platform::Outcome WriteString(const wchar_t* name, const std::wstring& value) = 0;
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
