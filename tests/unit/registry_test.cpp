// The registry key wrapper and the settings policy against the real registry, under a test
// key of their own (never the saver's).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "platform/registry.h"
#include "settings/registry_store.h"
#include "settings/settings.h"

namespace lumora {
namespace {

constexpr wchar_t TestRoot[] = L"Software\\LumoraTest";
// Outside the ANSI code page: Cyrillic, CJK, an astral-plane character (a surrogate pair).
const std::wstring NonAnsiPath = L"C:\\Users\\\x0416\x0435\x043d\x044f\\\x5199\x771f \xD83C\xDF04";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = std::wstring(TestRoot) + L"\\" + std::wstring(test_name.begin(), test_name.end());
        RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }

    platform::RegistryKey CreateKey() {
        std::optional<platform::RegistryKey> key =
            platform::RegistryKey::Create(HKEY_CURRENT_USER, path);
        EXPECT_TRUE(key.has_value());
        return std::move(*key);
    }
    void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        platform::RegistryKey key = CreateKey();
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void SetString(const wchar_t* name, const std::wstring& text, DWORD type = REG_SZ) {
        SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    // The type and bytes as stored.
    std::pair<DWORD, std::vector<BYTE>> Raw(const wchar_t* name) {
        DWORD type = 0, size = 0;
        EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND,
                               &type, nullptr, &size),
                  ERROR_SUCCESS)
            << name;
        std::vector<BYTE> data(size);
        RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                     data.data(), &size);
        return {type, data};
    }
    // The error text of one read as the settings store words it, or "(no error)".
    std::wstring ReadError(const wchar_t* name, bool asString = false) {
        platform::RegistryKey key = CreateKey();
        int32_t integer = 0;
        std::wstring text;
        const platform::Outcome read = ReadOutcome(
            asString ? key.ReadString(name, text) : key.ReadInteger(name, integer), name);
        return read ? L"(no error)" : read.reason();
    }
    int32_t Integer(const platform::RegistryKey& key, const wchar_t* name) {
        int32_t value = -1;
        EXPECT_EQ(key.ReadInteger(name, value), platform::ValueRead::Ok) << name;
        return value;
    }
    std::wstring Text(const platform::RegistryKey& key, const wchar_t* name) {
        std::wstring text = L"(unread)";
        EXPECT_EQ(key.ReadString(name, text), platform::ValueRead::Ok) << name;
        return text;
    }

    const std::string test_name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::wstring path;
};

TEST_F(RegistryTest, OpenAndCreate) {
    EXPECT_FALSE(platform::RegistryKey::Open(HKEY_CURRENT_USER, path).has_value())
        << "missing: no key, no error";
    const std::wstring nested = path + L"\\a\\b";
    std::optional<platform::RegistryKey> created =
        platform::RegistryKey::Create(HKEY_CURRENT_USER, nested);
    ASSERT_TRUE(created.has_value()) << "missing keys along the path are created";
    ASSERT_TRUE(created->WriteInteger(L"x", 1));
    created->Close();
    EXPECT_EQ(created->get(), nullptr);
    int32_t unread = 5;
    EXPECT_EQ(created->ReadInteger(L"x", unread), platform::ValueRead::FailedToGetData)
        << "a closed key reads nothing";
    EXPECT_EQ(unread, 5) << "a failed read leaves the value as it was";
    std::optional<platform::RegistryKey> opened =
        platform::RegistryKey::Open(HKEY_CURRENT_USER, nested);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(Integer(*opened, L"x"), 1);

    // Moving hands the one handle over.
    platform::RegistryKey moved = std::move(*opened);
    EXPECT_EQ(opened->get(), nullptr);
    EXPECT_EQ(Integer(moved, L"x"), 1);
}

