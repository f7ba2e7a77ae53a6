// One grid point evaluated straightforwardly, with its scratch outside the state.
//
// PatternValues keeps a point's intermediate values (u, v, w, p, q, r, the sequence of pattern 9,
// g1, g2) in the state's IterA/IterB/IterC and IterParam fields. The vector frame recomputes single
// points on several threads at once; they each take a PointScratch of their own instead, so that
// no thread writes the state. The values are the same operations in the same order.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace lumora {

struct PointScratch {
    long double IterA[4], IterB[4], IterC[4];
    long double IterParam1, IterParam2;
    long double PointValue1, PointValue2, PointValue3;
};

// The state's scratch into a PointScratch and back (PatternValues does both around the point).
void LoadScratch(const EngineState& state, PointScratch& scratch);
void StoreScratch(const PointScratch& scratch, EngineState& state);
// PatternValues into scratch; the state is only read.
void PatternValuesInto(const EngineState& state, int row, int col, PointScratch& scratch);
// Tells the state's renderer that the planes are written anew: called by each field generation.
void MarkFieldWritten(EngineState& state);
// The coordinate u of column `index` of `count` (or v of a row) of a per-frame pattern 1..14, as
// PatternValues computes it.
long double PatternCoordinate(int pattern, int index, int count);
// The straightforward pixel of a point (RotatePoint, PatternValues, PointColour) on a scratch of
// its own: the state is only read. Needs the precision RenderFrame sets up.
uint32_t StraightforwardPoint(const EngineState& state, int row, int col);

}  // namespace lumora
