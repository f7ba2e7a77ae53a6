// A registry key's typed values over the wide (UTF-16) registry functions.
//
// A RegistryKey holds one open key (a RegistryHandle, platform/handles.h), closed when it goes
// out of scope (or on Close). Opening never reports an error: a key that does not exist or cannot
// be opened gives an empty optional. Reads say how they went (ValueRead) and change the caller's
// value only when it is Ok; writes give false where the registry refused them. Neither words
// anything: whoever tells the user does (the settings store, settings/store.h):
//   FailedToGetData  an integer that is missing or too large for 4 bytes
//   InvalidDataType  a value that is there but of the wrong type
//
// Types: integers are REG_DWORD (4 bytes, little-endian) and are read only from a REG_DWORD
// (the settings store keeps its booleans as the integers 1 and 0); strings are written as REG_SZ
// with their terminating NUL and read from REG_SZ or REG_EXPAND_SZ (references are not
// expanded), cut at the first NUL. A missing or zero-sized value reads as the empty string.
//
// Programs that stored these values through the ANSI functions read the same here: the
// registry keeps every string in UTF-16 either way, and the size that decides between the
// two read errors is measured as the ANSI reader saw it (a short number stored as text is an
// "Invalid data type", a long one "Failed to get data").
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/handles.h"
#include "platform/registry_value.h"

namespace lumora::platform {

class RegistryKey {
public:
    // root\path, path relative to root ("Software\\Lumora"). Full access unless told otherwise.
    static std::optional<RegistryKey> Open(HKEY root, const std::wstring& path,
                                           REGSAM access = KEY_ALL_ACCESS);
    // As Open, but creates the missing keys along the path first.
    static std::optional<RegistryKey> Create(HKEY root, const std::wstring& path,
                                             REGSAM access = KEY_ALL_ACCESS);

    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(RegistryKey&&) noexcept = default;

    ValueRead ReadInteger(const wchar_t* name, int32_t& value) const;
    // A missing value reads as the empty string, and Ok.
    ValueRead ReadString(const wchar_t* name, std::wstring& text) const;
    // The value's bytes as stored, whatever its type, in an integer that is 0 beforehand (a
    // shorter value fills its low bytes); nothing when the value is missing or longer than
    // 4 bytes: for the system's own values, which the program only looks at.
    std::optional<uint32_t> ReadFourBytes(const wchar_t* name) const;

    [[nodiscard]] bool WriteInteger(const wchar_t* name, int32_t value) const;
    [[nodiscard]] bool WriteString(const wchar_t* name, const std::wstring& value) const;

    // Releases the key; later reads and writes fail. Does not force a flush to disk.
    void Close() { key_.Close(); }
    HKEY get() const { return key_.get(); }

private:
    explicit RegistryKey(HKEY key) : key_(key) {}
    RegistryHandle key_;
};

}  // namespace lumora::platform
