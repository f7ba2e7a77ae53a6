// A settings store held in memory, with the same read and write rules as the registry one:
// each value is kept as the registry keeps it, a type code and bytes (platform::RegistryValue), and
// read through the same decoding (platform/registry_value.h). Used where no registry exists (the
// native build) and to set up stores that are partial, hold values of any type and size, or
// refuse writes.
//
// An ANSI reader of a string value is taken to see one byte per UTF-16 unit, as it does for
// the texts of the code page's first 256 characters.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/registry_value.h"
#include "settings/store.h"

namespace lumora {

class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(std::wstring defaultImageDirectory)
        : defaultImageDirectory_(std::move(defaultImageDirectory)) {}

    std::unique_ptr<SettingsKey> OpenExisting() override;
    std::unique_ptr<SettingsKey> OpenOrCreate() override;
    std::wstring DefaultImageDirectory() override { return defaultImageDirectory_; }

    // The stored state, open to the caller for setting up and inspecting.
    bool KeyExists = false;
    std::map<std::wstring, platform::RegistryValue> Values;
    bool KeyRefused = false;            // the key can be neither opened nor created
    std::wstring RefusedValue;          // a value name whose writes fail
    std::vector<std::wstring> Written;  // names of the values written, in order
    int OpenKeys = 0;                   // keys open right now

private:
    class Key;
    std::wstring defaultImageDirectory_;
};

}  // namespace lumora
