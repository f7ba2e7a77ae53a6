// The mode of a run, from the command line's first argument.
//
// The host passes a switch such as "/s", "-c", "/c:1234" or "/p 1234". The character after the
// first one is the mode letter, upper-cased ('a'..'z' only); a switch shorter than two characters
// (or none) has no letter. C opens the settings, P the preview, A nothing; anything else, or no
// letter at all, runs the full-screen saver.
#pragma once

#include <optional>
#include <string_view>

namespace lumora {

enum class Mode { FullScreen, Settings, Preview, Nothing };

std::optional<wchar_t> ModeLetter(std::wstring_view argument1);
Mode ModeOf(std::optional<wchar_t> letter);

}  // namespace lumora
