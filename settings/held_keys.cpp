#include "settings/held_keys.h"

namespace lumora {

bool PressedAfterInputBack(uint32_t keyTime, uint32_t inputBackTime) {
    // The distance modulo 2^32, read as signed: positive when the key came later.
    return static_cast<int32_t>(keyTime - inputBackTime) > 0;
}

}  // namespace lumora
