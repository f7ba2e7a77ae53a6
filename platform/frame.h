// The frame: a plain buffer of 32-bit ARGB pixels (alpha in bits 31..24) that the engine renders
// into (through its pixels() and stride(): shell/frame_render.h) and the draw takes to a window
// (platform/draw_frame.h); a still is one too, and is encoded from its pixels.
//
// width x height pixels, the top row first, rows `stride` pixels apart; every row starts on a
// RowAlignment-byte boundary, so that vector loads and stores of a row never straddle a cache
// line at its start. The buffer is allocated once, when the frame is made (opaque black), and
// freed with it; a frame of no pixels, or one whose memory could not be had, is empty and has
// no buffer. FrameView is a look at pixels someone else owns (a frame, a stretch).
// Pure: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

namespace lumora::platform {

struct FrameView {
    const uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    int stride = 0;  // pixels from one row to the next
    bool empty() const { return !pixels || width < 1 || height < 1; }
};

class Frame {
public:
    static constexpr int RowAlignment = 64;  // bytes
    static constexpr uint32_t Black = 0xFF000000u;

    Frame() = default;
    Frame(int width, int height) {
        if (width < 1 || height < 1) return;
        constexpr int PixelsPerAlignment = RowAlignment / sizeof(uint32_t);
        const size_t stride = (static_cast<size_t>(width) + PixelsPerAlignment - 1) /
                              PixelsPerAlignment * PixelsPerAlignment;
        if (stride > static_cast<size_t>(std::numeric_limits<int>::max()) ||
            static_cast<size_t>(height) >
                std::numeric_limits<size_t>::max() / sizeof(uint32_t) / stride)
            return;
        const size_t count = stride * static_cast<size_t>(height);
        // (clang-format would put a space after "operator new")
        // clang-format off
        pixels_ = static_cast<uint32_t*>(::operator new(
            count * sizeof(uint32_t), std::align_val_t{RowAlignment}, std::nothrow));
        // clang-format on
        if (!pixels_) return;
        for (size_t i = 0; i < count; ++i) pixels_[i] = Black;
        width_ = width;
        height_ = height;
        stride_ = static_cast<int>(stride);
    }
    ~Frame() { Free(); }
    Frame(Frame&& other) noexcept
        : pixels_(std::exchange(other.pixels_, nullptr)), width_(std::exchange(other.width_, 0)),
          height_(std::exchange(other.height_, 0)), stride_(std::exchange(other.stride_, 0)) {}
    Frame& operator=(Frame&& other) noexcept {
        if (this != &other) {
            Free();
            pixels_ = std::exchange(other.pixels_, nullptr);
            width_ = std::exchange(other.width_, 0);
            height_ = std::exchange(other.height_, 0);
            stride_ = std::exchange(other.stride_, 0);
        }
        return *this;
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    bool empty() const { return pixels_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const { return stride_; }
    uint32_t* pixels() { return pixels_; }
    const uint32_t* pixels() const { return pixels_; }
    FrameView view() const { return {pixels_, width_, height_, stride_}; }

private:
    void Free() {
        // clang-format off
        if (pixels_) ::operator delete(pixels_, std::align_val_t{RowAlignment});
        // clang-format on
        pixels_ = nullptr;
    }

    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0, stride_ = 0;
};

}  // namespace lumora::platform
