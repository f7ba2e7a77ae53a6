#include "settings/settings.h"

#include <algorithm>
#include <initializer_list>

#include "engine/domain.h"

namespace lumora {
namespace {

// The value names, spelled as earlier versions stored them.
constexpr wchar_t SpeedName[] = L"Speed";
constexpr wchar_t BrightName[] = L"Bright";
constexpr wchar_t AlgoritmName[] = L"Algoritm";
constexpr wchar_t WallName[] = L"Wall";
constexpr wchar_t RandsName[] = L"Rands";
constexpr wchar_t PathWallName[] = L"Path_Wall";

constexpr int FirstRunSpeed = 20;
constexpr int FirstRunColourScheme = 0;
constexpr int FirstRunPattern = 7;

// An empty sink leaves errors unshown (a caller without a user to tell).
void Show(const ErrorSink& showError, const platform::Outcome& outcome) {
    if (!outcome && showError) showError(outcome.reason());
}

// One read or write of the store.
using Step = std::function<platform::Outcome()>;

// Runs the steps in order until one fails, and gives that one's outcome (Done when none
// failed); done, when given, counts the steps that went well.
platform::Outcome InOrder(std::initializer_list<Step> steps, int* done = nullptr) {
    for (const Step& step : steps) {
        if (platform::Outcome outcome = step(); !outcome) return outcome;
        if (done) ++*done;
    }
    return platform::Outcome::Done();
}

// Monitors and the values read after it; none of them fails a load.
void ReadMonitorsAndAfter(SettingsKey& key, SaverSettings& settings) {
    settings.Monitors = MonitorsModeFromStored(ReadAddedValue(key, MonitorsValue));
    settings.CycleMinutes = ReadAddedValue(key, CycleMinutesValue);
    settings.RandomColours = ReadAddedValue(key, RandomColoursValue) != 0;
    settings.FadeIn = ReadAddedValue(key, FadeInValue) != 0;
}

}  // namespace

int32_t ReadAddedValue(SettingsKey& key, const AddedValue& value) {
    int32_t stored = 0;
    if (!key.ReadInteger(value.name, stored)) return value.firstRun;
    return stored >= value.lowest && stored <= value.highest ? stored : value.firstRun;
}

std::optional<int32_t> CycleMinutesFromText(std::wstring_view text) {
    const auto isBlank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    int32_t minutes = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        minutes = minutes * 10 + (c - L'0');
        if (minutes > CycleMinutesValue.highest) return std::nullopt;  // before it could overflow
    }
    return minutes;
}

LoadResult LoadSettings(SettingsStore& store, EngineFields engine, SaverSettings& settings,
                        ScreenSize screen, const ErrorSink& showError) {
    LoadResult result;
    if (std::unique_ptr<SettingsKey> key = store.OpenExisting()) {
        // Each value goes into memory as soon as it is read.
        const platform::Outcome read =
            InOrder({
                        [&] { return key->ReadInteger(SpeedName, engine.Speed); },
                        [&] { return key->ReadInteger(BrightName, engine.ColourScheme); },
                        [&] { return key->ReadInteger(AlgoritmName, engine.Pattern); },
                        [&] { return key->ReadInteger(WallName, settings.Wall); },
                        [&] { return key->ReadBool(RandsName, settings.Rands); },
                        [&] { return key->ReadString(PathWallName, settings.Path_Wall); },
                    },
                    &result.valuesRead);
        if (!read) {
            key.reset();  // close before the message box waits for the user
            Show(showError, read);
            result.failed = true;
            return result;
        }
        ReadMonitorsAndAfter(*key, settings);
    }
    ApplyFirstRunDefaults(store, engine, settings, screen, showError);
    return result;
}

void UseFirstRunValuesForUnread(EngineFields engine, SaverSettings& settings, ScreenSize screen,
                                int valuesRead) {
    if (valuesRead <= 0) engine.Speed = FirstRunSpeed;
    if (valuesRead <= 1) engine.ColourScheme = FirstRunColourScheme;
    if (valuesRead <= 2) engine.Pattern = FirstRunPattern;
    if (valuesRead <= 3) {
        settings.Wall = FirstRunImageSize(screen, settings.Wall);
    }
    if (valuesRead <= 4) settings.Rands = true;
}

