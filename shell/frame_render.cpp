#include "shell/frame_render.h"

namespace lumora {

bool RenderIntoFrame(EngineState& state, platform::Frame& frame) {
    if (state.GridWidth < 1 || state.GridHeight < 1) {
        RenderFrame(state, PixelTarget{nullptr, 0});
        return true;
    }
    if (frame.width() < state.GridWidth || frame.height() < state.GridHeight) return false;
    RenderFrame(state, TargetOf(frame));
    return true;
}

}  // namespace lumora
