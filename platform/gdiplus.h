// Owning wrappers of the GDI+ flat API: the library session, the frame bitmap, the BMP encoder.
//
// GdiplusSession   GdiplusStartup (version 1, no debug callback, background thread and external
//                  codecs not suppressed) / GdiplusShutdown with the token. One per process.
// FrameBitmap      one 32-bit ARGB bitmap of width x height pixels (GdipCreateBitmapFromScan0,
//                  stride 0, no buffer) / GdipDisposeImage. SetPixels() writes pixels one at a
//                  time through GdipBitmapSetPixel (the slow way, kept to measure and compare).
// LockedBits       GdipBitmapLockBits / GdipBitmapUnlockBits of a rectangle: its first pixel and
//                  its stride in pixels.
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

namespace lumora {

namespace platform {

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

}  // namespace platform

class FrameBitmap {
public:
    FrameBitmap(int width, int height);
    ~FrameBitmap();
    FrameBitmap(FrameBitmap&& other) noexcept;
    FrameBitmap& operator=(FrameBitmap&& other) noexcept;
    FrameBitmap(const FrameBitmap&) = delete;
    FrameBitmap& operator=(const FrameBitmap&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    // Null when the library could not make the bitmap (for instance an empty size).
    Gdiplus::GpBitmap* image() const { return bitmap_; }

    // Writes width x height pixels (rows of `stride` pixels) one at a time through
    // GdipBitmapSetPixel; a pixel that cannot be written keeps its colour.
    void SetPixels(const uint32_t* pixels, int stride, int width, int height);

private:
    Gdiplus::GpBitmap* bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The pixels of a rectangle of a bitmap, locked in 32-bit ARGB for writing (or for reading).
class LockedBits {
public:
    LockedBits(Gdiplus::GpBitmap* bitmap, int width, int height,
               Gdiplus::ImageLockMode mode = Gdiplus::ImageLockModeWrite)
        : LockedBits(bitmap, 0, 0, width, height, mode) {}
    // The rectangle at (left, top).
    LockedBits(Gdiplus::GpBitmap* bitmap, int left, int top, int width, int height,
               Gdiplus::ImageLockMode mode);
    ~LockedBits();
    LockedBits(const LockedBits&) = delete;
    LockedBits& operator=(const LockedBits&) = delete;

    bool locked() const { return locked_; }
    uint32_t* pixels() const { return static_cast<uint32_t*>(data_.Scan0); }
    // Rows apart, in pixels; negative for a bottom-up buffer.
    int stride() const { return data_.Stride / 4; }

private:
    Gdiplus::GpBitmap* bitmap_;
    Gdiplus::BitmapData data_{};
    bool locked_ = false;
};

}  // namespace lumora
