// The console display's state as a power setting's notification brings it.
//
// ConsoleDisplayStateGuid  the setting a window registers for (platform::PowerSettingNotification,
//                          platform/handles.h); a failed registration leaves the notification
//                          empty (get() null) and the window then simply never hears.
// ConsoleDisplayState      the display's state carried by a WM_POWERBROADCAST: off, on or
//                          dimmed; nothing when the message is about something else.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>

#include "platform/handles.h"

namespace lumora::platform {

// GUID_CONSOLE_DISPLAY_STATE {6FE69556-704A-47A0-8F24-C28D936FDA47}: written out here, so that
// no GUID library is needed to link it.
inline constexpr GUID ConsoleDisplayStateGuid = {
    0x6FE69556, 0x704A, 0x47A0, {0x8F, 0x24, 0xC2, 0x8D, 0x93, 0x6F, 0xDA, 0x47}};

enum class DisplayState : DWORD { Off = 0, On = 1, Dimmed = 2 };

// wparam and lparam of a WM_POWERBROADCAST. A state the system may add later counts as on:
// the saver only stops for a display that is certainly off.
inline std::optional<DisplayState> ConsoleDisplayState(WPARAM event, LPARAM data) {
    if (event != PBT_POWERSETTINGCHANGE || data == 0) return std::nullopt;
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (std::memcmp(&setting->PowerSetting, &ConsoleDisplayStateGuid, sizeof(GUID)) != 0 ||
        setting->DataLength < sizeof(DWORD))
        return std::nullopt;
    DWORD state;
    std::memcpy(&state, setting->Data, sizeof state);
    return state == static_cast<DWORD>(DisplayState::Off)      ? DisplayState::Off
           : state == static_cast<DWORD>(DisplayState::Dimmed) ? DisplayState::Dimmed
                                                               : DisplayState::On;
}

}  // namespace lumora::platform
