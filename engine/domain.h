// What the engine takes: the ranges of its inputs, the names of its colour schemes and the
// rounding of a grid from a window. The settings dialog's sliders, the store's policy and the
// still renderer's options read them here.
//
//   Pattern       FirstPattern..LastPattern; a random start takes FirstPattern..LastRandomPattern
//                 (the patterns above it are never chosen at random).
//   ColourScheme  FirstColourScheme..LastColourScheme; the schemes from FirstNamedColourScheme
//                 on have names (ColourSchemeNames, lower case, in order), the ones below are
//                 numbered.
//   Speed         MinSpeed..MaxSpeed.
//   GridQuotient  size / divisor to the nearest whole number, halves to the even neighbour,
//                 exact in integers; a size below 0 gives 0 and a divisor below 1 counts as 1.
//                 The grid of a window and the grid of a span of monitors are both rounded so.
#pragma once

#include <iterator>

#include "engine/hue_colours.h"

namespace lumora {

inline constexpr int FirstPattern = 1;
inline constexpr int LastPattern = 25;
inline constexpr int LastRandomPattern = 20;
inline constexpr int RandomPatternCount = LastRandomPattern - FirstPattern + 1;

inline constexpr int FirstColourScheme = 0;
inline constexpr int LastColourScheme = LastHueScheme;
inline constexpr int FirstNamedColourScheme = FirstHueScheme;
inline constexpr const char* ColourSchemeNames[] = {
    "dodger blue", "cyan",         "sandy brown", "indian red",       "gold",
    "hot pink",    "deep pink",    "purple",      "orange red",       "red",
    "aquamarine",  "spring green", "light gray",  "light slate gray", "white",
};
static_assert(std::size(ColourSchemeNames) == LastColourScheme - FirstNamedColourScheme + 1,
              "one name for every hue scheme");

inline constexpr int MinSpeed = 0;
inline constexpr int MaxSpeed = 50;

int GridQuotient(int size, int divisor);

}  // namespace lumora
