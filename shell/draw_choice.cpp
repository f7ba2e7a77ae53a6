#include "shell/draw_choice.h"

#include <cstdio>

namespace lumora {

const char* DrawChoice::Start(const DrawSituation& situation) {
    frame_ = 0;
    why_[0] = '\0';
    const char* gdiWhy = !situation.hasWindow || situation.windowed ? "windowed"
                         : !situation.wholeFrame                    ? "span"
                         : situation.remoteSession                  ? "remote-session"
                         : situation.forced == DrawForced::Gdi      ? "forced"
                                                                    : nullptr;
    if (gdiWhy) {
        path_ = Path::Gdi;
        return gdiWhy;
    }
    path_ = situation.forced == DrawForced::Gpu ? Path::Gpu : Path::TrialGdi;
    return nullptr;
}

// The frames WarmUpFrames .. WarmUpFrames + TrialFrames - 1 of each path are counted, the
// processor time taken when the warm-up is over.
DrawChoice::Next DrawChoice::TrialFrameDrawn(double processMs) {
    if (!onTrial()) return Next::Same;
    if (++frame_ == WarmUpFrames) startMs_ = processMs;
    if (frame_ < WarmUpFrames + TrialFrames) return Next::Same;
    const double msPerFrame = (processMs - startMs_) / TrialFrames;
    frame_ = 0;
    if (path_ == Path::TrialGdi) {
        gdiMsPerFrame_ = msPerFrame;
        path_ = Path::TrialGpu;
        return Next::BeginGpuTrial;
    }
    std::snprintf(why_, sizeof why_, "cheaper gdi=%.2f d3d11=%.2f", gdiMsPerFrame_, msPerFrame);
    const bool gpuCheaper = msPerFrame < gdiMsPerFrame_;
    path_ = gpuCheaper ? Path::Gpu : Path::Gdi;
    return gpuCheaper ? Next::KeepGpu : Next::KeepGdi;
}

}  // namespace lumora
