// Every build renders the same pixels: the checksums of a set of stills, recorded from the native
// build with lumora-render, recomputed here in each tree (native, win32, win64).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/vector_frame.h"
#include "tools/render_options.h"

namespace lumora {
namespace {

struct Still {
    int pattern, scheme, width, height, speed, frames;
    uint32_t seed;
    bool anglesGiven;
    long double angle1, angle2, angle3;
    uint64_t checksum;
};

const Still Stills[] = {
#include "tests/fixtures/engine_checksums.inc"
};

// On every path the processor offers (engine/vector_frame.h).
TEST(CrossBuild, StillsMatchTheNativeChecksums) {
    std::vector<uint32_t> pixels;
    for (EnginePath path : {EnginePath::X87, EnginePath::Avx2, EnginePath::Avx512}) {
        auto state = std::make_unique<EngineState>();
        if (!state->Render->SetPath(path)) continue;
        for (const Still& s : Stills) {
            SetGridSize(*state, s.width, s.height);
            state->Pattern = s.pattern;
            state->ColourScheme = s.scheme;
            state->Speed = s.speed;
            SeedRandom(s.seed);
            SeedAnimation(*state);
            if (s.anglesGiven) {
                state->RotationAngle1 = s.angle1;
                state->RotationAngle2 = s.angle2;
                state->RotationAngle3 = s.angle3;
            }
            GeneratePatternField(*state);
            pixels.assign(static_cast<size_t>(s.width) * s.height, 0xFF000000u);
            for (int frame = 0; frame < s.frames; ++frame)
                RenderFrame(*state, {pixels.data(), s.width});
            EXPECT_EQ(render::FrameChecksum(pixels.data(), s.width, s.height, s.width), s.checksum)
                << "pattern " << s.pattern << " scheme " << s.scheme << " " << s.width << "x"
                << s.height << " seed " << s.seed << " path " << EnginePathName(path);
        }
    }
}

// The straightforward evaluation is the definition every path is held to: three frames of each
// pattern at Speed 50 (a 29x17 grid, scheme 3 * pattern mod 19, seed 900 + pattern), recorded
// from the native build before the patterns' formulas were shared between the evaluations.
TEST(CrossBuild, StraightforwardFramesMatchTheirChecksums) {
    struct Recorded {
        int pattern;
        uint64_t checksum;
    };
    const Recorded recorded[] = {
        {1, 0xe311734ffbb6c64aull},  {2, 0x97bf125243f9beb0ull},  {3, 0xa5304b0b9c0e2961ull},
        {4, 0x2f18867cf215f1dcull},  {5, 0xac0b47c226882ed8ull},  {6, 0xd58eb33446ec026cull},
        {7, 0x162892c4b30fc6d2ull},  {8, 0xa0572a54227d6ba8ull},  {9, 0xc963f783591123d2ull},
        {10, 0x338f9517b3e8433bull}, {11, 0xa654bd3864818a34ull}, {12, 0x89a2ac6686e0bcbaull},
        {13, 0x4b6561fac4f242e3ull}, {14, 0x767a5e4b851dd9f1ull}, {15, 0xf0d54434d0e2f2c7ull},
        {16, 0x014c427c079e14dcull}, {17, 0xf9812a44af83380aull}, {18, 0x4e270ea82e4fc448ull},
        {19, 0x8b725f91e301befbull}, {20, 0xca53c7ad318e6e7bull}, {21, 0xe48d6e3c8ee1d477ull},
        {22, 0xf8df38e921b2f895ull}, {23, 0xe9c4ca76efeb7f88ull}, {24, 0x307187ff476da228ull},
        {25, 0x73b6b8cf8d26c3dcull},
    };
    constexpr int W = 29, H = 17, Frames = 3;
    for (const Recorded& r : recorded) {
        auto state = std::make_unique<EngineState>(H + 1, W + 1);
        state->GridWidth = W;
        state->GridHeight = H;
        state->Pattern = r.pattern;
        state->ColourScheme = (r.pattern * 3) % 19;
        state->Speed = 50;
        SeedRandom(900 + r.pattern);
        SeedAnimation(*state);
        GeneratePatternFieldReference(*state);
        std::vector<uint32_t> pixels(W * H * Frames);
        for (int frame = 0; frame < Frames; ++frame)
            RenderFrameReference(*state, {pixels.data() + frame * W * H, W});
        EXPECT_EQ(render::FrameChecksum(pixels.data(), W, H * Frames, W), r.checksum)
            << "pattern " << r.pattern;
    }
}

}  // namespace
}  // namespace lumora
