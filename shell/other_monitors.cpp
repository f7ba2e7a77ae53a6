#include "shell/other_monitors.h"

#include "shell/frame_log.h"

namespace lumora {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<MonitorRect>*>(list)->push_back(
            {platform::ScreenRectOf(info.rcMonitor), (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

}  // namespace

std::vector<MonitorRect> ListMonitors() {
    std::vector<MonitorRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

void OtherMonitors::Open(HINSTANCE instance, HWND primary, bool fadeIn) {
    instance_ = instance;
    primary_ = primary;
    fadeIn_ = fadeIn;
}

// The windows there are go, in order, to the other monitors there are now; what is missing is
// created, what is left over destroyed.
void OtherMonitors::Cover(const std::vector<MonitorRect>& monitors, const MonitorPicture& picture,
                          FrameLog& log) {
    if (!primary_) return;
    size_t used = 0;
    for (const MonitorRect& monitor : monitors) {
        if (monitor.primary) continue;
        if (used < windows_.size()) {
            windows_[used]->Place(monitor.rect, picture);
        } else {
            auto window = std::make_unique<TMonitorWindow>(primary_);
            if (!window->Create(instance_, monitor.rect, picture, fadeIn_)) continue;
            if (window->FadingIn()) log.MonitorFadeIn(monitor.rect);
            windows_.push_back(std::move(window));
        }
        ++used;
    }
    windows_.resize(used);
    Report(monitors, picture, log);
}

void OtherMonitors::Report(const std::vector<MonitorRect>& monitors, const MonitorPicture& picture,
                           FrameLog& log) const {
    if (!log.enabled()) return;
    for (const MonitorRect& monitor : monitors) {
        HWND window = monitor.primary ? primary_ : nullptr;
        for (const auto& other : windows_)
            if (!monitor.primary && other->Monitor() == monitor.rect) window = other->Handle();
        // Where the window really is, which is not necessarily where it was asked to be.
        RECT covered{};
        const bool hasWindow = window && GetWindowRect(window, &covered);
        const platform::ScreenRect coveredRect = platform::ScreenRectOf(covered);
        const SourceRect source =
            SourceOf(monitor.rect, picture.bounds, picture.frameWidth, picture.frameHeight);
        log.Monitor(monitor.rect, monitor.primary, hasWindow ? &coveredRect : nullptr,
                    picture.mode == MonitorsMode::Span ? &source : nullptr);
        ReportOwnField(monitor, log);
    }
}

// Each: the field of the window that covers an other monitor, after that monitor's line.
void OtherMonitors::ReportOwnField(const MonitorRect& monitor, FrameLog& log) const {
    if (monitor.primary) return;
    for (const auto& other : windows_)
        if (other->Monitor() == monitor.rect && other->OwnField()) {
            const EngineState& field = *other->OwnField();
            log.Field(field.Pattern, field.GridWidth, field.GridHeight);
        }
}

void OtherMonitors::DrawFrame(const platform::FrameView& frame, const WindowPicture& primary,
                              FrameLog& log) {
    for (const auto& window : windows_)
        if (window->DrawFrame(frame, primary)) {
            const EngineState& field = *window->OwnField();
            log.Cycle(field.Pattern, field.ColourScheme);
        }
}

void OtherMonitors::BeginCrossFade() {
    for (const auto& window : windows_) window->BeginCrossFade();
}

void OtherMonitors::Close() {
    windows_.clear();
    primary_ = nullptr;
}

}  // namespace lumora
