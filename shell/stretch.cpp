#include "shell/stretch.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/processor.h"
#include "engine/worker_pool.h"
#include "shell/stretch_kernels.h"

namespace lumora {
namespace {

// a + (b - a) * weight / 256 for the four 8-bit channels at once: two channels per 32-bit lane
// group, each with 16 bits of room for the product.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue =
        (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const uint32_t alphaGreen =
        ((((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight)) & 0xFF00FF00u;
    return redBlue | alphaGreen;
}

// out[i] = Blend(upper[i], lower[i], weight) over a whole row; 4 pixels at a time where the
// processor has SSE2, with exactly the scalar arithmetic per channel.
void BlendRows(const uint32_t* upper, const uint32_t* lower, uint32_t weight, uint32_t* out,
               int count) {
    if (weight == 0) {
        std::memcpy(out, upper, static_cast<size_t>(count) * sizeof *out);
        return;
    }
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i keep16 = _mm_set1_epi16(static_cast<short>(256 - weight));
    const __m128i weight16 = _mm_set1_epi16(static_cast<short>(weight));
    for (; i + 4 <= count; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + i));
        const __m128i low =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), keep16),
                                         _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), weight16)),
                           8);
        const __m128i high =
            _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), keep16),
                                         _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), weight16)),
                           8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
    }
#endif
    for (; i < count; ++i) out[i] = Blend(upper[i], lower[i], weight);
}

// Output rows per band: enough that the rows a band widens are mostly its own (a band of a 4x
// enlargement reads 9 source rows and shares one with the next), few enough that its scratch
// stays in the cache.
constexpr int BandRows = 32;

// An output this large (a 3840 x 2160 screen's, not a 1920 x 1080 one's) outgrows the caches
// anyway: AVX2 writes it past them.
constexpr int64_t StreamedOutputBytes = 16 << 20;

}  // namespace

// AVX2 is there where the engine's AVX2 path is: the processor has it and the system saves its
// registers.
bool StretchPathAvailable(StretchPath path) {
#if defined(__i386__) || defined(__x86_64__)
    return path == StretchPath::Sse2 || DetectProcessorFeatures().avx2;
#else
    return path == StretchPath::Sse2;  // the scalar loops, under the name of the baseline
#endif
}

StretchPath BestStretchPath() {
    return StretchPathAvailable(StretchPath::Avx2) ? StretchPath::Avx2 : StretchPath::Sse2;
}

const char* StretchPathName(StretchPath path) {
    return path == StretchPath::Avx2 ? "avx2" : "sse2";
}

bool FrameStretcher::SetPath(StretchPath path) {
    if (!StretchPathAvailable(path)) return false;
    path_ = path;
    return true;
}

