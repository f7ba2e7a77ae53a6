#include "shell/password.h"

#include <windows.h>

#include "platform/cursor.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "shell/preview.h"

namespace lumora {
namespace {

constexpr wchar_t DesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t UsePasswordValue[] = L"ScreenSaveUsePassword";
constexpr wchar_t PasswordLibrary[] = L"PASSWORD.CPL";
constexpr char VerifyExport[] = "VerifyScreenSavePwd";
constexpr int32_t GraceAfterDialog = 10;  // mouse messages; the tenth asks again

using VerifyFunction = BOOL(WINAPI*)(HWND owner);

// The export, asked with the cursor shown; no export: nothing to ask, the saver may end.
bool AskLibrary(const platform::LoadedLibrary& library) {
    const auto verify = library.Function<VerifyFunction>(VerifyExport);
    const platform::ShownCursor cursor;
    return verify ? verify(Preview().PreviewWindow) != 0 : true;
}

}  // namespace

bool VerifySaverPassword() {
    const std::optional<RegistryKey> key =
        RegistryKey::Open(HKEY_CURRENT_USER, DesktopKey, KEY_READ);
    if (!key) return true;
    if (key->ReadFourBytes(UsePasswordValue).value_or(0) == 0) return true;
    const std::optional<platform::LoadedLibrary> library =
        platform::LoadedLibrary::Load(PasswordLibrary);
    if (!library) return true;
    const bool result = AskLibrary(*library);
    Preview().InputGraceCount = GraceAfterDialog;
    return result;
}

}  // namespace lumora
