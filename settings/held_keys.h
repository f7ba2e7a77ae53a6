// Keys pressed while the settings dialog could not take them.
//
// "Save Image" renders its still on the dialogs' own thread: keys pressed meanwhile wait in the
// queue and reach the dialog only once it has its input back. An Esc among them would end the
// settings mode, and lose the settings not saved yet, for a press the user made while the
// dialog was busy (or held by the still's progress window). The dialog therefore takes an Esc
// only when it was pressed after the dialog got its input back.
//
// Times are the message clock's (GetMessageTime, GetTickCount): milliseconds that wrap after
// 2^32. Two times are compared by their distance, which holds while they lie less than 2^31 ms
// (24.8 days) apart. A press in the very millisecond the input came back counts as before it:
// the clock cannot tell the two apart, and a press ignored costs the user a second press,
// while one taken may cost the settings. Pure: no Windows header.
#pragma once

#include <cstdint>

namespace lumora {

bool PressedAfterInputBack(uint32_t keyTime, uint32_t inputBackTime);

}  // namespace lumora
