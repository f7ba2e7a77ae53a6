// Bilinear enlargement of a 32-bit ARGB frame to the size of the window it is drawn over.
//
// The frame is computed on a reduced grid (a quarter or a half of the window in each direction)
// and drawn stretched. This does the stretch in the program, so that the draw itself is a 1:1
// copy: the library's own smoothed stretch costs several times a frame's computation on large
// screens. Sampling follows the usual convention of pixel centres: destination pixel x samples
// the source at (x + 0.5) * sourceWidth / destinationWidth - 0.5, clamped to the edge pixels,
// with weights in 1/256 steps; every channel (alpha included) is blended the same way. Each
// source row is widened once, then every output row blends two widened rows.
//
// Fill stretches the frame to the window exactly (each direction scaled on its own); Cover scales
// it by one factor in both directions, the smallest that covers the window, centred, so that the
// picture keeps its aspect ratio and what overhangs the window on two sides is cut off.
//
// Resize() precomputes the sample tables and the buffers (allocates); Stretch() into a target
// allocates nothing. The target is the caller's (the window's DIB section, so that the stretched
// picture is never copied again): width() x height() pixels in rows of width() pixels. Without a
// target it writes into a buffer of its own, made at the first such call after a Resize (tests
// and tools). It works in bands of output rows shared over the engine's worker pool: each band
// widens only the source rows it reads, into a few rows of scratch that stay in the cache, and
// blends its output rows from them, so no whole-frame intermediate goes through memory.
// StretchSequentially is the plain two-pass evaluation (every source row widened, then every
// output row blended) on the calling thread: the same pixels, kept to check the banded one.
//
// The loops run at the widest vector width the processor has (StretchPath, chosen at run time):
// SSE2, four pixels at a time with a gather of every column's two source pixels (the reference
// the others are checked against), or AVX2, eight at a time, whose widening of a row has its own
// kernels for the enlargements by exactly 2 and 4 (the live view's and the full screen's: a fixed
// pattern of pairs and weights, by shuffles instead of gathers) and a gather for any other.
// Every path writes the same pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/frame.h"

namespace lumora {

enum class StretchFit { Fill, Cover };

enum class StretchPath { Sse2, Avx2 };
bool StretchPathAvailable(StretchPath path);
StretchPath BestStretchPath();                  // what every stretcher starts on
const char* StretchPathName(StretchPath path);  // "sse2", "avx2"

class FrameStretcher {
public:
    void Resize(int sourceWidth, int sourceHeight, int width, int height,
                StretchFit fit = StretchFit::Fill);
    // One part of a picture made in parts: the frame stretched (Fill) over a whole of
    // wholeWidth x wholeHeight pixels, of which this makes the width x height pixels at
    // (left, top) of the whole. Parts of one whole put side by side are pixel for pixel the
    // stretch over the whole: no seam, no jump, no doubled row.
    void ResizeToPart(int sourceWidth, int sourceHeight, int wholeWidth, int wholeHeight, int left,
                      int top, int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // The own buffer's stretched picture, width x height pixels in rows of its width.
    const uint32_t* pixels() const { return output_.data(); }
    platform::FrameView view() const { return {output_.data(), width_, height_, width_}; }

    // source: sourceWidth x sourceHeight pixels, rows `sourceStride` pixels apart.
    void Stretch(const uint32_t* source, int sourceStride, uint32_t* target);
    void Stretch(const uint32_t* source, int sourceStride);
    // The same on the calling thread alone, into the own buffer.
    void StretchSequentially(const uint32_t* source, int sourceStride);
    // True when both make the same picture of the same frame: the same sizes and samples.
    bool SameStretchAs(const FrameStretcher& other) const;

    // Another path for the next stretches (tests and the benchmark); false, and the path kept,
    // when the processor has not got it.
    bool SetPath(StretchPath path);
    StretchPath path() const { return path_; }
    // 2 or 4 when the columns are the enlargement by exactly that, else 0 (the general kernel).
    int columnRatio() const { return columnRatio_; }

private:
    struct Sample {
        int first;        // index of the left (upper) source pixel
        int second;       // index of the right (lower) one, the same at the edge
        uint32_t weight;  // of the second, 0..256
        bool operator==(const Sample& other) const {
            return first == other.first && second == other.second && weight == other.weight;
        }
    };
    // Destination pixels of one direction, the source scaled by scaleNumerator / scaleDenominator
    // (destination pixels per source pixel) and moved by shift / (2 * scaleDenominator)
    // destination pixels to the left (Centred: the scaled source centred on the destination).
    static std::vector<Sample> Samples(int sourceSize, int size, int64_t scaleNumerator,
                                       int64_t scaleDenominator, int64_t shift);
    static int64_t Centred(int sourceSize, int size, int64_t scaleNumerator,
                           int64_t scaleDenominator) {
        return sourceSize * scaleNumerator - size * scaleDenominator;
    }
    void SizeBuffers();
    void WidenRow(const uint32_t* in, uint32_t* wide) const;
    void BlendRow(const uint32_t* upper, const uint32_t* lower, uint32_t weight,
                  uint32_t* out) const;
    int ColumnRatio() const;
    void StretchBand(const uint32_t* source, int sourceStride, int band, uint32_t* scratch,
                     uint32_t* target);
    uint32_t* OwnOutput();

    int sourceWidth_ = 0, sourceHeight_ = 0, width_ = 0, height_ = 0;
    std::vector<Sample> columns_, rows_;
    std::vector<uint16_t> columnWeights_;  // each column's weight, four times (one per channel)
    std::vector<int32_t> firsts_, seconds_, weights_;  // the columns' samples, for the gathers
    int columnRatio_ = 0;
    bool streamOutput_ = false;
    StretchPath path_ = BestStretchPath();
    std::vector<uint32_t> output_;   // the own buffer, empty until asked for
    int lanes_ = 1;                  // scratch areas: one per thread of the pool at Resize
    int bandSpan_ = 0;               // the most source rows one band reads
    std::vector<uint32_t> scratch_;  // lanes_ x bandSpan_ widened rows
};

}  // namespace lumora
