#include "engine/still.h"

#include <algorithm>
#include <cstddef>

#include "engine/fpu_guard.h"
#include "engine/vector_frame.h"

namespace lumora {
namespace {

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

StillRender::StillRender(EngineState& state, int width, int height, int piecePoints,
                         int pieceColumns)
    : state_(state), width_(width), height_(height) {
    columns_ = CeilDiv(width_, std::clamp(pieceColumns, 1, MaxGridColumns));
    pieceWidth_ = CeilDiv(width_, columns_);  // equal widths, the last one perhaps narrower
    bandRows_ = std::clamp(piecePoints / pieceWidth_, 1, std::min(height_, MaxGridRows));
    bands_ = CeilDiv(height_, bandRows_);
    ExtendedPrecisionScope precision;
    AdvanceRotation(state_);  // the frame's one rotation, and every random draw, first
}

StillRender::Piece StillRender::PieceAt(int index) const {
    const int row = index / columns_ * bandRows_, column = index % columns_ * pieceWidth_;
    return {column, row, std::min(pieceWidth_, width_ - column),
            std::min(bandRows_, height_ - row)};
}

void StillRender::RenderPiece(int index, const PixelTarget& piece) {
    const Piece p = PieceAt(index);
    SetGridSize(state_, p.width, p.height);
    state_.FieldWidth = width_;
    state_.FieldHeight = height_;
    state_.FieldColumn = p.column;
    state_.FieldRow = p.row;
    // the stored patterns on a vector path: their pixels without the planes
    if (RenderFieldVector(state_, piece)) return;
    GeneratePatternField(state_);
    RenderPoints(state_, piece);
}

void StillRender::RenderAll(const PixelTarget& still) {
    for (int index = 0; index < PieceCount(); ++index) {
        const Piece p = PieceAt(index);
        RenderPiece(index,
                    {still.pixels + static_cast<std::ptrdiff_t>(p.row) * still.stride + p.column,
                     still.stride});
    }
}

}  // namespace lumora
