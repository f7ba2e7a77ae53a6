#include "shell/mode.h"

namespace lumora {

std::optional<wchar_t> ModeLetter(std::wstring_view argument1) {
    if (argument1.size() < 2) return std::nullopt;
    wchar_t letter = argument1[1];  // the first character is dropped, whatever it is
    if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
    return letter;
}

Mode ModeOf(std::optional<wchar_t> letter) {
    if (letter == L'C') return Mode::Settings;
    if (letter == L'P') return Mode::Preview;
    if (letter == L'A') return Mode::Nothing;
    return Mode::FullScreen;
}

}  // namespace lumora
