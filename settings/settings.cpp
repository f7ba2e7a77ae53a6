#include "settings/settings.h"

#include <algorithm>

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
void Show(const ErrorSink& showError, const SettingsError& error) {
    if (showError) showError(error.Message());
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
    int32_t stored;
    try {
        stored = key.ReadInteger(value.name);
    } catch (const SettingsError&) {
        return value.firstRun;
    }
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
    try {
        if (std::unique_ptr<SettingsKey> key = store.OpenExisting()) {
            engine.Speed = key->ReadInteger(SpeedName);
            ++result.valuesRead;
            engine.ColourScheme = key->ReadInteger(BrightName);
            ++result.valuesRead;
            engine.Pattern = key->ReadInteger(AlgoritmName);
            ++result.valuesRead;
            settings.Wall = key->ReadInteger(WallName);
            ++result.valuesRead;
            settings.Rands = key->ReadBool(RandsName);
            ++result.valuesRead;
            settings.Path_Wall = key->ReadString(PathWallName);
            ++result.valuesRead;
            ReadMonitorsAndAfter(*key, settings);
        }
    } catch (const SettingsError& error) {
        Show(showError, error);
        result.failed = true;
        return result;
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
    try {
        key->WriteInteger(SpeedName, speed);
        key->WriteInteger(BrightName, colourScheme);
        key->WriteInteger(AlgoritmName, pattern);
        key->WriteInteger(WallName, settings.Wall);
        key->WriteBool(RandsName, settings.Rands);
        key->WriteString(PathWallName, settings.Path_Wall);
        key->WriteInteger(MonitorsValue.name, static_cast<int32_t>(settings.Monitors));
        key->WriteInteger(CycleMinutesValue.name, settings.CycleMinutes);
        key->WriteBool(RandomColoursValue.name, settings.RandomColours);
        key->WriteBool(FadeInValue.name, settings.FadeIn);
    } catch (const SettingsError& error) {
        key.reset();  // close before the message box waits for the user
        Show(showError, error);
    }
}

void ReadImageDirectory(SettingsStore& store, SaverSettings& settings, const ErrorSink& showError) {
    try {
        if (std::unique_ptr<SettingsKey> key = store.OpenExisting()) {
            settings.Path_Wall = key->ReadString(PathWallName);
        }
    } catch (const SettingsError& error) {
        // A Path_Wall of the wrong type: the directory in memory stays.
        Show(showError, error);
    }
    if (settings.Path_Wall.empty()) settings.Path_Wall = store.DefaultImageDirectory();
}

void WriteImageDirectory(SettingsStore& store, const SaverSettings& settings,
                         const ErrorSink& showError) {
    std::unique_ptr<SettingsKey> key = store.OpenOrCreate();
    if (!key) return;
    try {
        key->WriteString(PathWallName, settings.Path_Wall);
    } catch (const SettingsError& error) {
        key.reset();
        Show(showError, error);
    }
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
    try {
        key->WriteBool(PngValue.name, settings.Png);
        key->WriteBool(WallpaperValue.name, settings.Wallpaper);
    } catch (const SettingsError& error) {
        key.reset();
        Show(showError, error);
    }
}

}  // namespace lumora
