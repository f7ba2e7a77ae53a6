#include "shell/mode.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora {
namespace {

struct ModeCase {
    const wchar_t* argument;  // nullptr: no argument at all
    Mode mode;
};

TEST(ModeTest, CommandLineSwitchesSelectTheirMode) {
    const ModeCase cases[] = {
        {nullptr, Mode::FullScreen}, {L"/s", Mode::FullScreen}, {L"/S", Mode::FullScreen},
        {L"-s", Mode::FullScreen},   {L"xs", Mode::FullScreen}, {L"s", Mode::FullScreen},
        {L"c", Mode::FullScreen},    {L"/x", Mode::FullScreen}, {L"/c", Mode::Settings},
        {L"/C", Mode::Settings},     {L"-c", Mode::Settings},   {L"/c:1234", Mode::Settings},
        {L"/cs", Mode::Settings},    {L"/p", Mode::Preview},    {L"/P", Mode::Preview},
        {L"/a", Mode::Nothing},      {L"", Mode::FullScreen},   {L"pc", Mode::Settings},
    };
    for (const ModeCase& c : cases) {
        std::wstring text = c.argument ? c.argument : L"";
        EXPECT_EQ(ModeOf(ModeLetter(text)), c.mode)
            << "argument '" << std::string(text.begin(), text.end()) << "'";
    }
}

TEST(ModeTest, LetterIsTheSecondCharacterUpperCased) {
    EXPECT_EQ(ModeLetter(L"/s"), std::optional<wchar_t>(L'S'));
    EXPECT_EQ(ModeLetter(L"-c:99"), std::optional<wchar_t>(L'C'));
    EXPECT_EQ(ModeLetter(L"/7"), std::optional<wchar_t>(L'7'));
    EXPECT_EQ(ModeLetter(L"s"), std::nullopt);
    EXPECT_EQ(ModeLetter(L""), std::nullopt);
    // Only a..z change case: a non-ASCII letter stays as it is.
    EXPECT_EQ(ModeLetter(L"/\u00e7"), std::optional<wchar_t>(L'\u00e7'));
}

}  // namespace
}  // namespace lumora
