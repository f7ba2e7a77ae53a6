#include "settings/still_image.h"

#include "engine/still.h"

namespace lumora {

StillResult StillImage::Render(StillProgress& progress) {
    frame_ = platform::Frame(width_, height_);
    if (frame_.empty()) return StillResult::NoMemory;
    StillRender still(engine_, width_, height_);
    for (int index = 0; index < still.PieceCount(); ++index) {
        const StillRender::Piece piece = still.PieceAt(index);
        uint32_t* first =
            frame_.pixels() + static_cast<size_t>(piece.row) * frame_.stride() + piece.column;
        still.RenderPiece(index, PixelTarget{first, frame_.stride()});
        if (!progress.Continue(index + 1, still.PieceCount())) return StillResult::Cancelled;
    }
    return StillResult::Rendered;
}

}  // namespace lumora
