#include "settings/settings_dialog.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

#include "engine/domain.h"
#include "engine/engine.h"
#include "platform/handles.h"
#include "platform/message_loop.h"
#include "settings/dialog_frame.h"
#include "settings/dialog_placement.h"
#include "settings/held_keys.h"
#include "settings/live_view.h"
#include "settings/more_settings_dialog.h"
#include "settings/save_image_dialog.h"
#include "settings/still_image.h"
#include "settings/still_progress.h"
#include "settings/settings_window.h"
#include "settings/app_title.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraSettingsDialog";
constexpr wchar_t Caption[] = L"Settings";
constexpr int DesignClientWidth = 500;
constexpr int DesignClientHeight = 175;
constexpr UINT_PTR PlacementTimerId = 1;
constexpr UINT PlacementTimerInterval = 30;  // ms
// Posted at creation: it arrives once the message loop has shown the live view, the main window.
constexpr UINT FormShowMessage = WM_APP + 1;
constexpr wchar_t FontFace[] = L"Arial";
constexpr int FontPixels = 13;
constexpr int FocusInset = 4;  // design pixels between a button's edge and its focus rectangle

// A fixed single border with a caption and the close box only; always on top.
constexpr DWORD DialogStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD DialogExStyle = WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

// Each control's id carries its design name and its role.
enum ControlId {
    StaticText1PatternLabel = 101,
    CheckBox1Random,
    StaticText2SchemeLabel,
    TrackBar1Pattern,
    TrackBar2ColourScheme,
    StaticText3ImageSizeLabel,
    StaticText4SpeedLabel,
    TrackBar3ImageSize,
    TrackBar4Speed,
    Button1SaveSettings,
    Button3SaveImage,
    Button2Close,
    ComboBox1Monitors,
    Button4More,
};

constexpr DWORD LabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD CheckBoxStyle = BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP;
constexpr DWORD SliderStyle = TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS | WS_TABSTOP;
// A slider's 12 design pixels hold neither its thumb nor the ticks below it; it is made as tall
// as they need, which the 50 pixels to the next row leave room for.
constexpr int SliderHeight = 30;
constexpr DWORD ButtonStyle = BS_OWNERDRAW | WS_TABSTOP;
// The monitors' choice sits in the free space of the buttons' row, 5 pixels from Save Image and
// from Close, wide enough for "Each monitor its own" beside its arrow. A drop-down list's height is
// that of its list when open; closed, it is as tall as its font needs and fits the row.
constexpr DWORD ComboBoxStyle = CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL;
constexpr int ComboBoxOpenHeight = 100;
// In the order of the stored Monitors values 0..3.
constexpr const wchar_t* MonitorsChoices[] = {L"Mirror monitors", L"Span monitors", L"Primary only",
                                              L"Each monitor its own"};

// The design, in creation order (which is the tab order).
constexpr ControlDesign Controls[] = {
    {StaticText1PatternLabel, WC_STATICW, LabelStyle, 7, 0, 103, 20, L"Lumora image"},
    {CheckBox1Random, WC_BUTTONW, CheckBoxStyle, 170, 1, 84, 17, L"Random"},
    {StaticText2SchemeLabel, WC_STATICW, LabelStyle, 277, 0, 59, 20, L"Lumora"},
    {TrackBar1Pattern, TRACKBAR_CLASSW, SliderStyle, 0, 24, 260, SliderHeight, nullptr},
    {TrackBar2ColourScheme, TRACKBAR_CLASSW, SliderStyle, 270, 24, 230, SliderHeight, nullptr},
    {StaticText3ImageSizeLabel, WC_STATICW, LabelStyle, 7, 76, 73, 20, L"Image size"},
    {StaticText4SpeedLabel, WC_STATICW, LabelStyle, 277, 76, 45, 20, L"Speed"},
    {TrackBar3ImageSize, TRACKBAR_CLASSW, SliderStyle, 0, 100, 260, SliderHeight, nullptr},
    {TrackBar4Speed, TRACKBAR_CLASSW, SliderStyle, 270, 100, 230, SliderHeight, nullptr},
    {Button1SaveSettings, WC_BUTTONW, ButtonStyle, 7, 150, 120, 25, L" Save Settings"},
    {Button3SaveImage, WC_BUTTONW, ButtonStyle, 140, 150, 120, 25, L"Save Image"},
    {ComboBox1Monitors, WC_COMBOBOXW, ComboBoxStyle, 265, 151, 150, ComboBoxOpenHeight, nullptr},
    {Button2Close, WC_BUTTONW, ButtonStyle, 420, 150, 75, 25, L"Close"},
    // The choices beyond the design, in a dialog of their own; in the free space right of the
    // speed's label, reached last by Tab.
    {Button4More, WC_BUTTONW, ButtonStyle, 420, 73, 75, 25, L"More..."},
};

