// The settings policy against the in-memory store: load order, first-run rule, presets, errors.
#include <gtest/gtest.h>

#include <algorithm>

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
        store.Values[L"Speed"] = MemoryValue::Integer(speed);
        store.Values[L"Bright"] = MemoryValue::Integer(bright);
        store.Values[L"Algoritm"] = MemoryValue::Integer(algoritm);
        store.Values[L"Wall"] = MemoryValue::Integer(wall);
        store.Values[L"Rands"] = MemoryValue::Integer(rands);
        store.Values[L"Path_Wall"] = MemoryValue::String(std::move(path));
    }
    void Load(ScreenSize screen = {1920, 1080}) {
        LoadSettings(store, engine.Fields(), settings, screen, sink);
        EXPECT_EQ(store.OpenKeys, 0) << "every key is closed when the load returns";
    }
    int32_t StoredInteger(const wchar_t* name) {
        const MemoryValue& value = store.Values.at(name);
        EXPECT_EQ(value.kind, MemoryValue::Kind::Integer) << name;
        return value.integer;
    }
    std::wstring StoredString(const wchar_t* name) {
        const MemoryValue& value = store.Values.at(name);
        EXPECT_EQ(value.kind, MemoryValue::Kind::String) << name;
        return value.text;
    }

    MemorySettingsStore store{Pictures};
    Engine engine;
    SaverSettings settings;
    std::vector<std::wstring> errors;
    ErrorSink sink = [this](const std::wstring& message) { errors.push_back(message); };
    const std::vector<std::wstring> allSix{L"Speed", L"Bright", L"Algoritm", L"Wall", L"Rands", L"Path_Wall"};
};

TEST(PresetForScreenTest, EveryRowAndTheOverlaps) {
    struct Case {
        int width, height;
        std::optional<int> preset;
    };
    const Case cases[] = {
        {800, 600, 1},    {800, 480, 1},     {1024, 768, 2},    {1152, 864, 3},
        {1280, 800, 4},   {1280, 1024, 5},   {1360, 768, 6},    {1366, 768, 7},
        {1440, 900, 8},   {1600, 900, 9},    {1600, 1200, 10},  {1680, 1050, 11},
        {1920, 1080, 12}, {1920, 1200, 13},  {2000, 1500, 14},
        // Rows that test the height too match only that height.
        {1280, 720, std::nullopt}, {1280, 960, std::nullopt}, {1920, 1440, std::nullopt},
        {2000, 1125, std::nullopt}, {2560, 1440, std::nullopt}, {768, 1024, std::nullopt},
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
    EXPECT_EQ(store.Written, allSix);
    EXPECT_EQ(StoredInteger(L"Speed"), 20);
    EXPECT_EQ(StoredInteger(L"Bright"), 0);
    EXPECT_EQ(StoredInteger(L"Algoritm"), 7);
    EXPECT_EQ(StoredInteger(L"Wall"), 12);
    EXPECT_EQ(StoredInteger(L"Rands"), 1);
    EXPECT_EQ(StoredString(L"Path_Wall"), Pictures);
}

TEST_F(SettingsTest, FirstRunWallFollowsTheScreen) {
    const std::pair<ScreenSize, int> cases[] = {
        {{1600, 1200}, 10}, {{1600, 900}, 9}, {{1280, 720}, 0}, {{2560, 1440}, 0}};
    for (const auto& [screen, wall] : cases) {
        MemorySettingsStore fresh{Pictures};
        Engine e;
        SaverSettings s;
        LoadSettings(fresh, e.Fields(), s, screen, sink);
        EXPECT_EQ(s.Wall, wall) << screen.width << " x " << screen.height;
        EXPECT_EQ(fresh.Values.at(L"Wall").integer, wall);
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

TEST_F(SettingsTest, UnreadableValuesNameThemselves) {
    struct Case {
        const wchar_t* name;
        MemoryValue value;
        const wchar_t* error;
    };
    const Case cases[] = {
        {L"Speed", MemoryValue::String(L"20"), L"Invalid data type for 'Speed'"},
        {L"Speed", MemoryValue::String(L"12345"), L"Failed to get data for 'Speed'"},
        {L"Bright", MemoryValue::Oversized(), L"Failed to get data for 'Bright'"},
        {L"Wall", MemoryValue::Oversized(), L"Failed to get data for 'Wall'"},
        {L"Algoritm", MemoryValue::String(L""), L"Invalid data type for 'Algoritm'"},
        {L"Rands", MemoryValue::String(L"1"), L"Invalid data type for 'Rands'"},
        {L"Path_Wall", MemoryValue::Integer(5), L"Invalid data type for 'Path_Wall'"},
        {L"Path_Wall", MemoryValue::Oversized(), L"Invalid data type for 'Path_Wall'"},
    };
    for (const Case& c : cases) {
        errors.clear();
        StoreKey(11, 4, 17, 8, 1, L"D:\\Stills");
        store.Values[c.name] = c.value;
        engine = Engine{};
        settings = SaverSettings{};
        Load();
        EXPECT_EQ(errors, std::vector<std::wstring>{c.error}) << c.name;
        // The values before the failing one were read, the failing one and those after were not.
        const std::wstring failing = c.name;
        const size_t index = std::find(allSix.begin(), allSix.end(), failing) - allSix.begin();
        EXPECT_EQ(engine.Speed, index > 0 ? 11 : 0) << c.name;
        EXPECT_EQ(engine.ColourScheme, index > 1 ? 4 : 0) << c.name;
        EXPECT_EQ(engine.Pattern, index > 2 ? 17 : 0) << c.name;
        EXPECT_EQ(settings.Wall, index > 3 ? 8 : 0) << c.name;
        EXPECT_EQ(settings.Rands, index > 4) << c.name;
        EXPECT_EQ(settings.Path_Wall, L"") << c.name;
    }
    EXPECT_TRUE(store.Written.empty());
}

TEST_F(SettingsTest, AfterAFailedLoadTheUnreadValuesRunWithTheirFirstRunValues) {
    // Only Speed is stored: Bright fails, so the saver would otherwise run pattern 0 (black).
    store.KeyExists = true;
    store.Values[L"Speed"] = MemoryValue::Integer(33);
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
    EXPECT_EQ(store.Written, allSix);
    EXPECT_EQ(StoredInteger(L"Algoritm"), 24);
    EXPECT_EQ(StoredInteger(L"Wall"), 13);
    EXPECT_EQ(StoredInteger(L"Rands"), 0);
    EXPECT_EQ(StoredString(L"Path_Wall"), L"E:\\Bilder");
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
    store.Values[L"Path_Wall"] = MemoryValue::String(std::wstring(L"D:\\New\0junk", 11));
    ReadImageDirectory(store, settings, sink);
    EXPECT_EQ(settings.Path_Wall, L"D:\\New");

    // Of the wrong type: shown, and the directory in memory stays.
    store.Values[L"Path_Wall"] = MemoryValue::Integer(3);
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

}  // namespace
}  // namespace lumora
