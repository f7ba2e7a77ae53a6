#include "platform/power_setting.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace lumora::platform {
namespace {

// A POWERBROADCAST_SETTING as the system lays it out: the GUID, the data length, the data.
std::vector<unsigned char> Setting(const GUID& guid, DWORD length, DWORD state) {
    std::vector<unsigned char> bytes(offsetof(POWERBROADCAST_SETTING, Data) + sizeof(DWORD));
    auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(bytes.data());
    setting->PowerSetting = guid;
    setting->DataLength = length;
    std::memcpy(bytes.data() + offsetof(POWERBROADCAST_SETTING, Data), &state, sizeof state);
    return bytes;
}

std::optional<DisplayState> StateOf(const std::vector<unsigned char>& bytes,
                                    WPARAM event = PBT_POWERSETTINGCHANGE) {
    return ConsoleDisplayState(event, reinterpret_cast<LPARAM>(bytes.data()));
}

TEST(PowerSettingTest, ReadsTheConsoleDisplayState) {
    EXPECT_EQ(StateOf(Setting(ConsoleDisplayStateGuid, 4, 0)), DisplayState::Off);
    EXPECT_EQ(StateOf(Setting(ConsoleDisplayStateGuid, 4, 1)), DisplayState::On);
    EXPECT_EQ(StateOf(Setting(ConsoleDisplayStateGuid, 4, 2)), DisplayState::Dimmed);
    // A state this program does not know never stops it.
    EXPECT_EQ(StateOf(Setting(ConsoleDisplayStateGuid, 4, 7)), DisplayState::On);
}

TEST(PowerSettingTest, IgnoresEverythingElse) {
    GUID other = ConsoleDisplayStateGuid;
    other.Data4[7] ^= 1;
    EXPECT_EQ(StateOf(Setting(other, 4, 0)), std::nullopt) << "another setting";
    EXPECT_EQ(StateOf(Setting(ConsoleDisplayStateGuid, 2, 0)), std::nullopt) << "short data";
    EXPECT_EQ(StateOf(Setting(ConsoleDisplayStateGuid, 4, 0), PBT_APMRESUMEAUTOMATIC), std::nullopt)
        << "another event";
    EXPECT_EQ(ConsoleDisplayState(PBT_POWERSETTINGCHANGE, 0), std::nullopt) << "no data";
}

}  // namespace
}  // namespace lumora::platform