std::vector<FrameStretcher::Sample> FrameStretcher::Samples(int sourceSize, int size,
                                                            int64_t scaleNumerator,
                                                            int64_t scaleDenominator,
                                                            int64_t shift) {
    std::vector<Sample> samples(static_cast<size_t>(std::max(size, 0)));
    // Centred, the scaled source overhangs the destination by sourceSize * scale - size pixels,
    // half on either side (none when the source is scaled to the destination's size exactly);
    // a part of a larger whole starts `offset` pixels into it, shift = 2 * offset * denominator.
    for (int i = 0; i < size; ++i) {
        // Position in 1/256 source pixels: ((i + 0.5 + shift / (2 * denominator)) / scale - 0.5)
        // * 256.
        const int64_t position =
            ((static_cast<int64_t>(2 * i + 1) * scaleDenominator + shift) * 256) /
                (2 * scaleNumerator) -
            128;
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

void FrameStretcher::Resize(int sourceWidth, int sourceHeight, int width, int height,
                            StretchFit fit) {
    sourceWidth_ = std::max(sourceWidth, 0);
    sourceHeight_ = std::max(sourceHeight, 0);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    if (fit == StretchFit::Cover && sourceWidth_ > 0 && sourceHeight_ > 0) {
        // One scale for both directions, the larger of the two: width / sourceWidth when
        // width * sourceHeight >= height * sourceWidth, else height / sourceHeight.
        const bool widthBinds = static_cast<int64_t>(width_) * sourceHeight_ >=
                                static_cast<int64_t>(height_) * sourceWidth_;
        const int64_t numerator = widthBinds ? width_ : height_;
        const int64_t denominator = widthBinds ? sourceWidth_ : sourceHeight_;
        columns_ = Samples(sourceWidth_, width_, numerator, denominator,
                           Centred(sourceWidth_, width_, numerator, denominator));
        rows_ = Samples(sourceHeight_, height_, numerator, denominator,
                        Centred(sourceHeight_, height_, numerator, denominator));
    } else {
        columns_ = Samples(sourceWidth_, width_, width_, sourceWidth_, 0);
        rows_ = Samples(sourceHeight_, height_, height_, sourceHeight_, 0);
    }
    SizeBuffers();
}

void FrameStretcher::ResizeToPart(int sourceWidth, int sourceHeight, int wholeWidth,
                                  int wholeHeight, int left, int top, int width, int height) {
    sourceWidth_ = std::max(sourceWidth, 0);
    sourceHeight_ = std::max(sourceHeight, 0);
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    const int64_t across = std::max(wholeWidth, 1), down = std::max(wholeHeight, 1);
    columns_ =
        Samples(sourceWidth_, width_, across, sourceWidth_, 2 * int64_t{left} * sourceWidth_);
    rows_ = Samples(sourceHeight_, height_, down, sourceHeight_, 2 * int64_t{top} * sourceHeight_);
    SizeBuffers();
}

void FrameStretcher::SizeBuffers() {
    output_.clear();
    columnWeights_.resize(static_cast<size_t>(width_) * 4);
    for (int x = 0; x < width_; ++x)
        std::fill_n(&columnWeights_[static_cast<size_t>(x) * 4], 4,
                    static_cast<uint16_t>(columns_[x].weight));
    firsts_.resize(static_cast<size_t>(width_));
    seconds_.resize(static_cast<size_t>(width_));
    weights_.resize(static_cast<size_t>(width_));
    for (int x = 0; x < width_; ++x) {
        firsts_[x] = columns_[x].first;
        seconds_[x] = columns_[x].second;
        weights_[x] = static_cast<int32_t>(columns_[x].weight);
    }
    columnRatio_ = ColumnRatio();
    streamOutput_ = static_cast<int64_t>(width_) * height_ * 4 >= StreamedOutputBytes;
    bandSpan_ = 0;
    for (int begin = 0; begin < height_; begin += BandRows) {
        const int end = std::min(begin + BandRows, height_);
        bandSpan_ = std::max(bandSpan_, rows_[end - 1].second - rows_[begin].first + 1);
    }
    lanes_ = EnginePool().ThreadCount();
    scratch_.assign(static_cast<size_t>(lanes_) * bandSpan_ * width_, 0);
}

// The ratio whose fixed pattern the columns follow exactly, if any: output x = ratio * k +
// ratio / 2 + j blends source pixels k and k + 1 by (2j + 1) * 128 / ratio, the first and last
// ratio / 2 outputs are the edge pixels.
int FrameStretcher::ColumnRatio() const {
    for (const int ratio : {4, 2}) {
        if (sourceWidth_ < 2 || width_ != ratio * sourceWidth_) continue;
        const int half = ratio / 2;
        bool follows = true;
        for (int x = 0; x < width_ && follows; ++x) {
            Sample expected;
            if (x < half)
                expected = {0, 0, 0};
            else if (x >= width_ - half)
                expected = {sourceWidth_ - 1, sourceWidth_ - 1, 0};
            else {
                const int k = (x - half) / ratio, j = (x - half) % ratio;
                expected = {k, k + 1, static_cast<uint32_t>((2 * j + 1) * 128 / ratio)};
            }
            follows = columns_[x] == expected;
        }
        if (follows) return ratio;
    }
    return 0;
}

bool FrameStretcher::SameStretchAs(const FrameStretcher& other) const {
    return sourceWidth_ == other.sourceWidth_ && sourceHeight_ == other.sourceHeight_ &&
           columns_ == other.columns_ && rows_ == other.rows_;
}

// One source row widened to the output's width: each output column blends its two source
// pixels, four columns at a time where the processor has SSE2, with the scalar arithmetic.
void FrameStretcher::WidenRow(const uint32_t* in, uint32_t* wide) const {
#if defined(__i386__) || defined(__x86_64__)
    if (path_ == StretchPath::Avx2) {
        if (columnRatio_)
            stretch_avx2::WidenTimes(columnRatio_, in, sourceWidth_, wide);
        else
            stretch_avx2::WidenGeneral(in, firsts_.data(), seconds_.data(), weights_.data(), wide,
                                       width_);
        return;
    }
#endif
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    for (; x + 4 <= width_; x += 4) {
        const Sample* c = &columns_[x];
        const __m128i a =
            _mm_set_epi32(static_cast<int>(in[c[3].first]), static_cast<int>(in[c[2].first]),
                          static_cast<int>(in[c[1].first]), static_cast<int>(in[c[0].first]));
        const __m128i b =
            _mm_set_epi32(static_cast<int>(in[c[3].second]), static_cast<int>(in[c[2].second]),
                          static_cast<int>(in[c[1].second]), static_cast<int>(in[c[0].second]));
        const __m128i weightLow =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(&columnWeights_[4 * x]));
        const __m128i weightHigh =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(&columnWeights_[4 * x + 8]));
        const __m128i low = _mm_srli_epi16(
            _mm_add_epi16(
                _mm_mullo_epi16(_mm_unpacklo_epi8(a, zero), _mm_sub_epi16(full, weightLow)),
                _mm_mullo_epi16(_mm_unpacklo_epi8(b, zero), weightLow)),
            8);
        const __m128i high = _mm_srli_epi16(
            _mm_add_epi16(
                _mm_mullo_epi16(_mm_unpackhi_epi8(a, zero), _mm_sub_epi16(full, weightHigh)),
                _mm_mullo_epi16(_mm_unpackhi_epi8(b, zero), weightHigh)),
            8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(wide + x), _mm_packus_epi16(low, high));
    }
#endif
    for (; x < width_; ++x) {
        const Sample& column = columns_[x];
        wide[x] = Blend(in[column.first], in[column.second], column.weight);
    }
}

