// A library module loaded for as long as it is used: LoadLibraryW / FreeLibrary.
//
// Load never reports an error: a library that cannot be found or loaded gives an empty
// optional. The name goes through the system's library search (the program's directory, the
// system directories, the path). Function looks up an export by its exact, undecorated name.
#pragma once

#include <windows.h>

#include <optional>

namespace lumora::platform {

class LoadedLibrary {
public:
    static std::optional<LoadedLibrary> Load(const wchar_t* name) {
        HMODULE module = LoadLibraryW(name);
        if (!module) return std::nullopt;
        return LoadedLibrary(module);
    }

    LoadedLibrary(LoadedLibrary&& other) noexcept : module_(other.module_) {
        other.module_ = nullptr;
    }
    LoadedLibrary& operator=(LoadedLibrary&&) = delete;
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }

    // The export as a pointer to a function of type F, or null when the library has none.
    template <typename F>
    F Function(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    explicit LoadedLibrary(HMODULE module) : module_(module) {}
    HMODULE module_;
};

}  // namespace lumora::platform
