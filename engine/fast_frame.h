// Lumora fast frame: RenderFrame's result, computed on every core with tables.
//
// RenderFrameFast(state, target) does what the straightforward frame does: AdvanceRotation on the
// calling thread (every random draw happens there, before any point), then every grid point
// rotated or computed by its per-frame pattern, folded, coloured and written into the target. The
// points are shared out by rows over a pool of threads made once; each point is computed the same
// way whichever thread takes it, so the frame never depends on the thread count.
//
// Where the speed comes from:
//   - terms that depend on the column alone or the row alone are computed once per column or row
//     and frame into tables (sin(u + a1 + a2), sin v, cos(a2*v + a1), ...);
//   - terms that do not depend on the frame (the logarithms of patterns 4, 8 and 10 and their
//     sines) are computed once per pattern and grid size;
//   - a sine of a sum of a column term and a row term comes from the tables by the addition
//     formula; the few sines and logarithms that stay per point use the kernels of fast_math.h.
// Those two can move a result in its last bits, as a different sine routine would; no channel
// byte of any frame the tests compare differs for it. Everything else is the straightforward
// arithmetic in the same order, bit for bit.
//
// Memory: the tables are the state's renderer's (engine/renderer.h): the per-frame ones are made
// with it, the per-grid ones sized when the grid or pattern changes and then reused, so a frame
// allocates nothing. Should that memory not be had, the frame is computed point by point as
// written. Like the rest of the engine, a state is rendered on one thread at a time.
#pragma once

#include "engine/engine.h"

namespace lumora {

void RenderFrameFast(EngineState& state, const PixelTarget& target);
// The same frame without the advance of the rotation (engine.h, RenderPoints).
void RenderPointsFast(EngineState& state, const PixelTarget& target);

// For the vector frame (engine/vector_frame.h), which reads the same terms and formulas:
// the per-frame terms of the state's pattern 1..14 in 80 bits, for columns 0..columns - 1
// (columns at most FrameTermColumns) and every row. Slot 0 is the coordinate (u of a column, v of
// a row); the others are the pattern's column-only and row-only terms, a sine meant for the
// addition formula followed by its cosine (engine/pattern_terms.h defines them). Made on the pool.
constexpr int FrameTermSlots = 8;
constexpr int FrameTermColumns = MaxGridColumns + 15;
struct FrameTerms {
    long double Column[FrameTermSlots][FrameTermColumns];
    long double Row[FrameTermSlots][MaxGridRows];
};
// They go to the state's renderer's tables.
const FrameTerms& MakeFrameTerms(EngineState& state, int columns);
// The per-grid terms of point (row, col) of a W x H field: pattern 4: w; 8: sin w, cos w;
// 10: |w| and (w + u) + v.
void GridPoint(int pattern, int col, int row, int W, int H, long double* out);
// The point scratch and PixelColour as the straightforward frame leaves them: the last point's.
void LeaveLastPoint(EngineState& state);

// The number of threads that share a frame (the caller included). Defaults to the hardware's
// thread count; SetFastThreadCount remakes the pool (for tests and benchmarks, between frames).
int FastThreadCount();
void SetFastThreadCount(int threads);

}  // namespace lumora
