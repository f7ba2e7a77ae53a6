#include "settings/more_settings_dialog.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "platform/message_loop.h"
#include "settings/app_title.h"
#include "settings/settings.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraMoreSettingsDialog";
constexpr wchar_t Caption[] = L"More Settings";
constexpr int DesignClientWidth = 320;
constexpr int DesignClientHeight = 110;
constexpr wchar_t FontFace[] = L"Arial";
constexpr int FontPixels = 13;

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
constexpr DWORD DialogExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

enum ControlId {
    OKBtn = IDOK,
    CancelBtn = IDCANCEL,
    StaticText1EveryLabel = 301,
    EditMinutes,
    UpDownMinutes,
    StaticText2MinutesLabel,
    CheckBox1RandomColours,
    CheckBox2FadeIn,
};

constexpr DWORD LabelStyle = SS_LEFT | SS_NOPREFIX;
constexpr DWORD UpDownStyle = UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;

// The design, in creation order (which is the tab order).
constexpr ControlDesign Controls[] = {
    {StaticText1EveryLabel, WC_STATICW, LabelStyle, 0, 4, 140, 18, L"Another pattern every"},
    {EditMinutes, WC_EDITW, ES_NUMBER | ES_RIGHT | WS_TABSTOP, 145, 0, 40, 22, L"0",
     WS_EX_CLIENTEDGE},
    {UpDownMinutes, UPDOWN_CLASSW, UpDownStyle, 185, 0, 16, 22, nullptr},
    {StaticText2MinutesLabel, WC_STATICW, LabelStyle, 206, 4, 114, 18, L"minutes (0: never)"},
    {CheckBox1RandomColours, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 32, 320, 18,
     L"A random colour scheme at every start"},
    {CheckBox2FadeIn, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP, 0, 56, 320, 18,
     L"Fade in from the desktop"},
    {OKBtn, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 160, 85, 75, 25, L"OK"},
    {CancelBtn, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 245, 85, 75, 25, L"Cancel"},
};

constexpr DialogDesign Design{WindowClassName, Caption,           DialogStyle,
                              DialogExStyle,   DesignClientWidth, DesignClientHeight,
                              Controls};

void SetCheck(HWND box, bool checked) {
    SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

}  // namespace

TMoreDlg::TMoreDlg(SaverSettings& settings) : DialogFrame(Design), settings_(settings) {}

TMoreDlg::~TMoreDlg() {
    if (IsOpen() && owner_) EnableWindow(owner_, TRUE);
    DestroyFrame();
}

bool TMoreDlg::Create(HINSTANCE instance, HWND owner, HWND returnFocus) {
    owner_ = owner;
    returnFocus_ = returnFocus;
    if (!CreateFrame(instance, owner)) return false;
    CentreOver(owner);
    ShowWindow(window_, SW_SHOW);
    if (owner_) EnableWindow(owner_, FALSE);
    SetFocus(Control(EditMinutes));
    SendMessageW(Control(EditMinutes), EM_SETSEL, 0, -1);
    return true;
}

void TMoreDlg::BringToFront() {
    SetForegroundWindow(window_);
    BringWindowToTop(window_);
}

LRESULT TMoreDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_CREATE: FormCreate(); return 0;
        case WM_COMMAND: Command(LOWORD(wparam), HIWORD(wparam)); return 0;
        case DM_GETDEFID: return MAKELRESULT(OKBtn, DC_HASDEFID);
        case WM_CLOSE: CancelBtnClick(); return 0;
        case platform::PreTranslateMessageId:
            return IsDialogMessageW(window_, reinterpret_cast<MSG*>(lparam));
    }
    if (LRESULT result; FrameMessage(message, wparam, lparam, result)) return result;
    return DefWindowProcW(window, message, wparam, lparam);
}

void TMoreDlg::FormCreate() {
    CreateControls();
    const HWND upDown = Control(UpDownMinutes);
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Control(EditMinutes)), 0);
    SendMessageW(upDown, UDM_SETRANGE32, CycleMinutesValue.lowest, CycleMinutesValue.highest);
    LayOut();
    SendMessageW(upDown, UDM_SETPOS32, 0, settings_.CycleMinutes);
    SetCheck(Control(CheckBox1RandomColours), settings_.RandomColours);
    SetCheck(Control(CheckBox2FadeIn), settings_.FadeIn);
}

void TMoreDlg::MakeFonts() {
    font_ = platform::DesignFont(FontFace, FontPixels, /*bold=*/false, dpi_);
}

HWND TMoreDlg::FirstControl() const { return Control(EditMinutes); }

// The arrows stay at the design's place beside the field: the buddy is set again after every
// layout, without letting the control move itself.
void TMoreDlg::LaidOut() {
    SendMessageW(Control(UpDownMinutes), UDM_SETBUDDY,
                 reinterpret_cast<WPARAM>(Control(EditMinutes)), 0);
}

void TMoreDlg::Command(int id, int code) {
    const bool clicked = code == BN_CLICKED || code == BN_DOUBLECLICKED;
    if (id == OKBtn && clicked) OKBtnClick();
    if (id == CancelBtn && clicked) CancelBtnClick();
}

void TMoreDlg::OKBtnClick() {
    const std::optional<int32_t> minutes = CycleMinutesFromText(TextOf(Control(EditMinutes)));
    if (!minutes) {
        RefuseMinutes();
        return;
    }
    settings_.CycleMinutes = *minutes;
    settings_.RandomColours = Checked(Control(CheckBox1RandomColours));
    settings_.FadeIn = Checked(Control(CheckBox2FadeIn));
    Leave();
}

void TMoreDlg::CancelBtnClick() { Leave(); }

// Nothing is taken: the field keeps the text, selected, for the user to mend.
void TMoreDlg::RefuseMinutes() {
    const std::wstring text = L"The minutes between patterns must be a whole number from " +
                              std::to_wstring(CycleMinutesValue.lowest) + L" to " +
                              std::to_wstring(CycleMinutesValue.highest) + L" (0: never).";
    MessageBoxW(window_, text.c_str(), ApplicationTitle, MB_ICONWARNING | MB_OK);
    SetFocus(Control(EditMinutes));
    SendMessageW(Control(EditMinutes), EM_SETSEL, 0, -1);
}

// The owner takes input again before the dialog hides, so that it is the window activated
// next, not another program's; then it is made active with the focus where it was.
void TMoreDlg::Leave() {
    if (!IsOpen()) return;
    if (owner_) EnableWindow(owner_, TRUE);
    ShowWindow(window_, SW_HIDE);
    if (!owner_) return;
    SetForegroundWindow(owner_);
    if (returnFocus_) SetFocus(returnFocus_);
}

void TMoreDlg::CentreOver(HWND over) {
    RECT frame, target;
    GetWindowRect(window_, &frame);
    if (!over || !GetWindowRect(over, &target))
        target = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const int left = (target.left + target.right - (frame.right - frame.left)) / 2;
    const int top = (target.top + target.bottom - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace lumora
