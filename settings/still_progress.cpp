#include "settings/still_progress.h"

#include <commctrl.h>

#include <string>

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraStillProgress";
constexpr wchar_t Caption[] = L"Rendering";
constexpr int DesignClientWidth = 280;
constexpr int DesignClientHeight = 72;
constexpr wchar_t FontFace[] = L"Arial";
constexpr int FontPixels = 13;
constexpr ULONGLONG QuietMilliseconds = 500;  // a still done sooner shows no progress
constexpr int BarSteps = 1000;

constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
constexpr DWORD DialogExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

enum ControlId {
    CancelBtn = IDCANCEL,
    StaticText1Rendering = 301,
    ProgressBar1,
};

constexpr ControlDesign Controls[] = {
    {StaticText1Rendering, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, 0, 280, 18, L""},
    {ProgressBar1, PROGRESS_CLASSW, 0, 0, 22, 280, 18, nullptr},
    {CancelBtn, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 205, 47, 75, 25, L"Cancel"},
};

constexpr DialogDesign Design{WindowClassName, Caption,           DialogStyle,
                              DialogExStyle,   DesignClientWidth, DesignClientHeight,
                              Controls};

}  // namespace

StillProgressWindow::StillProgressWindow(HINSTANCE instance, HWND dialog, HWND liveView, int width,
                                         int height)
    : DialogFrame(Design), width_(width), height_(height),
      start_(GetTickCount64()), held_{dialog, liveView} {
    instance_ = instance;
}

StillProgressWindow::~StillProgressWindow() {
    if (holding_)
        for (HWND window : held_) EnableWindow(window, TRUE);
    DestroyFrame();
}

bool StillProgressWindow::Continue(int piecesDone, int pieces) {
    if (!window_ && GetTickCount64() - start_ < QuietMilliseconds) return true;
    if (!window_) Show();
    if (window_) {
        SendMessageW(Control(ProgressBar1), PBM_SETPOS,
                     static_cast<WPARAM>(static_cast<long long>(piecesDone) * BarSteps / pieces),
                     0);
        PumpMessages();
    }
    return !cancelled_;
}

void StillProgressWindow::Show() {
    // The windows the user could change the still's settings in, or close, wait.
    for (HWND window : held_) EnableWindow(window, FALSE);
    holding_ = true;
    if (!CreateFrame(instance_)) return;
    RECT frame;
    GetWindowRect(window_, &frame);
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(Control(CancelBtn));
}

// Between two pieces: paint what needs it and take the user's answer.
void StillProgressWindow::PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            cancelled_ = true;
            return;
        }
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            CancelBtnClick();
            continue;
        }
        if (window_ && IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT StillProgressWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_CREATE: FormCreate(); return 0;
        case WM_COMMAND:
            if (LOWORD(wparam) == CancelBtn) CancelBtnClick();
            return 0;
        case WM_CLOSE: CancelBtnClick(); return 0;
    }
    if (LRESULT result; FrameMessage(message, wparam, lparam, result)) return result;
    return DefWindowProcW(window, message, wparam, lparam);
}

void StillProgressWindow::FormCreate() {
    CreateControls();
    LayOut();
    const std::wstring text = L"Rendering the still of " + std::to_wstring(width_) + L" x " +
                              std::to_wstring(height_) + L" pixels...";
    SetWindowTextW(Control(StaticText1Rendering), text.c_str());
    SendMessageW(Control(ProgressBar1), PBM_SETRANGE32, 0, BarSteps);
}

void StillProgressWindow::CancelBtnClick() {
    cancelled_ = true;
    if (window_) EnableWindow(Control(CancelBtn), FALSE);
}

void StillProgressWindow::MakeFonts() {
    font_ = platform::DesignFont(FontFace, FontPixels, /*bold=*/false, dpi_);
}

HWND StillProgressWindow::FirstControl() const { return Control(CancelBtn); }

}  // namespace lumora
