// A table made for one grid piece and kept while the piece stays: the per-grid tables of the fast
// and the vector frame (patterns 4, 8 and 10) and the vector frame's double planes.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

#include "engine/engine.h"

namespace lumora {

// The grid a table was made for: the pattern, the grid, and the piece of the field it is.
struct GridPiece {
    int Pattern = 0, Width = -1, Height = -1;
    int FieldWidth = 0, FieldHeight = 0, FieldColumn = 0, FieldRow = 0;
    bool operator==(const GridPiece&) const = default;
};

inline GridPiece PieceOf(const EngineState& state) {
    return {state.Pattern,        state.GridWidth,   state.GridHeight, FieldWidthOf(state),
            FieldHeightOf(state), state.FieldColumn, state.FieldRow};
}

// Values sized for the grid when it changes (a still for export needs far more than the live
// view and is not kept afterwards): made anew where the capacity is short or four times too large.
// Not zero-filled: the workers write it first.
template <class T>
struct GridTable {
    GridPiece Piece;  // what the values hold; a default piece where they hold nothing
    size_t Capacity = 0;
    std::unique_ptr<T[]> Values;

    // Room for `need` values, the piece forgotten; false when the memory cannot be had.
    bool Reserve(size_t need) {
        Piece = {};
        if (Capacity >= need && Capacity / 4 <= need) return true;
        Values.reset();
        Capacity = 0;
        Values.reset(new (std::nothrow) T[need]);
        if (!Values) return false;
        Capacity = need;
        return true;
    }
};

}  // namespace lumora
