#include "shell/window_picture.h"

#include "platform/handles.h"

namespace lumora {

bool WindowPicture::Make(const platform::FrameView& frame) {
    made_ = false;
    if (frame.empty() || stretcher_.width() < 1 || stretcher_.height() < 1) return false;
    if (!surface_.Resize(stretcher_.width(), stretcher_.height()) || surface_.empty()) return false;
    stretcher_.Stretch(frame.pixels, frame.stride, surface_.pixels());
    made_ = true;
    return true;
}

void WindowPicture::Draw(HWND window) const {
    if (!made_ || !window) return;
    platform::WindowDC dc(window);
    platform::DrawFrame(dc.get(), surface_);
}

}  // namespace lumora
