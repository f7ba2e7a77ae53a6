// The draw into a window's device context, against the system's GDI: a surface's pixels reach
// the destination 1:1 where they were asked to go (no flip, no channel swap, nothing beyond),
// and a window's picture is the stretch of its frame.
#include "platform/draw_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "shell/window_picture.h"

namespace lumora {
namespace {

// An asymmetric picture: every pixel its own, the channels telling column and row apart.
void Fill(uint32_t* pixels, int width, int height, int stride) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * stride + x] = 0xFF000000u | static_cast<uint32_t>(x * 40) << 16 |
                                     static_cast<uint32_t>(y * 60) << 8 | 0x11u;
}

TEST(DrawFrameTest, SurfaceAndMemoryFrameLandOneToOneAtTheirPlace) {
    constexpr int Width = 5, Height = 3, Left = 2, Top = 1;
    platform::DrawSurface source, target;
    ASSERT_TRUE(source.Resize(Width, Height));
    ASSERT_TRUE(target.Resize(9, 6));
    uint32_t* const bits = source.pixels();
    ASSERT_TRUE(source.Resize(Width, Height));
    EXPECT_EQ(source.pixels(), bits) << "the same size keeps the section";
    Fill(source.pixels(), Width, Height, Width);
    // A frame in memory whose rows are wider than its pixels: only the width is drawn.
    std::vector<uint32_t> frame(7 * Height, 0xFFFFFFFFu);
    Fill(frame.data(), Width, Height, 7);
    for (int kind = 0; kind < 2; ++kind) {
        std::fill_n(target.pixels(), 9 * 6, 0u);
        if (kind == 0)
            platform::DrawFrame(target.get(), source, Left, Top);
        else
            platform::DrawFrame(target.get(), platform::FrameView{frame.data(), Width, Height, 7},
                                Left, Top);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 9; ++x) {
                const bool inside = x >= Left && x < Left + Width && y >= Top && y < Top + Height;
                const uint32_t expected =
                    inside ? source.pixels()[(y - Top) * Width + x - Left] : 0u;
                EXPECT_EQ(target.pixels()[y * 9 + x] & 0xFFFFFFu, expected & 0xFFFFFFu)
                    << (kind == 0 ? "surface" : "memory frame") << " at " << x << "," << y;
            }
    }
    EXPECT_TRUE(source.Resize(0, 4));
    EXPECT_TRUE(source.empty());
    platform::DrawFrame(target.get(), source);  // nothing to draw, nothing drawn
}

TEST(DrawFrameTest, AnEmptySurfaceHandsOutNothingAndARefusedOneIsEmpty) {
    platform::DrawSurface surface;
    const auto expectEmpty = [&surface](const char* after) {
        EXPECT_TRUE(surface.empty()) << after;
        EXPECT_EQ(surface.width(), 0) << after;
        EXPECT_EQ(surface.height(), 0) << after;
        EXPECT_EQ(surface.pixels(), nullptr) << after;
        EXPECT_EQ(surface.get(), nullptr) << after;
        EXPECT_TRUE(surface.view().empty()) << after;
    };
    ASSERT_TRUE(surface.Resize(4, 3));
    EXPECT_FALSE(surface.Resize(32768, 32768)) << "4 GB of pixels";
    expectEmpty("a refused size");
    ASSERT_TRUE(surface.Resize(4, 3)) << "made again after a refusal";
    EXPECT_NE(surface.get(), nullptr);
    EXPECT_EQ(surface.view().width, 4);
    EXPECT_EQ(surface.view().stride, 4);
    EXPECT_TRUE(surface.Resize(0, 0));
    expectEmpty("no size");
}

TEST(DrawFrameTest, WindowPictureIsTheStretchOfItsFrame) {
    std::vector<uint32_t> frame(6 * 4);
    Fill(frame.data(), 5, 4, 6);
    WindowPicture picture;
    picture.Resize(5, 4, 23, 17);
    EXPECT_FALSE(picture.Make(platform::FrameView{}));
    EXPECT_EQ(picture.pixels(), nullptr);
    ASSERT_TRUE(picture.Make(platform::FrameView{frame.data(), 5, 4, 6}));
    ASSERT_EQ(picture.width(), 23);
    ASSERT_EQ(picture.height(), 17);
    FrameStretcher reference;
    reference.Resize(5, 4, 23, 17);
    reference.StretchSequentially(frame.data(), 6);
    EXPECT_EQ(std::vector<uint32_t>(picture.pixels(), picture.pixels() + 23 * 17),
              std::vector<uint32_t>(reference.pixels(), reference.pixels() + 23 * 17));
    WindowPicture same, other;
    same.Resize(5, 4, 23, 17);
    other.Resize(5, 4, 23, 17, StretchFit::Cover);
    EXPECT_TRUE(same.SameAs(picture));
    EXPECT_FALSE(other.SameAs(picture));
}

}  // namespace
}  // namespace lumora
