#include "shell/stretch.h"

#include <algorithm>

#include "engine/worker_pool.h"

namespace lumora {
namespace {

// a + (b - a) * weight / 256 for the four 8-bit channels at once: two channels per 32-bit lane
// group, each with 16 bits of room for the product.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue = (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const uint32_t alphaGreen =
        ((((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight)) & 0xFF00FF00u;
    return redBlue | alphaGreen;
}

constexpr int RowsPerChunk = 8;

}  // namespace

std::vector<FrameStretcher::Sample> FrameStretcher::Samples(int sourceSize, int size) {
    std::vector<Sample> samples(static_cast<size_t>(std::max(size, 0)));
    for (int i = 0; i < size; ++i) {
        // Position in 1/256 source pixels: ((2i + 1) * sourceSize * 256) / (2 * size) - 128.
        const int64_t position =
            (static_cast<int64_t>(2 * i + 1) * sourceSize * 256) / (2 * static_cast<int64_t>(size)) - 128;
        Sample& sample = samples[i];
        if (position <= 0) {
            sample = {0, 0, 0};
        } else {
            const int first = static_cast<int>(position >> 8);
            if (first >= sourceSize - 1)
                sample = {sourceSize - 1, sourceSize - 1, 0};
            else
                sample = {first, first + 1, static_cast<uint32_t>(position & 255)};
        }
    }
    return samples;
}

void FrameStretcher::Resize(int sourceWidth, int sourceHeight, int width, int height) {
    sourceWidth_ = std::max(sourceWidth, 0);
    sourceHeight_ = std::max(sourceHeight, 0);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    columns_ = Samples(sourceWidth_, width_);
    rows_ = Samples(sourceHeight_, height_);
    output_.assign(static_cast<size_t>(width_) * height_, 0xFF000000u);
    blendedRows_.assign(static_cast<size_t>(sourceWidth_) * ((height_ + RowsPerChunk - 1) / RowsPerChunk + 1), 0);
}

void FrameStretcher::StretchRows(const uint32_t* source, int sourceStride, int begin, int end) {
    // Each chunk of rows owns one blended row of the scratch, by its first row's chunk index.
    uint32_t* blended = blendedRows_.data() + static_cast<size_t>(begin / RowsPerChunk) * sourceWidth_;
    for (int y = begin; y < end; ++y) {
        const Sample& row = rows_[y];
        const uint32_t* upper = source + static_cast<size_t>(row.first) * sourceStride;
        const uint32_t* lower = source + static_cast<size_t>(row.second) * sourceStride;
        for (int x = 0; x < sourceWidth_; ++x) blended[x] = Blend(upper[x], lower[x], row.weight);
        uint32_t* out = output_.data() + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            const Sample& column = columns_[x];
            out[x] = Blend(blended[column.first], blended[column.second], column.weight);
        }
    }
}

void FrameStretcher::Stretch(const uint32_t* source, int sourceStride) {
    if (width_ == 0 || height_ == 0 || sourceWidth_ == 0 || sourceHeight_ == 0) return;
    auto rows = [&](int begin, int end) { StretchRows(source, sourceStride, begin, end); };
    EnginePool().ForEachChunk(height_, RowsPerChunk, rows);
}

}  // namespace lumora
