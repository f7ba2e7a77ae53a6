// The frame the engine renders into and the windows draw: its layout, its ownership, and one
// engine frame into it at every tick.
#include "platform/frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "shell/frame_render.h"

namespace lumora {
namespace {

TEST(FrameTest, RowsAreAlignedAndEveryPixelIsOpaqueBlack) {
    struct Case {
        int width, height, stride;
    };
    const Case cases[] = {{1, 1, 16}, {15, 2, 16}, {16, 3, 16}, {17, 1, 32}, {37, 23, 48}};
    for (const Case& c : cases) {
        const platform::Frame frame(c.width, c.height);
        ASSERT_FALSE(frame.empty()) << c.width << "x" << c.height;
        EXPECT_EQ(frame.width(), c.width);
        EXPECT_EQ(frame.height(), c.height);
        EXPECT_EQ(frame.stride(), c.stride) << c.width << "x" << c.height;
        for (int row = 0; row < c.height; ++row) {
            const uint32_t* first = frame.pixels() + static_cast<size_t>(row) * frame.stride();
            EXPECT_EQ(reinterpret_cast<uintptr_t>(first) % platform::Frame::RowAlignment, 0u)
                << row;
            for (int col = 0; col < c.stride; ++col) ASSERT_EQ(first[col], platform::Frame::Black);
        }
    }
    for (const auto& [width, height] : {std::pair{0, 5}, {5, 0}, {-1, 3}, {0, 0}}) {
        const platform::Frame frame(width, height);
        EXPECT_TRUE(frame.empty()) << width << "x" << height;
        EXPECT_TRUE(frame.view().empty());
        EXPECT_EQ(frame.width() + frame.height() + frame.stride(), 0);
    }
}

TEST(FrameTest, MoveHandsOverThePixels) {
    platform::Frame first(8, 4);
    const uint32_t* pixels = first.pixels();
    platform::Frame second(std::move(first));
    EXPECT_EQ(second.pixels(), pixels);
    EXPECT_TRUE(first.empty());
    platform::Frame third(2, 2);
    third = std::move(second);
    EXPECT_EQ(third.pixels(), pixels);
    EXPECT_EQ(third.width(), 8);
    EXPECT_EQ(third.height(), 4);
    EXPECT_TRUE(second.empty());
}

std::unique_ptr<EngineState> Seeded(int pattern, int width, int height) {
    auto state = std::make_unique<EngineState>(std::max(height, 1), std::max(width, 1));
    state->GridWidth = width;
    state->GridHeight = height;
    state->Pattern = pattern;
    state->ColourScheme = 3;
    state->Speed = 20;
    SeedRandom(17);
    SeedAnimation(*state);
    GeneratePatternField(*state);
    return state;
}

// Rows 48 pixels apart for a grid 37 wide: a stride taken for the width would shear the picture.
TEST(FrameTest, RenderIntoFrameIsThePlainFrameAtTheFramesStride) {
    for (const int pattern : {6, 19}) {
        const int width = 37, height = 23;
        auto plain = Seeded(pattern, width, height);
        auto framed = Seeded(pattern, width, height);
        std::vector<uint32_t> expected(width * height);
        platform::Frame frame(width, height);
        for (int tick = 0; tick < 3; ++tick) {
            RenderFrame(*plain, {expected.data(), width});
            ASSERT_TRUE(RenderIntoFrame(*framed, frame));
        }
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col)
                ASSERT_EQ(frame.pixels()[row * frame.stride() + col], expected[row * width + col])
                    << "pattern " << pattern << " at " << col << "," << row;
        // The padding beyond the width is never written.
        EXPECT_EQ(frame.pixels()[frame.stride() - 1], platform::Frame::Black);
    }
}

TEST(FrameTest, EmptyGridAdvancesTheRotationAndAFrameTooSmallGetsNothing) {
    auto empty = Seeded(5, 0, 0);
    platform::Frame none;
    const long double angle = empty->RotationAngle3;
    EXPECT_TRUE(RenderIntoFrame(*empty, none));
    EXPECT_NE(empty->RotationAngle3, angle);

    auto state = Seeded(7, 16, 9);
    platform::Frame small(10, 6);
    const long double before = state->RotationAngle3;
    EXPECT_FALSE(RenderIntoFrame(*state, small));
    EXPECT_EQ(state->RotationAngle3, before);
    for (int row = 0; row < small.height(); ++row)
        for (int col = 0; col < small.stride(); ++col)
            ASSERT_EQ(small.pixels()[row * small.stride() + col], platform::Frame::Black);
}

}  // namespace
}  // namespace lumora
