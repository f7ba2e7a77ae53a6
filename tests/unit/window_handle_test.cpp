#include "shell/window_handle.h"

#include <gtest/gtest.h>

#include <string>

namespace lumora {
namespace {

struct HandleCase {
    const wchar_t* text;
    int32_t handle;
};

TEST(WindowHandleTest, ReadsDecimalAndHexadecimalWithinThirtyTwoBits) {
    const HandleCase cases[] = {
        // What Windows passes, and the forms around it.
        {L"1234", 1234},
        {L"0", 0},
        {L"  1234", 1234},
        {L"\t 77", 77},
        {L"+1234", 1234},
        {L"-1234", -1234},
        {L"000000000000042", 42},
        {L"$1F", 31},
        {L"$ff", 255},
        {L"0x1F", 31},
        {L"0XaB", 171},
        {L"-$10", -16},
        {L"+0x10", 16},
        // The edges of 32 bits: all of them for a positive value, the signed range below zero.
        {L"2147483647", 2147483647},
        {L"2147483648", INT32_MIN},
        {L"4294967295", -1},
        {L"4294967296", 0},
        {L"-2147483648", INT32_MIN},
        {L"-2147483649", 0},
        {L"$FFFFFFFF", -1},
        {L"0x100000000", 0},
        {L"0x80001234", static_cast<int32_t>(0x80001234u)},
        {L"99999999999999999999999", 0},
        // Not a number at all, or not entirely one.
        {L"", 0},
        {L"   ", 0},
        {L"abc", 0},
        {L"12a", 0},
        {L"1234 ", 0},
        {L"12 34", 0},
        {L"+", 0},
        {L"-", 0},
        {L"$", 0},
        {L"0x", 0},
        {L"$G1", 0},
        {L"1F", 0},
        {L"--1", 0},
        {L"+-1", 0},
        {L"- 1", 0},
        {L"1.5", 0},
        {L"x1F", 0},
        {L"0x-1", 0},
        {L"\x0661", 0},  // an Arabic-Indic digit one
    };
    for (const HandleCase& c : cases) {
        const std::wstring text = c.text;
        EXPECT_EQ(ParseWindowHandle(text), c.handle)
            << "text '" << std::string(text.begin(), text.end()) << "'";
    }
}

TEST(WindowHandleTest, StopsAtAnEmbeddedNul) {
    // A text with a NUL inside is not a number: the NUL is a character like any other.
    EXPECT_EQ(ParseWindowHandle(std::wstring_view(L"12\0"
                                                  L"3",
                                                  4)),
              0);
    EXPECT_EQ(ParseWindowHandle(std::wstring_view(L"123", 3)), 123);
}

TEST(WindowHandleTest, HostHandleAfterTheColonOrInTheSecondArgument) {
    struct Case {
        const wchar_t* argument1;
        const wchar_t* argument2;
        const wchar_t* text;
    } const cases[] = {
        {L"/p:1234", L"", L"1234"},
        {L"/P:1234", L"", L"1234"},
        {L"-p:1234", L"", L"1234"},
        {L"/p:0x1F", L"", L"0x1F"},
        {L"/p:1234", L"99", L"1234"},  // the switch's own handle comes first
        {L"/p", L"1234", L"1234"},
        {L"/P", L"1234", L"1234"},
        {L"/p:", L"1234", L"1234"},  // a colon with nothing after it
        {L"/p", L"", L""},
        {L"/p:abc", L"", L"abc"},
        {L"/pq:12", L"34", L"34"},  // a colon elsewhere is not the handle's
    };
    for (const Case& c : cases) {
        const std::wstring argument1 = c.argument1;
        EXPECT_EQ(HostHandleText(c.argument1, c.argument2), std::wstring_view(c.text))
            << "argument 1 '" << std::string(argument1.begin(), argument1.end()) << "'";
    }
    // What the preview then reads: the colon form gives the same handle as the two-argument one.
    EXPECT_EQ(ParseWindowHandle(HostHandleText(L"/p:1234", L"")), 1234);
    EXPECT_EQ(ParseWindowHandle(HostHandleText(L"/p", L"1234")), 1234);
}

}  // namespace
}  // namespace lumora
