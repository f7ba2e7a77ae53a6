// What a registry value holds for the settings, decided from its stored type and bytes alone,
// without the registry: the registry key (registry.h) reads through here, and so can a test
// that tries any type, size and content.
//
//   DecodeInteger  a REG_DWORD of at most 4 bytes, little-endian; fewer bytes read as its low
//                  bytes. FailedToGetData when the value is larger than 4 bytes as its reader
//                  sees it (readerSize), InvalidDataType when it fits but is not a REG_DWORD.
//   DecodeString   a REG_SZ or REG_EXPAND_SZ in UTF-16LE (references are not expanded), cut at
//                  the first NUL; an odd last byte is dropped. An empty value of any type reads
//                  as the empty string; any other type is InvalidDataType.
//
// readerSize: for the string types, the size of the text in the ANSI code page, as programs that
// stored these values through the ANSI functions measure it; for other types the byte count.
//
// RegistryValue holds a value as stored, its type code and bytes; Dword and Text make the bytes
// the registry keeps for an integer and for a text (UTF-16LE and its NUL).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumora::platform {

// The registry's type codes (winnt.h), spelled out for builds without it.
namespace registry_type {
constexpr uint32_t None = 0;
constexpr uint32_t String = 1;        // REG_SZ
constexpr uint32_t ExpandString = 2;  // REG_EXPAND_SZ
constexpr uint32_t Binary = 3;        // REG_BINARY
constexpr uint32_t Dword = 4;         // REG_DWORD
constexpr uint32_t MultiString = 7;   // REG_MULTI_SZ
constexpr uint32_t Qword = 11;        // REG_QWORD
}  // namespace registry_type

struct RegistryValue {
    uint32_t type = registry_type::None;
    std::vector<uint8_t> data;

    static RegistryValue Dword(int32_t value);
    static RegistryValue Text(const std::wstring& text, uint32_t type = registry_type::String);
    bool operator==(const RegistryValue&) const = default;
};

// How a read went; the settings store words a failed one for the user (settings/store.h).
enum class ValueRead { Ok, FailedToGetData, InvalidDataType };

bool IsStringType(uint32_t type);
ValueRead DecodeInteger(uint32_t type, const std::vector<uint8_t>& data, size_t readerSize,
                        int32_t& value);
ValueRead DecodeString(uint32_t type, const std::vector<uint8_t>& data, std::wstring& text);

}  // namespace lumora::platform
