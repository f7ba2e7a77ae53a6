// A test hook: when LUMORA_FRAME_LOG names a file, the saver window appends to it one line at
// start ("start pattern=P grid=WxH window=WxH", after the first of them the engine's path,
// "path x87|avx2|avx512", engine/vector_frame.h), one line per frame drawn ("frame T render=R
// draw=D stretch=S", the milliseconds the frame took to compute and to draw, and of the draw the
// saver window's own stretch, 0 where the system stretches) and one when the window closes
// ("close T"), T in milliseconds since the system started. The preview and the full-screen saver
// add, after the start line, the colouring it runs ("engine scheme=S speed=N"); the settings mode
// one line whenever the planes are filled again ("field pattern=P grid=WxH": a new pattern, a
// still, the live view restored). The full-screen saver adds, after its start line, one line per
// monitor
// ("monitor X,Y WxH primary|other window X,Y WxH", or "window none" for a monitor it could not
// cover; virtual-screen coordinates), the same again after "display change T" when the
// monitors change, and "pause T" / "resume T" when the display is turned off and on again.
// Before its monitors it says how it covers them: "mode mirror", "mode primary-only", or
// "mode span divisor=D grid=WxH bounds=X,Y WxH" (the grid over the rectangle around all
// monitors), and in a span each monitor line ends in the part of the frame it shows,
// "source L,T R,B" in grid points; "mode each" when every monitor has a field of its own. The
// saver window says how it draws after its start line and whenever that changes ("draw
// gdi|d3d11 WHY", shell/saver_draw.h). A change of pattern and scheme in a cycle is "cycle
// PATTERN SCHEME"; a start that fades in from the desktop says "fade-in" before its monitors
// and "fade-in end T" when the field shows alone. The
// end-to-end tests and the frame-rate benchmark read it; without the variable nothing is written.
#pragma once

#include <windows.h>

#include <cstdio>

#include "shell/span.h"

namespace lumora {

class FrameLog {
public:
    FrameLog();
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    void Start(int pattern, int gridWidth, int gridHeight, int windowWidth, int windowHeight);
    void Engine(int colourScheme, int speed);
    bool enabled() const;
    void Frame(double renderMs, double drawMs, double stretchMs);
    void Field(int pattern, int gridWidth, int gridHeight);
    void Close();
    // window: the rectangle of the window that covers the monitor, or null for none.
    // source: the part of the frame the monitor shows in a span, or null.
    void Monitor(const platform::ScreenRect& monitor, bool primary,
                 const platform::ScreenRect* window, const SourceRect* source = nullptr);
    void Mode(const char* name);
    // "draw PATH WHY": which way the frames reach the window (shell/saver_draw.h).
    void Draw(const char* path, const char* why);
    void Cycle(int pattern, int colourScheme);
    void FadeIn();
    void MonitorFadeIn(const platform::ScreenRect& monitor);  // "fade-in monitor X,Y WxH"
    void FadeInEnd();
    void Span(const SpanGrid& grid, const platform::ScreenRect& bounds);
    void DisplayChange();
    void Pause();
    void Resume();

private:
    void Event(const char* what);  // "WHAT T"

    std::FILE* file_ = nullptr;
    bool pathSaid_ = false;
};

}  // namespace lumora
