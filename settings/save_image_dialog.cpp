#include "settings/save_image_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "platform/gdiplus.h"
#include "platform/handles.h"
#include "platform/image_file.h"
#include "platform/message_loop.h"
#include "platform/wallpaper.h"
#include "settings/dialog_frame.h"
#include "settings/export.h"
#include "settings/image_name.h"
#include "settings/settings.h"
#include "settings/settings_window.h"
#include "settings/still_image.h"
#include "settings/app_title.h"

namespace lumora {
namespace {

constexpr wchar_t WindowClassName[] = L"LumoraSaveImageDialog";
constexpr wchar_t Caption[] = L"Save Image";
constexpr int DesignClientWidth = 399;
constexpr int DesignClientHeight = 220;
constexpr wchar_t FontFace[] = L"Arial";
constexpr int FontPixels = 13;
constexpr int BoldFontPixels = 16;
constexpr int ItemHeight = 16;
constexpr int IndentPerLevel = 8;  // design pixels of the directory list's indent per level
constexpr int ItemMargin = 2;      // design pixels left of an entry at depth 0
constexpr int IconGap = 3;
constexpr int SmallIconSize = 16;
constexpr char BmpMimeType[] = "image/bmp";
constexpr char PngMimeType[] = "image/png";
constexpr wchar_t DefaultNameStem[] = L"Lumora";

// A dialog border: fixed size, caption, close box; always on top.
constexpr DWORD DialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPCHILDREN;
constexpr DWORD DialogExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Each control's id carries its design name and its role.
enum ControlId {
    OKBtnSave = IDOK,
    CancelBtn = IDCANCEL,
    EditName = 201,
    DirectoryListBox1,
    FileListBox1,
    StaticText1NameLabel,
    StaticText2FormatLabel,
    RadioButton1Bmp,
    RadioButton2Png,
    CheckBox1Wallpaper,
};

constexpr DWORD ListStyle = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;

// The design, in creation order (which is the tab order: the name field first).
constexpr ControlDesign Controls[] = {
    {EditName, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP, 56, 1, 241, 24, ImageFileMask,
     WS_EX_CLIENTEDGE},
    {OKBtnSave, WC_BUTTONW, BS_DEFPUSHBUTTON | WS_TABSTOP, 324, 1, 75, 25, L"Save"},
    {CancelBtn, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP, 324, 30, 75, 25, L"Cancel"},
    {DirectoryListBox1, WC_LISTBOXW, ListStyle | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS, 0, 40, 145,
     180, nullptr, WS_EX_CLIENTEDGE},
    {FileListBox1, WC_LISTBOXW, ListStyle | LBS_SORT, 152, 40, 145, 180, nullptr, WS_EX_CLIENTEDGE},
    {RadioButton1Bmp, WC_BUTTONW, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 312, 88, 80, 18,
     L"BMP"},
    {RadioButton2Png, WC_BUTTONW, BS_AUTORADIOBUTTON, 312, 108, 80, 18, L"PNG"},
    {CheckBox1Wallpaper, WC_BUTTONW,
     BS_AUTOCHECKBOX | BS_MULTILINE | BS_TOP | WS_GROUP | WS_TABSTOP, 304, 140, 95, 46,
     L"Set as desktop background"},
    {StaticText1NameLabel, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, 0, 48, 23, L"Name"},
    {StaticText2FormatLabel, WC_STATICW, SS_LEFT | SS_NOPREFIX, 304, 68, 95, 18, L"Format"},
};

constexpr DialogDesign Design{WindowClassName, Caption,           DialogStyle,
                              DialogExStyle,   DesignClientWidth, DesignClientHeight,
                              Controls};

bool UsesBoldFont(int id) {
    return id == OKBtnSave || id == CancelBtn || id == StaticText1NameLabel;
}

std::wstring CurrentDirectory() {
    std::wstring directory(GetCurrentDirectoryW(0, nullptr), L'\0');
    directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
    return directory;
}

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(GetFullPathNameW(path.c_str(), 0, nullptr, nullptr), L'\0');
    if (full.empty()) return path;
    full.resize(
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    return full;
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name) {
    if (!directory.empty() && (directory.back() == L'\\' || directory.back() == L'/'))
        return directory + name;
    return directory + L"\\" + name;
}

bool LessIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

// The names in a directory that match the pattern: directories, or plain files.
std::vector<std::wstring> ListDirectory(const std::wstring& directory, const wchar_t* pattern,
                                        bool directories) {
    std::vector<std::wstring> names;
    for (platform::FileSearch search(JoinPath(directory, pattern).c_str()); search.current();
         search.Next()) {
        const WIN32_FIND_DATAW& found = *search.current();
        const std::wstring name = found.cFileName;
        const bool isDirectory = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (isDirectory != directories || name == L"." || name == L"..") continue;
        if (directories && (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)) continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end(), LessIgnoringCase);
    return names;
}

// The shell's folder icon, closed or open, in its system image list.
struct FolderIcon {
    HIMAGELIST list = nullptr;
    int index = 0;
};
FolderIcon ShellFolderIcon(bool open, bool large) {
    SHFILEINFOW info{};
    const UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES |
                       (large ? SHGFI_LARGEICON : SHGFI_SMALLICON) | (open ? SHGFI_OPENICON : 0);
    const auto list = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info, flags));
    return {list, info.iIcon};
}

}  // namespace