LoadResult LoadSettingsForRun(SettingsStore& store, EngineFields engine, SaverSettings& settings,
                              ScreenSize screen, const ErrorSink& showError) {
    const LoadResult result = LoadSettings(store, engine, settings, screen, showError);
    if (!result.failed) return result;
    UseFirstRunValuesForUnread(engine, settings, screen, result.valuesRead);
    constexpr int PathWallIndex = 5;
    if (result.valuesRead < PathWallIndex) ReadImageDirectory(store, settings, ErrorSink());
    // The added values never stop a load and never complain: they are read after a failed one too.
    if (std::unique_ptr<SettingsKey> key = store.OpenExisting())
        ReadMonitorsAndAfter(*key, settings);
    return result;
}

MonitorsMode MonitorsModeFromStored(int32_t stored) {
    switch (stored) {
        case 1: return MonitorsMode::Span;
        case 2: return MonitorsMode::PrimaryOnly;
        case 3: return MonitorsMode::Each;
        default: return MonitorsMode::Mirror;
    }
}

int PatternForFullScreen(int stored) {
    return stored >= FirstPattern && stored <= LastPattern ? stored : FirstRunPattern;
}

void ApplyFirstRunDefaults(SettingsStore& store, EngineFields engine, SaverSettings& settings,
                           ScreenSize screen, const ErrorSink& showError) {
    if (engine.ColourScheme != 0 || engine.Pattern != 0 || engine.Speed != 0) return;
    engine.Speed = FirstRunSpeed;
    engine.Pattern = FirstRunPattern;
    settings.Rands = true;
    engine.ColourScheme = FirstRunColourScheme;
    settings.Wall = FirstRunImageSize(screen, settings.Wall);
    if (settings.Path_Wall.empty()) settings.Path_Wall = store.DefaultImageDirectory();
    SaveSettings(store, engine.Speed, engine.ColourScheme, engine.Pattern, settings, showError);
}

void SaveSettings(SettingsStore& store, int speed, int colourScheme, int pattern,
                  const SaverSettings& settings, const ErrorSink& showError) {
    std::unique_ptr<SettingsKey> key = store.OpenOrCreate();
    if (!key) return;
    const platform::Outcome saved = InOrder({
        [&] { return key->WriteInteger(SpeedName, speed); },
        [&] { return key->WriteInteger(BrightName, colourScheme); },
        [&] { return key->WriteInteger(AlgoritmName, pattern); },
        [&] { return key->WriteInteger(WallName, settings.Wall); },
        [&] { return key->WriteBool(RandsName, settings.Rands); },
        [&] { return key->WriteString(PathWallName, settings.Path_Wall); },
        [&] {
            return key->WriteInteger(MonitorsValue.name, static_cast<int32_t>(settings.Monitors));
        },
        [&] { return key->WriteInteger(CycleMinutesValue.name, settings.CycleMinutes); },
        [&] { return key->WriteBool(RandomColoursValue.name, settings.RandomColours); },
        [&] { return key->WriteBool(FadeInValue.name, settings.FadeIn); },
    });
    key.reset();  // close before the message box waits for the user
    Show(showError, saved);
}

void ReadImageDirectory(SettingsStore& store, SaverSettings& settings, const ErrorSink& showError) {
    if (std::unique_ptr<SettingsKey> key = store.OpenExisting()) {
        // A Path_Wall of the wrong type: the directory in memory stays.
        const platform::Outcome read = key->ReadString(PathWallName, settings.Path_Wall);
        key.reset();
        Show(showError, read);
    }
    if (settings.Path_Wall.empty()) settings.Path_Wall = store.DefaultImageDirectory();
}

void WriteImageDirectory(SettingsStore& store, const SaverSettings& settings,
                         const ErrorSink& showError) {
    std::unique_ptr<SettingsKey> key = store.OpenOrCreate();
    if (!key) return;
    const platform::Outcome written = key->WriteString(PathWallName, settings.Path_Wall);
    key.reset();
    Show(showError, written);
}

void ReadStillOptions(SettingsStore& store, SaverSettings& settings) {
    settings.Png = settings.Wallpaper = false;
    if (std::unique_ptr<SettingsKey> key = store.OpenExisting()) {
        settings.Png = ReadAddedValue(*key, PngValue) != 0;
        settings.Wallpaper = ReadAddedValue(*key, WallpaperValue) != 0;
    }
}

void WriteStillOptions(SettingsStore& store, const SaverSettings& settings,
                       const ErrorSink& showError) {
    std::unique_ptr<SettingsKey> key = store.OpenOrCreate();
    if (!key) return;
    const platform::Outcome saved = InOrder({
        [&] { return key->WriteBool(PngValue.name, settings.Png); },
        [&] { return key->WriteBool(WallpaperValue.name, settings.Wallpaper); },
    });
    key.reset();
    Show(showError, saved);
}

}  // namespace lumora
