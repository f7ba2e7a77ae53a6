#include "shell/saver_draw.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "platform/gpu_swap_chain.h"
#include "shell/draw_choice.h"
#include "shell/draw_trial_window.h"
#include "shell/frame_log.h"

namespace lumora {
namespace {

// The process's processor time so far, all its threads (a software OpenGL's among them).
double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns units
}

// LUMORA_DRAW: "gdi", "d3d11", or anything else (the choice by measurement).
enum class Forced { None, Gdi, Gpu };
Forced ForcedPath() {
    wchar_t value[16];
    const DWORD length = GetEnvironmentVariableW(L"LUMORA_DRAW", value, 16);
    if (length == 0 || length >= 16) return Forced::None;
    if (!std::wcscmp(value, L"gdi")) return Forced::Gdi;
    if (!std::wcscmp(value, L"d3d11")) return Forced::Gpu;
    return Forced::None;
}

}  // namespace

SaverDraw::SaverDraw() = default;
SaverDraw::~SaverDraw() = default;

void SaverDraw::Start(HWND window, bool windowed, bool wholeFrame, FrameLog& log) {
    StopGpu();
    timeStretch_ = log.enabled();
    const Forced forced = ForcedPath();
    const DrawSituation situation{.hasWindow = window != nullptr,
                                  .windowed = windowed,
                                  .wholeFrame = wholeFrame,
                                  .remoteSession = GetSystemMetrics(SM_REMOTESESSION) != 0,
                                  .forced = forced == Forced::Gdi   ? DrawForced::Gdi
                                            : forced == Forced::Gpu ? DrawForced::Gpu
                                                                    : DrawForced::None};
    if (const char* gdiWhy = choice_.Start(situation)) {
        LogGdi(log, gdiWhy);
        return;
    }
    // Direct3D forced: the chain is made at the first frame, of its size.
    if (choice_.path() == DrawChoice::Path::TrialGdi) LogGdi(log, "trial");
}

void SaverDraw::StopGpu() {
    chain_.reset();
    trialWindow_.reset();
    gpuPicture_ = platform::Frame();
    choice_.FallBackToGdi();
}

bool SaverDraw::MakeChain(HWND window, int width, int height, FrameLog& log) {
    const char* why = "no-swap-chain";
    chain_ = platform::GpuSwapChain::Create(window, width, height, &why);
    if (chain_) return true;
    choice_.FallBackToGdi();
    LogGdi(log, why);
    return false;
}

void SaverDraw::Draw(HWND window, const platform::FrameView& frame, FrameLog& log) {
    if (frame.empty()) return;
    switch (choice_.path()) {
        case DrawChoice::Path::Gdi: DrawGdi(window, frame); return;
        case DrawChoice::Path::TrialGdi:
        case DrawChoice::Path::TrialGpu: Trial(window, frame, log); return;
        case DrawChoice::Path::Gpu: break;
    }
    if (!chain_ || chain_->width() != frame.width || chain_->height() != frame.height) {
        const bool first = !chain_;
        if (!MakeChain(window, frame.width, frame.height, log)) {
            DrawGdi(window, frame);
            return;
        }
        if (first) log.Draw("d3d11", "forced");
    }
    if (!DrawGpu(frame)) {
        StopGpu();
        LogGdi(log, "present-failed");
        DrawGdi(window, frame);
    }
}

// A frame on the path the trial is on; then what the choice says comes next.
void SaverDraw::Trial(HWND window, const platform::FrameView& frame, FrameLog& log) {
    if (choice_.path() == DrawChoice::Path::TrialGdi) {
        DrawGdi(window, frame);
    } else if (!DrawGpu(frame)) {
        StopGpu();
        LogGdi(log, "present-failed");
        DrawGdi(window, frame);
        return;
    }
    switch (choice_.TrialFrameDrawn(ProcessCpuMs())) {
        case DrawChoice::Next::Same: return;
        case DrawChoice::Next::BeginGpuTrial: BeginGpuTrial(window, frame, log); return;
        case DrawChoice::Next::KeepGpu:
        case DrawChoice::Next::KeepGdi: break;
    }
    // The saver window gets a swap chain of its own only when Direct3D is kept.
    chain_.reset();
    trialWindow_.reset();
    if (choice_.path() == DrawChoice::Path::Gpu) {
        if (MakeChain(window, frame.width, frame.height, log))
            log.Draw("d3d11", choice_.why());
        else
            DrawGdi(window, frame);  // MakeChain said why
        return;
    }
    LogGdi(log, choice_.why());
    DrawGdi(window, frame);
}

// The Direct3D trial presents into a window of its own over the saver window.
void SaverDraw::BeginGpuTrial(HWND window, const platform::FrameView& frame, FrameLog& log) {
    trialWindow_ = std::make_unique<TDrawTrialWindow>(window);
    if (!trialWindow_->Create()) {
        trialWindow_.reset();
        choice_.FallBackToGdi();
        LogGdi(log, "no-trial-window");
        return;
    }
    if (!MakeChain(trialWindow_->Handle(), frame.width, frame.height, log)) {
        trialWindow_.reset();
        return;
    }
    log.Draw("d3d11", "trial");
}

void SaverDraw::DrawGdi(HWND window, const platform::FrameView& frame) {
    bool made;
    if (timeStretch_) {
        LARGE_INTEGER frequency, start, stretched;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        made = picture_.Make(frame);
        QueryPerformanceCounter(&stretched);
        stretchMs_ = static_cast<double>(stretched.QuadPart - start.QuadPart) * 1000.0 /
                     static_cast<double>(frequency.QuadPart);
    } else {
        made = picture_.Make(frame);
    }
    if (!made) return;
    if (beforePresent)
        beforePresent(picture_.pixels(), picture_.width(), picture_.height(), picture_.width());
    picture_.Draw(window);
}

bool SaverDraw::DrawGpu(const platform::FrameView& frame) {
    picture_.Discard();
    stretchMs_ = 0;
    if (!beforePresent) return chain_->Present(frame);
    if (gpuPicture_.width() != frame.width || gpuPicture_.height() != frame.height)
        gpuPicture_ = platform::Frame(frame.width, frame.height);
    if (gpuPicture_.empty()) return chain_->Present(frame);
    for (int y = 0; y < frame.height; ++y)
        std::memcpy(gpuPicture_.pixels() + static_cast<size_t>(y) * gpuPicture_.stride(),
                    frame.pixels + static_cast<size_t>(y) * frame.stride,
                    static_cast<size_t>(frame.width) * sizeof(uint32_t));
    beforePresent(gpuPicture_.pixels(), gpuPicture_.width(), gpuPicture_.height(),
                  gpuPicture_.stride());
    return chain_->Present(gpuPicture_.view());
}

void SaverDraw::LogGdi(FrameLog& log, const char* why) const {
    char text[120];
    std::snprintf(text, sizeof text, "%s stretch=%s", why, StretchPathName(BestStretchPath()));
    log.Draw("gdi", text);
}

}  // namespace lumora
