#include "platform/registry.h"

#include "platform/registry_value.h"

#include <cstring>
#include <vector>

namespace lumora::platform {
namespace {

// The whole value, or nothing when it cannot be read (missing, closed key). Retries when the
// value grows between the size query and the read.
std::optional<RegistryValue> QueryValue(HKEY key, const wchar_t* name) {
    RegistryValue value;
    DWORD type = REG_NONE, size = 0;
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    while (status == ERROR_SUCCESS) {
        value.data.resize(size);
        DWORD got = size;
        status = RegQueryValueExW(key, name, nullptr, &type,
                                  value.data.empty() ? nullptr : value.data.data(), &got);
        if (status == ERROR_SUCCESS) {
            value.type = type;
            value.data.resize(got);
            return value;
        }
        if (status == ERROR_MORE_DATA) {
            size = got;
            status = ERROR_SUCCESS;
        }
    }
    return std::nullopt;
}

// The size in bytes that RegQueryValueExA reports for a string value: the UTF-16 text
// converted to the ANSI code page.
size_t AnsiSize(const std::vector<uint8_t>& utf16) {
    const int units = static_cast<int>(utf16.size() / sizeof(wchar_t));
    if (units == 0) return 0;
    std::wstring text(units, L'\0');
    std::memcpy(text.data(), utf16.data(), units * sizeof(wchar_t));
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
    return bytes > 0 ? static_cast<size_t>(bytes) : utf16.size();
}

}  // namespace

std::optional<RegistryKey> RegistryKey::Open(HKEY root, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return std::nullopt;
    return RegistryKey(key);
}

std::optional<RegistryKey> RegistryKey::Create(HKEY root, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return RegistryKey(key);
}

ValueRead RegistryKey::ReadInteger(const wchar_t* name, int32_t& value) const {
    const std::optional<RegistryValue> stored = QueryValue(key_.get(), name);
    if (!stored) return ValueRead::FailedToGetData;
    const size_t readerSize =
        IsStringType(stored->type) ? AnsiSize(stored->data) : stored->data.size();
    return DecodeInteger(stored->type, stored->data, readerSize, value);
}

std::optional<uint32_t> RegistryKey::ReadFourBytes(const wchar_t* name) const {
    uint32_t bits = 0;
    DWORD size = sizeof bits;
    if (RegQueryValueExW(key_.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&bits),
                         &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return bits;
}

ValueRead RegistryKey::ReadString(const wchar_t* name, std::wstring& text) const {
    const std::optional<RegistryValue> stored = QueryValue(key_.get(), name);
    if (!stored) {
        text.clear();
        return ValueRead::Ok;
    }
    std::wstring decoded;
    const ValueRead read = DecodeString(stored->type, stored->data, decoded);
    if (read == ValueRead::Ok) text = std::move(decoded);
    return read;
}

bool RegistryKey::WriteInteger(const wchar_t* name, int32_t value) const {
    const DWORD bits = static_cast<DWORD>(value);
    return RegSetValueExW(key_.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bits),
                          sizeof(bits)) == ERROR_SUCCESS;
}

bool RegistryKey::WriteString(const wchar_t* name, const std::wstring& value) const {
    const size_t bytes = (value.size() + 1) * sizeof(wchar_t);
    return bytes <= MAXDWORD &&
           RegSetValueExW(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(bytes)) == ERROR_SUCCESS;
}

}  // namespace lumora::platform
