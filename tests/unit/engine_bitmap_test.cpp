// The frame bitmap and the other GDI+ wrappers, against Wine's or Windows' GDI+.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "platform/gdiplus.h"
#include "shell/frame_render.h"

namespace lumora {
namespace {

using Gdiplus::DllExports::GdipBitmapGetPixel;
using Gdiplus::DllExports::GdipBitmapSetPixel;

class FrameBitmapTest : public testing::Test {
protected:
    static void SetUpTestSuite() { session_ = new platform::GdiplusSession; }
    static void TearDownTestSuite() { delete session_; }

    static std::unique_ptr<EngineState> Seeded(int pattern, int width, int height) {
        auto state = std::make_unique<EngineState>();
        SetGridSize(*state, width, height);
        state->Pattern = pattern;
        state->ColourScheme = 3;
        state->Speed = 20;
        SeedRandom(17);
        SeedAnimation(*state);
        GeneratePatternField(*state);
        return state;
    }

    static std::vector<uint32_t> ReadBack(const FrameBitmap& bitmap, int width, int height) {
        std::vector<uint32_t> pixels;
        for (int row = 0; row < height; ++row)
            for (int col = 0; col < width; ++col) {
                Gdiplus::ARGB colour = 0;
                GdipBitmapGetPixel(bitmap.image(), col, row, &colour);
                pixels.push_back(colour);
            }
        return pixels;
    }

    static platform::GdiplusSession* session_;
};

platform::GdiplusSession* FrameBitmapTest::session_ = nullptr;

TEST_F(FrameBitmapTest, SessionStartsAndBitmapHasTheGridSize) {
    ASSERT_TRUE(session_->started());
    FrameBitmap bitmap(33, 21);
    ASSERT_NE(bitmap.image(), nullptr);
    UINT width = 0, height = 0;
    Gdiplus::DllExports::GdipGetImageWidth(bitmap.image(), &width);
    Gdiplus::DllExports::GdipGetImageHeight(bitmap.image(), &height);
    EXPECT_EQ(width, 33u);
    EXPECT_EQ(height, 21u);
    Gdiplus::PixelFormat format = 0;
    Gdiplus::DllExports::GdipGetImagePixelFormat(bitmap.image(), &format);
    EXPECT_EQ(format, PixelFormat32bppARGB);
}

TEST_F(FrameBitmapTest, LockedAndPixelByPixelWritesGiveThePlainFrame) {
    for (int pattern : {6, 19}) {
        const int width = 37, height = 23;
        auto plain = Seeded(pattern, width, height);
        auto locked = Seeded(pattern, width, height);
        auto perPixel = Seeded(pattern, width, height);
        std::vector<uint32_t> expected(width * height);
        FrameBitmap a(width, height), b(width, height);
        for (int frame = 0; frame < 3; ++frame) {
            RenderFrame(*plain, {expected.data(), width});
            RenderIntoBitmap(*locked, a);
            RenderIntoBitmapPixelByPixel(*perPixel, b);
        }
        EXPECT_EQ(ReadBack(a, width, height), expected) << "pattern " << pattern;
        EXPECT_EQ(ReadBack(b, width, height), expected) << "pattern " << pattern;
        // Row 0 is the top row: the corner pixels are where the plain frame has them.
        Gdiplus::ARGB corner = 0;
        GdipBitmapGetPixel(a.image(), width - 1, 0, &corner);
        EXPECT_EQ(corner, expected[width - 1]);
    }
}

TEST_F(FrameBitmapTest, PixelsOutsideTheGridKeepTheirColour) {
    constexpr Gdiplus::ARGB Marker = 0xFF102030;
    FrameBitmap bitmap(20, 12);
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 20; ++col) GdipBitmapSetPixel(bitmap.image(), col, row, Marker);
    auto state = Seeded(12, 15, 9);
    RenderIntoBitmap(*state, bitmap);
    const auto pixels = ReadBack(bitmap, 20, 12);
    int markers = 0;
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 20; ++col) {
            const bool inGrid = row < 9 && col < 15;
            markers += pixels[row * 20 + col] == Marker;
            if (!inGrid) {
                EXPECT_EQ(pixels[row * 20 + col], Marker) << row << "," << col;
            }
        }
    EXPECT_EQ(markers, 20 * 12 - 15 * 9);
}

TEST_F(FrameBitmapTest, GridLargerThanTheBitmapWritesOnlyWhatFits) {
    FrameBitmap bitmap(10, 6);
    auto state = Seeded(7, 16, 9);
    auto plain = Seeded(7, 16, 9);
    std::vector<uint32_t> expected(16 * 9);
    RenderIntoBitmap(*state, bitmap);
    RenderFrame(*plain, {expected.data(), 16});
    const auto pixels = ReadBack(bitmap, 10, 6);
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 10; ++col)
            ASSERT_EQ(pixels[row * 10 + col], expected[row * 16 + col]) << row << "," << col;
}

TEST_F(FrameBitmapTest, EmptyGridStillAdvancesTheRotation) {
    FrameBitmap empty(0, 0);
    EXPECT_EQ(empty.image(), nullptr);
    auto state = Seeded(5, 0, 0);
    const long double angle = state->RotationAngle3;
    RenderIntoBitmap(*state, empty);
    EXPECT_NE(state->RotationAngle3, angle);
}

TEST_F(FrameBitmapTest, MoveHandsOverTheBitmap) {
    FrameBitmap first(8, 4);
    Gdiplus::GpBitmap* image = first.image();
    FrameBitmap second(std::move(first));
    EXPECT_EQ(second.image(), image);
    EXPECT_EQ(first.image(), nullptr);
    FrameBitmap third(2, 2);
    third = std::move(second);
    EXPECT_EQ(third.image(), image);
    EXPECT_EQ(third.width(), 8);
    EXPECT_EQ(third.height(), 4);
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

TEST_F(FrameBitmapTest, BmpEncoderFoundAndSaveReportsFailure) {
    CLSID encoder{};
    ASSERT_GE(platform::FindImageEncoder("image/bmp", encoder), 0);

    FrameBitmap bitmap(31, 7);
    auto state = Seeded(17, 31, 7);
    RenderIntoBitmap(*state, bitmap);
    const std::wstring path = TempPath(L"lumora-engine-test-\u00e9t\u00e9.bmp");
    DeleteFileW(path.c_str());
    ASSERT_EQ(platform::SaveImage(bitmap.image(), path.c_str(), encoder), Gdiplus::Ok);
    FILE* file = _wfopen(path.c_str(), L"rb");
    ASSERT_NE(file, nullptr);
    unsigned char header[26] = {};
    const size_t read = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    DeleteFileW(path.c_str());
    ASSERT_EQ(read, sizeof header);
    EXPECT_EQ(header[0], 'B');
    EXPECT_EQ(header[1], 'M');
    EXPECT_EQ(header[18] | header[19] << 8, 31);  // width
    EXPECT_EQ(header[22] | header[23] << 8, 7);   // height

    const std::wstring missing = TempPath(L"no-such-directory-lumora\\x.bmp");
    EXPECT_NE(platform::SaveImage(bitmap.image(), missing.c_str(), encoder), Gdiplus::Ok);
    EXPECT_NE(platform::SaveImage(nullptr, path.c_str(), encoder), Gdiplus::Ok);
}

}  // namespace
}  // namespace lumora
