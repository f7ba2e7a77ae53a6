#include "platform/gdiplus.h"

#include <string>

namespace lumora::platform {

using namespace Gdiplus;

namespace {

std::string Narrow(const wchar_t* text) {
    if (!text) return {};
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(bytes > 0 ? static_cast<size_t>(bytes) : 0, '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), bytes, nullptr, nullptr);
    if (!narrow.empty()) narrow.pop_back();  // the terminating NUL
    return narrow;
}

}  // namespace

int FindImageEncoder(const char* mimeType, CLSID& classId) {
    int result = -1;
    UINT count = 0;
    UINT size = 0;
    DllExports::GdipGetImageEncodersSize(&count, &size);
    if (size == 0) return -1;
    // The records and the strings they point to share one buffer of the size the library asked.
    std::vector<ImageCodecInfo> buffer(size / sizeof(ImageCodecInfo) + 1);
    ImageCodecInfo* codecs = buffer.data();
    if (DllExports::GdipGetImageEncoders(count, size, codecs) != Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (Narrow(codecs[i].MimeType) == mimeType) {
            classId = codecs[i].Clsid;
            result = static_cast<int>(i);
        }
    }
    return result;
}

Status SaveImage(GpImage* image, const wchar_t* path, const CLSID& encoder) {
    if (!image) return InvalidParameter;
    return DllExports::GdipSaveImageToFile(image, path, &encoder, nullptr);
}

const char* StatusText(Status status) {
    switch (status) {
        case Ok: return "no error";
        case GenericError: return "the imaging library reported a generic error";
        case InvalidParameter: return "invalid parameter";
        case OutOfMemory: return "out of memory";
        case ObjectBusy: return "object busy";
        case InsufficientBuffer: return "insufficient buffer";
        case NotImplemented: return "not implemented";
        case Win32Error: return "the system refused (path missing, access denied or disk full)";
        case WrongState: return "wrong state";
        case Aborted: return "aborted";
        case FileNotFound: return "file not found";
        case ValueOverflow: return "value overflow";
        case AccessDenied: return "access denied";
        case UnknownImageFormat: return "unknown image format";
        case FontFamilyNotFound: return "font family not found";
        case FontStyleNotFound: return "font style not found";
        case NotTrueTypeFont: return "not a TrueType font";
        case UnsupportedGdiplusVersion: return "unsupported GDI+ version";
        case GdiplusNotInitialized: return "GDI+ not started";
        case PropertyNotFound: return "property not found";
        case PropertyNotSupported: return "property not supported";
        default: return "unknown GDI+ status";
    }
}

}  // namespace lumora::platform
