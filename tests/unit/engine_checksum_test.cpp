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
    auto state = std::make_unique<EngineState>();
    std::vector<uint32_t> pixels;
    const EnginePath active = ActiveEnginePath();
    for (EnginePath path : {EnginePath::X87, EnginePath::Avx2, EnginePath::Avx512}) {
        if (!SetEnginePath(path)) continue;
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
            for (int frame = 0; frame < s.frames; ++frame) RenderFrame(*state, {pixels.data(), s.width});
            EXPECT_EQ(render::FrameChecksum(pixels.data(), s.width, s.height, s.width), s.checksum)
                << "pattern " << s.pattern << " scheme " << s.scheme << " " << s.width << "x" << s.height
                << " seed " << s.seed << " path " << EnginePathName(path);
        }
    }
    SetEnginePath(active);
}

}  // namespace
}  // namespace lumora