TOKRightDlg::TOKRightDlg(SaverSettings& settings, ExportState& export_,
                         std::unique_ptr<StillImage> still)
    : DialogFrame(Design), settings_(settings), export_(export_), still_(std::move(still)) {}

TOKRightDlg::~TOKRightDlg() {
    DestroyFrame();
    still_.reset();
}

bool TOKRightDlg::Create(HINSTANCE instance, HWND returnTo, HWND returnFocus) {
    returnTo_ = returnTo;
    returnFocus_ = returnFocus;
    return CreateFrame(instance);
}

void TOKRightDlg::BringToFront() {
    SetForegroundWindow(window_);
    BringWindowToTop(window_);
}

LRESULT TOKRightDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = window_;
    switch (message) {
        case WM_CREATE: FormCreate(); return 0;
        case WM_COMMAND: Command(LOWORD(wparam), HIWORD(wparam)); return 0;
        case WM_MEASUREITEM:
            MeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_DRAWITEM:
            DrawDirectoryItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case DM_GETDEFID: return MAKELRESULT(OKBtnSave, DC_HASDEFID);
        case WM_CLOSE: FormClose(); return 0;
        case platform::PreTranslateMessageId:
            return IsDialogMessageW(window_, reinterpret_cast<MSG*>(lparam));
    }
    if (LRESULT result; FrameMessage(message, wparam, lparam, result)) return result;
    return DefWindowProcW(window, message, wparam, lparam);
}

void TOKRightDlg::FormCreate() {
    CreateControls();
    LayOut();
    ReadImageDirectoryForWindow(settings_, window_);
    ReadStillOptionsForWindow(settings_);
    CheckRadioButton(window_, RadioButton1Bmp, RadioButton2Png,
                     settings_.Png ? RadioButton2Png : RadioButton1Bmp);
    SendMessageW(Control(CheckBox1Wallpaper), BM_SETCHECK,
                 settings_.Wallpaper ? BST_CHECKED : BST_UNCHECKED, 0);
    CentreOnScreen();
    ShowWindow(window_, SW_SHOW);
    // A directory that cannot be entered leaves the lists at the current directory.
    if (!EnterDirectory(settings_.Path_Wall)) {
        directory_ = CurrentDirectory();
        FillDirectoryList();
        FillFileList();
    }
    SetName(DefaultNameStem + std::to_wstring(export_.ImageNumber));
    SetFocus(Control(EditName));
}

void TOKRightDlg::MakeFonts() {
    font_ = platform::DesignFont(FontFace, FontPixels, /*bold=*/false, dpi_);
    boldFont_ = platform::DesignFont(FontFace, BoldFontPixels, /*bold=*/true, dpi_);
}

HFONT TOKRightDlg::FontOf(int id) const { return UsesBoldFont(id) ? boldFont_.get() : font_.get(); }

HWND TOKRightDlg::FirstControl() const { return Control(EditName); }

// A font sets a list's item height anew; the design's comes after it.
void TOKRightDlg::LaidOut() {
    const int itemHeight = platform::Scale(ItemHeight, dpi_);
    SendMessageW(Control(DirectoryListBox1), LB_SETITEMHEIGHT, 0, itemHeight);
    SendMessageW(Control(FileListBox1), LB_SETITEMHEIGHT, 0, itemHeight);
}

