// TOKRightDlg: the save-image dialog, opened by "Save Image" with the still already rendered.
//
// Centred on the screen, always on top, not modal. The name field proposes "Lumora<n>"; the
// directory list shows the path from the drive root down to the directory and its
// sub-directories (double-click enters one; entering makes it the current directory, and a
// directory that cannot be entered leaves the list where it was); the file list shows the
// directory's *.bmp and *.png files, and picking one puts its name into the name field and
// chooses its format.
//
// The format, BMP or PNG, is a choice of two buttons, and "Set as desktop background" a check
// box; both are read from the store when the dialog opens. Save remembers a directory other
// than the stored one and changed choices (before writing, whatever follows), then writes the
// still through the imaging library's encoder of the format, and, when the box is checked, makes
// it the desktop's background (spanning the monitors when it is the whole desktop's size); a
// background that cannot be set says so and keeps the file. A name that is empty, the mask or
// not a possible file name is refused with a message; an existing file is replaced only when the
// user says so; a save that fails says why. In all three cases the dialog stays open and the
// image number stays. A successful Save raises the image number. The dialog owns the still from
// its creation on; Save, Cancel, Esc and the close box hide the dialog and let the still go,
// which gives the live view back (so does destroying the dialog while it shows), and make the
// settings dialog active again with the focus on the control that opened it, so that the keys
// go on where they were.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/dpi.h"
#include "platform/window_proc.h"
#include "settings/image_name.h"
#include "settings/dialog_frame.h"

namespace lumora {

class StillImage;
struct ExportState;
struct SaverSettings;

class TOKRightDlg : public DialogFrame {
public:
    TOKRightDlg(SaverSettings& settings, ExportState& export_, std::unique_ptr<StillImage> still);
    ~TOKRightDlg() override;
    // Creates and shows the dialog (FormCreate runs inside); when it is left, returnTo is made
    // active with the focus on returnFocus.
    bool Create(HINSTANCE instance, HWND returnTo, HWND returnFocus);
    bool IsOpen() const { return window_ && IsWindowVisible(window_); }
    void BringToFront();

private:
    struct DirectoryEntry {
        std::wstring path;
        std::wstring name;
        int depth;
        bool open;  // on the path (an open folder) rather than a sub-directory
    };

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

    void FormCreate();
    void OKBtnClick();
    void CancelBtnClick();
    void FormClose();
    void DirectoryListBox1DblClick();
    void FileListBox1Change();
    void RadioButtonClick();
    ImageFormat Format() const;
    void SetFormat(ImageFormat format);

    void Leave();
    bool EnterDirectory(const std::wstring& directory);
    void FillDirectoryList();
    void FillFileList();
    void SetName(const std::wstring& name);
    void Tell(const std::wstring& message, UINT icon) const;
    void MakeFonts() override;
    HFONT FontOf(int id) const override;
    HWND FirstControl() const override;
    void LaidOut() override;
    void CentreOnScreen();
    void Command(int id, int code);
    void MeasureItem(MEASUREITEMSTRUCT& item) const;
    void DrawDirectoryItem(const DRAWITEMSTRUCT& item) const;

    SaverSettings& settings_;
    ExportState& export_;
    std::unique_ptr<StillImage> still_;  // from the still's render to the dialog's end
    platform::Font font_;
    platform::Font boldFont_;
    std::wstring directory_;  // the directory the lists show
    std::vector<DirectoryEntry> entries_;
    HWND returnTo_ = nullptr;     // the settings dialog, active again when this one is left
    HWND returnFocus_ = nullptr;  // its control that opened this one
};

}  // namespace lumora
