#include "platform/image_file.h"

#ifdef _WIN32
#include "platform/gdiplus.h"
#include "platform/handles.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace lumora::platform {

#ifdef _WIN32
namespace {

std::wstring Widen(const char* text) {
    std::wstring wide;
    while (*text) wide += static_cast<wchar_t>(static_cast<unsigned char>(*text++));
    return wide;
}

}  // namespace

std::wstring SystemMessage(DWORD error) {
    LocalMemory<wchar_t> text;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(text.out()), 0, nullptr);
    std::wstring message =
        text.get() ? text.get() : L"System error " + std::to_wstring(error) + L".";
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

Outcome SaveImageFile(const FrameView& still, const std::wstring& path, const CLSID& encoder,
                      bool replace) {
    if (still.empty()) return Outcome::Failed(L"There is no image to save.");
    const PixelsBitmap image(still);
    if (!image.get()) return Outcome::Failed(Widen(StatusText(Gdiplus::OutOfMemory)));
    const std::wstring temporary = path + L".part" + std::to_wstring(GetCurrentProcessId());
    // Making the file first gives the system's own reason when the directory refuses it.
    if (!FileHandle(temporary.c_str(), GENERIC_WRITE, CREATE_NEW).get())
        return Outcome::Failed(SystemMessage(GetLastError()));
    SetLastError(0);
    const Gdiplus::Status status = SaveImage(image.get(), temporary.c_str(), encoder);
    if (status != Gdiplus::Ok) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return Outcome::Failed(status == Gdiplus::Win32Error && error ? SystemMessage(error)
                                                                      : Widen(StatusText(status)));
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return Outcome::Failed(SystemMessage(error), error == ERROR_ALREADY_EXISTS
                                                         ? FailureKind::FileExists
                                                         : FailureKind::Other);
    }
    return Outcome::Done();
}

#else

NarrowOutcome WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                                  bool replace) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return NarrowOutcome::Failed(std::strerror(errno));
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        written += static_cast<size_t>(n);
    }
    int error = written == bytes.size() ? 0 : errno;
    // mkstemp makes the file private; give it the mode an ordinary new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    if (!error && fchmod(fd, 0666 & ~mask) != 0) error = errno;
    if (close(fd) != 0 && !error) error = errno;
    if (!error) {
        // A hard link fails when the target exists, so an existing file is never lost to a race.
        if (replace ? std::rename(temporary.c_str(), path.c_str()) != 0
                    : link(temporary.c_str(), path.c_str()) != 0)
            error = errno;
    }
    if (error || !replace) unlink(temporary.c_str());
    if (error)
        return NarrowOutcome::Failed(
            std::strerror(error), error == EEXIST ? FailureKind::FileExists : FailureKind::Other);
    return NarrowOutcome::Done();
}

#endif

}  // namespace lumora::platform
