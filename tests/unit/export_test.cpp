// The settings dialog's pure rules: presets and labels, and the still's file name.
#include <gtest/gtest.h>

#include "settings/export.h"
#include "settings/image_name.h"

namespace lumora {
namespace {

TEST(ImageSizePresetTest, LabelSuffixAndTheDesktopsOwnEntries) {
    const Desktop fullHd{{1920, 1080}, {1920, 1080}, 1};
    const Desktop twoMonitors{{2560, 1440}, {4480, 1440}, 2};
    struct Case {
        int wall;
        Desktop desktop;
        const wchar_t* label;
    };
    const Case cases[] = {
        {12, fullHd, L"Image Size 1920x1080-Your Desktop"},
        {12, {{1600, 900}, {1600, 900}, 1}, L"Image Size 1920x1080"},
        {1, {{800, 600}, {800, 600}, 1}, L"Image Size 800x600-Your Desktop"},
        {14, fullHd, L"Image Size 2000x1500"},  // beyond the planes no more limited
        {16, twoMonitors, L"Image Size 2560x1440-Your Desktop"},
        {23, fullHd, L"Image Size 7680x4320"},
        {24, {{1280, 720}, {1280, 720}, 1}, L"Image Size 1280x720-Your Desktop"},
        {24, twoMonitors, L"Image Size 2560x1440-Your Desktop"},
        {25, twoMonitors, L"Image Size 4480x1440"},
        {25, fullHd, L"Image Size 1920x1080-Your Desktop"},  // one monitor: the display
    };
    for (const Case& c : cases) {
        ExportState state;
        EXPECT_EQ(ApplyImageSizePreset(state, c.wall, c.desktop), c.label) << c.wall;
        EXPECT_EQ(state.SpansDesktop, c.wall == 25 && c.desktop.monitors > 1) << c.wall;
    }
    // Outside 1..25 the size stays as it was: 0 x 0 before any entry.
    ExportState state;
    EXPECT_EQ(ApplyImageSizePreset(state, 0, fullHd), L"Image Size 0x0");
    EXPECT_EQ(ApplyImageSizePreset(state, 20, fullHd), L"Image Size 3840x2160");
    EXPECT_EQ(ApplyImageSizePreset(state, 26, fullHd), L"Image Size 3840x2160");
    EXPECT_EQ(ApplyImageSizePreset(state, -3, {}), L"Image Size 3840x2160");
    EXPECT_EQ(state.ImageWidth, 3840);
    EXPECT_EQ(LastImageSizeEntry(fullHd), 24);
    EXPECT_EQ(LastImageSizeEntry(twoMonitors), 25);
}

TEST(ImageSizePresetTest, Table) {
    EXPECT_FALSE(ImageSizePreset(0));
    EXPECT_FALSE(ImageSizePreset(24));  // the desktop's entries are no presets
    const ImageSize sizes[] = {{800, 600},   {1024, 768},  {1152, 864},  {1280, 800},  {1280, 1024},
                               {1360, 768},  {1366, 768},  {1440, 900},  {1600, 900},  {1600, 1200},
                               {1680, 1050}, {1920, 1080}, {1920, 1200}, {2000, 1500}, {2560, 1080},
                               {2560, 1440}, {2560, 1600}, {2880, 1800}, {3440, 1440}, {3840, 2160},
                               {5120, 1440}, {5120, 2880}, {7680, 4320}};
    for (int wall = 1; wall <= 23; ++wall) {
        EXPECT_EQ(ImageSizePreset(wall)->width, sizes[wall - 1].width) << wall;
        EXPECT_EQ(ImageSizePreset(wall)->height, sizes[wall - 1].height) << wall;
    }
}

TEST(SliderLabelTest, PatternAndColourScheme) {
    EXPECT_EQ(PatternLabel(7), L"Lumora image  7");
    EXPECT_EQ(PatternLabel(0), L"Lumora image  0");
    EXPECT_EQ(ColourSchemeLabel(0, L""), L"Lumora color 1");
    EXPECT_EQ(ColourSchemeLabel(3, L""), L"Lumora color 4");
    EXPECT_EQ(ColourSchemeLabel(-2, L""), L"Lumora color -1");
    EXPECT_EQ(ColourSchemeLabel(4, L""), L"Lumora dodger blue");
    EXPECT_EQ(ColourSchemeLabel(10, L""), L"Lumora deep pink");
    EXPECT_EQ(ColourSchemeLabel(16, L""), L"Lumora light gray");
    EXPECT_EQ(ColourSchemeLabel(17, L""), L"Lumora light slate gray");
    EXPECT_EQ(ColourSchemeLabel(18, L""), L"Lumora white");
    EXPECT_EQ(ColourSchemeLabel(19, L"Lumora"), L"Lumora");
}

TEST(ImageFilePathTest, ExtensionAppendedOnce) {
    EXPECT_EQ(ImageFilePath(L"Lumora1").path, L"Lumora1.bmp");
    EXPECT_EQ(ImageFilePath(L"Lumora1.bmp").path, L"Lumora1.bmp");
    EXPECT_EQ(ImageFilePath(L"Lumora1.BMP").path, L"Lumora1.BMP");
    EXPECT_EQ(ImageFilePath(L"a.Bmp").path, L"a.Bmp");
    EXPECT_EQ(ImageFilePath(L"bmp").path, L"bmp.bmp");
    EXPECT_EQ(ImageFilePath(L".bmp").path, L".bmp");
    EXPECT_EQ(ImageFilePath(L"x.bmp.txt").path, L"x.bmp.txt.bmp");
    EXPECT_EQ(ImageFilePath(L"C:\\Pictures\\still").path, L"C:\\Pictures\\still.bmp");
    EXPECT_EQ(ImageFilePath(L"sub\\still").path, L"sub\\still.bmp");
    EXPECT_EQ(ImageFilePath(L"Bild \u00e4\u4e2d").path, L"Bild \u00e4\u4e2d.bmp");
}

TEST(ImageFilePathTest, PngAlike) {
    EXPECT_EQ(ImageFilePath(L"Lumora1", ImageFormat::Png).path, L"Lumora1.png");
    EXPECT_EQ(ImageFilePath(L"a.PNG", ImageFormat::Png).path, L"a.PNG");
    EXPECT_EQ(ImageFilePath(L"a.bmp", ImageFormat::Png).path, L"a.bmp.png");
    EXPECT_EQ(ImageFilePath(L"a.png", ImageFormat::Bmp).path, L"a.png.bmp");
    EXPECT_EQ(ImageFilePath(L"*.png", ImageFormat::Png).problem, ImageNameProblem::Mask);
    EXPECT_EQ(ImageFilePath(L"*.bmp", ImageFormat::Png).problem, ImageNameProblem::Mask);
}

TEST(ImageFilePathTest, RefusedNames) {
    EXPECT_EQ(ImageFilePath(L"").problem, ImageNameProblem::Empty);
    EXPECT_EQ(ImageFilePath(L"*.bmp").problem, ImageNameProblem::Mask);
    for (const wchar_t* name : {L"a*b", L"what?", L"say \"hi\"", L"<x", L"x>", L"a|b", L"tab\there",
                                L"ab:c", L"C:x:y", L"1:\\x", L"*.BMP"}) {
        const ImageFileName result = ImageFilePath(name);
        EXPECT_EQ(result.problem, ImageNameProblem::ForbiddenCharacter) << name;
        EXPECT_EQ(result.path, L"") << name;
    }
    EXPECT_NE(ImageNameProblemText(ImageNameProblem::ForbiddenCharacter), L"");
    EXPECT_EQ(ImageNameProblemText(ImageNameProblem::None), L"");
}

}  // namespace
}  // namespace lumora

namespace lumora {
namespace {

TEST(DirectoryChainTest, RootParentsAndItself) {
    const auto chain = DirectoryChain(L"C:\\Users\\me\\Pictures");
    ASSERT_EQ(chain.size(), 4u);
    EXPECT_EQ(chain[0].path, L"C:\\");
    EXPECT_EQ(chain[0].name, L"C:\\");
    EXPECT_EQ(chain[2].path, L"C:\\Users\\me");
    EXPECT_EQ(chain[2].name, L"me");
    EXPECT_EQ(chain[3].path, L"C:\\Users\\me\\Pictures");
    EXPECT_EQ(chain[3].name, L"Pictures");
    EXPECT_EQ(DirectoryChain(L"C:\\").size(), 1u);
    EXPECT_EQ(DirectoryChain(L"D:\\x\\").back().path, L"D:\\x");
    const auto unc = DirectoryChain(L"\\\\server\\share\\stills");
    ASSERT_EQ(unc.size(), 2u);
    EXPECT_EQ(unc[0].path, L"\\\\server\\share\\");
    EXPECT_EQ(unc[1].path, L"\\\\server\\share\\stills");
    EXPECT_TRUE(DirectoryChain(L"").empty());
}

}  // namespace
}  // namespace lumora
