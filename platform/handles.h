// Small owners of what the system hands out, one class per kind, each releasing what it holds
// exactly once; none is copied. Every owner of the program is here.
//
// Device contexts and GDI objects
// WindowDC        GetDC for a window (null: the screen) / ReleaseDC
// MemoryDC        CreateCompatibleDC / DeleteDC
// DibSection      CreateDIBSection for a BITMAPINFO, with its bits / DeleteObject
// SelectedObject  SelectObject into a device context / the previous object selected back
// Font            CreateFontIndirectW / DeleteObject (platform/dpi.h makes one for a DPI)
// SolidBrush      CreateSolidBrush / DeleteObject
// OwnedIcon       an icon made for the program (ImageList_GetIcon and the like) / DestroyIcon
// ThemeData       OpenThemeData for a window's class list / CloseThemeData (null when unthemed)
// Files, memory, modules
// FileHandle      CreateFileW / CloseHandle
// FileSearch      FindFirstFileW / FindNextFileW / FindClose over the names matching a pattern
// LocalMemory     memory the system allocated with LocalAlloc for the caller / LocalFree
// TaskMemory      memory the shell allocated with CoTaskMemAlloc for the caller / CoTaskMemFree
// LoadedLibrary   LoadLibraryW / FreeLibrary, and the library's exports by name
// ComReference    a COM interface pointer the caller holds a reference of / Release
// RegistryHandle  an open registry key / RegCloseKey (platform/registry.h reads and writes it)
// GDI+
// GdiplusSession  GdiplusStartup (version 1, no debug callback, background thread and external
//                 codecs not suppressed) / GdiplusShutdown with the token. One per process.
// PixelsBitmap    a 32-bit ARGB bitmap over pixels the caller owns and keeps for as long as the
//                 bitmap lives (GdipCreateBitmapFromScan0 with their stride) / GdipDisposeImage;
//                 no copy is made
// Threads and notifications
// Thread          CreateThread (default stack, starts at once) running `body` / the wait for its
//                 end / CloseHandle. Join (and the destructor) waits until the body has
//                 returned, answering meanwhile the messages other threads send to the joining
//                 one: a thread that shows or updates a window of the joining thread waits for
//                 those answers, and would otherwise never end.
// Event           CreateEventW (manual reset, not set) / CloseHandle; Wait gives true once it is
//                 set.
// PowerSettingNotification  RegisterPowerSettingNotification for one setting and one window /
//                 UnregisterPowerSettingNotification (platform/power_setting.h reads the state)
// What shows for a while
// ShownCursor     ShowCursor(TRUE) / ShowCursor(FALSE), so that the thread's display counter is
//                 back where it was afterwards
// BusyCursor      the hourglass while a long computation holds the message loop / the cursor
//                 before it
//
// Each hands out what it holds with get(), which is null (0 for the GDI+ token) where the system
// refused to make it: a caller tests get() to know. The library hands out its exports
// (Function), the search its entries (current); the selection and the cursors hand out nothing.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <gdiplus.h>
#include <uxtheme.h>

#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "platform/frame.h"

