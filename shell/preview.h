// The preview: a small live picture inside a window of the screensaver host (mode P).
//
// RunPreview reads the host's window handle from the command line (window_handle.h: after the
// switch's colon, "/p:1234", or the second argument, "/p 1234"), creates a
// child window "ZuVoduz" of class SaverPreviewClass that fills the host's window (disabled, so
// the host keeps all input), sets the engine up for a grid of exactly that size with colour
// scheme 0, speed 10 and a random pattern from the random range (the stored settings are
// neither read nor written), and runs its own message loop until the window is destroyed, which
// the host does by destroying its own window. A thread of its own shows the window and
// invalidates it every 40 ms; every paint renders one frame and draws it unscaled, then pauses
// 30 ms, and the paint is never validated, so the preview redraws continuously.
//
// With handle 0 (no argument, 0, or text that is not a number) the preview is a top-most pop-up
// of PopupWidth x PopupHeight at (0, 0) of the screen; there a key press asks the password check
// and, when it allows, ends the preview within 40 ms. Mouse input never asks (PreviewMode).
// A non-zero handle that names no window ends the preview at once. A host larger than the
// coordinate planes gets a grid clamped to the planes; the window still fills the host.
//
// TPreviewWindow owns the window, its frame and the thread: the thread touches only the window's
// handle (written before it starts) and the atomic StopRequested, and it is stopped and joined
// when the preview ends, before the window goes.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/frame.h"
#include "platform/handles.h"
#include "platform/window_proc.h"

namespace lumora {

struct EngineState;

inline constexpr int PopupWidth = 640;
inline constexpr int PopupHeight = 480;

class TPreviewWindow : public platform::MessageWindow {
public:
    explicit TPreviewWindow(EngineState& engine) : engine_(engine) {}
    ~TPreviewWindow() override;

    // Runs the whole preview; returns when its message loop has received the quit message, or at
    // once when the host's window does not exist or the preview window cannot be made.
    void RunPreview(std::wstring_view hostArgument);

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    // A child filling host, or with no host a top-most pop-up of width x height at (0, 0).
    bool CreatePreviewWindow(int width, int height, HWND host);
    void PreviewThreadProc();
    void StopThread();
    // One frame, rendered and drawn unscaled into the preview window, then a 30 ms pause.
    void PaintPreviewFrame();
    void PreviewKeyDown();
    void PreviewMouseInput();
    void AskPassword();
    void PreviewDestroy();

    EngineState& engine_;
    platform::Frame frame_;
    bool PreviewMode = false;                // set first in RunPreview: mouse input is ignored
    std::atomic<bool> StopRequested{false};  // the password check's answer; read by the thread
    int32_t InputGraceCount = 0;             // countdown of mouse messages until the next check
    bool closed_ = false;                    // the frame log has its close line

    platform::Event loopEnded_;  // set when the message loop has ended: the thread goes
    std::optional<platform::Thread> thread_;  // last: joined before anything else goes
};

void RunPreview(EngineState& engine, std::wstring_view hostArgument);

}  // namespace lumora
