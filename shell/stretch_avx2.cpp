#include "shell/stretch_kernels.h"

#include <immintrin.h>

#include <cstring>

namespace lumora::stretch_avx2 {
namespace {

inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t weight) {
    const uint32_t keep = 256 - weight;
    const uint32_t redBlue =
        (((a & 0x00FF00FFu) * keep + (b & 0x00FF00FFu) * weight) >> 8) & 0x00FF00FFu;
    const uint32_t alphaGreen =
        ((((a >> 8) & 0x00FF00FFu) * keep + ((b >> 8) & 0x00FF00FFu) * weight)) & 0xFF00FF00u;
    return redBlue | alphaGreen;
}

// Eight pixels' weights (0..256, one per 32-bit lane) as the 16-bit channel weights of the low
// and high halves that unpacklo/unpackhi_epi8 make of eight pixels: pixels 0, 1, 4, 5 and
// 2, 3, 6, 7 (the unpacks work within each 128-bit lane).
struct ChannelWeights {
    __m256i low, high;
};
inline ChannelWeights Spread(__m256i weights) {
    const __m256i doubled = _mm256_or_si256(weights, _mm256_slli_epi32(weights, 16));
    return {_mm256_unpacklo_epi32(doubled, doubled), _mm256_unpackhi_epi32(doubled, doubled)};
}

inline __m256i Blend8(__m256i a, __m256i b, const ChannelWeights& w) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i full = _mm256_set1_epi16(256);
    const __m256i low = _mm256_srli_epi16(
        _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_unpacklo_epi8(a, zero), _mm256_sub_epi16(full, w.low)),
            _mm256_mullo_epi16(_mm256_unpacklo_epi8(b, zero), w.low)),
        8);
    const __m256i high = _mm256_srli_epi16(
        _mm256_add_epi16(
            _mm256_mullo_epi16(_mm256_unpackhi_epi8(a, zero), _mm256_sub_epi16(full, w.high)),
            _mm256_mullo_epi16(_mm256_unpackhi_epi8(b, zero), w.high)),
        8);
    return _mm256_packus_epi16(low, high);
}

// The same blend where every weight is a multiple of 32 (all of the enlargements by 2 and 4):
// (a * (256 - 32k) + b * 32k) >> 8 is exactly (a * (8 - k) + b * k) >> 3, whose byte pairs one
// multiply-add takes at once. pairs: the 16-bit lanes (k << 8) | (8 - k) of the pixels of the
// low and high halves, as ChannelWeights.
inline __m256i BlendEighths(__m256i a, __m256i b, const ChannelWeights& pairs) {
    const __m256i low = _mm256_maddubs_epi16(_mm256_unpacklo_epi8(a, b), pairs.low);
    const __m256i high = _mm256_maddubs_epi16(_mm256_unpackhi_epi8(a, b), pairs.high);
    return _mm256_packus_epi16(_mm256_srli_epi16(low, 3), _mm256_srli_epi16(high, 3));
}
// Eight pixels' weights, multiples of 32, as BlendEighths takes them.
inline ChannelWeights EighthPairs(__m256i weights) {
    const __m256i k = _mm256_srli_epi32(weights, 5);
    return Spread(
        _mm256_or_si256(_mm256_slli_epi32(k, 8), _mm256_sub_epi32(_mm256_set1_epi32(8), k)));
}

