#include "shell/frame_render.h"

#include <cstdint>
#include <vector>

namespace lumora {

void RenderIntoBitmap(EngineState& state, FrameBitmap& bitmap) {
    const int width = state.GridWidth;
    const int height = state.GridHeight;
    if (width < 1 || height < 1) {
        RenderFrame(state, PixelTarget{nullptr, 0});  // no pixel, but the rotation moves on
        return;
    }
    // A grid larger than the bitmap must not run past the locked buffer.
    if (bitmap.image() && width <= bitmap.width() && height <= bitmap.height()) {
        LockedBits bits(bitmap.image(), width, height);
        if (bits.locked()) {
            RenderFrame(state, LockedTarget(bits));
            return;
        }
    }
    RenderIntoBitmapPixelByPixel(state, bitmap);
}

void RenderIntoBitmapPixelByPixel(EngineState& state, FrameBitmap& bitmap) {
    static std::vector<uint32_t> scratch;
    const int width = state.GridWidth;
    const int height = state.GridHeight;
    if (width < 1 || height < 1) {
        RenderFrame(state, PixelTarget{nullptr, 0});
        return;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (scratch.size() < count) scratch.resize(count);
    RenderFrame(state, PixelTarget{scratch.data(), width});
    bitmap.SetPixels(scratch.data(), width, width, height);
}

}  // namespace lumora