void FrameStretcher::BlendRow(const uint32_t* upper, const uint32_t* lower, uint32_t weight,
                              uint32_t* out) const {
#if defined(__i386__) || defined(__x86_64__)
    if (path_ == StretchPath::Avx2) {
        stretch_avx2::BlendRows(upper, lower, weight, out, width_, streamOutput_);
        return;
    }
#endif
    BlendRows(upper, lower, weight, out, width_);
}

// Output rows [band * BandRows, ...) from the source rows they read, widened into `scratch`.
void FrameStretcher::StretchBand(const uint32_t* source, int sourceStride, int band,
                                 uint32_t* scratch, uint32_t* target) {
    const int begin = band * BandRows;
    const int end = std::min(begin + BandRows, height_);
    const int firstSource = rows_[begin].first;
    const int lastSource = rows_[end - 1].second;  // the samples never go back up
    for (int r = firstSource; r <= lastSource; ++r)
        WidenRow(source + static_cast<size_t>(r) * sourceStride,
                 scratch + static_cast<size_t>(r - firstSource) * width_);
    for (int y = begin; y < end; ++y) {
        const Sample& row = rows_[y];
        BlendRow(scratch + static_cast<size_t>(row.first - firstSource) * width_,
                 scratch + static_cast<size_t>(row.second - firstSource) * width_, row.weight,
                 target + static_cast<size_t>(y) * width_);
    }
}

uint32_t* FrameStretcher::OwnOutput() {
    const size_t count = static_cast<size_t>(width_) * height_;
    if (output_.size() != count) output_.assign(count, 0xFF000000u);
    return output_.data();
}

void FrameStretcher::Stretch(const uint32_t* source, int sourceStride) {
    Stretch(source, sourceStride, OwnOutput());
}

void FrameStretcher::Stretch(const uint32_t* source, int sourceStride, uint32_t* target) {
    if (width_ == 0 || height_ == 0 || sourceWidth_ == 0 || sourceHeight_ == 0) return;
    // Lane k takes bands k, k + lanes, ... with its own scratch; the bands' output rows are
    // disjoint, so the lanes may run on any threads in any order.
    const int bands = (height_ + BandRows - 1) / BandRows;
    const int lanes = lanes_;
    auto job = [&](int begin, int end) {
        for (int lane = begin; lane < end; ++lane) {
            uint32_t* scratch = scratch_.data() + static_cast<size_t>(lane) * bandSpan_ * width_;
            for (int band = lane; band < bands; band += lanes)
                StretchBand(source, sourceStride, band, scratch, target);
        }
    };
    EnginePool().ForEachChunk(std::min(lanes, bands), 1, job);
}

void FrameStretcher::StretchSequentially(const uint32_t* source, int sourceStride) {
    uint32_t* const output = OwnOutput();
    if (width_ == 0 || height_ == 0 || sourceWidth_ == 0 || sourceHeight_ == 0) return;
    std::vector<uint32_t> wideRows(static_cast<size_t>(width_) * sourceHeight_);
    for (int r = 0; r < sourceHeight_; ++r) {
        const uint32_t* in = source + static_cast<size_t>(r) * sourceStride;
        uint32_t* wide = wideRows.data() + static_cast<size_t>(r) * width_;
        for (int x = 0; x < width_; ++x) {
            const Sample& column = columns_[x];
            wide[x] = Blend(in[column.first], in[column.second], column.weight);
        }
    }
    for (int y = 0; y < height_; ++y) {
        const Sample& row = rows_[y];
        uint32_t* out = output + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x)
            out[x] = Blend(wideRows[static_cast<size_t>(row.first) * width_ + x],
                           wideRows[static_cast<size_t>(row.second) * width_ + x], row.weight);
    }
}

}  // namespace lumora