void TOKRightDlg::CentreOnScreen() {
    RECT frame;
    GetWindowRect(window_, &frame);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2;
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TOKRightDlg::Command(int id, int code) {
    if (id == OKBtnSave && (code == BN_CLICKED || code == BN_DOUBLECLICKED)) OKBtnClick();
    if (id == CancelBtn && (code == BN_CLICKED || code == BN_DOUBLECLICKED)) CancelBtnClick();
    if (id == DirectoryListBox1 && code == LBN_DBLCLK) DirectoryListBox1DblClick();
    if (id == FileListBox1 && code == LBN_SELCHANGE) FileListBox1Change();
    if ((id == RadioButton1Bmp || id == RadioButton2Png) && code == BN_CLICKED) RadioButtonClick();
}

bool TOKRightDlg::EnterDirectory(const std::wstring& directory) {
    if (directory.empty() || !SetCurrentDirectoryW(directory.c_str())) return false;
    directory_ = CurrentDirectory();
    FillDirectoryList();
    FillFileList();
    return true;
}

void TOKRightDlg::FillDirectoryList() {
    entries_.clear();
    const std::vector<DirectoryLink> chain = DirectoryChain(directory_);
    for (size_t i = 0; i < chain.size(); ++i)
        entries_.push_back({chain[i].path, chain[i].name, static_cast<int>(i), true});
    for (const std::wstring& name : ListDirectory(directory_, L"*", /*directories=*/true))
        entries_.push_back(
            {JoinPath(directory_, name), name, static_cast<int>(chain.size()), false});
    const HWND list = Control(DirectoryListBox1);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const DirectoryEntry& entry : entries_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.name.c_str()));
    SendMessageW(list, LB_SETCURSEL, chain.empty() ? 0 : chain.size() - 1, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void TOKRightDlg::FillFileList() {
    const HWND list = Control(FileListBox1);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const ImageFormat format : {ImageFormat::Bmp, ImageFormat::Png})
        for (const std::wstring& name :
             ListDirectory(directory_, ImageFileMaskOf(format), /*directories=*/false))
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    FileListBox1Change();
}

void TOKRightDlg::DirectoryListBox1DblClick() {
    const LRESULT selected = SendMessageW(Control(DirectoryListBox1), LB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<size_t>(selected) >= entries_.size()) return;
    const std::wstring path = entries_[static_cast<size_t>(selected)].path;  // the list is refilled
    if (!EnterDirectory(path)) FillDirectoryList();  // back to where it was, selection included
}

// The selected file's name, or the mask when none is selected; selected in the field.
void TOKRightDlg::FileListBox1Change() {
    const HWND list = Control(FileListBox1);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    std::wstring name = ImageFileMaskOf(Format());
    if (selected >= 0) {
        name.assign(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, selected, 0)) + 1, L'\0');
        name.resize(static_cast<size_t>(
            SendMessageW(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(name.data()))));
        // A picked still is saved again in its own format, under its own name.
        for (const ImageFormat format : {ImageFormat::Bmp, ImageFormat::Png})
            if (HasImageExtension(name, format)) SetFormat(format);
    }
    SetName(name);
}

ImageFormat TOKRightDlg::Format() const {
    return IsDlgButtonChecked(window_, RadioButton2Png) == BST_CHECKED ? ImageFormat::Png
                                                                       : ImageFormat::Bmp;
}

void TOKRightDlg::SetFormat(ImageFormat format) {
    CheckRadioButton(window_, RadioButton1Bmp, RadioButton2Png,
                     format == ImageFormat::Png ? RadioButton2Png : RadioButton1Bmp);
}

// The mask in the name field follows the format.
void TOKRightDlg::RadioButtonClick() {
    const std::wstring name = TextOf(Control(EditName));
    if (name == ImageFileMask || name == PngFileMask) SetName(ImageFileMaskOf(Format()));
}

