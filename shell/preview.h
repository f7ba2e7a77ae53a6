// The preview: a small live picture inside a window of the screensaver host (mode P).
//
// RunPreview reads the host's window handle from the second command-line argument, creates a
// child window "ZuVoduz" of class SaverPreviewClass that fills the host's window (disabled, so
// the host keeps all input), sets the engine up for a grid of exactly that size with colour
// scheme 0, speed 10 and a random pattern from 1 to 20 (the stored settings are neither read nor
// written), and runs its own message loop until the window is destroyed, which the host does
// by destroying its own window. A thread of its own shows the window and invalidates it every
// 40 ms; every paint renders one frame and draws it unscaled, then sleeps 30 ms, and the paint
// is never validated, so the preview redraws continuously.
//
// With handle 0 (no argument, 0, or text that is not a number) the preview is a top-most pop-up
// of PopupWidth x PopupHeight at (0, 0) of the screen; there a key press asks the password check
// and, when it allows, ends the preview within 40 ms. Mouse input never asks (PreviewMode).
// A non-zero handle that names no window ends the preview at once. A host larger than the
// coordinate planes gets a grid clamped to the planes; the window still fills the host.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string_view>

namespace lumora {

struct EngineState;

inline constexpr int PopupWidth = 640;
inline constexpr int PopupHeight = 480;

// The preview's process-wide state, one instance.
struct PreviewState {
    bool PreviewMode = false;                // set first in RunPreview: mouse input is ignored
    HWND PreviewWindow = nullptr;            // written once, before the thread starts
    std::atomic<bool> StopRequested{false};  // the password check's answer; read by the thread
    int32_t InputGraceCount = 0;             // countdown of mouse messages until the next check
};
PreviewState& Preview();

// Runs the whole preview; returns when its message loop has received the quit message, or at
// once when the host's window does not exist or the preview window cannot be made.
void RunPreview(EngineState& engine, std::wstring_view hostArgument);

// Registers SaverPreviewClass and creates the preview window: a child filling host, or with no
// host a top-most pop-up of width x height at (0, 0). Stores it in PreviewWindow.
HWND CreatePreviewWindow(int width, int height, HWND host);

DWORD WINAPI PreviewThreadProc(void* unused);
LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
// One frame, rendered and drawn unscaled into the preview window, then a 30 ms pause.
void PaintPreviewFrame();

}  // namespace lumora
