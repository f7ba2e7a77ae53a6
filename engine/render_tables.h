// The tables a renderer keeps for its frames (engine/renderer.h), shared by the 80-bit fast frame
// and the vector frame, which convert the same 80-bit terms.
#pragma once

#include <memory>

#include "engine/fast_frame.h"
#include "engine/fast_math.h"
#include "engine/grid_table.h"
#include "engine/vector_job.h"

namespace lumora {

// The per-frame terms in double with their bounds. Slot k of column c at
// Column[k * paddedWidth + c], of row r at Row[k * height + r].
struct VectorTables {
    double Column[vector::TableSlots * FrameTermColumns];
    double ColumnE[vector::TableSlots * FrameTermColumns];
    double Row[vector::TableSlots * MaxGridRows];
    double RowE[vector::TableSlots * MaxGridRows];
};

struct RenderTables {
    // The 80-bit per-frame terms of patterns 1..14, made anew every frame.
    std::unique_ptr<FrameTerms> Terms = std::make_unique<FrameTerms>();
    std::unique_ptr<VectorTables> Vector = std::make_unique<VectorTables>();
    // The per-grid terms (patterns 4, 8, 10) of the piece last rendered: 80-bit ones for the
    // fast frame, double ones for the vector frame.
    GridTable<long double> FastGrid;
    GridTable<double> VectorGrid;
    double VectorGridAbs[vector::GridSlots] = {};  // each slot's largest bound
    // The column and row terms the vector grid is made from (slots 0 and 1, as GridJob reads
    // them): room for the widest grid and the tallest.
    double GridColumn[2 * FrameTermColumns], GridColumnE[2 * FrameTermColumns];
    double GridRow[2 * MaxGridRows], GridRowE[2 * MaxGridRows];
    // sin(ln(x) * 0.15) of pattern 9 on the 80-bit path: about 1 MB, made at its first frame.
    std::unique_ptr<ScaledLogSine> SinOfLog015;
    // The planes in double (X, then Y, then Z), for the piece and field generation they were
    // made of; none until a field generation wrote the planes (then a frame converts them as it
    // goes, since the caller may be writing them directly).
    GridTable<double> DoublePlanes;
    bool PlanesGenerated = false;
};

}  // namespace lumora
