// The host's window handle, as the preview's second command-line argument gives it.
//
// Accepted: leading blanks (spaces, tabs), an optional sign, then decimal digits, or hexadecimal
// digits after '$' or "0x" ("0X"). Anything else (an empty text, trailing characters, a sign or
// prefix without digits) gives 0, as does a value outside 32 bits: a positive value may use all
// 32 bits (up to 4294967295, 0xFFFFFFFF, which reads as its signed bit pattern), a negative one
// goes down to -2147483648. Windows passes the handle in decimal; handles are 32-bit values
// sign-extended in 64-bit programs, so the result turns into the same handle in every build.
// Pure: no Windows header.
#pragma once

#include <cstdint>
#include <string_view>

namespace lumora {

int32_t ParseWindowHandle(std::wstring_view text);

// The text that holds the host's handle: what follows a colon right after the mode letter of
// the switch ("/p:1234", as Windows writes "/c:1234"), or else the second argument ("/p 1234").
// A switch that ends at its colon has no handle of its own and leaves it to the second argument.
std::wstring_view HostHandleText(std::wstring_view argument1, std::wstring_view argument2);

}  // namespace lumora