struct SliderRange {
    int id;
    int min;
    int max;
};
// The image-size slider offers every preset and then the desktop's own sizes; its end follows
// the monitors (SetUpSliders).
constexpr SliderRange SliderRanges[] = {
    {TrackBar1Pattern, FirstPattern, LastPattern},
    {TrackBar2ColourScheme, FirstColourScheme, LastColourScheme},
    {TrackBar3ImageSize, 1, DisplayEntry},
    {TrackBar4Speed, MinSpeed, MaxSpeed}};
constexpr int DesignSliderPosition = 1;

constexpr DialogDesign Design{WindowClassName, Caption,           DialogStyle,
                              DialogExStyle,   DesignClientWidth, DesignClientHeight,
                              Controls};

bool IsLabel(int id) {
    return id == StaticText1PatternLabel || id == StaticText2SchemeLabel ||
           id == StaticText3ImageSizeLabel || id == StaticText4SpeedLabel;
}

// The desktop as it is now: the primary display, and the rectangle around all monitors.
Desktop CurrentDesktop() {
    return {{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
            {GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)},
            GetSystemMetrics(SM_CMONITORS)};
}

// True while the user moves or sizes a window of this thread (the live view, say).
bool InMoveOrSize() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & GUI_INMOVESIZE);
}

}  // namespace

TForm2::TForm2(EngineState& engine, SaverSettings& settings, LiveView& liveView)
    : DialogFrame(Design), engine_(engine), settings_(settings), liveView_(liveView) {}

TForm2::~TForm2() {
    moreDialog_.reset();
    saveDialog_.reset();
    DestroyFrame();
}

bool TForm2::Create(HINSTANCE instance) {
    INITCOMMONCONTROLSEX classes{sizeof classes,
                                 ICC_BAR_CLASSES | ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&classes);
    if (!CreateFrame(instance)) return false;
    ShowWindow(window_, SW_SHOWNOACTIVATE);  // shown as soon as its creation is complete
    PostMessageW(window_, FormShowMessage, 0, 0);
    return true;
}

LRESULT TForm2::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_CREATE: FormCreate(); return 0;
        case FormShowMessage: FormShow(); return 0;
        case WM_TIMER: TimerTimer(); return 0;
        case WM_HSCROLL: SliderChange(GetDlgCtrlID(reinterpret_cast<HWND>(lparam))); return 0;
        case WM_COMMAND: Command(LOWORD(wparam), HIWORD(wparam)); return 0;
        case WM_DRAWITEM: DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); return TRUE;
        case WM_CTLCOLORBTN: return ColourOnSilver(reinterpret_cast<HDC>(wparam), Background());
        case WM_CLOSE: FormClose(); return 0;
        case WM_DESTROY: KillTimer(window_, PlacementTimerId); return 0;
        case platform::PreTranslateMessageId: return PreTranslate(*reinterpret_cast<MSG*>(lparam));
    }
    if (LRESULT result; FrameMessage(message, wparam, lparam, result)) return result;
    return DefWindowProcW(window, message, wparam, lparam);
}

