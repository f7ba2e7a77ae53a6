// The mode switch: any first argument, of any length and any UTF-16 units, gives a mode; only
// the second character counts, and only 'a'..'z' change case.
#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/mode.h"
#include "tests/fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora;
    std::wstring argument;  // the bytes as UTF-16LE units, as the command line holds them
    for (size_t i = 0; i + 1 < size; i += 2)
        argument.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const std::optional<wchar_t> letter = ModeLetter(argument);
    const Mode mode = ModeOf(letter);
    if (argument.size() < 2) {
        FUZZ_CHECK(!letter);
        FUZZ_CHECK(mode == Mode::FullScreen);
        return 0;
    }
    FUZZ_CHECK(letter);
    const wchar_t second = argument[1];
    const wchar_t upper = second >= L'a' && second <= L'z' ? second - L'a' + L'A' : second;
    FUZZ_CHECK(*letter == upper);
    // Whatever follows the letter, and whatever precedes it, changes nothing.
    FUZZ_CHECK(ModeLetter(argument.substr(0, 2)) == letter);
    FUZZ_CHECK(ModeLetter(L"x" + argument.substr(1)) == letter);
    const Mode expected = upper == L'C'   ? Mode::Settings
                          : upper == L'P' ? Mode::Preview
                          : upper == L'A' ? Mode::Nothing
                                          : Mode::FullScreen;
    FUZZ_CHECK(mode == expected);
    return 0;
}
