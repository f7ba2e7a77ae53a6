// The saver's stored settings: load, first-run defaults, save, and the image directory.
//
// Six values under one key: Speed, Bright and Algoritm live in the engine state (Speed,
// ColourScheme, Pattern; there is no second copy), Wall, Rands and Path_Wall in SaverSettings.
//
//   LoadSettings          reads all six, each into memory as soon as it is read, then applies
//                         the first-run defaults. A missing key reads nothing. A failed read is
//                         shown through the ErrorSink and ends the load: the values read before
//                         it keep what was read, the rest keep their earlier values, and the
//                         first-run defaults are not applied. It always returns normally, so
//                         the caller's set-up goes on.
//   ApplyFirstRunDefaults when Speed, Bright and Algoritm are all 0: Speed 20, Bright 0,
//                         Algoritm 7, Rands true, Wall by FirstRunImageSize (the display's
//                         preset, else the display's own entry), an empty Path_Wall becomes the
//                         store's default directory (the user's pictures folder); then
//                         SaveSettings.
//   SaveSettings          writes all six, Monitors, CycleMinutes, RandomColours and FadeIn,
//                         creating the key; a key that cannot be opened or
//                         created is skipped silently; a refused write is shown and ends the save.
//   ReadImageDirectory    reloads Path_Wall alone (a missing value reads as empty); an empty
//                         directory becomes the default in memory only.
//   WriteImageDirectory   writes Path_Wall alone, creating the key.
//
// Values added after the six (AddedValues): Monitors, read after the six and written after them,
// says how the full-screen saver uses several monitors; Png and Wallpaper are the save-image
// dialog's choices; CycleMinutes, RandomColours and FadeIn, read and written after Monitors, say
// how the full-screen saver changes over time. Stores written by an earlier version lack them and a
// later version may store them with another type or a wider range: missing, not a DWORD or out of
// its range, each is its first-run value, and nothing is said.
//
// Values out of range are loaded as they are; the engine and the dialog deal with them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/engine.h"
#include "settings/image_sizes.h"
#include "settings/store.h"

