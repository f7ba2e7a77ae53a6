#include "settings/settings_window.h"

#include "settings/registry_store.h"

namespace lumora {

void LoadSettingsForWindow(EngineState& engine, SaverSettings& settings, HWND owner) {
    RegistrySettingsStore store;
    const ScreenSize primary{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    LoadSettingsForRun(store, FieldsOf(engine), settings, primary, MessageBoxErrorSink(owner));
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

void ReadStillOptionsForWindow(SaverSettings& settings) {
    RegistrySettingsStore store;
    ReadStillOptions(store, settings);
}

void WriteStillOptionsForWindow(const SaverSettings& settings, HWND owner) {
    RegistrySettingsStore store;
    WriteStillOptions(store, settings, MessageBoxErrorSink(owner));
}

}  // namespace lumora
