// The still's way to disk against the system's GDI+: the encoder lookup, the safe save, and the
// pixels the BMP file holds.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/gdiplus.h"
#include "platform/image_file.h"

namespace lumora {
namespace {

class ImageFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gdiplus_.get()); }
    platform::GdiplusSession gdiplus_;
};

std::wstring TempPath(const std::wstring& name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return static_cast<long>(data.nFileSizeLow);
}

void WriteBytes(const std::wstring& path, const char* bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    std::fputs(bytes, file);
    std::fclose(file);
}

bool AnyTemporaryBeside(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((path + L".part*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

TEST_F(ImageFileTest, EncoderLookupIsExact) {
    CLSID classId{};
    ASSERT_GE(platform::FindImageEncoder("image/bmp", classId), 0);
    CLSID untouched{};
    untouched.Data1 = 0x1234;
    EXPECT_EQ(platform::FindImageEncoder("IMAGE/BMP", untouched), -1);  // letter case counts
    EXPECT_EQ(platform::FindImageEncoder("image/bmp ", untouched), -1);
    EXPECT_EQ(untouched.Data1, 0x1234u);  // and nothing was written
}

TEST_F(ImageFileTest, SaveReplacesOnlyWhenAskedAndSaysWhy) {
    CLSID encoder{};
    ASSERT_GE(platform::FindImageEncoder("image/bmp", encoder), 0);
    const platform::Frame still(20, 10);
    const std::wstring path = TempPath(L"lumora-image-file-test-\u00e9.bmp");
    DeleteFileW(path.c_str());

    EXPECT_TRUE(platform::SaveImageFile(still.view(), path, encoder, false).ok());
    const long size = FileSize(path);
    EXPECT_GT(size, 20 * 10 * 3);
    EXPECT_FALSE(AnyTemporaryBeside(path));

    // An existing file is not replaced unless asked, and the failure says so.
    WriteBytes(path, "mine");
    const platform::Outcome refused = platform::SaveImageFile(still.view(), path, encoder, false);
    EXPECT_EQ(refused.kind(), platform::FailureKind::FileExists);
    EXPECT_FALSE(refused.reason().empty());
    EXPECT_EQ(FileSize(path), 4);
    EXPECT_FALSE(AnyTemporaryBeside(path));
    EXPECT_TRUE(platform::SaveImageFile(still.view(), path, encoder, true).ok());
    EXPECT_EQ(FileSize(path), size);
    DeleteFileW(path.c_str());

    const std::wstring missing = TempPath(L"no-such-directory-lumora\\x.bmp");
    for (const platform::Outcome& failed :
         {platform::SaveImageFile(still.view(), missing, encoder, false),
          platform::SaveImageFile(platform::Frame().view(), path, encoder, false)}) {
        EXPECT_EQ(failed.kind(), platform::FailureKind::Other);
        EXPECT_FALSE(failed.reason().empty());
    }
    EXPECT_EQ(FileSize(path), -1);
}

std::vector<unsigned char> ReadFile(const std::wstring& path) {
    std::vector<unsigned char> bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        int c;
        while ((c = std::fgetc(file)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(file);
    }
    return bytes;
}

uint32_t Little(const std::vector<unsigned char>& bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
    return value;
}

// A still 3 x 2 of six colours, rows 16 pixels apart in memory: the file has them where the
// picture has them, whatever the encoder's row order and pixel size.
TEST_F(ImageFileTest, SavedStillHasEveryPixelWhereThePictureHasIt) {
    CLSID encoder{};
    ASSERT_GE(platform::FindImageEncoder("image/bmp", encoder), 0);
    platform::Frame still(3, 2);
    const uint32_t colours[2][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
                                    {0xFF102030, 0xFFFFFFFF, 0xFF808000}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col)
            still.pixels()[row * still.stride() + col] = colours[row][col];
    const std::wstring path = TempPath(L"lumora-image-file-test-pixels.bmp");
    DeleteFileW(path.c_str());
    ASSERT_TRUE(platform::SaveImageFile(still.view(), path, encoder, false).ok());
    const std::vector<unsigned char> bmp = ReadFile(path);
    DeleteFileW(path.c_str());
    ASSERT_GE(bmp.size(), 54u);
    ASSERT_EQ(bmp[0], 'B');
    ASSERT_EQ(bmp[1], 'M');
    const uint32_t offset = Little(bmp, 10, 4);
    EXPECT_EQ(Little(bmp, 18, 4), 3u);
    const int32_t height = static_cast<int32_t>(Little(bmp, 22, 4));
    ASSERT_EQ(std::abs(height), 2);
    const int bytesPerPixel = static_cast<int>(Little(bmp, 28, 2)) / 8;
    ASSERT_TRUE(bytesPerPixel == 3 || bytesPerPixel == 4) << bytesPerPixel;
    const size_t rowBytes = (3 * bytesPerPixel + 3) / 4 * 4;
    ASSERT_GE(bmp.size(), offset + 2 * rowBytes);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            const int fileRow =
                height > 0 ? 1 - row : row;  // bottom-up unless the height is negative
            const size_t at = offset + fileRow * rowBytes + col * bytesPerPixel;
            EXPECT_EQ(Little(bmp, at, 3), colours[row][col] & 0xFFFFFFu) << col << "," << row;
        }
}

}  // namespace
}  // namespace lumora
