// Lumora vector frame: RenderPoints in double precision, several points at once, with every pixel
// the straightforward 80-bit evaluation's.
//
// Each of a point's three values is computed in double together with a bound on its distance
// from the value the straightforward evaluation computes in 80 bits (engine/vector_rows.h says
// how each bound is made and why it holds). A pixel is a piecewise-continuous function of the
// three values: the fold is a triangle wave with a few jumps and each channel byte is
// Round(c * 255). Where no value within the bounds could give another pixel, the double values
// decide it; elsewhere (a channel within its bound of k + 0.5, a jump of the fold or of scheme 3
// within a bound, a NaN, a bound too large) that point alone is recomputed by the straightforward
// evaluation, on a scratch of its own. On the frames the tests render that is about one point in
// a billion or fewer.
//
// Paths: AVX-512 (8 points at once) or AVX2 with FMA (4), the one of the state's renderer
// (engine/renderer.h); without AVX2 the fast 80-bit frame of fast_frame.h runs instead.
//
// The vector unit's rounding is set to nearest with no flush to zero (MXCSR) around the work on
// every thread, and the caller's state put back, as the x87 control word is.
//
// Memory: the renderer's (engine/render_tables.h): the per-frame tables are made with it; the
// per-grid ones (the patterns with per-grid values) are sized when the grid or pattern changes
// and then reused. Where that memory cannot be had, the frame takes the 80-bit path.
#pragma once

#include "engine/engine.h"

namespace lumora {

// RenderPoints on the renderer's vector path (the caller holds the x87 precision scope); false
// when it did not draw the frame (the renderer's path is X87, or no memory for the grid's tables).
bool RenderPointsVector(EngineState& state, const PixelTarget& target);

// The grid's points of a stored pattern (15..25) with the rotation as it stands, as
// GeneratePatternField followed by RenderPoints colours them, but without the planes: each
// point's plane values in double with their bounds (vector_rows.h), computed where they are
// turned and coloured. The planes are written only at the points whose pixel the bounds leave
// undecided (there the fast field's 80-bit values, and the straightforward pixel from them) and
// at the last point, which the state keeps as RenderPoints leaves it; the rest of the planes is
// left as it was. The field is marked written. False, drawing nothing, on the X87 path or for
// another pattern. Sets the x87 precision itself.
bool RenderFieldVector(EngineState& state, const PixelTarget& target);

}  // namespace lumora