void TForm2::FormCreate() {
    CreateControls();
    SetUpSliders();
    for (const wchar_t* choice : MonitorsChoices)
        SendMessageW(Control(ComboBox1Monitors), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    LayOut();
    // The saver window is created from inside this creation, so it is complete first and
    // becomes the main window: closing it ends the program.
    liveView_.Open(instance_);
    PlaceUnderLiveView();
    const bool checked = settings_.Rands;
    SendMessageW(Control(CheckBox1Random), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (checked) CheckBox1Click();  // the box ran its handler: its state changed
    SetLabel(StaticText1PatternLabel, PatternLabel(engine_.Pattern));
    SetLabel(StaticText2SchemeLabel,
             ColourSchemeLabel(engine_.ColourScheme, TextOf(Control(StaticText2SchemeLabel))));
    SetSliderPosition(TrackBar1Pattern, engine_.Pattern);
    SetSliderPosition(TrackBar2ColourScheme, engine_.ColourScheme);
    SetSliderPosition(TrackBar3ImageSize, settings_.Wall);
    SetSliderPosition(TrackBar4Speed, engine_.Speed);
    ApplyImageSizePreset();
    SendMessageW(Control(ComboBox1Monitors), CB_SETCURSEL, static_cast<WPARAM>(settings_.Monitors),
                 0);
    export_.ImageNumber = 1;
    SetTimer(window_, PlacementTimerId, PlacementTimerInterval, nullptr);
}

// The keys go to the dialog, where the choices are, not to the live view that the message loop
// showed (and so activated) last: Tab then walks the dialog's controls from the first.
void TForm2::FormShow() { SetForegroundWindow(window_); }

void TForm2::SetUpSliders() {
    desktop_ = CurrentDesktop();
    for (const SliderRange& range : SliderRanges) {
        const HWND slider = Control(range.id);
        const int max = range.id == TrackBar3ImageSize ? LastImageSizeEntry(desktop_) : range.max;
        SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(range.min, max));
        SendMessageW(slider, TBM_SETTICFREQ, 1, 0);
        SendMessageW(slider, TBM_SETPOS, TRUE, DesignSliderPosition);
    }
}

// The monitors' list in the regular weight: its longest choice fits the design's width so.
void TForm2::MakeFonts() {
    font_ = platform::DesignFont(FontFace, FontPixels, /*bold=*/true, dpi_);
    listFont_ = platform::DesignFont(FontFace, FontPixels, /*bold=*/false, dpi_);
}

HFONT TForm2::FontOf(int id) const {
    return id == ComboBox1Monitors ? listFont_.get() : font_.get();
}

HWND TForm2::FirstControl() const { return Control(CheckBox1Random); }

void TForm2::PlaceControl(const ControlDesign& design) {
    if (IsLabel(design.id))
        SetLabel(design.id, TextOf(Control(design.id)));
    else
        DialogFrame::PlaceControl(design);
}

// A label is as wide as its design, or as its caption when that is longer.
void TForm2::SetLabel(int id, const std::wstring& text) {
    const HWND label = Control(id);
    SetWindowTextW(label, text.c_str());
    const ControlDesign& design = DesignOf(id);
    const RECT rect = DesignRect(design, dpi_);
    const int width =
        std::max<int>(rect.right - rect.left, TextWidth(label, font_.get(), text.c_str()));
    PlaceDesignedControl(window_, design, dpi_, font_.get(), width);
}

bool TForm2::PreTranslate(MSG& message) {
    // Key preview: the form sees each key before the focused control does, except an Esc that
    // closes an open drop-down list: that one closes the list alone. An Esc pressed while a
    // still held the dialog is dropped: it was not meant for the dialog's end.
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && !ControlTakesKey(message)) {
        if (!inputBackTime_ || PressedAfterInputBack(message.time, *inputBackTime_))
            FormKeyDown(message.wParam);
        return true;
    }
    return IsDialogMessageW(window_, &message);
}

