// The still's way to disk against the system's GDI+: the encoder lookup and the safe save.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/gdiplus.h"
#include "platform/image_file.h"

namespace lumora {
namespace {

class ImageFileTest : public ::testing::Test {
protected:
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
    EXPECT_EQ(untouched.Data1, 0x1234u);                     // and nothing was written
}

TEST_F(ImageFileTest, SaveReplacesOnlyWhenAskedAndSaysWhy) {
    CLSID encoder{};
    ASSERT_GE(platform::FindImageEncoder("image/bmp", encoder), 0);
    FrameBitmap bitmap(20, 10);
    const std::wstring path = TempPath(L"lumora-image-file-test-\u00e9.bmp");
    DeleteFileW(path.c_str());

    EXPECT_EQ(platform::SaveImageFile(bitmap.image(), path, encoder, false), L"");
    const long size = FileSize(path);
    EXPECT_GT(size, 20 * 10 * 3);
    EXPECT_FALSE(AnyTemporaryBeside(path));

    // An existing file is not replaced unless asked, and the failure says so.
    WriteBytes(path, "mine");
    EXPECT_NE(platform::SaveImageFile(bitmap.image(), path, encoder, false), L"");
    EXPECT_EQ(FileSize(path), 4);
    EXPECT_FALSE(AnyTemporaryBeside(path));
    EXPECT_EQ(platform::SaveImageFile(bitmap.image(), path, encoder, true), L"");
    EXPECT_EQ(FileSize(path), size);
    DeleteFileW(path.c_str());

    const std::wstring missing = TempPath(L"no-such-directory-lumora\\x.bmp");
    EXPECT_NE(platform::SaveImageFile(bitmap.image(), missing, encoder, false), L"");
    EXPECT_NE(platform::SaveImageFile(nullptr, path, encoder, false), L"");
    EXPECT_EQ(FileSize(path), -1);
}

}  // namespace
}  // namespace lumora
