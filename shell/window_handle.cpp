#include "shell/window_handle.h"

namespace lumora {
namespace {

constexpr uint64_t LargestPositive = 0xFFFFFFFFu;
constexpr uint64_t LargestNegative = 0x80000000u;  // the magnitude of -2147483648

int DigitValue(wchar_t c, int base) {
    int value = -1;
    if (c >= L'0' && c <= L'9')
        value = c - L'0';
    else if (c >= L'a' && c <= L'f')
        value = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F')
        value = c - L'A' + 10;
    return value < base ? value : -1;
}

}  // namespace

int32_t ParseWindowHandle(std::wstring_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == L' ' || text[at] == L'\t')) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) negative = text[at++] == L'-';
    int base = 10;
    if (at < text.size() && text[at] == L'$') {
        base = 16;
        ++at;
    } else if (at + 1 < text.size() && text[at] == L'0' &&
               (text[at + 1] == L'x' || text[at + 1] == L'X')) {
        base = 16;
        at += 2;
    }
    if (at == text.size()) return 0;  // no digits at all
    const uint64_t limit = negative ? LargestNegative : LargestPositive;
    uint64_t magnitude = 0;
    for (; at < text.size(); ++at) {
        const int digit = DigitValue(text[at], base);
        if (digit < 0) return 0;
        magnitude = magnitude * base + digit;
        if (magnitude > limit) return 0;  // checked at every digit, so it never wraps
    }
    const uint32_t bits = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    return static_cast<int32_t>(bits);
}

std::wstring_view HostHandleText(std::wstring_view argument1, std::wstring_view argument2) {
    constexpr size_t ColonAt = 2;  // after the switch's first character and its mode letter
    if (argument1.size() > ColonAt + 1 && argument1[ColonAt] == L':')
        return argument1.substr(ColonAt + 1);
    return argument2;
}

}  // namespace lumora
