// Owning wrappers of the GDI+ flat API, which the program uses to encode stills and for nothing
// else: the library session, a bitmap made over a still's pixels, the encoders.
//
// GdiplusSession   GdiplusStartup (version 1, no debug callback, background thread and external
//                  codecs not suppressed) / GdiplusShutdown with the token. One per process.
// PixelsBitmap     a 32-bit ARGB bitmap over pixels the caller owns and keeps for as long as the
//                  bitmap lives (GdipCreateBitmapFromScan0 with their stride) / GdipDisposeImage;
//                  no copy is made. Null when the library refuses.
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

#include "platform/frame.h"

namespace lumora::platform {

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool started() const { return status_ == Gdiplus::Ok; }

private:
    ULONG_PTR token_ = 0;
    Gdiplus::Status status_;
};

int FindImageEncoder(const char* mimeType, CLSID& classId);

// Writes the image to path with the encoder and no encoder parameters; Ok on success.
Gdiplus::Status SaveImage(Gdiplus::GpImage* image, const wchar_t* path, const CLSID& encoder);

// A short English reason for a GDI+ status, for messages.
const char* StatusText(Gdiplus::Status status);

class PixelsBitmap {
public:
    explicit PixelsBitmap(const FrameView& pixels);
    ~PixelsBitmap();
    PixelsBitmap(const PixelsBitmap&) = delete;
    PixelsBitmap& operator=(const PixelsBitmap&) = delete;

    Gdiplus::GpBitmap* image() const { return bitmap_; }

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
};

}  // namespace lumora::platform
