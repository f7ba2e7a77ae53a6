// The settings store as the windows use it: the product's key in the current user's registry,
// the primary display's size for the first-run preset, and errors shown in a message box
// (captioned with the application title, error icon, OK button) owned by `owner`.
//
// Each call opens the key, reads or writes, and closes it again; see settings.h for what is
// read and written and what happens on an error. All of them return normally. Loading is
// LoadSettingsForRun: after a failed load what could not be read runs with its first-run value.
#pragma once

#include <windows.h>

#include "engine/engine.h"
#include "settings/settings.h"

namespace lumora {

void LoadSettingsForWindow(EngineState& engine, SaverSettings& settings, HWND owner = nullptr);
void SaveSettingsForWindow(const EngineState& engine, const SaverSettings& settings,
                           HWND owner = nullptr);
void ReadImageDirectoryForWindow(SaverSettings& settings, HWND owner = nullptr);
void WriteImageDirectoryForWindow(const SaverSettings& settings, HWND owner = nullptr);
void ReadStillOptionsForWindow(SaverSettings& settings);
void WriteStillOptionsForWindow(const SaverSettings& settings, HWND owner = nullptr);

}  // namespace lumora
