#include "platform/image_file.h"

#include "platform/gdiplus.h"

namespace lumora::platform {
namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    while (*text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text++));
    return wide;
}

}  // namespace

std::wstring SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = text ? text : L"System error " + std::to_wstring(error) + L".";
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

std::wstring SaveImageFile(Gdiplus::GpImage* image, const std::wstring& path, const CLSID& encoder,
                           bool replace) {
    if (!image) return L"There is no image to save.";
    const std::wstring temporary = path + L".part" + std::to_wstring(GetCurrentProcessId());
    // Making the file first gives the system's own reason when the directory refuses it.
    const HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SystemMessage(GetLastError());
    CloseHandle(file);
    SetLastError(0);
    const Gdiplus::Status status = SaveImage(image, temporary.c_str(), encoder);
    if (status != Gdiplus::Ok) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return status == Gdiplus::Win32Error && error ? SystemMessage(error) : Widen(StatusText(status));
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return SystemMessage(error);
    }
    return L"";
}

}  // namespace lumora::platform
