// TForm1: the saver window.
//
// Full-screen (the default mode): covers the primary screen, stays on top, hides the cursor, and
// ends on any key or on a jump of more than 100 pixels between two consecutive mouse moves.
// Windowed (the settings' live view, WindowedMode): a bordered window whose client area is half
// the screen, centred, its top at a fifth of the screen height; only Esc closes it.
// Every 30 ms the frame timer renders one frame on the quarter-size (or half-size) grid and
// draws it stretched over the whole client area.
// Full-screen, every other monitor is covered by a window of its own (OtherMonitors) as the
// stored Monitors mode says: the same field on each (Mirror), one field over the rectangle
// around all monitors whose grid is a quarter of it (Span: this window shows the primary
// monitor's part), or black (PrimaryOnly). One frame is computed per tick whatever the mode.
// While the console display is off the timer renders and draws nothing.
// Changes over time, full-screen (the cycles in the live view too): with FadeIn the first second
// blends from the desktop as it was to the field; with CycleMinutes the field changes every that
// many minutes to another pattern (NextPattern) and, with RandomColours, another scheme, the old
// field and the new one cross-faded over two seconds, both moving. The field's life, its changes
// and its fade-in are the window's FieldLife (shell/field_life.h); the window draws its frames.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/frame.h"
#include "platform/power_setting.h"
#include "platform/window_class.h"
#include "platform/window_proc.h"
#include "settings/live_view.h"
#include "shell/field_life.h"
#include "shell/mouse_jerk.h"
#include "shell/other_monitors.h"
#include "shell/saver_draw.h"

namespace lumora {

struct EngineState;
struct SaverSettings;

// The class of the saver's windows on every monitor: the program's icon, the arrow cursor (hidden
// while the saver runs), and the system colour for button text as background (black in the
// standard scheme), which shows until the first frame is drawn.
platform::WindowClassLook SaverWindowLook();

class TForm1 : public LiveView, public platform::MessageWindow {
public:
    TForm1(EngineState& engine, SaverSettings& settings, bool windowed);
    ~TForm1() override;

    // Creates the window (FormCreate runs inside) and shows it.
    bool Create(HINSTANCE instance);
    HWND Handle() const override { return window_; }
    void Close() override;

    // The live view of the settings mode (settings/live_view.h).
    bool Open(HINSTANCE instance) override { return Create(instance); }
    void RefillField() override;
    void PauseForStill(int width, int height) override;
    void Resume() override;

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void TimerTimer();
    void FormKeyDown(WPARAM key);
    void FormMouseMove();
    void FormClose();
    void FormDestroy();
    LRESULT FormPowerBroadcast(WPARAM event, LPARAM data);

    void FormDisplayChange();

    void SizeFullScreen();
    void SizeSpan(const std::vector<MonitorRect>& monitors);
    void SizeWindowed();
    void ResizeStretch();
    void CoverOtherMonitors(const std::vector<MonitorRect>& monitors);
    void DrawFrame();
    bool RenderTick();
    void StartLife();
    platform::Frame CaptureUnderWindow() const;
    void FadeInFrom(platform::Frame desktop);
    void EndFadeInWhenDue();

    EngineState& engine_;
    SaverSettings& settings_;
    const bool windowed_;
    MouseJerk mouse_{{}};    // the pointer's moves: a jump ends the saver
    FieldLife life_;         // the field shown, its changes and its fade-in
    bool fadingIn_ = false;  // the fade-in's hook is set
    bool paused_ = false;    // a still has the engine
    SaverDraw draw_;         // the frame over the window, by GDI or Direct3D
    OtherMonitors otherMonitors_;
    MonitorsMode mode_ = MonitorsMode::Mirror;
    platform::ScreenRect spanBounds_;   // Span: the rectangle around all monitors
    SpanGrid spanGrid_;                 // Span: the grid over it
    platform::ScreenRect primaryRect_;  // Span: the primary monitor, which this window covers
    platform::PowerSettingNotification displayPower_;
    bool displayOff_ = false;
};

}  // namespace lumora
