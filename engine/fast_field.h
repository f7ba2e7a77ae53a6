// Lumora fast field: GeneratePatternField's planes, computed on every core.
//
// GeneratePatternFieldFast(state) fills PlaneX, PlaneY and PlaneZ for patterns 15..25 exactly as
// the straightforward field does, formula by formula in the same order, with two differences
// that only reach the last bits of a value: the rows are shared over the engine's worker pool
// (each point is computed the same way whichever thread takes it), and the sines, cosines and
// logarithms come from the kernels of fast_math.h. The iterated patterns keep their sequences
// in each thread's own scratch, so the state's IterA/IterB/IterC are not touched. Any other
// pattern number, or an empty grid, writes nothing.
#pragma once

#include "engine/engine.h"

namespace lumora {

void GeneratePatternFieldFast(EngineState& state);
// The same for grid rows [begin, end) only (clamped to the grid).
void GeneratePatternRowsFast(EngineState& state, int begin, int end);
// One grid point of the planes, (row, col), as GeneratePatternFieldFast computes it, and nothing
// else: for a renderer that makes the planes only where its own values leave a pixel undecided.
// Any thread may compute different points at once. Pattern 15..25; needs the x87 precision
// GeneratePatternField sets up.
void GenerateFieldPointFast(EngineState& state, int row, int col);

}  // namespace lumora
