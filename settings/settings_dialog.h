// TForm2: the settings dialog, under the live view.
//
// Its creation opens the saver window as the live view (which so becomes the main window),
// places the dialog 2 pixels below it, centred, and shows the stored settings on four sliders:
// pattern 1..25, colour scheme 0..18, image size (the presets, then the desktop's own sizes) and
// speed 0..50. Moving a slider changes the engine state at once (a new pattern refills the
// planes). A drop-down list in the buttons' row chooses how the full-screen saver covers several
// monitors (Monitors: mirror, span, primary only, each its own); it shows the stored choice and
// changes only the one in memory. "More..." opens a small dialog of the choices beyond the
// design (TMoreDlg: cycling, random colours, fade-in), which also change only memory; the
// settings dialog takes no input while it is open and has it back, on "More...", after.
// " Save Settings" stores all six values, Monitors and the values after it; "Save Image" renders a
// still at the chosen size and opens the save-image
// dialog, one at a time; Esc (from any control), "Close" and the close box close the live view,
// which ends the program (but not an Esc pressed before "Save Image" gave the keys back:
// held_keys.h). Once both are shown the dialog is the active window, with the keys. A 30 ms
// timer keeps the dialog under the live view.
//
// Sliders follow one rule: a position set by the program is clamped to the slider's range and
// runs the slider's change handler only when it differs from the current position; every scroll
// notification of the user runs it. The pattern, colour scheme and preset handlers compare with
// the value they hold before they act; the speed handler always sets Speed.
//
// Laid out from one table of 96-DPI design rectangles, scaled to the window's DPI and laid out
// again when that changes.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/dpi.h"
#include "platform/window_proc.h"
#include "settings/dialog_frame.h"
#include "settings/export.h"
#include "settings/settings.h"

namespace lumora {

class LiveView;
class TMoreDlg;
class TOKRightDlg;
struct EngineState;

class TForm2 : public DialogFrame {
public:
    TForm2(EngineState& engine, SaverSettings& settings, LiveView& liveView);
    ~TForm2() override;

    // Creates the dialog (FormCreate runs inside, opening the live view) and shows it.
    bool Create(HINSTANCE instance);

private:
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void FormShow();
    void TimerTimer();
    void FormKeyDown(WPARAM key);
    void TrackBar1Change();
    void TrackBar2Change();
    void TrackBar3Change();
    void TrackBar4Change();
    void CheckBox1Click();
    void ComboBox1Change();
    void Button1Click();
    void Button3Click();
    void Button2Click();
    void Button4Click();
    void FormClose();

    void SaveImage();
    void ApplyImageSizePreset();
    void PlaceUnderLiveView();
    void SetUpSliders();
    void MakeFonts() override;
    HFONT FontOf(int id) const override;
    HWND FirstControl() const override;
    void PlaceControl(const ControlDesign& design) override;
    bool PreTranslate(MSG& message);
    void Command(int id, int code);
    void SliderChange(int id);
    void SetSliderPosition(int id, int value);
    int SliderPosition(int id) const;
    void SetLabel(int id, const std::wstring& text);
    void DrawButton(const DRAWITEMSTRUCT& item) const;

    EngineState& engine_;
    SaverSettings& settings_;
    LiveView& liveView_;
    ExportState export_;
    Desktop desktop_{};  // as it was when the dialog opened
    platform::Font font_;
    platform::Font listFont_;
    std::unique_ptr<TOKRightDlg> saveDialog_;
    std::unique_ptr<TMoreDlg> moreDialog_;
    std::optional<DWORD> inputBackTime_;  // when the last "Save Image" gave the keys back
};

}  // namespace lumora
