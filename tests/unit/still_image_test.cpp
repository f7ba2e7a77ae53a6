// The still of "Save Image": its own pixels, the live view paused for as long as it lives and
// given back once, however the still's way ends.
#include "settings/still_image.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/still.h"

namespace lumora {
namespace {

struct RecordingLiveView : LiveView {
    bool Open(HINSTANCE) override { return true; }
    HWND Handle() const override { return nullptr; }
    void Close() override {}
    void RefillField() override {}
    void PauseForStill(int width, int height) override {
        ++pauses;
        pausedFor = {width, height};
        EXPECT_EQ(pauses, resumes + 1) << "paused twice";
    }
    void Resume() override { ++resumes; }

    int pauses = 0, resumes = 0;
    std::pair<int, int> pausedFor;
};

struct Answering : StillProgress {
    explicit Answering(bool goOn) : goOn(goOn) {}
    bool Continue(int, int) override {
        ++asked;
        return goOn;
    }
    bool goOn;
    int asked = 0;
};

std::unique_ptr<EngineState> Seeded(int pattern) {
    auto state = std::make_unique<EngineState>(30, 40);
    state->Pattern = pattern;
    state->ColourScheme = 9;
    state->Speed = 20;
    SeedRandom(5);
    SeedAnimation(*state);
    return state;
}

TEST(StillImageTest, RendersTheFieldOfItsSizeWhileTheLiveViewWaits) {
    constexpr int Width = 37, Height = 21;
    auto expected = Seeded(18);
    std::vector<uint32_t> plain(Width * Height);
    StillRender(*expected, Width, Height).RenderAll({plain.data(), Width});

    RecordingLiveView live;
    auto engine = Seeded(18);
    {
        StillImage still(*engine, live, Width, Height);
        EXPECT_EQ(live.pauses, 1);
        EXPECT_EQ(live.pausedFor, std::make_pair(Width, Height));
        Answering progress(true);
        ASSERT_EQ(still.Render(progress), StillResult::Rendered);
        EXPECT_GE(progress.asked, 1);
        const platform::Frame& frame = still.frame();
        ASSERT_EQ(frame.width(), Width);
        ASSERT_EQ(frame.height(), Height);
        for (int row = 0; row < Height; ++row)
            for (int col = 0; col < Width; ++col)
                ASSERT_EQ(frame.pixels()[row * frame.stride() + col], plain[row * Width + col])
                    << col << "," << row;
        EXPECT_EQ(live.resumes, 0) << "the live view came back while the still was held";
    }
    EXPECT_EQ(live.resumes, 1);
}

TEST(StillImageTest, ACancelledOrImpossibleStillGivesTheLiveViewBackOnce) {
    RecordingLiveView live;
    auto engine = Seeded(3);
    {
        StillImage still(*engine, live, 20, 10);
        Answering cancel(false);
        EXPECT_EQ(still.Render(cancel), StillResult::Cancelled);
        EXPECT_EQ(cancel.asked, 1);
    }
    EXPECT_EQ(live.resumes, 1);
    {
        StillImage never(*engine, live, 0, 10);  // no pixels to be had
        Answering progress(true);
        EXPECT_EQ(never.Render(progress), StillResult::NoMemory);
        EXPECT_EQ(progress.asked, 0);
    }
    EXPECT_EQ(live.pauses, 2);
    EXPECT_EQ(live.resumes, 2);
}

}  // namespace
}  // namespace lumora