inline __m256i Load(const uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Two rows blended by one weight, 1..256; Eighths: a multiple of 32.
template <bool Eighths>
void BlendRowsOf(const uint32_t* upper, const uint32_t* lower, uint32_t weight, uint32_t* out,
                 int count, bool stream) {
    const __m256i spread = _mm256_set1_epi32(static_cast<int>(weight));
    const ChannelWeights weights = Eighths ? EighthPairs(spread) : Spread(spread);
    auto blend8 = [&weights](__m256i a, __m256i b) {
        return Eighths ? BlendEighths(a, b, weights) : Blend8(a, b, weights);
    };
    int i = 0;
    if (!stream) {
        for (; i + 8 <= count; i += 8) Store(out + i, blend8(Load(upper + i), Load(lower + i)));
        for (; i < count; ++i) out[i] = Blend(upper[i], lower[i], weight);
        return;
    }
    // Past the cache, which spares reading every line of the output in first. The pixels up to
    // a 32-byte boundary go the ordinary way.
    for (; i < count && (reinterpret_cast<uintptr_t>(out + i) & 31) != 0; ++i)
        out[i] = Blend(upper[i], lower[i], weight);
    for (; i + 8 <= count; i += 8)
        _mm256_stream_si256(reinterpret_cast<__m256i*>(out + i),
                            blend8(Load(upper + i), Load(lower + i)));
    for (; i < count; ++i) out[i] = Blend(upper[i], lower[i], weight);
    _mm_sfence();  // the streamed stores seen before anything that follows
}

}  // namespace

void WidenGeneral(const uint32_t* in, const int32_t* first, const int32_t* second,
                  const int32_t* weight, uint32_t* wide, int width) {
    const int* source = reinterpret_cast<const int*>(in);
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i a =
            _mm256_i32gather_epi32(source, Load(reinterpret_cast<const uint32_t*>(first + x)), 4);
        const __m256i b =
            _mm256_i32gather_epi32(source, Load(reinterpret_cast<const uint32_t*>(second + x)), 4);
        Store(wide + x, Blend8(a, b, Spread(Load(reinterpret_cast<const uint32_t*>(weight + x)))));
    }
    for (; x < width; ++x)
        wide[x] = Blend(in[first[x]], in[second[x]], static_cast<uint32_t>(weight[x]));
}

void WidenTimes(int ratio, const uint32_t* in, int sourceWidth, uint32_t* wide) {
    const int half = ratio / 2;
    for (int x = 0; x < half; ++x) wide[x] = in[0];
    // Eight outputs at a time from the source pixels k .. k + 8 / ratio, read as eight.
    const int pairsPerStep = 8 / ratio;
    __m256i lower, upper;
    ChannelWeights pairs;
    if (ratio == 4) {
        lower = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
        pairs = EighthPairs(_mm256_setr_epi32(32, 96, 160, 224, 32, 96, 160, 224));
    } else {
        lower = _mm256_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3);
        pairs = EighthPairs(_mm256_setr_epi32(64, 192, 64, 192, 64, 192, 64, 192));
    }
    upper = _mm256_add_epi32(lower, _mm256_set1_epi32(1));
    int k = 0;
    for (; k + 8 <= sourceWidth; k += pairsPerStep) {
        const __m256i source = Load(in + k);
        Store(wide + ratio * k + half,
              BlendEighths(_mm256_permutevar8x32_epi32(source, lower),
                           _mm256_permutevar8x32_epi32(source, upper), pairs));
    }
    for (; k + 1 < sourceWidth; ++k)
        for (int j = 0; j < ratio; ++j)
            wide[ratio * k + half + j] =
                Blend(in[k], in[k + 1], static_cast<uint32_t>((2 * j + 1) * 128 / ratio));
    const int width = ratio * sourceWidth;
    for (int x = width - half; x < width; ++x) wide[x] = in[sourceWidth - 1];
}

void BlendRows(const uint32_t* upper, const uint32_t* lower, uint32_t weight, uint32_t* out,
               int count, bool stream) {
    if (weight == 0) {
        std::memcpy(out, upper, static_cast<size_t>(count) * sizeof *out);
        return;
    }
    if (weight % 32 == 0) {
        BlendRowsOf<true>(upper, lower, weight, out, count, stream);
        return;
    }
    BlendRowsOf<false>(upper, lower, weight, out, count, stream);
}

}  // namespace lumora::stretch_avx2
