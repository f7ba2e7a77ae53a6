// Stills rendered in pieces against the engine's one frame and the straightforward engine with
// planes of the still's size.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/still.h"

namespace lumora {
namespace {

struct Frame {
    int pattern, scheme;
    uint32_t seed;
};

void Prepare(EngineState& state, const Frame& frame) {
    SeedRandom(frame.seed);
    SeedAnimation(state);
    state.Pattern = frame.pattern;
    state.ColourScheme = frame.scheme;
    state.Speed = 20;
}

std::vector<uint32_t> InPieces(const Frame& frame, int width, int height, int piecePoints,
                               int pieceColumns) {
    auto state = std::make_unique<EngineState>();
    Prepare(*state, frame);
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, 0);
    StillRender still(*state, width, height, piecePoints, pieceColumns);
    still.RenderAll({pixels.data(), width});
    return pixels;
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int count = 0;
    for (size_t i = 0; i < a.size(); ++i) count += a[i] != b[i];
    return count;
}

// Within the planes: bands of a few rows cut into narrow columns give the engine's own frame.
TEST(StillRender, PiecesGiveTheEnginesFrameForEveryPattern) {
    const int width = 333, height = 211;
    for (int pattern = 1; pattern <= 25; ++pattern) {
        const Frame frame{pattern, pattern % 19, 40u + pattern};
        auto state = std::make_unique<EngineState>();
        Prepare(*state, frame);
        SetGridSize(*state, width, height);
        GeneratePatternField(*state);
        std::vector<uint32_t> whole(static_cast<size_t>(width) * height, 0);
        RenderFrame(*state, {whole.data(), width});
        EXPECT_EQ(Differing(InPieces(frame, width, height, 4000, 100), whole), 0) << pattern;
    }
}

// Beyond the planes, wider and taller: the straightforward engine with planes of that size.
TEST(StillRender, BeyondThePlanesIsTheFieldOfThatSize) {
    struct Size {
        int width, height;
    };
    for (const Size size : {Size{2100, 10}, Size{12, 1600}}) {
        for (int pattern = 1; pattern <= 25; ++pattern) {
            const Frame frame{pattern, (pattern * 7) % 19, 90u + pattern};
            auto wide = std::make_unique<EngineState>(size.height, size.width);
            Prepare(*wide, frame);
            wide->GridWidth = size.width;
            wide->GridHeight = size.height;
            GeneratePatternFieldReference(*wide);
            std::vector<uint32_t> expected(static_cast<size_t>(size.width) * size.height, 0);
            RenderFrameReference(*wide, {expected.data(), size.width});
            const std::vector<uint32_t> actual = InPieces(
                frame, size.width, size.height, StillRender::DefaultPiecePoints, MaxGridColumns);
            EXPECT_EQ(Differing(actual, expected), 0)
                << size.width << "x" << size.height << " pattern " << pattern;
        }
    }
}

// The pieces share one rotation: the state advanced once, as by one frame.
TEST(StillRender, AdvancesTheRotationOnce) {
    auto once = std::make_unique<EngineState>();
    auto still = std::make_unique<EngineState>();
    Prepare(*once, {17, 0, 5});
    Prepare(*still, {17, 0, 5});
    SetGridSize(*once, 4, 4);
    std::vector<uint32_t> pixels(3000 * 3, 0);
    RenderFrame(*once, {pixels.data(), 4});
    StillRender(*still, 3000, 3, 500, 700).RenderAll({pixels.data(), 3000});
    EXPECT_EQ(still->RotationAngle1, once->RotationAngle1);
    EXPECT_EQ(still->RotationAngle2, once->RotationAngle2);
    EXPECT_EQ(still->RotationAngle3, once->RotationAngle3);
}

}  // namespace
}  // namespace lumora