TEST_F(RegistryTest, RoundTripsWithTheirStoredTypes) {
    {
        platform::RegistryKey key = CreateKey();
        EXPECT_TRUE(key.WriteInteger(L"Speed", -123456789));
        EXPECT_TRUE(key.WriteInteger(L"Rands", 1));
        EXPECT_TRUE(key.WriteString(L"Path_Wall", NonAnsiPath));
        EXPECT_TRUE(key.WriteString(L"Empty", L""));
    }
    platform::RegistryKey key = CreateKey();
    EXPECT_EQ(Integer(key, L"Speed"), -123456789);
    EXPECT_EQ(Integer(key, L"Rands"), 1);
    EXPECT_EQ(Text(key, L"Path_Wall"), NonAnsiPath);
    EXPECT_EQ(Text(key, L"Empty"), L"");

    const auto [rands_type, rands] = Raw(L"Rands");
    EXPECT_EQ(rands_type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(rands, (std::vector<BYTE>{1, 0, 0, 0}));
    const auto [path_type, path_bytes] = Raw(L"Path_Wall");
    EXPECT_EQ(path_type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(path_bytes.size(), (NonAnsiPath.size() + 1) * sizeof(wchar_t)) << "text and one NUL";
}

TEST_F(RegistryTest, ReadingStrings) {
    SetString(L"Expand", L"%USERPROFILE%\\Stills", REG_EXPAND_SZ);
    SetString(L"Nul", std::wstring(L"D:\\Cut\0rest", 11));
    SetRaw(L"NoTerminator", REG_SZ, L"AB", 2 * sizeof(wchar_t));
    SetRaw(L"ZeroSized", REG_BINARY, "", 0);
    const DWORD four = 4;
    SetRaw(L"Dword", REG_DWORD, &four, sizeof(four));
    SetString(L"Multi", L"a", REG_MULTI_SZ);

    platform::RegistryKey key = CreateKey();
    EXPECT_EQ(Text(key, L"Expand"), L"%USERPROFILE%\\Stills") << "not expanded";
    EXPECT_EQ(Text(key, L"Nul"), L"D:\\Cut");
    EXPECT_EQ(Text(key, L"NoTerminator"), L"AB");
    EXPECT_EQ(Text(key, L"Missing"), L"");
    EXPECT_EQ(Text(key, L"ZeroSized"), L"");
    std::wstring kept = L"kept";
    EXPECT_EQ(key.ReadString(L"Dword", kept), platform::ValueRead::InvalidDataType);
    EXPECT_EQ(kept, L"kept") << "a failed read leaves the text as it was";
    EXPECT_EQ(ReadError(L"Dword", true), L"Invalid data type for 'Dword'");
    EXPECT_EQ(ReadError(L"Multi", true), L"Invalid data type for 'Multi'");
}

TEST_F(RegistryTest, ReadingIntegers) {
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    const BYTE two[2] = {0x34, 0x12};
    SetRaw(L"Binary8", REG_BINARY, eight, 8);
    SetRaw(L"Qword", REG_QWORD, eight, 8);
    SetRaw(L"Binary4", REG_BINARY, eight, 4);
    SetRaw(L"ShortDword", REG_DWORD, two, 2);
    SetString(L"ShortText", L"20");
    SetString(L"LongText", L"12345");
    SetString(L"Expand", L"%SystemRoot%", REG_EXPAND_SZ);
    SetRaw(L"NoBytes", REG_BINARY, "", 0);

    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Gone", L"Failed to get data for 'Gone'"},
        {L"Binary8", L"Failed to get data for 'Binary8'"},
        {L"Qword", L"Failed to get data for 'Qword'"},
        {L"Binary4", L"Invalid data type for 'Binary4'"},
        // Text is measured as an ANSI reader saw it: "20" and its NUL fit in 4 bytes.
        {L"ShortText", L"Invalid data type for 'ShortText'"},
        {L"LongText", L"Failed to get data for 'LongText'"},
        {L"Expand", L"Failed to get data for 'Expand'"},
        {L"NoBytes", L"Invalid data type for 'NoBytes'"},
    };
    for (const auto& [name, error] : cases) EXPECT_EQ(ReadError(name), error);
    platform::RegistryKey key = CreateKey();
    EXPECT_EQ(Integer(key, L"ShortDword"), 0x1234);
}

TEST_F(RegistryTest, RefusedWritesAndAnsiWrittenValues) {
    CreateKey();
    std::optional<platform::RegistryKey> readOnly =
        platform::RegistryKey::Open(HKEY_CURRENT_USER, path, KEY_READ);
    ASSERT_TRUE(readOnly.has_value());
    EXPECT_FALSE(readOnly->WriteInteger(L"Wall", 3)) << "a write through a read-only handle";
    EXPECT_FALSE(readOnly->WriteString(L"Path_Wall", L"x"));

    // An earlier version stored its directory through the ANSI functions.
    const char ansi[] = "C:\\Bilder\\Gr\xfc\xdf\xe9";
    {
        platform::RegistryKey key = CreateKey();
        ASSERT_EQ(RegSetValueExA(key.get(), "Path_Wall", 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(ansi), sizeof(ansi)),
                  ERROR_SUCCESS);
        const DWORD seven = 7;
        ASSERT_EQ(RegSetValueExA(key.get(), "Algoritm", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&seven), 4),
                  ERROR_SUCCESS);
    }
    wchar_t expected[64] = {};
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, ansi, -1, expected, 64), 0);
    platform::RegistryKey key = CreateKey();
    EXPECT_EQ(Text(key, L"Path_Wall"), expected);
    EXPECT_EQ(Integer(key, L"Algoritm"), 7);
}

class RegistryStoreTest : public RegistryTest {
protected:
    void Load(ScreenSize screen) {
        RegistrySettingsStore store(path);
        LoadSettings(store, EngineFields{engine.Speed, engine.ColourScheme, engine.Pattern},
                     settings, screen, sink);
    }
    // The three engine fields in a plain record: the whole engine state is not needed here.
    struct {
        int Speed = 0, ColourScheme = 0, Pattern = 0;
    } engine;
    SaverSettings settings;
    std::vector<std::wstring> errors;
    ErrorSink sink = [this](const std::wstring& message) { errors.push_back(message); };
};

