// A settings store held in memory, with the same read and write rules as the registry one.
// Used where no registry exists (the native build) and to set up stores that are partial,
// hold values of the wrong type, or refuse writes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "settings/store.h"

namespace lumora {

struct MemoryValue {
    enum class Kind { Integer, String, Oversized };
    Kind kind = Kind::Integer;
    int32_t integer = 0;
    std::wstring text;

    static MemoryValue Integer(int32_t value) { return {Kind::Integer, value, {}}; }
    static MemoryValue String(std::wstring value) { return {Kind::String, 0, std::move(value)}; }
    // A value of more than 4 bytes that is not a string (binary data, a 64-bit integer).
    static MemoryValue Oversized() { return {Kind::Oversized, 0, {}}; }
};

class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(std::wstring defaultImageDirectory)
        : defaultImageDirectory_(std::move(defaultImageDirectory)) {}

    std::unique_ptr<SettingsKey> OpenExisting() override;
    std::unique_ptr<SettingsKey> OpenOrCreate() override;
    std::wstring DefaultImageDirectory() override { return defaultImageDirectory_; }

    // The stored state, open to the caller for setting up and inspecting.
    bool KeyExists = false;
    std::map<std::wstring, MemoryValue> Values;
    bool KeyRefused = false;          // the key can be neither opened nor created
    std::wstring RefusedValue;        // a value name whose writes fail
    std::vector<std::wstring> Written;  // names of the values written, in order
    int OpenKeys = 0;                 // keys open right now

private:
    class Key;
    std::wstring defaultImageDirectory_;
};

}  // namespace lumora
