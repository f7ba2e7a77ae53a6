// The owners of platform/handles.h against the system: what each hands out where the system
// refuses, and that what it holds is let go when it goes.
#include "platform/handles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace lumora::platform {
namespace {

std::wstring TemporaryPath(const wchar_t* name) {
    wchar_t directory[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

TEST(HandlesTest, ARefusedFileIsNullAndKeepsTheSystemsReason) {
    const std::wstring missing = TemporaryPath(L"lumora-no-such-folder\\file.part");
    SetLastError(0);
    EXPECT_EQ(FileHandle(missing.c_str(), GENERIC_WRITE, CREATE_NEW).get(), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND))
        << "the reason survives the owner, for the message";

    const std::wstring path = TemporaryPath(L"lumora-handles-test.part");
    DeleteFileW(path.c_str());
    {
        const FileHandle made(path.c_str(), GENERIC_WRITE, CREATE_NEW);
        ASSERT_NE(made.get(), nullptr);
        EXPECT_FALSE(DeleteFileW(path.c_str())) << "held without sharing while it lives";
        EXPECT_EQ(FileHandle(path.c_str(), GENERIC_WRITE, CREATE_NEW).get(), nullptr)
            << "CREATE_NEW refuses a file that is there";
    }
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "let go when the owner went";
}

TEST(HandlesTest, LibrariesSectionsAndDeviceContexts) {
    EXPECT_FALSE(LoadedLibrary::Load(L"lumora-no-such-library.dll").has_value());
    std::optional<LoadedLibrary> kernel = LoadedLibrary::Load(L"kernel32.dll");
    ASSERT_TRUE(kernel.has_value());
    EXPECT_NE(kernel->Function<ULONGLONG(WINAPI*)()>("GetTickCount64"), nullptr);
    EXPECT_EQ(kernel->Function<void (*)()>("LumoraNoSuchExport"), nullptr);

    const WindowDC screen(nullptr);
    const MemoryDC memory(screen.get());
    ASSERT_NE(screen.get(), nullptr);
    ASSERT_NE(memory.get(), nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const DibSection section(memory.get(), info);
    EXPECT_NE(section.get(), nullptr);
    EXPECT_NE(section.bits(), nullptr);
    info.bmiHeader.biHeight = 0;
    const DibSection none(memory.get(), info);
    EXPECT_EQ(none.get(), nullptr) << "no section of no rows";
    EXPECT_EQ(none.bits(), nullptr);
}

TEST(HandlesTest, AThreadIsJoinedAndAnEventSeenOnceSet) {
    Event go;
    ASSERT_NE(go.get(), nullptr);
    EXPECT_FALSE(go.Wait(0));
    std::atomic<bool> ran{false};
    Thread thread([&] {
        if (go.Wait(5000)) ran = true;
    });
    ASSERT_NE(thread.get(), nullptr);
    go.Set();
    thread.Join();
    EXPECT_TRUE(ran) << "Join returns after the body";
    EXPECT_EQ(thread.get(), nullptr) << "nothing held after the join";
    EXPECT_TRUE(go.Wait(0)) << "a manual-reset event stays set";
}

}  // namespace
}  // namespace lumora::platform
