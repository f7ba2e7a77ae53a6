#include "platform/screen_capture.h"

#include <windows.h>

#include <cstring>

#include "platform/draw_frame.h"
#include "platform/handles.h"
#include "platform/window_dc.h"

namespace lumora::platform {
namespace {

// CreateCompatibleDC / DeleteDC.
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

// A top-down 32-bit DIB section and its bits / DeleteObject.
class DibSection {
public:
    DibSection(HDC dc, int width, int height) {
        const BITMAPINFO info = TopDownInfo(width, height);
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    }
    ~DibSection() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;
    HBITMAP get() const { return bitmap_; }
    const uint32_t* bits() const { return static_cast<const uint32_t*>(bits_); }

private:
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
};

}  // namespace

Frame CaptureScreen(const ScreenRect& rect) {
    const int width = rect.width(), height = rect.height();
    if (width < 1 || height < 1) return {};
    const WindowDC screen(nullptr);
    const MemoryDC memory(screen.get());
    const DibSection dib(screen.get(), width, height);
    if (!screen.get() || !memory.get() || !dib.get()) return {};
    {
        const SelectedObject selected(memory.get(), dib.get());
        if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY))
            return {};
    }
    GdiFlush();
    Frame frame(width, height);
    if (frame.empty()) return frame;
    for (int row = 0; row < height; ++row) {
        const uint32_t* in = dib.bits() + static_cast<size_t>(row) * width;
        uint32_t* out = frame.pixels() + static_cast<size_t>(row) * frame.stride();
        for (int col = 0; col < width; ++col) out[col] = in[col] | Frame::Black;
    }
    return frame;
}

}  // namespace lumora::platform
