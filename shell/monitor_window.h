// TMonitorWindow: the saver on a monitor other than the primary one.
//
// A borderless, top-most window owned by the primary saver window and covering exactly one
// monitor's rectangle (in virtual-screen coordinates: negative left of or above the primary).
// What it shows of the primary window's frame is its MonitorPicture: the whole frame scaled by
// one factor to cover the monitor, centred and cropped (Mirror, StretchFit::Cover); its own part
// of the frame stretched over the rectangle around all monitors (Span); or nothing, black
// (PrimaryOnly). Or, in Each, a field of its own: an engine state whose planes and grid are a
// quarter of the monitor in each direction, its own pattern (with randomPattern another one than
// the primary's, else the same), scheme (with randomScheme one of its own), speed and angles,
// whose life is a FieldLife (shell/field_life.h): with `cycles` it changes to its next pattern
// (and, with randomScheme, scheme) when the primary's changes, cross-faded over two seconds. A
// display change keeps that field, its pattern and its motion (over a new grid where the monitor
// changed size). Created with fadeIn, its first second blends from the desktop under it as it
// was to its picture (its own stretch of the frame, then, also where it could take the
// primary's). Otherwise it computes nothing itself; it ends nothing itself: keys, mouse moves and
// a close request are posted on to the primary window, which decides, so that the saver ends on
// every monitor together.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "engine/engine.h"
#include "platform/frame.h"
#include "platform/window_proc.h"
#include "settings/settings.h"
#include "shell/field_life.h"
#include "shell/span.h"
#include "shell/window_picture.h"

namespace lumora {

struct MonitorPicture {
    MonitorsMode mode = MonitorsMode::Mirror;
    int frameWidth = 0, frameHeight = 0;
    platform::ScreenRect bounds;  // Span: the rectangle the frame is stretched over
    // Each: what the monitor's own field starts from (the primary's pattern, scheme and speed).
    int pattern = 0, colourScheme = 0, speed = 0;
    bool randomPattern = false, randomScheme = false;
    bool cycles = false;  // Each: the field changes at BeginCrossFade
    bool operator==(const MonitorPicture&) const = default;
};

class TMonitorWindow : public platform::MessageWindow {
public:
    explicit TMonitorWindow(HWND primary) : primary_(primary) {}
    ~TMonitorWindow() override;

    // Creates the window over the monitor and shows it without taking the focus.
    bool Create(HINSTANCE instance, const platform::ScreenRect& monitor,
                const MonitorPicture& picture, bool fadeIn = false);
    // Moves the window to another rectangle; the stretch is made anew when the size or the
    // picture changes.
    void Place(const platform::ScreenRect& monitor, const MonitorPicture& picture);
    HWND Handle() const { return window_; }
    bool FadingIn() const { return fadeIn_.active(); }
    // The rectangle it was last asked to cover.
    const platform::ScreenRect& Monitor() const { return monitor_; }
    // Each: the monitor's own field shown (during a cross-fade, the one fading in), or null.
    const EngineState* OwnField() const { return life_ ? &life_->Shown() : nullptr; }
    // Each, cycling: the field changes to its next pattern as soon as that is made (at once,
    // mostly: it is made ahead); false where it never changes or a cross-fade still runs.
    bool BeginCrossFade();

    // The frame (frameWidth x frameHeight pixels), as the picture says. A mirrored monitor the
    // same shape as the primary one takes the primary window's picture of it (`primary`,
    // already made) instead of making the same picture again. True where the monitor's own
    // field began a change with this frame.
    bool DrawFrame(const platform::FrameView& frame, const WindowPicture& primary);

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormInput(UINT message, WPARAM wparam, LPARAM lparam);
    void FormClose();
    bool FormEraseBackground(HDC dc);
    void Show(const platform::ScreenRect& monitor, const MonitorPicture& picture);
    bool KeepsOwnField(const MonitorPicture& picture) const;
    void MakeOwnField(const platform::ScreenRect& monitor, const MonitorPicture& picture,
                      const FieldLife* from);
    void Present();

    const HWND primary_;
    platform::ScreenRect monitor_;
    MonitorPicture picture_;
    WindowPicture stretched_;             // the frame as the picture says, when not the primary's
    std::unique_ptr<EngineState> field_;  // Each: the monitor's own field, as chosen
    std::unique_ptr<FieldLife> life_;     // and its life
    FadeIn fadeIn_;                       // from the desktop under the window as it was
};

}  // namespace lumora
