// How a window sees its keyboard messages before they are dispatched.
//
// The message loop sends PreTranslateMessageId (lparam: the MSG*) to the top-level window of
// each message's target before translating and dispatching it; a window that has handled the
// message (a dialog's Tab, Enter and Esc through IsDialogMessage, a form's key preview) answers
// nonzero and the loop goes on to the next message. Windows that do not know it answer 0.
#pragma once

#include <windows.h>

namespace lumora::platform {

inline constexpr UINT PreTranslateMessageId = WM_APP + 0x2A0;

}  // namespace lumora::platform
