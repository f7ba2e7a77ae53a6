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
// Paths: AVX-512 (8 points at once) or AVX2 with FMA (4), chosen once from what the processor and
// the system offer (cpuid and xgetbv), the fastest first; without AVX2 the fast 80-bit frame of
// fast_frame.h runs instead. Nothing else depends on the processor. SetEnginePath forces a path
// (tests, lumora-render --path); RenderPointsFast takes the active one.
//
// The vector unit's rounding is set to nearest with no flush to zero (MXCSR) around the work on
// every thread, and the caller's state put back, as the x87 control word is.
//
// Memory: the per-frame tables are made once; the per-grid ones (patterns 4, 8, 10) are sized
// when the grid or pattern changes and then reused. Where that memory cannot be had, the frame
// takes the 80-bit path.
#pragma once

#include "engine/engine.h"

namespace lumora {

enum class EnginePath { X87, Avx2, Avx512 };

// "x87", "avx2", "avx512".
const char* EnginePathName(EnginePath path);
// Whether the processor and the system can run the path (X87 always).
bool EnginePathAvailable(EnginePath path);
// The path frames take: at first the fastest available one.
EnginePath ActiveEnginePath();
// Makes `path` the active one; false, changing nothing, where it is not available.
bool SetEnginePath(EnginePath path);

// Points the vector path coloured, and of those the ones recomputed straightforwardly, since the
// program started or the last reset.
struct VectorCounts {
    long long points = 0, fallbacks = 0;
};
VectorCounts VectorFrameCounts();
void ResetVectorFrameCounts();

// For tests: every bound multiplied by boundScale before the colouring (a larger bound may only
// add fallbacks, never change a pixel); with record set (width * height * 6 doubles), each point's
// three double values and their bounds, in that order, row by row.
struct VectorTestHooks {
    double boundScale = 1.0;
    double* record = nullptr;
};
void SetVectorTestHooks(const VectorTestHooks& hooks);

// RenderPoints on the active vector path (the caller holds the x87 precision scope); false when
// it did not draw the frame (the X87 path is active, or no memory for the grid's tables).
bool RenderPointsVector(EngineState& state, const PixelTarget& target);

}  // namespace lumora
