#include "settings/image_encoder.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <string>
#include <vector>

namespace lumora {
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
    using namespace Gdiplus;
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

}  // namespace lumora
