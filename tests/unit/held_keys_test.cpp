#include "settings/held_keys.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace lumora {
namespace {

TEST(HeldKeysTest, OnlyAKeyPressedAfterTheInputCameBackCounts) {
    struct Case {
        uint32_t key;
        uint32_t inputBack;
        bool counts;
    } const cases[] = {
        {1000, 2000, false},  // pressed while the still rendered, delivered after it
        {1999, 2000, false},
        {2000, 2000, false},  // the same millisecond: taken as before
        {2001, 2000, true},
        {9000, 2000, true},
        // Across the clock's wrap after 49.7 days, either way round.
        {0xFFFFFFF0u, 0x00000010u, false},
        {0x00000010u, 0xFFFFFFF0u, true},
        {0xFFFFFFFFu, 0xFFFFFFFFu, false},
        {0x00000000u, 0xFFFFFFFFu, true},
        // Nearly 2^31 ms apart still compares right; it is the rule's stated reach.
        {0x7FFFFFFFu, 0x00000000u, true},
        {0x00000000u, 0x7FFFFFFFu, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PressedAfterInputBack(c.key, c.inputBack), c.counts)
            << "key " << c.key << ", input back " << c.inputBack;
}

}  // namespace
}  // namespace lumora
