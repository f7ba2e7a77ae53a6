// One field over every monitor: the bounds, the grid and divisor, each monitor's part of the
// frame; and the stretch made in parts, which must be the stretch of the whole cut up.
#include "shell/span.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/domain.h"
#include "shell/stretch.h"

namespace lumora {
namespace {

constexpr platform::ScreenRect Sized(int left, int top, int width, int height) {
    return platform::ScreenRect::Sized(left, top, width, height);
}

// The one rounding of a grid, a window's or a span's: halves to even, exact in integers.
TEST(SpanTest, GridQuotientRoundsHalvesToEven) {
    struct Case {
        int size, divisor, quotient;
    };
    const Case cases[] = {
        {1366, 4, 342},
        {1282, 4, 320},
        {1920, 4, 480},
        {683, 2, 342},
        {1922, 4, 480},
        {1926, 4, 482},
        {5, 2, 2},
        {7, 2, 4},
        {1, 2, 0},
        {3, 2, 2},
        {0, 4, 0},
        {-9, 4, 0},
        {10, 0, 10},
        {10, -3, 10},
        {2147483647, 1, 2147483647},
        {2147483647, 2, 1073741824},
        {2147483646, 4, 536870912},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GridQuotient(c.size, c.divisor), c.quotient) << c.size << " / " << c.divisor;
}

TEST(SpanTest, GridDivisorAndEachMonitorsSourceRectangle) {
    struct Case {
        const char* layout;
        std::vector<platform::ScreenRect> monitors;  // the primary at (0, 0)
        platform::ScreenRect bounds;
        SpanGrid grid;
        std::vector<SourceRect> sources;  // in the monitors' order
    };
    const Case cases[] = {
        {"one 1920x1080",
         {Sized(0, 0, 1920, 1080)},
         Sized(0, 0, 1920, 1080),
         {4, 480, 270},
         {{0, 0, 480, 270}}},
        {"two 1920x1080 side by side",
         {Sized(0, 0, 1920, 1080), Sized(1920, 0, 1920, 1080)},
         Sized(0, 0, 3840, 1080),
         {4, 960, 270},
         {{0, 0, 480, 270}, {480, 0, 960, 270}}},
        {"three sizes, one left at negative x, one below",
         {Sized(0, 0, 1280, 1024), Sized(-1024, 0, 1024, 768), Sized(0, 1024, 800, 600)},
         Sized(-1024, 0, 2304, 1624),
         {4, 576, 406},
         {{256, 0, 576, 256}, {0, 0, 256, 192}, {256, 256, 456, 406}}},
        {"a gap of 100 pixels",
         {Sized(0, 0, 1024, 768), Sized(1124, 0, 1024, 768)},
         Sized(0, 0, 2148, 768),
         {4, 537, 192},
         {{0, 0, 256, 192}, {281, 0, 537, 192}}},
        {"three 3840x2160: a quarter does not fit, a sixth does",
         {Sized(0, 0, 3840, 2160), Sized(3840, 0, 3840, 2160), Sized(7680, 0, 3840, 2160)},
         Sized(0, 0, 11520, 2160),
         {6, 1920, 360},
         {{0, 0, 640, 360}, {640, 0, 1280, 360}, {1280, 0, 1920, 360}}},
        // Halves go to the even neighbour, as SizeGridToWindow rounds.
        {"480.5 x 270.5",
         {Sized(0, 0, 1922, 1082)},
         Sized(0, 0, 1922, 1082),
         {4, 480, 270},
         {{0, 0, 480, 270}}},
        {"481.5 x 271.5",
         {Sized(0, 0, 1926, 1086)},
         Sized(0, 0, 1926, 1086),
         {4, 482, 272},
         {{0, 0, 482, 272}}},
        // The planes' edges: 2001 columns and 1501 rows fit a quarter, a half more does not.
        {"8004 x 6004",
         {Sized(0, 0, 8004, 6004)},
         Sized(0, 0, 8004, 6004),
         {4, 2001, 1501},
         {{0, 0, 2001, 1501}}},
        {"8006 wide",
         {Sized(0, 0, 4003, 600), Sized(4003, 0, 4003, 600)},
         Sized(0, 0, 8006, 600),
         {5, 1601, 120},
         {{0, 0, 800.5, 120}, {800.5, 0, 1601, 120}}},
        {"6006 high",
         {Sized(0, 0, 800, 3003), Sized(0, 3003, 800, 3003)},
         Sized(0, 0, 800, 6006),
         {5, 160, 1201},
         {{0, 0, 160, 600.5}, {0, 600.5, 160, 1201}}},
    };
    for (const Case& c : cases) {
        const platform::ScreenRect bounds = BoundsOf(c.monitors);
        EXPECT_EQ(bounds, c.bounds) << c.layout;
        const SpanGrid grid = SpanGridFor(bounds.width(), bounds.height());
        EXPECT_EQ(grid, c.grid) << c.layout;
        for (size_t i = 0; i < c.monitors.size(); ++i) {
            const SourceRect source = SourceOf(c.monitors[i], bounds, grid.width, grid.height);
            const SourceRect& expected = c.sources[i];
            EXPECT_DOUBLE_EQ(source.left, expected.left) << c.layout << ", monitor " << i;
            EXPECT_DOUBLE_EQ(source.top, expected.top) << c.layout << ", monitor " << i;
            EXPECT_DOUBLE_EQ(source.right, expected.right) << c.layout << ", monitor " << i;
            EXPECT_DOUBLE_EQ(source.bottom, expected.bottom) << c.layout << ", monitor " << i;
        }
    }
}

TEST(SpanTest, PartsOfTheStretchAreTheWholeStretchCutUp) {
    // A 7 x 5 frame of distinct pixels over a whole of 37 x 23, cut into three parts of
    // different sizes (one left, two on the right above each other) and compared pixel by pixel.
    constexpr int FrameWidth = 7, FrameHeight = 5, WholeWidth = 37, WholeHeight = 23;
    std::vector<uint32_t> frame(FrameWidth * FrameHeight);
    for (size_t i = 0; i < frame.size(); ++i)
        frame[i] = 0xFF000000u | static_cast<uint32_t>(i * 0x3F1D57u % 0xFFFFFFu);
    FrameStretcher whole;
    whole.Resize(FrameWidth, FrameHeight, WholeWidth, WholeHeight);
    whole.StretchSequentially(frame.data(), FrameWidth);

    const platform::ScreenRect parts[] = {Sized(0, 0, 13, 23), Sized(13, 0, 24, 11),
                                          Sized(13, 11, 24, 12),
                                          Sized(0, 0, WholeWidth, WholeHeight)};
    for (const platform::ScreenRect& part : parts) {
        FrameStretcher stretcher;
        stretcher.ResizeToPart(FrameWidth, FrameHeight, WholeWidth, WholeHeight, part.left,
                               part.top, part.width(), part.height());
        stretcher.Stretch(frame.data(), FrameWidth);
        ASSERT_EQ(stretcher.width(), part.width());
        ASSERT_EQ(stretcher.height(), part.height());
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                ASSERT_EQ(stretcher.pixels()[y * part.width() + x],
                          whole.pixels()[(part.top + y) * WholeWidth + part.left + x])
                    << "part at " << part.left << "," << part.top << ": pixel " << x << "," << y;
    }
}

}  // namespace
}  // namespace lumora
