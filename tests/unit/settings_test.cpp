// The settings policy against the in-memory store: load order, first-run rule, presets, errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "settings/memory_store.h"
#include "settings/settings.h"

namespace lumora {
namespace {

constexpr wchar_t Pictures[] = L"C:\\Users\\ada\\Pictures";

struct Engine {
    int Speed = 0;
    int ColourScheme = 0;
    int Pattern = 0;
    EngineFields Fields() { return {Speed, ColourScheme, Pattern}; }
};

class SettingsTest : public ::testing::Test {
protected:
    void StoreKey(int speed, int bright, int algoritm, int wall, int rands, std::wstring path) {
        store.KeyExists = true;
        store.Values[L"Speed"] = platform::RegistryValue::Dword(speed);
        store.Values[L"Bright"] = platform::RegistryValue::Dword(bright);
        store.Values[L"Algoritm"] = platform::RegistryValue::Dword(algoritm);
        store.Values[L"Wall"] = platform::RegistryValue::Dword(wall);
        store.Values[L"Rands"] = platform::RegistryValue::Dword(rands);
        store.Values[L"Path_Wall"] = platform::RegistryValue::Text(path);
    }
    void Load(ScreenSize screen = {1920, 1080}) {
        LoadSettings(store, engine.Fields(), settings, screen, sink);
        EXPECT_EQ(store.OpenKeys, 0) << "every key is closed when the load returns";
    }
    int32_t StoredInteger(const wchar_t* name) {
        const platform::RegistryValue& value = store.Values.at(name);
        int32_t integer = 0;
        EXPECT_EQ(value.data.size(), 4u) << name;
        EXPECT_EQ(platform::DecodeInteger(value.type, value.data, 4, integer),
                  platform::ValueRead::Ok)
            << name;
        return integer;
    }
    std::wstring StoredString(const wchar_t* name) {
        const platform::RegistryValue& value = store.Values.at(name);
        std::wstring text;
        EXPECT_EQ(value.type, platform::registry_type::String) << name;
        platform::DecodeString(value.type, value.data, text);
        return text;
    }

