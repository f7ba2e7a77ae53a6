// The draw's policy: the path a window starts on and why, and the trial that keeps the cheaper
// of GDI and Direct3D by the process's processor time per frame.
#include <gtest/gtest.h>

#include <string>

#include "shell/draw_choice.h"

namespace lumora {
namespace {

TEST(DrawChoice, TheSituationDecidesGdiForGoodOrATrialOrDirect3D) {
    using Path = DrawChoice::Path;
    const struct {
        DrawSituation situation;
        const char* why;  // null: no GDI for good
        Path path;
    } cases[] = {
        {{.windowed = true}, "windowed", Path::Gdi},
        {{.hasWindow = false}, "windowed", Path::Gdi},
        {{.wholeFrame = false}, "span", Path::Gdi},
        {{.remoteSession = true}, "remote-session", Path::Gdi},
        {{.forced = DrawForced::Gdi}, "forced", Path::Gdi},
        // The reasons in the order they are asked: a live view is "windowed" whatever else.
        {{.windowed = true, .wholeFrame = false, .forced = DrawForced::Gpu}, "windowed", Path::Gdi},
        {{.remoteSession = true, .forced = DrawForced::Gpu}, "remote-session", Path::Gdi},
        {{.forced = DrawForced::Gpu}, nullptr, Path::Gpu},
        {{}, nullptr, Path::TrialGdi},
    };
    for (const auto& c : cases) {
        DrawChoice choice;
        const char* why = choice.Start(c.situation);
        EXPECT_EQ(why ? std::string(why) : "", c.why ? std::string(c.why) : "") << c.why;
        EXPECT_EQ(choice.path(), c.path) << c.why;
    }
}

// The trial's frames, each drawn at `msPerFrame` of processor time (after a warm-up that costs
// `warmUpMs` each, which is not counted); the steps the choice asks for.
struct Trial {
    DrawChoice choice;
    double now = 1000;
    int Frames(int count, double msPerFrame, DrawChoice::Next expected) {
        int asked = 0;
        for (int i = 0; i < count; ++i) {
            now += msPerFrame;
            const DrawChoice::Next next = choice.TrialFrameDrawn(now);
            if (next != DrawChoice::Next::Same) {
                EXPECT_EQ(next, expected) << "frame " << i;
                EXPECT_EQ(i, count - 1) << "asked too early";
                ++asked;
            }
        }
        return asked;
    }
};

TEST(DrawChoice, TheTrialKeepsTheCheaperPathAndSaysWhy) {
    using Next = DrawChoice::Next;
    const struct {
        double gdiMs, gpuMs;
        Next kept;
        const char* why;
    } cases[] = {
        {2.5, 28.0, Next::KeepGdi, "cheaper gdi=2.50 d3d11=28.00"},
        {9.0, 1.25, Next::KeepGpu, "cheaper gdi=9.00 d3d11=1.25"},
        {4.0, 4.0, Next::KeepGdi, "cheaper gdi=4.00 d3d11=4.00"},  // a tie keeps GDI
    };
    for (const auto& c : cases) {
        Trial trial;
        ASSERT_EQ(trial.choice.Start({}), nullptr);
        // The warm-up's frames cost ten times as much and are not counted.
        EXPECT_EQ(trial.Frames(DrawChoice::WarmUpFrames, c.gdiMs * 10, Next::Same), 0);
        EXPECT_EQ(trial.Frames(DrawChoice::TrialFrames, c.gdiMs, Next::BeginGpuTrial), 1);
        EXPECT_EQ(trial.choice.path(), DrawChoice::Path::TrialGpu);
        EXPECT_EQ(trial.Frames(DrawChoice::WarmUpFrames, c.gpuMs * 10, Next::Same), 0);
        EXPECT_EQ(trial.Frames(DrawChoice::TrialFrames, c.gpuMs, c.kept), 1);
        EXPECT_EQ(std::string(trial.choice.why()), c.why);
        EXPECT_EQ(trial.choice.path(),
                  c.kept == Next::KeepGpu ? DrawChoice::Path::Gpu : DrawChoice::Path::Gdi);
        // Decided: no more trial.
        EXPECT_EQ(trial.Frames(200, 1.0, Next::Same), 0);
    }
}

TEST(DrawChoice, AFallBackEndsTheTrialOnGdi) {
    Trial trial;
    trial.choice.Start({});
    trial.Frames(DrawChoice::WarmUpFrames + DrawChoice::TrialFrames, 3.0,
                 DrawChoice::Next::BeginGpuTrial);
    trial.choice.FallBackToGdi();  // no swap chain
    EXPECT_EQ(trial.choice.path(), DrawChoice::Path::Gdi);
    EXPECT_FALSE(trial.choice.onTrial());
    EXPECT_EQ(trial.Frames(100, 1.0, DrawChoice::Next::Same), 0);
}

}  // namespace
}  // namespace lumora
