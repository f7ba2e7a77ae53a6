#include "platform/screen_capture.h"

#include <windows.h>

#include <cstring>

#include "platform/draw_frame.h"
#include "platform/handles.h"

namespace lumora::platform {
Frame CaptureScreen(const ScreenRect& rect) {
    const int width = rect.width(), height = rect.height();
    if (width < 1 || height < 1) return {};
    const WindowDC screen(nullptr);
    const MemoryDC memory(screen.get());
    const DibSection dib(screen.get(), TopDownInfo(width, height));
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