void TOKRightDlg::SetName(const std::wstring& name) {
    const HWND edit = Control(EditName);
    SetWindowTextW(edit, name.c_str());
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

void TOKRightDlg::Tell(const std::wstring& message, UINT icon) const {
    MessageBoxW(window_, message.c_str(), ApplicationTitle, icon | MB_OK);
}

void TOKRightDlg::OKBtnClick() {
    // A click that arrives after the dialog has gone (a quick double click, a tool's clicks) has
    // no still to save.
    if (!IsOpen() || !still_) return;
    // The directory is remembered first, whether or not the file can be written.
    if (directory_ != settings_.Path_Wall) {
        settings_.Path_Wall = directory_;
        WriteImageDirectoryForWindow(settings_, window_);
    }
    // So are the format and the background choice.
    const bool png = Format() == ImageFormat::Png;
    const bool wallpaper = IsDlgButtonChecked(window_, CheckBox1Wallpaper) == BST_CHECKED;
    if (png != settings_.Png || wallpaper != settings_.Wallpaper) {
        settings_.Png = png;
        settings_.Wallpaper = wallpaper;
        WriteStillOptionsForWindow(settings_, window_);
    }
    const std::wstring name = TextOf(Control(EditName));
    CLSID encoder{};
    const bool haveEncoder =
        platform::FindImageEncoder(png ? PngMimeType : BmpMimeType, encoder) >= 0;
    const ImageFileName file = ImageFilePath(name, Format());
    if (file.problem != ImageNameProblem::None) {
        Tell(ImageNameProblemText(file.problem), MB_ICONWARNING);
        SetFocus(Control(EditName));
        return;
    }
    const std::wstring path = FullPath(file.path);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        Tell(path + L"\n\nThis is a folder. Type another name for the image.", MB_ICONWARNING);
        return;
    }
    if (exists &&
        MessageBoxW(window_, (path + L" already exists.\n\nDo you want to replace it?").c_str(),
                    ApplicationTitle, MB_ICONWARNING | MB_YESNO | MB_DEFBUTTON2) != IDYES)
        return;
    platform::Outcome saved =
        platform::Outcome::Failed(png ? L"The imaging library has no PNG encoder."
                                      : L"The imaging library has no BMP encoder.");
    if (haveEncoder) {
        platform::BusyCursor busy;
        saved = platform::SaveImageFile(still_->frame().view(), path, encoder, exists);
    }
    if (!saved) {
        Tell(L"The image could not be saved as\n" + path + L"\n\n" + saved.reason(), MB_ICONERROR);
        return;
    }
    ++export_.ImageNumber;
    if (wallpaper) {
        const platform::Outcome background = platform::SetDesktopWallpaper(
            path,
            export_.SpansDesktop ? platform::WallpaperFit::Span : platform::WallpaperFit::Fill);
        if (!background)
            Tell(L"The image was saved as\n" + path +
                     L"\n\nbut it could not be made the desktop background.\n\n" +
                     background.reason(),
                 MB_ICONWARNING);
    }
    Leave();
}

void TOKRightDlg::CancelBtnClick() { Leave(); }

void TOKRightDlg::FormClose() { Leave(); }

// Hiding the dialog activates no window of the program by itself: the keys would go nowhere.
void TOKRightDlg::Leave() {
    if (!IsOpen()) return;  // left already: the live view runs
    ShowWindow(window_, SW_HIDE);
    {
        platform::BusyCursor busy;
        still_.reset();
    }
    if (!returnTo_ || !IsWindowVisible(returnTo_)) return;
    SetForegroundWindow(returnTo_);
    if (returnFocus_) SetFocus(returnFocus_);
}

void TOKRightDlg::MeasureItem(MEASUREITEMSTRUCT& item) const {
    item.itemHeight = static_cast<UINT>(platform::Scale(ItemHeight, dpi_));
}

// Each entry indented by its depth, with the shell's open or closed folder icon.
void TOKRightDlg::DrawDirectoryItem(const DRAWITEMSTRUCT& item) const {
    if (item.CtlID != DirectoryListBox1) return;
    const bool selected = item.itemState & ODS_SELECTED;
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID >= entries_.size()) return;
    const DirectoryEntry& entry = entries_[item.itemID];
    const int itemHeight = item.rcItem.bottom - item.rcItem.top;
    int x = item.rcItem.left + platform::Scale(ItemMargin + IndentPerLevel * entry.depth, dpi_);
    // The icon at the design's 16 pixels scaled to the DPI, from the larger images when they
    // are needed, drawn to that size whatever size the system's image list has.
    const int iconSize = platform::Scale(SmallIconSize, dpi_);
    const FolderIcon icon = ShellFolderIcon(entry.open, /*large=*/iconSize > SmallIconSize);
    const platform::OwnedIcon image(
        icon.list ? ImageList_GetIcon(icon.list, icon.index, ILD_TRANSPARENT) : nullptr);
    if (image.get()) {
        DrawIconEx(item.hDC, x, item.rcItem.top + (itemHeight - iconSize) / 2, image.get(),
                   iconSize, iconSize, 0, nullptr, DI_NORMAL);
        x += iconSize + platform::Scale(IconGap, dpi_);
    }
    {
        const platform::SelectedObject font(item.hDC, font_.get());
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text = item.rcItem;
        text.left = x;
        DrawTextW(item.hDC, entry.name.c_str(), -1, &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

}  // namespace lumora