namespace lumora {

// How the full-screen saver covers several monitors: the same field on each (the first-run
// value), one field spanning all of them, or the primary alone with the others black.
// Each: every monitor a field of its own (grid, pattern, scheme, angles).
enum class MonitorsMode : int32_t { Mirror = 0, Span = 1, PrimaryOnly = 2, Each = 3 };

struct SaverSettings {
    int32_t Wall = 0;        // image-size entry of saved stills, 1..25 (image_sizes.h)
    bool Rands = false;      // take a random pattern at every start
    std::wstring Path_Wall;  // directory in which stills are saved
    MonitorsMode Monitors = MonitorsMode::Mirror;
    // The save-image dialog's choices, stored on their own (StillOptions below).
    bool Png = false;        // stills are PNG files, else BMP
    bool Wallpaper = false;  // a saved still becomes the desktop's background
    // How the full-screen saver changes over time.
    int32_t CycleMinutes = 0;    // another pattern every that many minutes, 0 never
    bool RandomColours = false;  // a random scheme at every start (and at every change)
    bool FadeIn = true;          // the first second blends from the desktop to the field
};

// The mode a stored Monitors value stands for: 0..3 as they are, anything else Mirror.
MonitorsMode MonitorsModeFromStored(int32_t stored);

// A value added after the six: its name, its first-run value and the range it may take.
struct AddedValue {
    const wchar_t* name;
    int32_t firstRun;
    int32_t lowest;
    int32_t highest;
};
// One line per added value.
inline constexpr AddedValue AddedValues[] = {
    {L"Monitors", 0, 0, 3},        // MonitorsMode
    {L"Png", 0, 0, 1},             // SaverSettings::Png
    {L"Wallpaper", 0, 0, 1},       // SaverSettings::Wallpaper
    {L"CycleMinutes", 0, 0, 120},  // SaverSettings::CycleMinutes
    {L"RandomColours", 0, 0, 1},   // SaverSettings::RandomColours
    {L"FadeIn", 1, 0, 1},          // SaverSettings::FadeIn
};
inline constexpr const AddedValue& MonitorsValue = AddedValues[0];
inline constexpr const AddedValue& PngValue = AddedValues[1];
inline constexpr const AddedValue& WallpaperValue = AddedValues[2];
inline constexpr const AddedValue& CycleMinutesValue = AddedValues[3];
inline constexpr const AddedValue& RandomColoursValue = AddedValues[4];
inline constexpr const AddedValue& FadeInValue = AddedValues[5];

// The added value as stored, when it is a DWORD within its range; its first-run value otherwise
// (missing, of another type or size, or out of range), silently.
int32_t ReadAddedValue(SettingsKey& key, const AddedValue& value);

// The minutes typed or pasted into the "More..." dialog's field, when the text is a whole number
// within CycleMinutes' range (decimal digits, blanks around them allowed); nothing otherwise
// (empty, a sign, a fraction, other characters, or out of range), which the dialog refuses.
std::optional<int32_t> CycleMinutesFromText(std::wstring_view text);

// Shows one error to the user; an empty sink shows nothing.
using ErrorSink = std::function<void(const std::wstring& message)>;

// The engine fields the store keeps, by reference into the engine state.
struct EngineFields {
    int& Speed;
    int& ColourScheme;
    int& Pattern;
};
inline EngineFields FieldsOf(EngineState& engine) {
    return {engine.Speed, engine.ColourScheme, engine.Pattern};
}

// How a load went: how many values it read, in the order Speed, Bright, Algoritm, Wall, Rands,
// Path_Wall, and whether a read failed (the one after the last read).
struct LoadResult {
    bool failed = false;
    int valuesRead = 0;
};

LoadResult LoadSettings(SettingsStore& store, EngineFields engine, SaverSettings& settings,
                        ScreenSize screen, const ErrorSink& showError);
// After a failed load, the values that were not read take their first-run values in memory,
// for this run only (nothing is written): Speed 20, Bright 0, Algoritm 7, Wall the screen's
// entry (FirstRunImageSize), Rands true. Path_Wall keeps what it holds (an empty one
// becomes the default directory when the image directory is read). Values read stay as read.
void UseFirstRunValuesForUnread(EngineFields engine, SaverSettings& settings, ScreenSize screen,
                                int valuesRead);
// LoadSettings as the saver and the settings mode run it: after a failed load what could not be
// read runs with its first-run value (UseFirstRunValuesForUnread, nothing is written, so the
// store stays as the user left it), and the image directory, when the load stopped before it,
// is read on its own and quietly (the user has seen one message), so that " Save Settings"
// writes it back instead of an empty one; Monitors and the values after it, which never fail a
// load, are read as well.
LoadResult LoadSettingsForRun(SettingsStore& store, EngineFields engine, SaverSettings& settings,
                              ScreenSize screen, const ErrorSink& showError);
// The pattern the full-screen saver runs for a stored one: a pattern outside 1..25 would draw
// only the empty planes, a black and still screen, so it runs the first-run pattern 7 instead
// (for this run only; the store keeps what it holds).
int PatternForFullScreen(int stored);
void ApplyFirstRunDefaults(SettingsStore& store, EngineFields engine, SaverSettings& settings,
                           ScreenSize screen, const ErrorSink& showError);
void SaveSettings(SettingsStore& store, int speed, int colourScheme, int pattern,
                  const SaverSettings& settings, const ErrorSink& showError);
void ReadImageDirectory(SettingsStore& store, SaverSettings& settings, const ErrorSink& showError);
void WriteImageDirectory(SettingsStore& store, const SaverSettings& settings,
                         const ErrorSink& showError);
// The save-image dialog's format and background choices, added values of their own (Png,
// Wallpaper; 1 or 0): a key that is missing reads as off (BMP, no background), each value by
// ReadAddedValue; nothing of the other settings is read or written with them.
void ReadStillOptions(SettingsStore& store, SaverSettings& settings);
void WriteStillOptions(SettingsStore& store, const SaverSettings& settings,
                       const ErrorSink& showError);

inline LoadResult LoadSettings(SettingsStore& store, EngineState& engine, SaverSettings& settings,
                               ScreenSize screen, const ErrorSink& showError) {
    return LoadSettings(store, FieldsOf(engine), settings, screen, showError);
}
inline void SaveSettings(SettingsStore& store, const EngineState& engine,
                         const SaverSettings& settings, const ErrorSink& showError) {
    SaveSettings(store, engine.Speed, engine.ColourScheme, engine.Pattern, settings, showError);
}

}  // namespace lumora