namespace lumora::platform {

class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// bits() are the section's pixels, null when there is no section.
class DibSection {
public:
    DibSection(HDC dc, const BITMAPINFO& info) {
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap_ && !bits) {
            DeleteObject(bitmap_);
            bitmap_ = nullptr;
        }
        bits_ = bitmap_ ? static_cast<uint32_t*>(bits) : nullptr;
    }
    ~DibSection() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    HBITMAP get() const { return bitmap_; }
    uint32_t* bits() const { return bits_; }

private:
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
};

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
        : file_(CreateFileW(path, access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (file_ == INVALID_HANDLE_VALUE) file_ = nullptr;
    }
    ~FileHandle() {
        if (file_) CloseHandle(file_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return file_; }

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

class LoadedLibrary {
public:
    // Nothing when the library cannot be found or loaded. The name goes through the system's
    // library search (the program's directory, the system directories, the path).
    static std::optional<LoadedLibrary> Load(const wchar_t* name) {
        HMODULE module = LoadLibraryW(name);
        if (!module) return std::nullopt;
        return LoadedLibrary(module);
    }

    LoadedLibrary(LoadedLibrary&& other) noexcept
        : module_(std::exchange(other.module_, nullptr)) {}
    LoadedLibrary& operator=(LoadedLibrary&&) = delete;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }

    // The export of that exact, undecorated name as a pointer to a function of type F, or null
    // when the library has none.
    template <typename F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    explicit LoadedLibrary(HMODULE module) : module_(module) {}
    HMODULE module_;
};

class RegistryHandle {
public:
    explicit RegistryHandle(HKEY key = nullptr) : key_(key) {}
    ~RegistryHandle() { Close(); }
    RegistryHandle(RegistryHandle&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegistryHandle& operator=(RegistryHandle&& other) noexcept {
        if (this != &other) {
            Close();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    RegistryHandle(const RegistryHandle&) = delete;
    RegistryHandle& operator=(const RegistryHandle&) = delete;

    HKEY get() const { return key_; }
    // Releases the key at once; does not force a flush to disk.
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_;
};

class GdiplusSession {
public:
    GdiplusSession() {
        const Gdiplus::GdiplusStartupInput input;  // version 1, no callback, nothing suppressed
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~GdiplusSession() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    ULONG_PTR get() const { return token_; }

private:
    ULONG_PTR token_ = 0;
};

class PixelsBitmap {
public:
    explicit PixelsBitmap(const FrameView& pixels) {
        if (pixels.empty()) return;
        // The library only reads the pixels here: it encodes them.
        if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(
                pixels.width, pixels.height, pixels.stride * 4, PixelFormat32bppARGB,
                reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels.pixels)),
                &bitmap_) != Gdiplus::Ok)
            bitmap_ = nullptr;
    }
    ~PixelsBitmap() {
        if (bitmap_) Gdiplus::DllExports::GdipDisposeImage(bitmap_);
    }
    PixelsBitmap(const PixelsBitmap&) = delete;
    PixelsBitmap& operator=(const PixelsBitmap&) = delete;

    Gdiplus::GpBitmap* get() const { return bitmap_; }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

class Thread {
public:
    Thread() = default;
    explicit Thread(std::function<void()> body) {
        auto owned = std::make_unique<std::function<void()>>(std::move(body));
        handle_ = CreateThread(nullptr, 0, Start, owned.get(), 0, nullptr);
        if (handle_) owned.release();  // the thread frees it
    }
    ~Thread() { Join(); }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    HANDLE get() const { return handle_; }
    void Join() {
        if (!handle_) return;
        while (MsgWaitForMultipleObjects(1, &handle_, FALSE, INFINITE, QS_SENDMESSAGE) ==
               WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // answers the sent messages
        }
        CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    static DWORD WINAPI Start(void* parameter) {
        const std::unique_ptr<std::function<void()>> body(
            static_cast<std::function<void()>*>(parameter));
        (*body)();
        return 0;
    }

    HANDLE handle_ = nullptr;
};

class Event {
public:
    Event() : handle_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Event() {
        if (handle_) CloseHandle(handle_);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    HANDLE get() const { return handle_; }
    void Set() {
        if (handle_) SetEvent(handle_);
    }
    // True when the event is set within the milliseconds (without an event: after them).
    bool Wait(DWORD milliseconds) const {
        if (!handle_) {
            Sleep(milliseconds);
            return false;
        }
        return WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0;
    }

private:
    HANDLE handle_;
};

class PowerSettingNotification {
public:
    PowerSettingNotification() = default;
    PowerSettingNotification(HWND window, const GUID& setting)
        : handle_(RegisterPowerSettingNotification(window, &setting, DEVICE_NOTIFY_WINDOW_HANDLE)) {
    }
    ~PowerSettingNotification() {
        if (handle_) UnregisterPowerSettingNotification(handle_);
    }
    PowerSettingNotification(PowerSettingNotification&& other) noexcept : handle_(other.handle_) {
        other.handle_ = nullptr;
    }
    PowerSettingNotification& operator=(PowerSettingNotification&& other) noexcept {
        if (this != &other) {
            if (handle_) UnregisterPowerSettingNotification(handle_);
            handle_ = other.handle_;
            other.handle_ = nullptr;
        }
        return *this;
    }
    PowerSettingNotification(const PowerSettingNotification&) = delete;
    PowerSettingNotification& operator=(const PowerSettingNotification&) = delete;

    HPOWERNOTIFY get() const { return handle_; }

private:
    HPOWERNOTIFY handle_ = nullptr;
};

class ShownCursor {
public:
    ShownCursor() { ShowCursor(TRUE); }
    ~ShownCursor() { ShowCursor(FALSE); }
    ShownCursor(const ShownCursor&) = delete;
    ShownCursor& operator=(const ShownCursor&) = delete;
};

class BusyCursor {
public:
    BusyCursor() : previous_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
    ~BusyCursor() { SetCursor(previous_); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    HCURSOR previous_;
};

}  // namespace lumora::platform
