// The rounding of a grid from a window.
//
//   GridQuotient  size / divisor to the nearest whole number, halves to the even neighbour,
//                 exact in integers; a size below 0 gives 0 and a divisor below 1 counts as 1.
//                 The grid of a window and the grid of a span of monitors are both rounded so.
#pragma once

namespace lumora {

int GridQuotient(int size, int divisor);

}  // namespace lumora
