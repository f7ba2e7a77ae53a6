// The preview's host handle over any second argument: it never reads past the text or
// overflows; a plain run of decimal digits reads as its value when that fits in 32 bits and as
// 0 otherwise; a stray letter anywhere after the number makes it 0; and whatever handle comes
// out is read back the same from its decimal and hexadecimal spellings, and from the switch's
// colon form as from the second argument.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/window_handle.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::wstring Hex(uint32_t value) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), digits[value & 15]);
        value >>= 4;
    } while (value);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora;
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const int32_t handle = ParseWindowHandle(text);
    FUZZ_CHECK(ParseWindowHandle(text + L"g") == 0);

    bool digitsOnly = !text.empty();
    uint64_t value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            digitsOnly = false;
            break;
        }
        value = value > 0xFFFFFFFFu ? value : value * 10 + (c - L'0');
    }
    if (digitsOnly)
        FUZZ_CHECK(handle ==
                   (value <= 0xFFFFFFFFu ? static_cast<int32_t>(static_cast<uint32_t>(value)) : 0));

    const std::wstring decimal = std::to_wstring(handle);
    FUZZ_CHECK(ParseWindowHandle(decimal) == handle);
    FUZZ_CHECK(ParseWindowHandle(L" \t" + decimal) == handle);
    FUZZ_CHECK(ParseWindowHandle(std::to_wstring(static_cast<uint32_t>(handle))) == handle);
    FUZZ_CHECK(ParseWindowHandle(L"0x" + Hex(static_cast<uint32_t>(handle))) == handle);
    FUZZ_CHECK(ParseWindowHandle(L"$" + Hex(static_cast<uint32_t>(handle))) == handle);

    const std::wstring colonForm = L"/p:" + text;
    FUZZ_CHECK(HostHandleText(L"/p", text) == std::wstring_view(text));
    if (!text.empty()) FUZZ_CHECK(ParseWindowHandle(HostHandleText(colonForm, L"99")) == handle);
    return 0;
}
