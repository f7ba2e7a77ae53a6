#include "shell/password.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/registry.h"

namespace lumora {
namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t UsePasswordValue[] = L"ScreenSaveUsePassword";
constexpr wchar_t PasswordLibrary[] = L"PASSWORD.CPL";
constexpr char VerifyExport[] = "VerifyScreenSavePwd";

using VerifyFunction = BOOL(WINAPI*)(HWND owner);

// The export, asked with the cursor shown; no export: nothing to ask, the saver may end.
bool AskLibrary(const platform::LoadedLibrary& library, HWND owner) {
    const auto verify = library.Function<VerifyFunction>(VerifyExport);
    const platform::ShownCursor cursor;
    return verify ? verify(owner) != 0 : true;
}

}  // namespace

PasswordAnswer VerifySaverPassword(HWND owner) {
    constexpr PasswordAnswer NothingToAsk{true, false};
    const std::optional<platform::RegistryKey> key =
        platform::RegistryKey::Open(HKEY_CURRENT_USER, DesktopKey, KEY_READ);
    if (!key) return NothingToAsk;
    if (key->ReadFourBytes(UsePasswordValue).value_or(0) == 0) return NothingToAsk;
    const std::optional<platform::LoadedLibrary> library =
        platform::LoadedLibrary::Load(PasswordLibrary);
    if (!library) return NothingToAsk;
    return PasswordAnswer{AskLibrary(*library, owner), true};
}

}  // namespace lumora