void TForm2::Command(int id, int code) {
    if (id == ComboBox1Monitors) {
        if (code == CBN_SELCHANGE) ComboBox1Change();
        return;
    }
    const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;
    if (!clicked) return;
    switch (id) {
        case CheckBox1Random: CheckBox1Click(); break;
        case Button1SaveSettings: Button1Click(); break;
        case Button3SaveImage: Button3Click(); break;
        case Button2Close: Button2Click(); break;
        case Button4More: Button4Click(); break;
    }
}

void TForm2::SliderChange(int id) {
    switch (id) {
        case TrackBar1Pattern: TrackBar1Change(); break;
        case TrackBar2ColourScheme: TrackBar2Change(); break;
        case TrackBar3ImageSize: TrackBar3Change(); break;
        case TrackBar4Speed: TrackBar4Change(); break;
    }
}

int TForm2::SliderPosition(int id) const {
    return static_cast<int>(SendMessageW(Control(id), TBM_GETPOS, 0, 0));
}

void TForm2::SetSliderPosition(int id, int value) {
    const HWND slider = Control(id);
    const int min = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0));
    const int max = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
    const int clamped = std::clamp(value, min, max);
    if (clamped == SliderPosition(id)) return;
    SendMessageW(slider, TBM_SETPOS, TRUE, clamped);
    SliderChange(id);
}

void TForm2::TimerTimer() { PlaceUnderLiveView(); }

