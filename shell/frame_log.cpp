#include "shell/frame_log.h"

#include <windows.h>

#include "engine/vector_frame.h"

namespace lumora {

bool FrameLog::enabled() const { return file_ != nullptr; }

FrameLog::FrameLog() {
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"LUMORA_FRAME_LOG", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) file_ = _wfopen(path, L"a");
}

FrameLog::~FrameLog() {
    if (file_) std::fclose(file_);
}

void FrameLog::Start(int pattern, int gridWidth, int gridHeight, int windowWidth,
                     int windowHeight) {
    if (!file_) return;
    std::fprintf(file_, "start pattern=%d grid=%dx%d window=%dx%d\n", pattern, gridWidth,
                 gridHeight, windowWidth, windowHeight);
    if (!pathSaid_) std::fprintf(file_, "path %s\n", EnginePathName(FastestEnginePath()));
    pathSaid_ = true;
    std::fflush(file_);
}

void FrameLog::Engine(int colourScheme, int speed) {
    if (!file_) return;
    std::fprintf(file_, "engine scheme=%d speed=%d\n", colourScheme, speed);
    std::fflush(file_);
}

void FrameLog::Close() {
    if (!file_) return;
    std::fprintf(file_, "close %llu\n", static_cast<unsigned long long>(GetTickCount64()));
    std::fflush(file_);
}

void FrameLog::Field(int pattern, int gridWidth, int gridHeight) {
    if (!file_) return;
    std::fprintf(file_, "field pattern=%d grid=%dx%d\n", pattern, gridWidth, gridHeight);
    std::fflush(file_);
}

void FrameLog::Frame(double renderMs, double drawMs, double stretchMs) {
    if (!file_) return;
    std::fprintf(file_, "frame %llu render=%.2f draw=%.2f stretch=%.2f\n",
                 static_cast<unsigned long long>(GetTickCount64()), renderMs, drawMs, stretchMs);
    std::fflush(file_);
}

void FrameLog::Monitor(const platform::ScreenRect& monitor, bool primary,
                       const platform::ScreenRect* window, const SourceRect* source) {
    if (!file_) return;
    std::fprintf(file_, "monitor %d,%d %dx%d %s", monitor.left, monitor.top, monitor.width(),
                 monitor.height(), primary ? "primary" : "other");
    if (window)
        std::fprintf(file_, " window %d,%d %dx%d", window->left, window->top, window->width(),
                     window->height());
    else
        std::fprintf(file_, " window none");
    if (source)
        std::fprintf(file_, " source %g,%g %g,%g", source->left, source->top, source->right,
                     source->bottom);
    std::fprintf(file_, "\n");
    std::fflush(file_);
}

void FrameLog::Mode(const char* name) {
    if (!file_) return;
    std::fprintf(file_, "mode %s\n", name);
    std::fflush(file_);
}

void FrameLog::Draw(const char* path, const char* why) {
    if (!file_) return;
    std::fprintf(file_, "draw %s %s\n", path, why);
    std::fflush(file_);
}

void FrameLog::Cycle(int pattern, int colourScheme) {
    if (!file_) return;
    std::fprintf(file_, "cycle %d %d\n", pattern, colourScheme);
    std::fflush(file_);
}

void FrameLog::FadeIn() {
    if (!file_) return;
    std::fprintf(file_, "fade-in\n");
    std::fflush(file_);
}

void FrameLog::MonitorFadeIn(const platform::ScreenRect& monitor) {
    if (!file_) return;
    std::fprintf(file_, "fade-in monitor %d,%d %dx%d\n", monitor.left, monitor.top, monitor.width(),
                 monitor.height());
    std::fflush(file_);
}

void FrameLog::FadeInEnd() { Event("fade-in end"); }

void FrameLog::Span(const SpanGrid& grid, const platform::ScreenRect& bounds) {
    if (!file_) return;
    std::fprintf(file_, "mode span divisor=%d grid=%dx%d bounds=%d,%d %dx%d\n", grid.divisor,
                 grid.width, grid.height, bounds.left, bounds.top, bounds.width(), bounds.height());
    std::fflush(file_);
}

void FrameLog::DisplayChange() { Event("display change"); }
void FrameLog::Pause() { Event("pause"); }
void FrameLog::Resume() { Event("resume"); }

void FrameLog::Event(const char* what) {
    if (!file_) return;
    std::fprintf(file_, "%s %llu\n", what, static_cast<unsigned long long>(GetTickCount64()));
    std::fflush(file_);
}

}  // namespace lumora
