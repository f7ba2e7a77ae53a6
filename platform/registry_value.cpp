#include "platform/registry_value.h"

namespace lumora::platform {

RegistryValue RegistryValue::Dword(int32_t value) {
    RegistryValue result{registry_type::Dword, std::vector<uint8_t>(sizeof(int32_t))};
    for (size_t i = 0; i < sizeof(int32_t); ++i)
        result.data[i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
    return result;
}

RegistryValue RegistryValue::Text(const std::wstring& text, uint32_t type) {
    RegistryValue result{type, {}};
    for (const wchar_t unit : text) {
        result.data.push_back(static_cast<uint8_t>(unit & 0xFF));
        result.data.push_back(static_cast<uint8_t>((unit >> 8) & 0xFF));
    }
    result.data.insert(result.data.end(), 2, 0);
    return result;
}

bool IsStringType(uint32_t type) {
    return type == registry_type::String || type == registry_type::ExpandString ||
           type == registry_type::MultiString;
}

ValueRead DecodeInteger(uint32_t type, const std::vector<uint8_t>& data, size_t readerSize,
                        int32_t& value) {
    if (readerSize > sizeof(int32_t)) return ValueRead::FailedToGetData;
    if (type != registry_type::Dword || data.size() > sizeof(int32_t))
        return ValueRead::InvalidDataType;
    uint32_t bits = 0;
    for (size_t i = 0; i < data.size(); ++i) bits |= static_cast<uint32_t>(data[i]) << (8 * i);
    value = static_cast<int32_t>(bits);
    return ValueRead::Ok;
}

ValueRead DecodeString(uint32_t type, const std::vector<uint8_t>& data, std::wstring& text) {
    text.clear();
    if (data.empty()) return ValueRead::Ok;
    if (type != registry_type::String && type != registry_type::ExpandString)
        return ValueRead::InvalidDataType;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == L'\0') break;
        text.push_back(unit);
    }
    return ValueRead::Ok;
}

}  // namespace lumora::platform
