// The stretch's inner loops at AVX2 width (shell/stretch_avx2.cpp, built for AVX2 alone and
// called only where the processor runs it). Each writes exactly what the scalar blend of
// shell/stretch.cpp writes: per channel (a * (256 - w) + b * w) >> 8, w in 0..256.
//
// WidenGeneral     wide[x] = blend of in[first[x]] and in[second[x]] by weight[x], any ratio
// WidenTimes       the enlargement by exactly `ratio` (2 or 4) with pixel centres kept: for
//                  source pixel pairs (k, k + 1) the outputs ratio * k + ratio / 2 + j,
//                  j < ratio, blend by (2j + 1) * 128 / ratio; the first ratio / 2 outputs are
//                  in[0], the last ratio / 2 are in[sourceWidth - 1]
// BlendRows        out[i] = blend of upper[i] and lower[i] by one weight; `stream`: written
//                  past the cache (for an output far larger than the cache, read next by the
//                  system's copy rather than by this thread), ordered before the call returns
#pragma once

#include <cstdint>

namespace lumora::stretch_avx2 {

void WidenGeneral(const uint32_t* in, const int32_t* first, const int32_t* second,
                  const int32_t* weight, uint32_t* wide, int width);
void WidenTimes(int ratio, const uint32_t* in, int sourceWidth, uint32_t* wide);
void BlendRows(const uint32_t* upper, const uint32_t* lower, uint32_t weight, uint32_t* out,
               int count, bool stream);

}  // namespace lumora::stretch_avx2
