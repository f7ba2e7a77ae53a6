#include "shell/stretch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

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

TEST(StretchTest, RowsSharedOutOverThreadsMatchOneSequentialPass) {
    std::vector<uint32_t> frame(37 * 23);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = 0xFF000000u | (static_cast<uint32_t>(i * 2654435761u) >> 8);
    FrameStretcher pooled, sequential;
    pooled.Resize(37, 23, 148, 92);
    sequential.Resize(37, 23, 148, 92);
    pooled.Stretch(frame.data(), 37);
    sequential.StretchSequentially(frame.data(), 37);
    ASSERT_EQ(std::vector<uint32_t>(pooled.pixels(), pooled.pixels() + 148 * 92),
              std::vector<uint32_t>(sequential.pixels(), sequential.pixels() + 148 * 92));
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
}

}  // namespace
}  // namespace lumora