// Centred under the live view, 2 pixels below it, where the two fit on the live view's monitor;
// moved up together, or overlapping, where they do not (outer sizes, borders included). While
// the user drags the live view only the dialog follows; the pair is placed again after the drag.
void TForm2::PlaceUnderLiveView() {
    const HWND live = liveView_.Handle();
    RECT liveRect, dialogRect;
    if (!live || !GetWindowRect(live, &liveRect) || !GetWindowRect(window_, &dialogRect)) return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(live, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const DialogPlacement placement = PlaceDialogUnderLiveView(
        platform::ScreenRectOf(liveRect), dialogRect.right - dialogRect.left,
        dialogRect.bottom - dialogRect.top, platform::ScreenRectOf(monitor.rcWork),
        /*moveLiveView=*/!InMoveOrSize());
    if (placement.liveTop != liveRect.top)
        SetWindowPos(live, nullptr, placement.liveLeft, placement.liveTop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (placement.dialogLeft != dialogRect.left || placement.dialogTop != dialogRect.top)
        SetWindowPos(window_, nullptr, placement.dialogLeft, placement.dialogTop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm2::FormKeyDown(WPARAM key) {
    if (key == VK_ESCAPE) liveView_.Close();
}

void TForm2::TrackBar1Change() {
    const int position = SliderPosition(TrackBar1Pattern);
    if (position == engine_.Pattern) return;
    engine_.Pattern = position;
    SetLabel(StaticText1PatternLabel, PatternLabel(position));
    liveView_.RefillField();
}

void TForm2::TrackBar2Change() {
    const int position = SliderPosition(TrackBar2ColourScheme);
    if (position == engine_.ColourScheme) return;
    engine_.ColourScheme = position;
    SetLabel(StaticText2SchemeLabel,
             ColourSchemeLabel(position, TextOf(Control(StaticText2SchemeLabel))));
}

void TForm2::TrackBar3Change() {
    const int position = SliderPosition(TrackBar3ImageSize);
    if (position == settings_.Wall) return;
    settings_.Wall = position;
    ApplyImageSizePreset();
}

void TForm2::TrackBar4Change() { engine_.Speed = SliderPosition(TrackBar4Speed); }

void TForm2::ComboBox1Change() {
    const auto choice = SendMessageW(Control(ComboBox1Monitors), CB_GETCURSEL, 0, 0);
    if (choice != CB_ERR) settings_.Monitors = MonitorsModeFromStored(static_cast<int32_t>(choice));
}

void TForm2::CheckBox1Click() {
    settings_.Rands = SendMessageW(Control(CheckBox1Random), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TForm2::ApplyImageSizePreset() {
    SetLabel(StaticText3ImageSizeLabel,
             lumora::ApplyImageSizePreset(export_, settings_.Wall, desktop_));
}

void TForm2::Button1Click() { SaveSettingsForWindow(engine_, settings_, window_); }

void TForm2::Button3Click() {
    SaveImage();
    // The still and whatever followed it ran on this thread: the dialog takes keys from now on.
    inputBackTime_ = GetTickCount();
}

void TForm2::SaveImage() {
    // One save-image dialog at a time: the engine belongs to the still until it is left.
    if (saveDialog_ && saveDialog_->IsOpen()) {
        saveDialog_->BringToFront();
        return;
    }
    if (export_.ImageWidth < 1 || export_.ImageHeight < 1) {
        MessageBoxW(window_,
                    L"There is no image size yet. Choose one with the Image Size slider, then "
                    L"press Save Image again.",
                    ApplicationTitle, MB_ICONINFORMATION | MB_OK);
        return;
    }
    saveDialog_.reset();  // a dialog left earlier, and its still, go before the next still
    auto still =
        std::make_unique<StillImage>(engine_, liveView_, export_.ImageWidth, export_.ImageHeight);
    StillResult result;
    {
        platform::BusyCursor busy;
        StillProgressWindow progress(instance_, window_, liveView_.Handle(), export_.ImageWidth,
                                     export_.ImageHeight);
        result = still->Render(progress);
    }
    if (result != StillResult::Rendered) {
        still.reset();  // the live view comes back before the message waits for the user
        if (result == StillResult::NoMemory)
            MessageBoxW(window_,
                        (L"There is not enough memory for a still of " +
                         std::to_wstring(export_.ImageWidth) + L" x " +
                         std::to_wstring(export_.ImageHeight) +
                         L" pixels. Nothing was saved. Choose a smaller Image Size.")
                            .c_str(),
                        ApplicationTitle, MB_ICONERROR | MB_OK);
        return;
    }
    saveDialog_ = std::make_unique<TOKRightDlg>(settings_, export_, std::move(still));
    if (!saveDialog_->Create(instance_, window_, Control(Button3SaveImage))) saveDialog_.reset();
}

void TForm2::Button2Click() { liveView_.Close(); }

// One "More..." dialog at a time, modal to this one; each opening shows the settings in memory
// as they are now.
void TForm2::Button4Click() {
    if (moreDialog_ && moreDialog_->IsOpen()) {
        moreDialog_->BringToFront();
        return;
    }
    moreDialog_.reset();
    moreDialog_ = std::make_unique<TMoreDlg>(settings_);
    if (!moreDialog_->Create(instance_, window_, Control(Button4More))) moreDialog_.reset();
}

void TForm2::FormClose() {
    liveView_.Close();
    if (window_) ShowWindow(window_, SW_HIDE);
}

// The buttons carry their captions in the dark 3D shadow colour, on the desktop's own button.
void TForm2::DrawButton(const DRAWITEMSTRUCT& item) const {
    RECT rect = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    const bool focused = item.itemState & ODS_FOCUS;
    FillRect(item.hDC, &rect, Background());
    const platform::ThemeData theme(item.hwndItem, L"BUTTON");
    if (theme.get()) {
        const int state = pressed ? PBS_PRESSED : focused ? PBS_DEFAULTED : PBS_NORMAL;
        DrawThemeBackground(theme.get(), item.hDC, BP_PUSHBUTTON, state, &rect, nullptr);
    } else {
        DrawFrameControl(item.hDC, &rect, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    const std::wstring caption = TextOf(item.hwndItem);
    {
        const platform::SelectedObject font(item.hDC, font_.get());
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(COLOR_3DSHADOW));
        RECT text = rect;
        if (pressed) OffsetRect(&text, 1, 1);
        DrawTextW(item.hDC, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    if (focused) {
        const int inset = platform::Scale(FocusInset, dpi_);
        InflateRect(&rect, -inset, -inset);
        DrawFocusRect(item.hDC, &rect);
    }
}

}  // namespace lumora
