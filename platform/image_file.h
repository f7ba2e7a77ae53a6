// Writing an image file without putting a user's file at risk.
//
// SaveImageFile writes the image with the encoder into a new temporary file next to path
// ("<path>.part<process id>"), and only when that is complete moves it to path: an existing file
// is replaced only when replace is true, and a file that appeared meanwhile is never replaced
// otherwise. A failed save leaves no temporary file and path as it was. The result is empty on
// success, else a plain reason for the user ("Access denied.", "There is not enough space on the
// disk."). SystemMessage gives the system's text of an error code.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

namespace lumora::platform {

std::wstring SaveImageFile(Gdiplus::GpImage* image, const std::wstring& path, const CLSID& encoder,
                           bool replace);
std::wstring SystemMessage(DWORD error);

}  // namespace lumora::platform
