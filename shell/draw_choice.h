// DrawChoice: which way the saver window's frames reach the screen, and why; the policy of
// SaverDraw (shell/saver_draw.h), which is the mechanism. Window-free.
//
// Start() decides from the situation. GDI for good, with the reason the frame log gives, for the
// live view ("windowed", also where there is no window), a span ("span": the window shows a part
// of the frame, which the system's stretch cannot), a remote session ("remote-session") and a
// forced GDI ("forced"); Direct3D for good where it is forced; otherwise a trial, on GDI first.
// The trial counts the process's processor time over TrialFrames frames on each path, each after
// WarmUpFrames not counted (TrialFrameDrawn, after every frame drawn on a trial path): after the
// GDI frames it asks for the Direct3D trial (BeginGpuTrial), after those it keeps the cheaper path
// (KeepGpu or KeepGdi, the reason "cheaper gdi=G d3d11=D", milliseconds per frame). Where the
// mechanism cannot go on with Direct3D (no swap chain, no trial window, a failed present) it
// says so (FallBackToGdi) and GDI is kept for good.
#pragma once

namespace lumora {

enum class DrawForced { None, Gdi, Gpu };

struct DrawSituation {
    bool hasWindow = true;
    bool windowed = false;
    bool wholeFrame = true;  // the window shows the whole frame stretched, not a part
    bool remoteSession = false;
    DrawForced forced = DrawForced::None;
};

class DrawChoice {
public:
    static constexpr int WarmUpFrames = 5;
    static constexpr int TrialFrames = 60;

    enum class Path { Gdi, TrialGdi, TrialGpu, Gpu };
    enum class Next { Same, BeginGpuTrial, KeepGpu, KeepGdi };

    // The path to start on; where it is GDI for good, the reason, else null.
    const char* Start(const DrawSituation& situation);
    Path path() const { return path_; }
    bool onTrial() const { return path_ == Path::TrialGdi || path_ == Path::TrialGpu; }
    // After a frame drawn on a trial path; processMs: the process's processor time so far.
    Next TrialFrameDrawn(double processMs);
    void FallBackToGdi() { path_ = Path::Gdi; }
    // The reason of the last KeepGpu / KeepGdi.
    const char* why() const { return why_; }

private:
    Path path_ = Path::Gdi;
    int frame_ = 0;
    double startMs_ = 0, gdiMsPerFrame_ = 0;
    char why_[80] = "";
};

}  // namespace lumora
