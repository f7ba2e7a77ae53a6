#include "shell/stretch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/fast_frame.h"

namespace lumora {
namespace {

uint8_t Channel(uint32_t pixel, int shift) { return static_cast<uint8_t>(pixel >> shift); }

TEST(StretchTest, OutputCoversTheWholeWindowAndKeepsEdgeColours) {
    // A 2 x 2 frame with four distinct opaque colours: red, green / blue, white.
    const std::vector<uint32_t> frame = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    FrameStretcher stretcher;
    stretcher.Resize(2, 2, 8, 8);
    stretcher.Stretch(frame.data(), 2);
    ASSERT_EQ(stretcher.width(), 8);
    ASSERT_EQ(stretcher.height(), 8);
    const uint32_t* out = stretcher.pixels();
    // The corners lie outside the outermost sample centres and keep the corner colours exactly:
    // no flip, no channel swap, alpha kept.
    EXPECT_EQ(out[0], 0xFFFF0000u);
    EXPECT_EQ(out[7], 0xFF00FF00u);
    EXPECT_EQ(out[7 * 8], 0xFF0000FFu);
    EXPECT_EQ(out[7 * 8 + 7], 0xFFFFFFFFu);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(out[i] >> 24, 0xFFu) << "pixel " << i;
}

TEST(StretchTest, InterpolatesLinearlyBetweenSampleCentres) {
    // One row, black to white, enlarged four times: a ramp that never goes backwards and meets
    // the middle between the two centres.
    const std::vector<uint32_t> frame = {0xFF000000u, 0xFFFFFFFFu};
    FrameStretcher stretcher;
    stretcher.Resize(2, 1, 8, 4);
    stretcher.Stretch(frame.data(), 2);
    const uint32_t* row = stretcher.pixels() + 8;  // any row: all equal
    for (int x = 1; x < 8; ++x) EXPECT_GE(Channel(row[x], 8), Channel(row[x - 1], 8)) << x;
    // Destination pixels 3 and 4 sample at 0.375 and 0.625 of the way: 96/256 and 160/256.
    EXPECT_EQ(Channel(row[3], 16), (255 * 96) >> 8);
    EXPECT_EQ(Channel(row[4], 0), (255 * 160) >> 8);
    // Pixels up to the first centre are the first colour, from the last centre on the last.
    EXPECT_EQ(row[0], 0xFF000000u);
    EXPECT_EQ(row[1], 0xFF000000u);
    EXPECT_EQ(row[6], 0xFFFFFFFFu);
    EXPECT_EQ(row[7], 0xFFFFFFFFu);
}

TEST(StretchTest, InterpolatesRowsLinearlyAcrossTheWholeWidth) {
    // One column, black over white, enlarged to 9 x 8: every pixel of a row has the same
    // value (the wide rows are blended four pixels at a time, the last one alone).
    const std::vector<uint32_t> frame = {0xFF000000u, 0xFFFFFFFFu};
    FrameStretcher stretcher;
    stretcher.Resize(1, 2, 9, 8);
    stretcher.Stretch(frame.data(), 1);
    const uint32_t expected[8] = {0xFF000000u, 0xFF000000u, 0xFF1F1F1Fu, 0xFF5F5F5Fu,
                                  0xFF9F9F9Fu, 0xFFDFDFDFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(stretcher.pixels()[y * 9 + x], expected[y]) << "row " << y << " column " << x;
}

TEST(StretchTest, ChannelsDoNotBleedIntoEachOther) {
    // Full red next to full blue: every blend has no green, alpha 255, and red + blue ~ 255.
    const std::vector<uint32_t> frame = {0xFFFF0000u, 0xFF0000FFu};
    FrameStretcher stretcher;
    stretcher.Resize(2, 1, 16, 1);
    stretcher.Stretch(frame.data(), 2);
    for (int x = 0; x < 16; ++x) {
        const uint32_t pixel = stretcher.pixels()[x];
        EXPECT_EQ(Channel(pixel, 8), 0) << x;
        EXPECT_EQ(pixel >> 24, 0xFFu) << x;
        const int sum = Channel(pixel, 16) + Channel(pixel, 0);
        EXPECT_TRUE(sum == 254 || sum == 255) << x << ": " << sum;
    }
}

TEST(StretchTest, HonoursTheSourceStrideAndOddSizes) {
    // A 3 x 2 frame inside rows of 5 pixels; the padding must never show.
    const uint32_t pad = 0xFF123456u;
    const std::vector<uint32_t> frame = {0xFF000010u, 0xFF000020u, 0xFF000030u, pad, pad,
                                         0xFF000040u, 0xFF000050u, 0xFF000060u, pad, pad};
    FrameStretcher stretcher;
    stretcher.Resize(3, 2, 13, 7);
    stretcher.Stretch(frame.data(), 5);
    for (int i = 0; i < 13 * 7; ++i) {
        const uint32_t pixel = stretcher.pixels()[i];
        EXPECT_EQ(pixel & 0xFFFFFF00u, 0xFF000000u) << "pixel " << i << " took colour from padding";
        EXPECT_GE(pixel & 0xFFu, 0x10u);
        EXPECT_LE(pixel & 0xFFu, 0x60u);
    }
}

TEST(StretchTest, EveryPathAndBandingMatchesThePlainTwoPassStretch) {
    // Enlargements by the saver's divisors (exactly 4 and 2, also too narrow for a whole vector
    // step, a part of a span that keeps the ratio, and a 3840 x 2160 screen's), odd sizes, a
    // reduction, covers of other monitors' shapes, and bands that end early: every pixel as the
    // plain evaluation gives it, on every path the processor has; `ratio` is the widening kernel
    // the columns must take.
    struct Case {
        int sourceWidth, sourceHeight, width, height;
        StretchFit fit;
        int ratio;
    };
    const Case cases[] = {
        {37, 23, 148, 92, StretchFit::Fill, 4},
        {480, 270, 1920, 1080, StretchFit::Fill, 4},
        {960, 540, 1920, 1080, StretchFit::Fill, 2},
        {5, 3, 10, 6, StretchFit::Fill, 2},
        {3, 2, 12, 8, StretchFit::Fill, 4},
        {19, 7, 38, 29, StretchFit::Fill, 2},
        {41, 17, 83, 35, StretchFit::Fill, 0},
        {5, 3, 7, 101, StretchFit::Fill, 0},
        {64, 48, 31, 19, StretchFit::Fill, 0},
        {1, 1, 9, 5, StretchFit::Fill, 0},
        {1, 3, 4, 12, StretchFit::Fill, 0},
        {96, 54, 128, 102, StretchFit::Cover, 0},
        {96, 54, 77, 200, StretchFit::Cover, 0},
        {342, 192, 1366, 768, StretchFit::Fill, 0},
        {40, 30, 160, 120, StretchFit::Cover, 4},
        {960, 540, 3840, 2160, StretchFit::Fill, 4},  // large enough to be written past the caches
    };
    const int saved = FastThreadCount();
    for (const StretchPath path : {StretchPath::Sse2, StretchPath::Avx2}) {
        if (!StretchPathAvailable(path)) {
            std::printf("stretch path %s: not on this processor\n", StretchPathName(path));
            continue;
        }
        for (int threads : {1, 3}) {
            SetFastThreadCount(threads);
            for (const Case& c : cases) {
                const std::string name = std::string(StretchPathName(path)) + ", " +
                                         std::to_string(threads) + " threads, " +
                                         std::to_string(c.sourceWidth) + "x" +
                                         std::to_string(c.sourceHeight) + " to " +
                                         std::to_string(c.width) + "x" + std::to_string(c.height);
                const int stride = c.sourceWidth + 3;
                std::vector<uint32_t> frame(static_cast<size_t>(stride) * c.sourceHeight);
                for (size_t i = 0; i < frame.size(); ++i)
                    frame[i] =
                        static_cast<uint32_t>(i * 2654435761u) ^ static_cast<uint32_t>(i << 7);
                FrameStretcher banded, plain;
                ASSERT_TRUE(banded.SetPath(path)) << name;
                banded.Resize(c.sourceWidth, c.sourceHeight, c.width, c.height, c.fit);
                plain.Resize(c.sourceWidth, c.sourceHeight, c.width, c.height, c.fit);
                EXPECT_EQ(banded.columnRatio(), c.ratio) << name;
                const size_t count = static_cast<size_t>(c.width) * c.height;
                // Into a target of the caller's with a guard pixel after it.
                std::vector<uint32_t> target(count + 1, 0x12345678u);
                banded.Stretch(frame.data(), stride, target.data());
                plain.StretchSequentially(frame.data(), stride);
                EXPECT_TRUE(std::equal(target.begin(), target.begin() + count, plain.pixels()))
                    << name;
                EXPECT_EQ(target[count], 0x12345678u) << name << ": wrote past the target";
            }
        }
    }
    SetFastThreadCount(saved);
}

TEST(StretchTest, CoverCropsTheOverhangingSidesAndKeepsTheAspectRatio) {
    // Black, white side by side (2 x 1) covering 4 x 4: scaled 4 times to 8 x 4, the middle
    // four columns show, sampling at 0.125, 0.375, 0.625 and 0.875 of the way. Stretched to
    // fill instead, the same window would start and end on the edge colours.
    const std::vector<uint32_t> wide = {0xFF000000u, 0xFFFFFFFFu};
    const uint8_t expected[4] = {(255 * 32) >> 8, (255 * 96) >> 8, (255 * 160) >> 8,
                                 (255 * 224) >> 8};
    FrameStretcher stretcher;
    stretcher.Resize(2, 1, 4, 4, StretchFit::Cover);
    stretcher.Stretch(wide.data(), 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Channel(stretcher.pixels()[y * 4 + x], 8), expected[x]) << x << "," << y;
    // The same turned upright (1 x 2) crops at the top and bottom.
    stretcher.Resize(1, 2, 4, 4, StretchFit::Cover);
    stretcher.Stretch(wide.data(), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Channel(stretcher.pixels()[y * 4 + x], 8), expected[y]) << x << "," << y;
}

TEST(StretchTest, CoverOfAnotherMonitorScalesBothDirectionsAlike) {
    // A 256 x 192 frame whose blue channel is the column and green the row, covering a
    // 1280 x 1024 monitor: scaled by 1024 / 192 in both directions, about 43 pixels cut off
    // on the left and right, nothing at the top and bottom.
    std::vector<uint32_t> frame(256 * 192);
    for (uint32_t row = 0; row < 192; ++row)
        for (uint32_t col = 0; col < 256; ++col)
            frame[row * 256 + col] = 0xFF000000u | row << 8 | col;
    FrameStretcher stretcher;
    stretcher.Resize(256, 192, 1280, 1024, StretchFit::Cover);
    stretcher.Stretch(frame.data(), 256);
    auto at = [&](int x, int y) { return stretcher.pixels()[y * 1280 + x]; };
    // Column 0 samples the source at (0.5 + 42.67) / 5.33 - 0.5 = 7.59, the last at 247.41.
    EXPECT_EQ(Channel(at(0, 512), 0), 7);
    EXPECT_EQ(Channel(at(1279, 512), 0), 247);
    EXPECT_EQ(Channel(at(640, 0), 8), 0);
    EXPECT_EQ(Channel(at(640, 1023), 8), 191);
    // 320 destination pixels span 60 source pixels in either direction.
    EXPECT_EQ(Channel(at(960, 512), 0) - Channel(at(640, 512), 0), 60);
    EXPECT_EQ(Channel(at(640, 640), 8) - Channel(at(640, 320), 8), 60);
}

TEST(StretchTest, CoverOfTheFramesOwnShapeIsTheFill) {
    std::vector<uint32_t> frame(37 * 23);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = 0xFF000000u | (static_cast<uint32_t>(i * 2654435761u) >> 8);
    FrameStretcher cover, fill;
    cover.Resize(37, 23, 148, 92, StretchFit::Cover);
    fill.Resize(37, 23, 148, 92);
    cover.Stretch(frame.data(), 37);
    fill.Stretch(frame.data(), 37);
    ASSERT_EQ(std::vector<uint32_t>(cover.pixels(), cover.pixels() + 148 * 92),
              std::vector<uint32_t>(fill.pixels(), fill.pixels() + 148 * 92));
    EXPECT_TRUE(cover.SameStretchAs(fill));
    // A grid a quarter of 1920 x 1080 has the screen's shape exactly; one of 1366 x 768
    // (342 x 192) does not, so covering and filling that screen are different pictures.
    cover.Resize(480, 270, 1920, 1080, StretchFit::Cover);
    fill.Resize(480, 270, 1920, 1080);
    EXPECT_TRUE(cover.SameStretchAs(fill));
    cover.Resize(342, 192, 1366, 768, StretchFit::Cover);
    fill.Resize(342, 192, 1366, 768);
    EXPECT_FALSE(cover.SameStretchAs(fill));
    fill.Resize(480, 270, 1280, 1024);
    EXPECT_FALSE(cover.SameStretchAs(fill));
}

TEST(StretchTest, EmptySizesWriteNothing) {
    const uint32_t pixel = 0xFF00FF00u;
    FrameStretcher stretcher;
    stretcher.Resize(1, 1, 0, 0);
    stretcher.Stretch(&pixel, 1);
    EXPECT_EQ(stretcher.width(), 0);
    stretcher.Resize(0, 0, 4, 4);
    stretcher.Stretch(&pixel, 1);
    EXPECT_EQ(stretcher.pixels()[0], 0xFF000000u);  // left black, the source was empty
    stretcher.Resize(0, 0, 4, 4, StretchFit::Cover);
    stretcher.Stretch(&pixel, 1);
    EXPECT_EQ(stretcher.pixels()[0], 0xFF000000u);
}

}  // namespace
}  // namespace lumora
