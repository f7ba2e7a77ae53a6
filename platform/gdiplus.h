// The GDI+ flat API, which the program uses to encode stills and for nothing else: the
// encoders and the save. Its owners, the library session and a bitmap made over a still's
// pixels (GdiplusSession, PixelsBitmap), are in platform/handles.h with the others.
//
// FindImageEncoder the encoder for a MIME type ("image/bmp", "image/png"): lists the installed
//                  encoders and compares each one's MIME type, as a narrow string, with the one
//                  asked for exactly (letter case counts). The loop does not stop at a match: with
//                  several matches the last one wins. Gives that encoder's index and writes its
//                  class id, or gives -1 and leaves classId as it was when none matches or the
//                  library lists no encoders.
// SaveImage        GdipSaveImageToFile to a UTF-16 path; the status comes back to the caller.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdint>
#include <vector>

#include "platform/handles.h"

namespace lumora::platform {

int FindImageEncoder(const char* mimeType, CLSID& classId);

// Writes the image to path with the encoder and no encoder parameters; Ok on success.
Gdiplus::Status SaveImage(Gdiplus::GpImage* image, const wchar_t* path, const CLSID& encoder);

// A short English reason for a GDI+ status, for messages.
const char* StatusText(Gdiplus::Status status);

}  // namespace lumora::platform
