// SaverDraw: how the saver window puts its frame on the screen, by the processor or by the
// graphics processor: the mechanism, under the policy of DrawChoice (shell/draw_choice.h), which
// says which of the two, when and why.
//
// GDI: the frame stretched by the program into the window's DIB section and copied by BitBlt
// (shell/window_picture.h). Direct3D 11: the frame uploaded at the grid's size into a flip-model
// swap chain that the system stretches over the window (platform/gpu_swap_chain.h).
//
// Start() decides. The GDI path is the one for the live view (windowed), a span (the window
// shows a part of the frame, which the system's stretch cannot), a remote session, and wherever
// the swap chain cannot be made (no d3d11.dll, no hardware device, a software adapter); the
// full-screen saver of the whole frame otherwise measures the process's processor time per frame
// on both paths over its first frames (TrialFrames on GDI, then as many on Direct3D, each after
// WarmUpFrames not counted; Direct3D presents into a window of the trial's own over the saver
// window, shell/draw_trial_window.h) and keeps the cheaper one: which costs less differs from
// machine to machine (a software OpenGL under Direct3D costs more than the GDI copy). A present
// that fails puts the window on GDI for good. Nothing is shown to the user; the frame log says
// which path runs and why: "draw gdi WHY" / "draw d3d11 WHY", WHY one of windowed, span,
// remote-session, forced, trial, the swap chain's failure word, present-failed, or
// "cheaper gdi=G d3d11=D" (milliseconds of processor time per frame), followed by
// "stretch=sse2|avx2" on the GDI path.
//
// A test hook: LUMORA_DRAW=d3d11 in the environment forces the Direct3D path (no trial; GDI
// still where the chain cannot be made), LUMORA_DRAW=gdi the GDI path.
//
// beforePresent, when set, is called every frame with the picture exactly as it will be shown
// (pixels, width, height, stride in pixels), so that a caller can blend over it: on GDI the
// stretched picture in the DIB section (the window's size), on Direct3D a copy of the frame at
// the grid's size (made only while the hook is set; the frame itself stays untouched).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/frame.h"
#include "shell/draw_choice.h"
#include "shell/window_picture.h"

namespace lumora {

class FrameLog;
class TDrawTrialWindow;
namespace platform {
class GpuSwapChain;
}

class SaverDraw {
public:
    SaverDraw();
    ~SaverDraw();
    SaverDraw(const SaverDraw&) = delete;
    SaverDraw& operator=(const SaverDraw&) = delete;

    // The GDI picture: its stretch is set by the window (Resize / ResizeToPart).
    WindowPicture& picture() { return picture_; }
    const WindowPicture& picture() const { return picture_; }
    bool onGpu() const { return chain_ != nullptr; }
    // Milliseconds the last Draw spent stretching the frame (0 on Direct3D), measured only where
    // the frame log that reports it is written.
    double stretchMs() const { return stretchMs_; }

    // window: the saver's; wholeFrame: the window shows the whole frame stretched (not a part).
    void Start(HWND window, bool windowed, bool wholeFrame, FrameLog& log);
    // The frame on the window by the path in force.
    void Draw(HWND window, const platform::FrameView& frame, FrameLog& log);
    // Back to GDI for good (the window goes, or shows a part of the frame from now on).
    void StopGpu();

    std::function<void(uint32_t* pixels, int width, int height, int stride)> beforePresent;

private:
    bool MakeChain(HWND window, int width, int height, FrameLog& log);
    void DrawGdi(HWND window, const platform::FrameView& frame);
    bool DrawGpu(const platform::FrameView& frame);
    void Trial(HWND window, const platform::FrameView& frame, FrameLog& log);
    void BeginGpuTrial(HWND window, const platform::FrameView& frame, FrameLog& log);
    void LogGdi(FrameLog& log, const char* why) const;

    WindowPicture picture_;
    std::unique_ptr<platform::GpuSwapChain> chain_;
    // The Direct3D trial's window, while it runs.
    std::unique_ptr<TDrawTrialWindow> trialWindow_;
    platform::Frame gpuPicture_;  // the frame's copy for beforePresent on Direct3D
    DrawChoice choice_;
    bool timeStretch_ = false;  // the frame log is written
    double stretchMs_ = 0;
};

}  // namespace lumora
