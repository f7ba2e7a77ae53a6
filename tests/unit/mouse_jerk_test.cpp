// The mouse's end of the saver: jumps of more than 100 pixels between consecutive moves, and the
// first move after the thread was held up only saying where the pointer is.
#include <gtest/gtest.h>

#include "shell/mouse_jerk.h"

namespace lumora {
namespace {

struct Step {
    uint64_t heldBefore;  // milliseconds the thread was held before the move (0: not held)
    int heldX, heldY;     // where the pointer stood at the end of that hold
    int x, y;
    bool ends;
};

TEST(MouseJerk, JumpsBetweenConsecutiveMovesEndTheSaverAndAHoldMeasuresFromItsEnd) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"100 in x, in y, in both: kept",
         {{0, 0, 0, 500, 400, false}, {0, 0, 0, 500, 500, false}, {0, 0, 0, 400, 400, false}}},
        {"101 in x ends", {{0, 0, 0, 501, 400, true}}},
        {"101 in y ends, also backwards", {{0, 0, 0, 400, 400, false}, {0, 0, 0, 400, 299, true}}},
        {"slow moves add up without end",
         {{0, 0, 0, 450, 400, false}, {0, 0, 0, 500, 400, false}, {0, 0, 0, 550, 400, false}}},
        // a held thread: the moves made meanwhile arrive merged into one, ending where the
        // pointer stood at the end of the hold
        {"the merged move of a hold is no jump", {{2000, 600, 400, 600, 400, false}}},
        {"the move after it is judged again",
         {{2000, 600, 400, 600, 400, false}, {0, 0, 0, 701, 400, true}}},
        {"a jump after a hold the pointer stood still in ends it",
         {{2000, 400, 400, 501, 400, true}}},
        {"a slow frame of 499 ms changes nothing", {{499, 501, 400, 501, 400, true}}},
        {"a hold of 500 ms measures from its end", {{500, 501, 400, 501, 400, false}}},
    };
    for (const Case& c : cases) {
        MouseJerk mouse(400, 400);
        int index = 0;
        for (const Step& step : c.steps) {
            if (step.heldBefore) mouse.Held(step.heldBefore, step.heldX, step.heldY);
            EXPECT_EQ(mouse.Moved(step.x, step.y), step.ends) << c.name << ", move " << index;
            ++index;
        }
    }
}

}  // namespace
}  // namespace lumora
