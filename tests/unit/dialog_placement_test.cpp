// Where the settings dialog goes under its live view: screens, work areas and DPIs.
#include <gtest/gtest.h>

#include "settings/dialog_placement.h"

namespace lumora {
namespace {

struct PlacementCase {
    const char* what;
    platform::ScreenRect live;
    int dialogWidth, dialogHeight;
    platform::ScreenRect work;
    bool moveLiveView;
    DialogPlacement expected;
};

// Live views and dialogs of the sizes the program makes (outer sizes, borders and caption
// included) on the screens and DPIs named.
const PlacementCase Cases[] = {
    {"1920x1080 at 96 DPI: the design's placement",
     {474, 216, 1446, 786},
     532,
     227,
     {0, 0, 1920, 1080},
     true,
     {474, 216, 694, 788}},
    {"the same above a 40-pixel taskbar still fits",
     {474, 216, 1446, 786},
     532,
     227,
     {0, 0, 1920, 1040},
     true,
     {474, 216, 694, 788}},
    {"1366x768 at 120 DPI: the pair moves up until the dialog's bottom meets the screen's",
     {338, 153, 1028, 572},
     665,
     283,
     {0, 0, 1366, 768},
     true,
     {338, 64, 350, 485}},
    {"the same above a taskbar moves further up",
     {338, 153, 1028, 572},
     665,
     283,
     {0, 0, 1366, 728},
     true,
     {338, 24, 350, 445}},
    {"a taskbar at the top stops the live view; the dialog overlaps it",
     {338, 153, 1028, 572},
     665,
     283,
     {0, 100, 1366, 768},
     true,
     {338, 100, 350, 485}},
    {"800x600 at 144 DPI: live view at the top, dialog wider than the live view and overlapping",
     {190, 120, 610, 465},
     798,
     322,
     {0, 0, 800, 600},
     true,
     {190, 0, 1, 278}},
    {"a dialog wider than the work area keeps its left edge on the screen",
     {100, 50, 500, 300},
     900,
     200,
     {0, 0, 800, 600},
     true,
     {100, 50, 0, 302}},
    {"a monitor left of the primary: the design's placement there",
     {-985, 204, -295, 623},
     532,
     227,
     {-1280, 0, 0, 1024},
     true,
     {-985, 204, -906, 625}},
    {"dragged low: the live view stays, the dialog stays on the screen",
     {338, 500, 1028, 919},
     665,
     283,
     {0, 0, 1366, 768},
     false,
     {338, 500, 350, 485}},
    {"dragged off the left edge: the dialog stays on the screen",
     {-300, 100, 390, 519},
     665,
     283,
     {0, 0, 1366, 768},
     false,
     {-300, 100, 0, 485}},
};

TEST(DialogPlacementTest, PlacesTheDialogWholeWithinTheWorkArea) {
    for (const PlacementCase& c : Cases) {
        const DialogPlacement got =
            PlaceDialogUnderLiveView(c.live, c.dialogWidth, c.dialogHeight, c.work, c.moveLiveView);
        EXPECT_EQ(got.liveLeft, c.expected.liveLeft) << c.what;
        EXPECT_EQ(got.liveTop, c.expected.liveTop) << c.what;
        EXPECT_EQ(got.dialogLeft, c.expected.dialogLeft) << c.what;
        EXPECT_EQ(got.dialogTop, c.expected.dialogTop) << c.what;
        // Whole within the work area wherever it is not larger than it.
        if (c.dialogHeight <= c.work.height()) {
            EXPECT_GE(got.dialogTop, c.work.top) << c.what;
            EXPECT_LE(got.dialogTop + c.dialogHeight, c.work.bottom) << c.what;
        }
        if (c.dialogWidth <= c.work.width()) {
            EXPECT_GE(got.dialogLeft, c.work.left) << c.what;
            EXPECT_LE(got.dialogLeft + c.dialogWidth, c.work.right) << c.what;
        }
    }
}

}  // namespace
}  // namespace lumora
