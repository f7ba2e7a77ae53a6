// The saver's changes over time: the next pattern and scheme, when a change is due, the blends.
#include <gtest/gtest.h>

#include <set>

#include "engine/domain.h"
#include "engine/engine.h"
#include "shell/field_cycle.h"

namespace lumora {
namespace {

// Every draw of many lies in first..last, is never the current one, and every other value comes.
void ExpectDrawsOtherThan(int (*draw)(int), int current, int first, int last) {
    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int next = draw(current);
        ASSERT_GE(next, first) << current;
        ASSERT_LE(next, last) << current;
        ASSERT_NE(next, current);
        seen.insert(next);
    }
    const bool inRange = current >= first && current <= last;
    EXPECT_EQ(seen.size(), static_cast<size_t>(last - first + 1 - (inRange ? 1 : 0))) << current;
}

TEST(FieldCycleTest, TheNextPatternIsDrawnFromTheRandomStartsRangeAndNeverTheCurrentOne) {
    SeedRandom(27);
    for (int current = 0; current <= LastPattern + 1; ++current)
        ExpectDrawsOtherThan(NextPattern, current, FirstPattern, LastRandomPattern);
}

TEST(FieldCycleTest, TheNextSchemeIsAnyOtherScheme) {
    SeedRandom(28);
    for (int current = -1; current <= LastColourScheme + 1; ++current)
        ExpectDrawsOtherThan(NextScheme, current, FirstColourScheme, LastColourScheme);
    std::set<int> seen;
    for (int i = 0; i < 1000; ++i) seen.insert(RandomScheme());
    EXPECT_EQ(seen,
              (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
}

TEST(FieldCycleTest, ACycleIsDueAfterItsMinutesAndNeverAtZero) {
    const struct {
        int64_t elapsed;
        int minutes;
        bool due;
    } cases[] = {
        {0, 1, false},         {59999, 1, false},     {60000, 1, true},     {7200000, 0, false},
        {INT64_MAX, 0, false}, {7199999, 120, false}, {7200000, 120, true}, {-5, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CycleDue(c.elapsed, c.minutes), c.due) << c.elapsed << " " << c.minutes;
    // A shorter minute, as the benchmark asks for.
    EXPECT_FALSE(CycleDue(1999, 1, 2000));
    EXPECT_TRUE(CycleDue(4000, 2, 2000));
}

TEST(FieldCycleTest, BlendWeightRisesEvenlyFromNothingToAll) {
    const struct {
        int64_t elapsed, duration;
        int weight;
    } cases[] = {
        {-10, 2000, 0},    {0, 2000, 0},      {1, 2000, 0},       {1000, 2000, 128},
        {1999, 2000, 255}, {2000, 2000, 256}, {90000, 2000, 256}, {500, 1000, 128},
        {0, 0, 256},       {5, -1, 256},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BlendWeight(c.elapsed, c.duration), c.weight) << c.elapsed;
}

// Per channel, the plain way.
uint32_t Mixed(uint32_t a, uint32_t b, int w) {
    uint32_t pixel = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t x = a >> shift & 0xFF, y = b >> shift & 0xFF;
        pixel |= ((x * (256 - w) + y * w + 128) >> 8) << shift;
    }
    return pixel;
}

TEST(FieldCycleTest, BlendPixelsMixesEveryChannelOnItsOwnAtAnyStride) {
    // 3 x 2 pixels of two pictures with strides of their own; channels that differ in every byte.
    const uint32_t from[] = {0xFF102030, 0xFFFFFFFF, 0xFF000000, 0xDEAD,
                             0x00FF0000, 0xFF00FF00, 0xFF0000FF, 0xDEAD};
    const uint32_t to[] = {0xFF302010, 0xFF000000, 0xFFFFFFFF, 0xBEEF, 0xBEEF,
                           0xFF00FF00, 0xFF0000FF, 0xFFFF0000, 0xBEEF, 0xBEEF};
    const platform::FrameView a{from, 3, 2, 4}, b{to, 3, 2, 5};
    EXPECT_EQ(Mixed(0xFF000000, 0xFFFFFFFF, 128), 0xFF808080u);
    for (const int weight : {0, 1, 64, 128, 200, 255, 256}) {
        uint32_t out[2 * 6];
        std::fill(std::begin(out), std::end(out), 0x12345678u);
        BlendPixels(a, b, weight, out, 6);
        for (int row = 0; row < 2; ++row)
            for (int col = 0; col < 6; ++col)
                EXPECT_EQ(
                    out[row * 6 + col],
                    col < 3 ? Mixed(from[row * 4 + col], to[row * 5 + col], weight) : 0x12345678u)
                    << weight << " " << row << "," << col;
    }
    // Weight 0 is the first picture and 256 the second, exactly (made opaque); beyond is clamped.
    uint32_t out[6];
    BlendPixels(a, b, -7, out, 3);
    EXPECT_EQ(out[3], 0xFFFF0000u);
    BlendPixels(a, b, 999, out, 3);
    EXPECT_EQ(out[2], 0xFFFFFFFFu);
    EXPECT_EQ(out[5], 0xFFFF0000u);
    // In place, over the first picture.
    uint32_t inPlace[] = {0xFF000000, 0xFF0000FF};
    BlendPixels({inPlace, 2, 1, 2}, {to + 1, 2, 1, 5}, 128, inPlace, 2);
    EXPECT_EQ(inPlace[0], 0xFF000000u);
    EXPECT_EQ(inPlace[1], 0xFF8080FFu);
}

}  // namespace
}  // namespace lumora
