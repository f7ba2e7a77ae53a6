// A still of the field in pixels of its own, from "Save Image" to the save.
//
// StillImage pauses the live view for as long as it lives (the engine state and its planes are
// the still's meanwhile) and owns the still's frame. Render fills the frame piece by piece
// (engine/still.h), asking the progress after each piece whether to go on: Rendered,
// Cancelled, or NoMemory when the still's pixels cannot be had. Letting it go frees the pixels
// first and then gives the live view back, however the save ended.
#pragma once

#include "engine/engine.h"
#include "platform/frame.h"
#include "settings/live_view.h"

namespace lumora {

// Told how far a still has come; false stops it.
class StillProgress {
public:
    virtual ~StillProgress() = default;
    virtual bool Continue(int piecesDone, int pieces) = 0;
};

enum class StillResult { Rendered, Cancelled, NoMemory };

class StillImage {
public:
    StillImage(EngineState& engine, LiveView& liveView, int width, int height)
        : pause_(liveView, width, height), engine_(engine), width_(width), height_(height) {}
    StillImage(const StillImage&) = delete;
    StillImage& operator=(const StillImage&) = delete;

    StillResult Render(StillProgress& progress);
    const platform::Frame& frame() const { return frame_; }

private:
    StillPause pause_;  // first made, last gone: the pixels are freed before the live view resumes
    EngineState& engine_;
    int width_, height_;
    platform::Frame frame_;
};

}  // namespace lumora
