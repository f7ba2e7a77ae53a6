// The host's screensaver password check, asked before the preview ends through input.
//
// When "ScreenSaveUsePassword" under HKCU "Control Panel\Desktop" is nonzero (4 bytes at most,
// whatever their registry type), the host's library "PASSWORD.CPL" is loaded through the
// system's library search and its export "VerifyScreenSavePwd" shows the password dialog, owned
// by the given window (the preview's), with the cursor shown for as long as it is open. Whenever
// the library was loaded the answer says so and the library is unloaded again. Every failure on the
// way (no key, no value, no library, no export) lets the saver end.
#pragma once

#include <windows.h>

namespace lumora {

struct PasswordAnswer {
    bool mayEnd;           // false only when the host's dialog refused
    bool libraryWasAsked;  // the library was loaded: the preview's mouse countdown starts again
};

PasswordAnswer VerifySaverPassword(HWND owner);

}  // namespace lumora
