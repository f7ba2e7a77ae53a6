// Small owners of what the system hands out, one class per kind, each releasing what it holds
// exactly once; none is copied.
//
// SelectedObject  SelectObject into a device context / the previous object selected back
// ThemeData       OpenThemeData for a window's class list / CloseThemeData (null when unthemed)
// OwnedIcon       an icon made for the program (ImageList_GetIcon and the like) / DestroyIcon
// FileSearch      FindFirstFileW / FindNextFileW / FindClose over the names matching a pattern
// FileHandle      CreateFileW / CloseHandle (INVALID_HANDLE_VALUE when the system refused)
// LocalMemory     memory the system allocated with LocalAlloc for the caller / LocalFree
// TaskMemory      memory the shell allocated with CoTaskMemAlloc for the caller / CoTaskMemFree
// Font            CreateFontIndirectW / DeleteObject (platform/dpi.h makes one for a DPI)
// SolidBrush      CreateSolidBrush / DeleteObject
// ComReference    a COM interface pointer the caller holds a reference of / Release
//
// Each hands out what it holds with get().
#pragma once

#include <windows.h>
#include <objbase.h>
#include <uxtheme.h>

#include <utility>

namespace lumora::platform {

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

class ThemeData {
public:
    ThemeData(HWND window, const wchar_t* classList)
        : theme_(IsAppThemed() ? OpenThemeData(window, classList) : nullptr) {}
    ~ThemeData() {
        if (theme_) CloseThemeData(theme_);
    }
    ThemeData(const ThemeData&) = delete;
    ThemeData& operator=(const ThemeData&) = delete;

    HTHEME get() const { return theme_; }

private:
    HTHEME theme_;
};

class OwnedIcon {
public:
    explicit OwnedIcon(HICON icon) : icon_(icon) {}
    ~OwnedIcon() {
        if (icon_) DestroyIcon(icon_);
    }
    OwnedIcon(const OwnedIcon&) = delete;
    OwnedIcon& operator=(const OwnedIcon&) = delete;

    HICON get() const { return icon_; }

private:
    HICON icon_;
};

class FileSearch {
public:
    explicit FileSearch(const wchar_t* pattern) : search_(FindFirstFileW(pattern, &found_)) {}
    ~FileSearch() {
        if (search_ != INVALID_HANDLE_VALUE) FindClose(search_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    // The entry found, or null when there is none (left).
    const WIN32_FIND_DATAW* current() const {
        return search_ != INVALID_HANDLE_VALUE && !done_ ? &found_ : nullptr;
    }
    void Next() {
        if (!done_ && search_ != INVALID_HANDLE_VALUE) done_ = !FindNextFileW(search_, &found_);
    }

private:
    WIN32_FIND_DATAW found_{};
    HANDLE search_;
    bool done_ = false;
};

class FileHandle {
public:
    FileHandle(const wchar_t* path, DWORD access, DWORD creation)
        : file_(CreateFileW(path, access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool opened() const { return file_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        file_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE file_;
};

template <typename T>
class LocalMemory {
public:
    LocalMemory() = default;
    explicit LocalMemory(T* memory) : memory_(memory) {}
    ~LocalMemory() {
        if (memory_) LocalFree(memory_);
    }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;

    T* get() const { return memory_; }
    // Where a system call that allocates writes the address (FORMAT_MESSAGE_ALLOCATE_BUFFER).
    T** out() { return &memory_; }

private:
    T* memory_ = nullptr;
};

template <typename T>
class TaskMemory {
public:
    TaskMemory() = default;
    ~TaskMemory() { CoTaskMemFree(memory_); }  // null is allowed
    TaskMemory(const TaskMemory&) = delete;
    TaskMemory& operator=(const TaskMemory&) = delete;

    T* get() const { return memory_; }
    T** out() { return &memory_; }

private:
    T* memory_ = nullptr;
};

class Font {
public:
    Font() = default;
    explicit Font(const LOGFONTW& description) : font_(CreateFontIndirectW(&description)) {}
    ~Font() { Reset(); }
    Font(Font&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
    Font& operator=(Font&& other) noexcept {
        if (this != &other) {
            Reset();
            font_ = std::exchange(other.font_, nullptr);
        }
        return *this;
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    HFONT get() const { return font_; }

private:
    void Reset() {
        if (font_) DeleteObject(font_);
        font_ = nullptr;
    }

    HFONT font_ = nullptr;
};

class SolidBrush {
public:
    explicit SolidBrush(COLORREF colour) : brush_(CreateSolidBrush(colour)) {}
    ~SolidBrush() {
        if (brush_) DeleteObject(brush_);
    }
    SolidBrush(const SolidBrush&) = delete;
    SolidBrush& operator=(const SolidBrush&) = delete;

    HBRUSH get() const { return brush_; }

private:
    HBRUSH brush_;
};

template <typename T>
class ComReference {
public:
    ComReference() = default;
    ~ComReference() { Reset(); }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;
    T* get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    // Where a system call that hands out a reference writes it; a reference held goes first.
    T** out() {
        Reset();
        return &pointer_;
    }
    void Reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }

private:
    T* pointer_ = nullptr;
};

}  // namespace lumora::platform
