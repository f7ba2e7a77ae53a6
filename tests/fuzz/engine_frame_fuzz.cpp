// The engine's frames: any pattern, scheme, speed, grid, angles, rates, frame count and path, the
// first frames of a fresh state against the straightforward evaluation of a state of its own,
// pixel for pixel, into a target wider than the grid whose extra columns must stay untouched.
//
// Input (bytes, little-endian; a short input reads as zeros beyond its end):
//   0 pattern   1 scheme   2 speed   3 width   4 height   5 frames and stride   6 path
//   7.. three angles and three rates, 2 bytes each: angles -1 .. 7 radians (a 0xFFFF angle is
//   a million, beyond the range the vector path's bounds cover), rates -0.01 .. 0.01
//   19.. the seed, 4 bytes
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace lumora;

struct Reader {
    const uint8_t* data;
    size_t size;
    unsigned Byte(size_t at) const { return at < size ? data[at] : 0u; }
    unsigned Word(size_t at) const { return Byte(at) | Byte(at + 1) << 8; }
};

std::unique_ptr<EngineState> Fresh(int width, int height, int pattern, int scheme, int speed,
                                   const long double angles[3], const long double rates[3],
                                   uint32_t seed) {
    auto state = std::make_unique<EngineState>(height + 1, width + 1);
    SeedRandom(seed);
    SeedAnimation(*state);
    state->Pattern = pattern;
    state->ColourScheme = scheme;
    state->Speed = speed;
    state->RotationAngle1 = angles[0], state->RotationAngle2 = angles[1],
    state->RotationAngle3 = angles[2];
    state->RotationRate1 = rates[0], state->RotationRate2 = rates[1],
    state->RotationRate3 = rates[2];
    SetGridSize(*state, width, height);
    return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Reader in{data, size};
    const int pattern = 1 + static_cast<int>(in.Byte(0) % 25);
    const int scheme = static_cast<int>(in.Byte(1) % 19);
    const int speed = static_cast<int>(in.Byte(2) % 51);
    const int width = 1 + static_cast<int>(in.Byte(3) % 96);
    const int height = 1 + static_cast<int>(in.Byte(4) % 64);
    const int frames = 1 + static_cast<int>(in.Byte(5) % 4);
    const int extraStride = static_cast<int>(in.Byte(5) >> 2 & 7);
    std::vector<EnginePath> paths;
    for (EnginePath p : {EnginePath::X87, EnginePath::Avx2, EnginePath::Avx512})
        if (EnginePathAvailable(p)) paths.push_back(p);
    const EnginePath path = paths[in.Byte(6) % paths.size()];
    long double angles[3], rates[3];
    for (int k = 0; k < 3; ++k) {
        const unsigned a = in.Word(7 + 2 * k), r = in.Word(13 + 2 * k);
        angles[k] = a == 0xFFFF ? 1e6L : -1.0L + 8.0L * static_cast<long double>(a) / 65536.0L;
        rates[k] = -0.01L + 0.02L * static_cast<long double>(r) / 65536.0L;
    }
    const uint32_t seed = in.Byte(19) | in.Byte(20) << 8 | in.Byte(21) << 16 | in.Byte(22) << 24;

    auto fast = Fresh(width, height, pattern, scheme, speed, angles, rates, seed);
    auto reference = Fresh(width, height, pattern, scheme, speed, angles, rates, seed);
    FUZZ_CHECK(fast->Render->SetPath(path));
    GeneratePatternField(*fast);
    GeneratePatternFieldReference(*reference);
    const int stride = width + extraStride;
    constexpr uint32_t Untouched = 0x5A5A5A5Au;
    std::vector<uint32_t> actual(static_cast<size_t>(stride) * height, Untouched);
    std::vector<uint32_t> expected(static_cast<size_t>(width) * height);
    for (int frame = 0; frame < frames; ++frame) {
        SeedRandom(seed + frame);
        RenderFrame(*fast, {actual.data(), stride});
        SeedRandom(seed + frame);
        RenderFrameReference(*reference, {expected.data(), width});
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < stride; ++col) {
                const uint32_t got = actual[static_cast<size_t>(row) * stride + col];
                if (col < width) {
                    FUZZ_CHECK(got == expected[static_cast<size_t>(row) * width + col]);
                } else {
                    FUZZ_CHECK(got == Untouched);
                }
            }
        FUZZ_CHECK(fast->PixelColour == reference->PixelColour);
    }
    return 0;
}