TEST_F(RegistryStoreTest, FirstRunStoresTheDefaults) {
    Load({1920, 1080});
    EXPECT_TRUE(errors.empty());
    const std::wstring pictures = RegistrySettingsStore::PicturesDirectory();
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    EXPECT_FALSE(pictures.empty());
    EXPECT_NE(CompareStringOrdinal(pictures.c_str(), -1, windows, -1, TRUE), CSTR_EQUAL);
    EXPECT_NE(GetFileAttributesW(pictures.c_str()), INVALID_FILE_ATTRIBUTES) << "the folder exists";

    const std::pair<const wchar_t*, DWORD> dwords[] = {
        {L"Speed", 20}, {L"Bright", 0}, {L"Algoritm", 7}, {L"Wall", 12}, {L"Rands", 1}};
    for (const auto& [name, value] : dwords) {
        const auto [type, bytes] = Raw(name);
        EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
        ASSERT_EQ(bytes.size(), 4u) << name;
        DWORD stored = 0;
        std::memcpy(&stored, bytes.data(), 4);
        EXPECT_EQ(stored, value) << name;
    }
    const auto [type, bytes] = Raw(L"Path_Wall");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data())), pictures);
    EXPECT_EQ(settings.Path_Wall, pictures);
}

TEST_F(RegistryStoreTest, NonAnsiDirectorySurvivesSaveAndLoad) {
    RegistrySettingsStore store(path);
    settings = {6, false, NonAnsiPath};
    SaveSettings(store, 35, 18, 25, settings, sink);
    settings = {};
    Load({1920, 1080});
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(settings.Path_Wall, NonAnsiPath);
    EXPECT_EQ(engine.Speed, 35);
    EXPECT_EQ(engine.ColourScheme, 18);
    EXPECT_EQ(engine.Pattern, 25);
    EXPECT_EQ(settings.Wall, 6);
    EXPECT_FALSE(settings.Rands);

    // The image directory alone, written and read back.
    settings.Path_Wall = NonAnsiPath + L"\\\x00e9t\x00e9";
    WriteImageDirectory(store, settings, sink);
    settings.Path_Wall.clear();
    ReadImageDirectory(store, settings, sink);
    EXPECT_EQ(settings.Path_Wall, NonAnsiPath + L"\\\x00e9t\x00e9");
}

TEST_F(RegistryStoreTest, BrokenStoresReportTheValue) {
    // Missing Rands: the four before it are read, no defaults are applied, nothing is written.
    RegistrySettingsStore store(path);
    SaveSettings(store, 0, 0, 0, {5, true, L"C:\\Windows"}, sink);
    ASSERT_EQ(RegDeleteKeyValueW(HKEY_CURRENT_USER, path.c_str(), L"Rands"), ERROR_SUCCESS);
    settings = {};
    Load({1920, 1080});
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to get data for 'Rands'"});
    EXPECT_EQ(settings.Wall, 5);
    EXPECT_EQ(engine.Speed, 0);
    EXPECT_EQ(settings.Path_Wall, L"");
    DWORD type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"Rands", RRF_RT_ANY, &type, nullptr,
                           nullptr),
              ERROR_FILE_NOT_FOUND)
        << "nothing written back";

    // Speed stored as text, as `reg add /t REG_SZ` leaves it.
    errors.clear();
    SetString(L"Rands", L"", REG_SZ);
    SetString(L"Speed", L"20");
    Load({1920, 1080});
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Invalid data type for 'Speed'"});

    // A stored C:\Windows from an earlier run stays.
    errors.clear();
    SaveSettings(store, 10, 0, 3, {5, true, L"C:\\Windows"}, sink);
    Load({1920, 1080});
    ReadImageDirectory(store, settings, sink);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(settings.Path_Wall, L"C:\\Windows");
}

TEST_F(RegistryStoreTest, AKeyDeletedUnderAnOpenOneTellsWhichValue) {
    // Another program (or the user in the registry editor) deletes the key while the store has
    // it open: the reads and writes through it fail, each worded for the user with its name.
    RegistrySettingsStore store(path);
    std::unique_ptr<SettingsKey> key = store.OpenOrCreate();
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->WriteInteger(L"Speed", 20).ok());
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);

    int32_t speed = 7;
    const platform::Outcome read = key->ReadInteger(L"Speed", speed);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.reason(), L"Failed to get data for 'Speed'");
    EXPECT_EQ(speed, 7) << "the value in memory stays";
    const platform::Outcome written = key->WriteString(L"Path_Wall", L"D:\\Stills");
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.reason(), L"Failed to set data for 'Path_Wall'");
    bool rands = true;
    EXPECT_EQ(key->ReadBool(L"Rands", rands).reason(), L"Failed to get data for 'Rands'");
    EXPECT_TRUE(rands);
}

}  // namespace
}  // namespace lumora
