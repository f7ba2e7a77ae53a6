// The settings store as the windows use it: the product's key in the current user's registry,
// the primary display's size for the first-run preset, and errors shown in a message box
// (captioned with the application title, error icon, OK button) owned by `owner`.
//
// Each call opens the key, reads or writes, and closes it again; see settings.h for what is
// read and written and what happens on an error. All of them return normally. After a load
// that failed, the values it could not read run with their first-run values (not stored), and
// the image directory, when the load stopped before it, is read on its own without a message.
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

}  // namespace lumora
