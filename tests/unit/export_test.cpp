// The settings dialog's pure rules: presets and labels, and the still's file name.
#include <gtest/gtest.h>

#include "settings/export.h"
#include "settings/image_name.h"

namespace lumora {
namespace {

TEST(ImageSizePresetTest, LabelSuffixAndLimits) {
    ExportState state;
    EXPECT_EQ(ApplyImageSizePreset(state, 12, {1920, 1080}), L"Image Size 1920x1080-Your Desktop");
    EXPECT_EQ(state.DesktopSuffix, L"-Your Desktop");
    EXPECT_EQ(ApplyImageSizePreset(state, 12, {1600, 900}), L"Image Size 1920x1080");
    EXPECT_EQ(state.DesktopSuffix, L"");
    EXPECT_EQ(ApplyImageSizePreset(state, 1, {800, 600}), L"Image Size 800x600-Your Desktop");
    EXPECT_EQ(ApplyImageSizePreset(state, 14, {1366, 768}), L"Image Size 2000x1500");
    EXPECT_EQ(state.ImageWidth, 2000);
    EXPECT_EQ(state.ImageHeight, 1500);
    EXPECT_EQ(ApplyImageSizePreset(state, 7, {1366, 768}), L"Image Size 1366x768-Your Desktop");
    // Outside 1..14 the size stays as it was: 0 x 0 before any preset.
    EXPECT_EQ(ApplyImageSizePreset(state, 15, {1366, 768}), L"Image Size 1366x768-Your Desktop");
    ExportState fresh;
    EXPECT_EQ(ApplyImageSizePreset(fresh, 0, {1366, 768}), L"Image Size 0x0");
    EXPECT_EQ(ApplyImageSizePreset(fresh, -3, {0, 0}), L"Image Size 0x0-Your Desktop");
    EXPECT_EQ(fresh.ImageWidth, 0);
}

TEST(ImageSizePresetTest, Table) {
    EXPECT_FALSE(ImageSizePreset(0));
    EXPECT_FALSE(ImageSizePreset(15));
    const ImageSize sizes[] = {{800, 600},   {1024, 768},  {1152, 864},  {1280, 800},
                               {1280, 1024}, {1360, 768},  {1366, 768},  {1440, 900},
                               {1600, 900},  {1600, 1200}, {1680, 1050}, {1920, 1080},
                               {1920, 1200}, {2000, 1500}};
    for (int wall = 1; wall <= 14; ++wall) {
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
