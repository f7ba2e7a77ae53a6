#include "settings/settings_window.h"

#include "settings/registry_store.h"

namespace lumora {

void LoadSettingsForWindow(EngineState& engine, SaverSettings& settings, HWND owner) {
    RegistrySettingsStore store;
    const ScreenSize primary{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const LoadResult result =
        LoadSettings(store, engine, settings, primary, MessageBoxErrorSink(owner));
    // A saver started on a broken store still shows a picture: what could not be read runs
    // with its first-run value (nothing is written, so the store stays as the user left it).
    if (!result.failed) return;
    UseFirstRunValuesForUnread(FieldsOf(engine), settings, primary, result.valuesRead);
    // The stored directory, read last, was not reached: read on its own and quietly (the user
    // has seen one message), so that " Save Settings" writes it back instead of an empty one.
    constexpr int PathWallIndex = 5;
    if (result.valuesRead < PathWallIndex) ReadImageDirectory(store, settings, ErrorSink());
}

void SaveSettingsForWindow(const EngineState& engine, const SaverSettings& settings, HWND owner) {
    RegistrySettingsStore store;
    SaveSettings(store, engine, settings, MessageBoxErrorSink(owner));
}

void ReadImageDirectoryForWindow(SaverSettings& settings, HWND owner) {
    RegistrySettingsStore store;
    ReadImageDirectory(store, settings, MessageBoxErrorSink(owner));
}

void WriteImageDirectoryForWindow(const SaverSettings& settings, HWND owner) {
    RegistrySettingsStore store;
    WriteImageDirectory(store, settings, MessageBoxErrorSink(owner));
}

}  // namespace lumora
