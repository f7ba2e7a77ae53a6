// The life of a window's field, on a clock the tests step: when a change is due and when it
// begins, the next field made ahead (complete and exact before it is shown), the next pattern
// rule, the cross-fade's end, the live view's choices, a new grid, and the fade-in.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/domain.h"
#include "engine/engine.h"
#include "shell/field_life.h"

namespace lumora {
namespace {

constexpr int Width = 40, Height = 24;
constexpr int64_t Minute = 10000;  // a cycle's minute, shortened

struct Field {
    EngineState state{Height, Width};
    explicit Field(int pattern, int scheme = 3) {
        SetGridSize(state, Width, Height);
        state.WindowWidth = Width * 4;
        state.WindowHeight = Height * 4;
        state.Pattern = pattern;
        state.ColourScheme = scheme;
        state.Speed = 30;
        SeedAnimation(state);
    }
};

// A fresh state's planes for the pattern, made whole: what a field made in slices must equal.
void ExpectPlanesOfAFreshField(const EngineState& field, const char* what) {
    Field fresh(field.Pattern);
    GeneratePatternField(fresh.state);
    for (int row = 0; row < Height; ++row)
        for (int col = 0; col < Width; ++col)
            ASSERT_TRUE(field.PlaneX[row][col] == fresh.state.PlaneX[row][col] &&
                        field.PlaneY[row][col] == fresh.state.PlaneY[row][col] &&
                        field.PlaneZ[row][col] == fresh.state.PlaneZ[row][col])
                << what << ": pattern " << field.Pattern << " at " << row << "," << col;
}

// Ticks every 30 ms from `from` up to `to`; the changes that began, with their times.
std::vector<uint64_t> TickUntil(FieldLife& life, uint64_t from, uint64_t to) {
    std::vector<uint64_t> changes;
    for (uint64_t now = from; now <= to; now += 30) {
        const FieldLife::TickResult tick = life.Tick(now);
        EXPECT_TRUE(tick.frame) << now;
        if (tick.changed) changes.push_back(now);
    }
    return changes;
}

TEST(FieldLife, AChangeIsDueEveryMinutesAndShowsACompleteExactNextField) {
    SeedRandom(7);
    for (const int pattern : {3, 17, 23}) {
        Field field(pattern);
        FieldLife life(field.state);
        ASSERT_TRUE(life.Start({Changes::Cycle, 1, Minute, false}, 10000));
        ASSERT_EQ(life.frame().width(), Width);
        // The first field's planes, made while it shows, and the next field made ahead: complete
        // long before it is due.
        TickUntil(life, 10030, 10300);
        ExpectPlanesOfAFreshField(field.state, "the first field");
        ASSERT_NE(life.NextReady(), nullptr) << pattern;
        EXPECT_NE(life.NextReady()->Pattern, pattern);
        ExpectPlanesOfAFreshField(*life.NextReady(), "the next field");
        EXPECT_EQ(TickUntil(life, 10330, 19990), std::vector<uint64_t>{}) << "before a minute";
        const EngineState& before = life.Shown();
        const long double rate = before.RotationRate1, angle = before.RotationAngle1;
        const FieldLife::TickResult tick = life.Tick(20000);
        ASSERT_TRUE(tick.changed) << pattern;
        // The new field goes on with the motion shown (and one frame's turn of its own).
        EXPECT_TRUE(life.Changing());
        EXPECT_EQ(life.Shown().RotationRate1, rate);
        EXPECT_NE(life.Shown().Pattern, pattern);
        EXPECT_NE(life.Shown().RotationAngle1, angle);
        EXPECT_EQ(life.Shown().ColourScheme, 3) << "schemes are not random";
        EXPECT_EQ(life.Shown().Speed, 30);
        // The cross-fade lasts two seconds; the next change comes a minute after this one.
        TickUntil(life, 20030, 21980);
        EXPECT_TRUE(life.Changing());
        life.Tick(22000);
        EXPECT_FALSE(life.Changing());
        EXPECT_EQ(TickUntil(life, 22030, 29980), std::vector<uint64_t>{});
        EXPECT_EQ(TickUntil(life, 30000, 30000), std::vector<uint64_t>{30000});
    }
}

TEST(FieldLife, PlanesMadeInSlicesOfRowsAreTheWholeField) {
    for (int pattern = 15; pattern <= LastPattern; ++pattern)
        for (const int slice : {1, 5, 7, Height}) {
            Field field(pattern);
            for (int row = 0; row < Height; row += slice)
                GeneratePatternRows(field.state, row, row + slice);
            ExpectPlanesOfAFreshField(field.state, "slices");
        }
}

// Its frames before the planes are made and after: the straightforward evaluation's, from a
// fresh state, on every vector path (the x87 path makes the planes at once).
TEST(FieldLife, TheFirstFramesNeedNotWaitForThePlanes) {
    if (!EnginePathAvailable(EnginePath::Avx2)) GTEST_SKIP() << "no vector path here";
    for (const EnginePath path : {EnginePath::Avx2, EnginePath::Avx512}) {
        if (!EnginePathAvailable(path)) continue;
        for (const int pattern : {17, 23}) {
            SeedRandom(40);
            Field field(pattern);
            SeedRandom(40);
            Field reference(pattern);
            ASSERT_TRUE(field.state.Render->SetPath(path));
            FieldLife life(field.state);
            ASSERT_TRUE(life.Start({Changes::None, 0, Minute, false}, 0));
            GeneratePatternFieldReference(reference.state);
            std::vector<uint32_t> expected(Width * Height);
            for (int tick = 0; tick < 12; ++tick) {
                SeedRandom(100 + tick);
                ASSERT_TRUE(life.Tick(30 * tick).frame);
                SeedRandom(100 + tick);
                RenderFrameReference(reference.state, {expected.data(), Width});
                for (int row = 0; row < Height; ++row)
                    ASSERT_EQ(0, std::memcmp(life.frame().pixels() + row * life.frame().stride(),
                                             expected.data() + row * Width, Width * 4))
                        << EnginePathName(path) << " pattern " << pattern << " tick " << tick
                        << " row " << row;
            }
            ExpectPlanesOfAFreshField(field.state, "the planes made meanwhile");
        }
    }
}

TEST(FieldLife, ANextFieldWithPlanesIsCompleteWhenItIsShown) {
    int checked = 0;
    for (uint32_t seed = 1; seed < 60 && checked < 6; ++seed) {
        SeedRandom(seed);
        Field field(2);
        FieldLife life(field.state);
        ASSERT_TRUE(life.Start({Changes::Cycle, 0, Minute, false}, 0));
        ASSERT_TRUE(life.RequestChange());
        uint64_t now = 0;
        while (!life.Tick(now += 30).changed) ASSERT_LT(now, 3000u) << "never changed";
        if (!PatternHasPlanes(life.Shown().Pattern)) continue;
        ExpectPlanesOfAFreshField(life.Shown(), "the field shown by a change");
        ++checked;
    }
    EXPECT_EQ(checked, 6);
}

TEST(FieldLife, EveryChangeTakesAnotherPatternAndWithRandomSchemesAnotherScheme) {
    SeedRandom(11);
    Field field(16, 5);
    FieldLife life(field.state);
    ASSERT_TRUE(life.Start({Changes::Cycle, 1, Minute, true}, 0));
    int pattern = 16, scheme = 5, changes = 0;
    for (uint64_t now = 30; now < 20 * Minute; now += 30) {
        if (!life.Tick(now).changed) continue;
        ++changes;
        EXPECT_NE(life.Shown().Pattern, pattern);
        EXPECT_GE(life.Shown().Pattern, FirstPattern);
        EXPECT_LE(life.Shown().Pattern, LastRandomPattern);
        EXPECT_NE(life.Shown().ColourScheme, scheme);
        pattern = life.Shown().Pattern;
        scheme = life.Shown().ColourScheme;
    }
    EXPECT_EQ(changes, 19);  // one a minute, each begun within a tick of its minute
}

TEST(FieldLife, WithoutMinutesOnlyARequestChangesAndWithoutChangesNothingDoes) {
    SeedRandom(12);
    Field still(18), asked(18);
    FieldLife stillLife(still.state), askedLife(asked.state);
    ASSERT_TRUE(stillLife.Start({Changes::None, 1, Minute, false}, 0));
    ASSERT_TRUE(askedLife.Start({Changes::Cycle, 0, Minute, false}, 0));
    EXPECT_FALSE(stillLife.RequestChange());
    EXPECT_EQ(TickUntil(stillLife, 30, 5 * Minute), std::vector<uint64_t>{});
    EXPECT_EQ(TickUntil(askedLife, 30, 5 * Minute), std::vector<uint64_t>{});
    EXPECT_TRUE(askedLife.RequestChange());
    EXPECT_TRUE(askedLife.Tick(5 * Minute + 30).changed);
    EXPECT_FALSE(askedLife.RequestChange()) << "a change is under way";
    EXPECT_EQ(stillLife.Shown().Pattern, 18);
}

TEST(FieldLife, TheLiveViewKeepsTheChosenFieldAndShowsANewChoiceAtOnce) {
    SeedRandom(13);
    Field chosen(19, 2);
    FieldLife life(chosen.state);
    ASSERT_TRUE(life.Start({Changes::LiveView, 1, Minute, false}, 0));
    std::vector<uint64_t> changes = TickUntil(life, 30, 3 * Minute + 2100);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(chosen.state.Pattern, 19) << "the dialog's choice is never overwritten";
    EXPECT_NE(&life.Shown(), &chosen.state);
    // The dialog's speed moves the field shown.
    chosen.state.Speed = 55;
    life.Tick(3 * Minute + 2130);
    EXPECT_EQ(life.Shown().Speed, 55);
    // A new pattern: the chosen field again, going on with the motion shown, the minutes anew.
    const long double rate = life.Shown().RotationRate2;
    chosen.state.Pattern = 21;
    GeneratePatternField(chosen.state);
    life.Tick(3 * Minute + 2160);
    EXPECT_EQ(&life.Shown(), &chosen.state);
    EXPECT_EQ(chosen.state.RotationRate2, rate);
    EXPECT_EQ(TickUntil(life, 3 * Minute + 2190, 4 * Minute + 2130), std::vector<uint64_t>{});
    EXPECT_EQ(TickUntil(life, 4 * Minute + 2160, 4 * Minute + 2160),
              std::vector<uint64_t>{4 * Minute + 2160});
    // New minutes count as a new choice too.
    life.FollowSettings(2, false);
    life.Tick(4 * Minute + 2190);
    EXPECT_EQ(&life.Shown(), &chosen.state);
    EXPECT_FALSE(life.Changing());
}

TEST(FieldLife, ANewGridGoesOnWithTheFieldShown) {
    SeedRandom(14);
    EngineState chosen(Height * 2, Width * 2);  // planes for the larger grid to come
    SetGridSize(chosen, Width, Height);
    chosen.Pattern = 20;
    chosen.ColourScheme = 4;
    SeedAnimation(chosen);
    FieldLife life(chosen);
    ASSERT_TRUE(life.Start({Changes::Cycle, 1, Minute, true}, 0));
    TickUntil(life, 30, Minute + 2100);  // one change, over
    const EngineState& shown = life.Shown();
    ASSERT_NE(&shown, &chosen);
    const int pattern = shown.Pattern, scheme = shown.ColourScheme;
    const long double angle = shown.RotationAngle3;
    life.ShowChosen();
    SetGridSize(chosen, Width * 2, Height * 2);
    ASSERT_TRUE(life.Start({Changes::Cycle, 1, Minute, true}, 5000));
    EXPECT_EQ(&life.Shown(), &chosen);
    EXPECT_EQ(chosen.Pattern, pattern);
    EXPECT_EQ(chosen.ColourScheme, scheme);
    EXPECT_EQ(chosen.RotationAngle3, angle);
    EXPECT_EQ(life.frame().width(), Width * 2);
    EXPECT_EQ(TickUntil(life, 5030, 5000 + Minute - 30), std::vector<uint64_t>{});
}

TEST(FadeIn, BlendsFromTheDesktopForOneSecondFromItsFirstBlend) {
    constexpr uint32_t White = 0xFFFFFFFFu, Black = 0xFF000000u;
    const auto desktop = [] {
        platform::Frame frame(4, 2);
        for (int i = 0; i < 8; ++i) frame.pixels()[i] = White;
        return frame;
    };
    uint32_t picture[8];
    const auto blend = [&](FadeIn& fade, uint64_t now, int width = 4) {
        std::fill(picture, picture + 8, Black);
        fade.Blend(picture, width, 2, width, now);
        return picture[0];
    };
    FadeIn fade;
    EXPECT_FALSE(fade.active());
    fade.From(desktop());
    ASSERT_TRUE(fade.active());
    EXPECT_EQ(blend(fade, 5000), White) << "all desktop at its first blend";
    EXPECT_EQ(blend(fade, 5500), 0xFF808080u) << "half way";
    EXPECT_NE(blend(fade, 5999), Black);
    EXPECT_TRUE(fade.active());
    EXPECT_EQ(blend(fade, 6000), Black) << "all field after a second";
    EXPECT_FALSE(fade.active());
    // A picture of another size ends it at once.
    fade.From(desktop());
    EXPECT_EQ(blend(fade, 100, 3), Black);
    EXPECT_FALSE(fade.active());
    // Where nothing is blended, the second runs out all the same.
    fade.From(desktop());
    fade.EndWhenDue(200);
    fade.EndWhenDue(1199);
    EXPECT_TRUE(fade.active());
    fade.EndWhenDue(1200);
    EXPECT_FALSE(fade.active());
}

}  // namespace
}  // namespace lumora
