// Stills of any size, rendered piece by piece through the engine state's own planes.
//
// A still of width x height points is the frame the engine renders with planes of that size:
// every point's values depend only on its column and row over the width and height, and on the
// frame's one rotation. StillRender advances the rotation once, as RenderFrame does, and then
// renders the still in pieces: bands of rows, each cut into at most MaxGridColumns wide columns
// when the still is wider than the planes. For a piece the grid becomes that piece of the field
// (engine.h: FieldWidth and the rest), the planes are filled for it and its points coloured,
// with the same rotation for every piece, into the still's pixels at the piece's place. The
// stored patterns (15..25) on a vector path skip the planes: each point's plane values are
// computed in double with proven bounds where it is coloured, and in 80 bits only where those
// leave its pixel undecided (RenderFieldVector, engine/vector_frame.h); the pixels are the same.
// Nothing of the still's size is allocated here; the caller owns the still's pixels.
//
// Contract: width and height at least 1; the still's target holds width x height pixels. The
// state's grid, field and planes belong to the still until the last piece is done: afterwards
// the caller sets its own grid again (SetGridSize or SizeGridToWindow) and refills the field.
#pragma once

#include "engine/engine.h"

namespace lumora {

class StillRender {
public:
    // About this many points a piece: a few tens of milliseconds on two cores, so that a caller
    // can show progress and stop between pieces. Tests ask for smaller pieces.
    static constexpr int DefaultPiecePoints = 1 << 18;

    // Advances the rotation.
    StillRender(EngineState& state, int width, int height, int piecePoints = DefaultPiecePoints,
                int pieceColumns = MaxGridColumns);
    StillRender(const StillRender&) = delete;
    StillRender& operator=(const StillRender&) = delete;

    struct Piece {
        int column, row;    // its first point in the still
        int width, height;  // its points across and down
    };
    int PieceCount() const { return bands_ * columns_; }
    Piece PieceAt(int index) const;  // 0 .. PieceCount() - 1, the top band first
    // Renders a piece; target addresses the piece's own first pixel.
    void RenderPiece(int index, const PixelTarget& piece);
    // All pieces in order into the whole still's pixels.
    void RenderAll(const PixelTarget& still);

private:
    EngineState& state_;
    int width_, height_;
    int pieceWidth_, bandRows_;  // the largest piece
    int columns_, bands_;        // pieces across and bands down
};

}  // namespace lumora