    MemorySettingsStore store{Pictures};
    Engine engine;
    SaverSettings settings;
    std::vector<std::wstring> errors;
    ErrorSink sink = [this](const std::wstring& message) { errors.push_back(message); };
    const std::vector<std::wstring> allSix{L"Speed", L"Bright", L"Algoritm",
                                           L"Wall",  L"Rands",  L"Path_Wall"};
    const std::vector<std::wstring> allWritten{
        L"Speed",     L"Bright",   L"Algoritm",     L"Wall",          L"Rands",
        L"Path_Wall", L"Monitors", L"CycleMinutes", L"RandomColours", L"FadeIn"};
};

TEST(PresetForScreenTest, EveryRowAndTheOverlaps) {
    struct Case {
        int width, height;
        std::optional<int> preset;
    };
    const Case cases[] = {
        {800, 600, 1},
        {800, 480, 1},
        {1024, 768, 2},
        {1152, 864, 3},
        {1280, 800, 4},
        {1280, 1024, 5},
        {1360, 768, 6},
        {1366, 768, 7},
        {1440, 900, 8},
        {1600, 900, 9},
        {1600, 1200, 10},
        {1680, 1050, 11},
        {1920, 1080, 12},
        {1920, 1200, 13},
        {2000, 1500, 14},
        // Today's desktops follow, each by width and height.
        {2560, 1080, 15},
        {2560, 1440, 16},
        {2560, 1600, 17},
        {2880, 1800, 18},
        {3440, 1440, 19},
        {3840, 2160, 20},
        {5120, 1440, 21},
        {5120, 2880, 22},
        {7680, 4320, 23},
        // Rows that test the height too match only that height.
        {1280, 720, std::nullopt},
        {1280, 960, std::nullopt},
        {1920, 1440, std::nullopt},
        {2000, 1125, std::nullopt},
        {2560, 1200, std::nullopt},
        {3840, 1600, std::nullopt},
        {768, 1024, std::nullopt},
        {0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PresetForScreen({c.width, c.height}), c.preset) << c.width << " x " << c.height;
    }
}

TEST_F(SettingsTest, FirstRunWritesTheDefaultsInOrder) {
    Load({1920, 1080});
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(engine.Speed, 20);
    EXPECT_EQ(engine.ColourScheme, 0);
    EXPECT_EQ(engine.Pattern, 7);
    EXPECT_EQ(settings.Wall, 12);
    EXPECT_TRUE(settings.Rands);
    EXPECT_EQ(settings.Path_Wall, Pictures);

    EXPECT_TRUE(store.KeyExists);
    EXPECT_EQ(store.Written, allWritten);
    EXPECT_EQ(StoredInteger(L"Speed"), 20);
    EXPECT_EQ(StoredInteger(L"Bright"), 0);
    EXPECT_EQ(StoredInteger(L"Algoritm"), 7);
    EXPECT_EQ(StoredInteger(L"Wall"), 12);
    EXPECT_EQ(StoredInteger(L"Rands"), 1);
    EXPECT_EQ(StoredString(L"Path_Wall"), Pictures);
}

TEST_F(SettingsTest, FirstRunWallFollowsTheScreen) {
    const std::pair<ScreenSize, int> cases[] = {
        {{1600, 1200}, 10}, {{1600, 900}, 9}, {{1280, 720}, 24}, {{2560, 1440}, 16}};
    for (const auto& [screen, wall] : cases) {
        MemorySettingsStore fresh{Pictures};
        Engine e;
        SaverSettings s;
        LoadSettings(fresh, e.Fields(), s, screen, sink);
        EXPECT_EQ(s.Wall, wall) << screen.width << " x " << screen.height;
        EXPECT_EQ(fresh.Values.at(L"Wall"), platform::RegistryValue::Dword(wall));
    }
    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsTest, ZeroSpeedBrightAlgoritmIsAFirstRunThatKeepsTheDirectory) {
    StoreKey(0, 0, 0, 5, 0, L"D:\\Stills");
    Load({1600, 900});
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(engine.Speed, 20);
    EXPECT_EQ(engine.Pattern, 7);
    EXPECT_TRUE(settings.Rands);
    EXPECT_EQ(settings.Wall, 9);
    EXPECT_EQ(settings.Path_Wall, L"D:\\Stills");
    EXPECT_EQ(StoredString(L"Path_Wall"), L"D:\\Stills");
    EXPECT_EQ(StoredInteger(L"Wall"), 9);

    // No preset for the screen: the stored Wall stays.
    StoreKey(0, 0, 0, 5, 0, L"D:\\Stills");
    engine = Engine{};
    Load({1280, 720});
    EXPECT_EQ(settings.Wall, 5);
    EXPECT_EQ(StoredInteger(L"Wall"), 5);
    EXPECT_EQ(StoredInteger(L"Algoritm"), 7);
}

TEST_F(SettingsTest, StoredValuesLoadUnchanged) {
    // Any one of the three nonzero is not a first run; out-of-range values pass as they are.
    StoreKey(0, 0, 3, 40, 5, L"C:\\Windows");
    Load();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(engine.Speed, 0);
    EXPECT_EQ(engine.ColourScheme, 0);
    EXPECT_EQ(engine.Pattern, 3);
    EXPECT_EQ(settings.Wall, 40);
    EXPECT_TRUE(settings.Rands);  // any nonzero
    EXPECT_EQ(settings.Path_Wall, L"C:\\Windows") << "a directory stored by an earlier run stays";
    EXPECT_TRUE(store.Written.empty());

    StoreKey(-7, 99, 0, 0, 0, L"");
    Load();
    EXPECT_EQ(engine.Speed, -7);
    EXPECT_EQ(engine.ColourScheme, 99);
    EXPECT_EQ(engine.Pattern, 0);
    EXPECT_FALSE(settings.Rands);
    EXPECT_EQ(settings.Path_Wall, L"") << "an empty directory is only filled in on a first run";
    EXPECT_TRUE(store.Written.empty());
    // Full screen, a pattern that would draw nothing but the empty planes runs as pattern 7.
    for (int stored : {0, 26, -7, 1000000, INT32_MIN, INT32_MAX})
        EXPECT_EQ(PatternForFullScreen(stored), 7) << stored;
    for (int stored : {1, 14, 15, 25}) EXPECT_EQ(PatternForFullScreen(stored), stored);
}

TEST_F(SettingsTest, MissingPathWallReadsEmpty) {
    StoreKey(10, 2, 9, 3, 1, L"");
    store.Values.erase(L"Path_Wall");
    settings.Path_Wall = L"left over";
    Load();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(settings.Path_Wall, L"");
}

TEST_F(SettingsTest, MissingRandsStopsTheLoadAfterTheFourBeforeIt) {
    StoreKey(0, 0, 0, 6, 1, L"D:\\Stills");
    store.Values.erase(L"Rands");
    settings.Rands = false;
    settings.Path_Wall = L"before";
    Load();
    ASSERT_EQ(errors, std::vector<std::wstring>{L"Failed to get data for 'Rands'"});
    EXPECT_EQ(settings.Wall, 6) << "Wall was read before Rands";
    EXPECT_FALSE(settings.Rands);
    EXPECT_EQ(settings.Path_Wall, L"before") << "Path_Wall comes after Rands";
    EXPECT_EQ(engine.Speed, 0) << "no first-run defaults after an error";
    EXPECT_EQ(engine.Pattern, 0);
    EXPECT_TRUE(store.Written.empty());

    // Without a sink the error is dropped, and the load still stops there.
    LoadSettings(store, engine.Fields(), settings, {1920, 1080}, nullptr);
    EXPECT_EQ(engine.Speed, 0);
}

// Stores that other programs, older or later versions or a damaged registry leave, loaded as
// the saver, the settings mode and the save-image dialog load them: each value of a good store
// in turn out of range, or of another type, size or content, and a key without values. A value
// read stays as read; the first of the six that cannot be read is named in the one message,
// those from it on run with their first-run values (Rands on: the saver starts on a random
// pattern); an added value that cannot be read, or is out of its range, takes its first-run value
// without a word; the stored directory survives wherever it can be read; the store is left
// exactly as it was.
TEST_F(SettingsTest, HostileStoresLoadAsTheSaverRunsThem) {
    constexpr int Random = -1;  // the full-screen start: a random pattern from 1 to 20
    enum Error { None, Type, Get };
    struct Case {
        const wchar_t* name;  // the value changed; nullptr: the key holds no values
        platform::RegistryValue value;
        Error error;
        int start;  // the full-screen start pattern
        std::wstring directory;
        std::optional<int32_t> added = std::nullopt;  // the added value changed, as read
    };
    const std::wstring good = L"C:\\Windows", longPath = L"C:\\" + std::wstring(4997, L'd');
    const platform::RegistryValue noBytes{platform::registry_type::Binary, {}};
    const platform::RegistryValue eightBytes{platform::registry_type::Binary,
                                             {0, 1, 2, 3, 4, 5, 6, 7}};
    using V = platform::RegistryValue;
    std::vector<Case> cases = {
        {L"Speed", V::Dword(80), None, 17, good},
        {L"Speed", V::Dword(-5), None, 17, good},
        {L"Speed", V::Dword(INT32_MAX), None, 17, good},
        {L"Bright", V::Dword(19), None, 17, good},
        {L"Bright", V::Dword(255), None, 17, good},
        {L"Bright", V::Dword(-1), None, 17, good},
        // A pattern outside 1..25 would draw only the empty planes: the saver runs 7.
        {L"Algoritm", V::Dword(0), None, 7, good},
        {L"Algoritm", V::Dword(26), None, 7, good},
        {L"Algoritm", V::Dword(-7), None, 7, good},
        {L"Algoritm", V::Dword(1000000), None, 7, good},
        {L"Wall", V::Dword(0), None, 17, good},
        {L"Wall", V::Dword(14), None, 17, good},
        {L"Wall", V::Dword(99), None, 17, good},
        {L"Wall", V::Dword(-3), None, 17, good},
        {L"Rands", V::Dword(7), None, Random, good},
        {L"Speed", V::Text(L"12345"), Get, Random, good},
        {L"Path_Wall", V::Text(longPath), None, 17, longPath},
        {L"Path_Wall", V::Dword(12), Type, 17, L""},
        {L"Path_Wall", eightBytes, Type, 17, L""},
        {L"Path_Wall", V::Text(L"%TEMP%\\Stills", platform::registry_type::ExpandString), None, 17,
         L"%TEMP%\\Stills"},
        {L"Path_Wall", noBytes, None, 17, L""},
        {nullptr, {}, Get, Random, Pictures},
    };
    for (const wchar_t* name : {L"Speed", L"Bright", L"Algoritm", L"Wall", L"Rands"}) {
        // A short text is merely of the wrong type; a long one (or 8 bytes) is too large to read.
        cases.push_back({name, V::Text(L"12"), Type, Random, good});
        cases.push_back({name, eightBytes, Get, Random, good});
        cases.push_back({name, V::Text(L"%SystemRoot%", platform::registry_type::ExpandString), Get,
                         Random, good});
        cases.push_back({name, noBytes, Type, Random, good});
    }
    const platform::RegistryValue fourBytes{platform::registry_type::Binary, {1, 0, 0, 0}};
    for (const AddedValue& added : AddedValues) {
        for (const platform::RegistryValue& value :
             {V::Text(L"1"), fourBytes, eightBytes, noBytes,
              V::Text(L"1", platform::registry_type::ExpandString), V::Dword(added.lowest - 1),
              V::Dword(added.highest + 1), V::Dword(INT32_MIN), V::Dword(INT32_MAX)})
            cases.push_back({added.name, value, None, 17, good});
        cases.push_back({added.name, V::Dword(added.highest), None, 17, good, added.highest});
        cases.push_back({added.name, V::Dword(added.lowest), None, 17, good, added.lowest});
    }
    const std::array<int, 5> stored{30, 3, 17, 7, 0}, firstRun{20, 0, 7, 1, 1};
    for (const Case& c : cases) {
        const std::wstring name = c.name ? c.name : L"Speed";
        // Each check names its case itself: a SCOPED_TRACE would make GoogleTest on Windows start
        // a thread of its own here, moments before the program ends, and Wine ends a process
        // whose thread is still starting with a segmentation fault.
        const std::string label = testing::PrintToString(c.name ? name : L"(no values)") +
                                  " type " + std::to_string(c.value.type) + ", " +
                                  std::to_string(c.value.data.size()) + " bytes";
        store.Values.clear();
        StoreKey(stored[0], stored[1], stored[2], stored[3], stored[4], good);
        if (c.name) store.Values[name] = c.value;
        if (!c.name) store.Values.clear();
        const auto before = store.Values;
        engine = Engine{};
        settings = SaverSettings{};
        errors.clear();
        const LoadResult result =
            LoadSettingsForRun(store, engine.Fields(), settings, {800, 600}, sink);
        ReadStillOptions(store, settings);

        const int index =
            static_cast<int>(std::find(allSix.begin(), allSix.end(), name) - allSix.begin());
        const std::wstring head =
            c.error == Type ? L"Invalid data type for '" : L"Failed to get data for '";
        EXPECT_EQ(errors, c.error == None ? std::vector<std::wstring>{}
                                          : std::vector<std::wstring>{head + name + L"'"})
            << label;
        EXPECT_EQ(result.valuesRead, c.error == None ? 6 : index) << label;
        std::array<int, 5> expected = stored;
        int32_t integer = 0;
        if (c.error == None && index < 5 &&
            platform::DecodeInteger(c.value.type, c.value.data, 4, integer) ==
                platform::ValueRead::Ok)
            expected[index] = index == 4 ? integer != 0 : integer;
        for (int i = c.error == None ? 5 : index; i < 5; ++i) expected[i] = firstRun[i];
        EXPECT_EQ((std::array<int, 5>{engine.Speed, engine.ColourScheme, engine.Pattern,
                                      settings.Wall, settings.Rands}),
                  expected)
            << label;
        EXPECT_EQ(settings.Rands ? Random : PatternForFullScreen(engine.Pattern), c.start) << label;
        EXPECT_EQ(settings.Path_Wall, c.directory) << label;
        const std::array<int32_t, 6> added{static_cast<int32_t>(settings.Monitors),
                                           settings.Png,
                                           settings.Wallpaper,
                                           settings.CycleMinutes,
                                           settings.RandomColours,
                                           settings.FadeIn};
        static_assert(added.size() == std::size(AddedValues));
        for (size_t i = 0; i < added.size(); ++i)
            EXPECT_EQ(added[i],
                      name == AddedValues[i].name && c.added ? *c.added : AddedValues[i].firstRun)
                << label << ", " << AddedValues[i].name;
        EXPECT_EQ(store.Values, before) << label << ": the store was changed";
        EXPECT_TRUE(store.Written.empty()) << label;
        EXPECT_EQ(store.OpenKeys, 0) << label;
    }
}

TEST_F(SettingsTest, AfterAFailedLoadTheUnreadValuesRunWithTheirFirstRunValues) {
    // Only Speed is stored: Bright fails, so the saver would otherwise run pattern 0 (black).
    store.KeyExists = true;
    store.Values[L"Speed"] = platform::RegistryValue::Dword(33);
    settings.Path_Wall = L"";
    const LoadResult result = LoadSettings(store, engine.Fields(), settings, {1600, 900}, sink);
    ASSERT_TRUE(result.failed);
    EXPECT_EQ(result.valuesRead, 1);
    UseFirstRunValuesForUnread(engine.Fields(), settings, {1600, 900}, result.valuesRead);
    EXPECT_EQ(engine.Speed, 33) << "a value read stays as read";
    EXPECT_EQ(engine.ColourScheme, 0);
    EXPECT_EQ(engine.Pattern, 7);
    EXPECT_EQ(settings.Wall, 9) << "the 1600x900 preset";
    EXPECT_TRUE(settings.Rands);
    EXPECT_TRUE(store.Written.empty()) << "nothing is written back";

    // Rands missing: the four before it stay as read, Rands runs as true.
    StoreKey(5, 3, 23, 2, 0, L"D:\\Stills");
    store.Values.erase(L"Rands");
    engine = Engine{};
    settings = SaverSettings{};
    const LoadResult second = LoadSettings(store, engine.Fields(), settings, {1280, 720}, sink);
    ASSERT_TRUE(second.failed);
    EXPECT_EQ(second.valuesRead, 4);
    UseFirstRunValuesForUnread(engine.Fields(), settings, {1280, 720}, second.valuesRead);
    EXPECT_EQ(engine.Speed, 5);
    EXPECT_EQ(engine.ColourScheme, 3);
    EXPECT_EQ(engine.Pattern, 23);
    EXPECT_EQ(settings.Wall, 2);
    EXPECT_TRUE(settings.Rands);

    // A complete load reports all six and no failure.
    StoreKey(5, 3, 23, 2, 0, L"D:\\Stills");
    const LoadResult complete = LoadSettings(store, engine.Fields(), settings, {1280, 720}, sink);
    EXPECT_FALSE(complete.failed);
    EXPECT_EQ(complete.valuesRead, 6);
}

TEST_F(SettingsTest, KeyThatCannotBeOpenedOrCreated) {
    store.KeyRefused = true;
    Load();
    EXPECT_TRUE(errors.empty()) << "a write that cannot open the key is skipped silently";
    EXPECT_EQ(engine.Speed, 20) << "the defaults stay in force for the run";
    EXPECT_EQ(settings.Path_Wall, Pictures);
    EXPECT_FALSE(store.KeyExists);
    EXPECT_TRUE(store.Values.empty());
}

TEST_F(SettingsTest, RefusedWriteStopsTheSave) {
    store.RefusedValue = L"Algoritm";
    settings = {13, false, L"E:\\Bilder"};
    SaveSettings(store, 33, 5, 24, settings, sink);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to set data for 'Algoritm'"});
    EXPECT_EQ(store.Written, (std::vector<std::wstring>{L"Speed", L"Bright"}));
    EXPECT_EQ(StoredInteger(L"Speed"), 33);
    EXPECT_EQ(StoredInteger(L"Bright"), 5);
    EXPECT_EQ(store.OpenKeys, 0);

    store.RefusedValue.clear();
    store.Written.clear();
    errors.clear();
    SaveSettings(store, 33, 5, 24, settings, sink);
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(store.Written, allWritten);
    EXPECT_EQ(StoredInteger(L"Algoritm"), 24);
    EXPECT_EQ(StoredInteger(L"Wall"), 13);
    EXPECT_EQ(StoredInteger(L"Rands"), 0);
    EXPECT_EQ(StoredString(L"Path_Wall"), L"E:\\Bilder");
}

TEST_F(SettingsTest, MonitorsIsMirrorUnlessItHoldsAnotherModeAndNeverComplains) {
    const std::pair<std::optional<platform::RegistryValue>, MonitorsMode> cases[] = {
        {std::nullopt, MonitorsMode::Mirror},  // not in the store
        {platform::RegistryValue::Dword(0), MonitorsMode::Mirror},
        {platform::RegistryValue::Dword(1), MonitorsMode::Span},
        {platform::RegistryValue::Dword(2), MonitorsMode::PrimaryOnly},
        {platform::RegistryValue::Dword(3), MonitorsMode::Each},
        {platform::RegistryValue::Dword(4), MonitorsMode::Mirror},
        {platform::RegistryValue::Dword(INT32_MIN), MonitorsMode::Mirror},
        {platform::RegistryValue::Text(L"1"), MonitorsMode::Mirror},
        {platform::RegistryValue{platform::registry_type::Binary, {1, 0, 0, 0, 0, 0, 0, 0}},
         MonitorsMode::Mirror},
    };
    for (const auto& [stored, mode] : cases) {
        StoreKey(11, 4, 17, 8, 1, L"D:\\Stills");
        if (stored) store.Values[L"Monitors"] = *stored;
        settings = SaverSettings{};
        settings.Monitors = MonitorsMode::Span;  // what the load replaces
        EXPECT_FALSE(LoadSettings(store, engine.Fields(), settings, {1920, 1080}, sink).failed);
        EXPECT_EQ(settings.Monitors, mode) << static_cast<int>(mode);
        store.Values.erase(L"Monitors");
    }
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(store.Written.empty()) << "nothing is written back";
    // Written after the six, from memory, and read back as written.
    settings.Monitors = MonitorsMode::PrimaryOnly;
    settings.CycleMinutes = 120;
    settings.RandomColours = true;
    settings.FadeIn = false;
    SaveSettings(store, 33, 5, 24, settings, sink);
    EXPECT_EQ(store.Written, allWritten);
    EXPECT_EQ(StoredInteger(L"Monitors"), 2);
    EXPECT_EQ(StoredInteger(L"CycleMinutes"), 120);
    EXPECT_EQ(StoredInteger(L"RandomColours"), 1);
    EXPECT_EQ(StoredInteger(L"FadeIn"), 0);
    // A load that fails on one of the six still takes the added values for the run.
    store.Values.erase(L"Rands");
    settings = SaverSettings{};
    EXPECT_TRUE(LoadSettingsForRun(store, engine.Fields(), settings, {1920, 1080}, sink).failed);
    EXPECT_EQ(settings.Monitors, MonitorsMode::PrimaryOnly);
    EXPECT_EQ(settings.CycleMinutes, 120);
    EXPECT_TRUE(settings.RandomColours);
    EXPECT_FALSE(settings.FadeIn);
}

TEST(CycleMinutesFromTextTest, OnlyAWholeNumberWithinTheRangeIsTaken) {
    const std::pair<std::wstring, std::optional<int32_t>> cases[] = {
        {L"0", 0},
        {L"1", 1},
        {L"007", 7},
        {L"120", 120},
        {L" 45\t", 45},  // blanks around the number
        // Refused, not bent into the range: the dialog says what it takes.
        {L"", std::nullopt},
        {L"  ", std::nullopt},
        {L"121", std::nullopt},
        {L"500", std::nullopt},
        {L"99999999999", std::nullopt},
        {L"99999999999999999999", std::nullopt},
        {L"1.5", std::nullopt},
        {L"-3", std::nullopt},
        {L"+3", std::nullopt},
        {L"1 2", std::nullopt},
        {L"abc", std::nullopt},
        {L"0x10", std::nullopt},
        {L"\x0661", std::nullopt},
    };
    for (const auto& [text, minutes] : cases)
        EXPECT_EQ(CycleMinutesFromText(text), minutes) << testing::PrintToString(text);
}

TEST_F(SettingsTest, ReadImageDirectory) {
    // An empty stored directory becomes the default in memory only.
    StoreKey(1, 1, 1, 1, 1, L"");
    settings.Path_Wall = L"D:\\Old";
    ReadImageDirectory(store, settings, sink);
    EXPECT_EQ(settings.Path_Wall, Pictures);
    EXPECT_EQ(StoredString(L"Path_Wall"), L"");
    EXPECT_TRUE(store.Written.empty());

    // A stored directory replaces the one in memory, and is cut at its first NUL.
    store.Values[L"Path_Wall"] = platform::RegistryValue::Text(std::wstring(L"D:\\New\0junk", 11));
    ReadImageDirectory(store, settings, sink);
    EXPECT_EQ(settings.Path_Wall, L"D:\\New");

    // Of the wrong type: shown, and the directory in memory stays.
    store.Values[L"Path_Wall"] = platform::RegistryValue::Dword(3);
    ReadImageDirectory(store, settings, sink);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Invalid data type for 'Path_Wall'"});
    EXPECT_EQ(settings.Path_Wall, L"D:\\New");

    // No key: memory stays, or becomes the default when empty.
    MemorySettingsStore empty{Pictures};
    ReadImageDirectory(empty, settings, sink);
    EXPECT_EQ(settings.Path_Wall, L"D:\\New");
    settings.Path_Wall.clear();
    ReadImageDirectory(empty, settings, sink);
    EXPECT_EQ(settings.Path_Wall, Pictures);
    EXPECT_FALSE(empty.KeyExists);
    EXPECT_EQ(store.OpenKeys + empty.OpenKeys, 0);
}

TEST_F(SettingsTest, WriteImageDirectoryWritesItAlone) {
    settings = {4, true, L"F:\\Stills"};
    WriteImageDirectory(store, settings, sink);
    EXPECT_TRUE(store.KeyExists);
    EXPECT_EQ(store.Written, std::vector<std::wstring>{L"Path_Wall"});
    EXPECT_EQ(StoredString(L"Path_Wall"), L"F:\\Stills");

    store.RefusedValue = L"Path_Wall";
    WriteImageDirectory(store, settings, sink);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to set data for 'Path_Wall'"});
    EXPECT_EQ(store.OpenKeys, 0);
}

TEST_F(SettingsTest, StillOptionsAreValuesOfTheirOwnAndAbsentMeansOff) {
    // A store of an earlier version: BMP, no background, no message, nothing written.
    StoreKey(20, 0, 7, 12, 1, L"D:\\Stills");
    settings.Png = settings.Wallpaper = true;
    ReadStillOptions(store, settings);
    EXPECT_FALSE(settings.Png);
    EXPECT_FALSE(settings.Wallpaper);
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(store.Written.empty());

    settings.Png = true;
    WriteStillOptions(store, settings, sink);
    EXPECT_EQ(store.Written, (std::vector<std::wstring>{L"Png", L"Wallpaper"}));
    EXPECT_EQ(StoredInteger(L"Png"), 1);
    EXPECT_EQ(StoredInteger(L"Wallpaper"), 0);
    settings = SaverSettings{};
    ReadStillOptions(store, settings);
    EXPECT_TRUE(settings.Png);
    EXPECT_EQ(StoredInteger(L"Wall"), 12) << "the other values stay as they were";

    EXPECT_TRUE(errors.empty());
}

TEST_F(SettingsTest, ARefusedStillOptionIsShownAndEndsTheWrite) {
    StoreKey(20, 0, 7, 12, 1, L"D:\\Stills");
    settings.Png = true;
    settings.Wallpaper = true;
    store.RefusedValue = L"Png";
    int openWhenShown = -1;
    const ErrorSink recording = [&](const std::wstring& message) {
        errors.push_back(message);
        openWhenShown = store.OpenKeys;
    };
    WriteStillOptions(store, settings, recording);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to set data for 'Png'"});
    EXPECT_TRUE(store.Written.empty()) << "Wallpaper is not written after the refused Png";
    EXPECT_EQ(openWhenShown, 0) << "the key is closed before the message waits for the user";

    errors.clear();
    store.RefusedValue = L"Wallpaper";
    WriteStillOptions(store, settings, sink);
    EXPECT_EQ(errors, std::vector<std::wstring>{L"Failed to set data for 'Wallpaper'"});
    EXPECT_EQ(store.Written, std::vector<std::wstring>{L"Png"});
    EXPECT_EQ(StoredInteger(L"Png"), 1);
}

}  // namespace
}  // namespace lumora
