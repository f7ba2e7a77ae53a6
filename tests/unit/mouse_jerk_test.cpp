// The mouse's end of the saver: jumps of more than 100 pixels between consecutive moves, and the
// first move after the thread was held up only saying where the pointer is.
#include <gtest/gtest.h>

#include "shell/mouse_jerk.h"

namespace lumora {
namespace {

struct Step {
    uint64_t busyBefore;  // milliseconds the thread was held before the move
    int x, y;
    bool ends;
};

TEST(MouseJerk, JumpsBetweenConsecutiveMovesEndTheSaverUnlessMovesWereMerged) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"100 in x, in y, in both: kept",
         {{0, 500, 400, false}, {0, 500, 500, false}, {0, 400, 400, false}}},
        {"101 in x ends", {{0, 501, 400, true}}},
        {"101 in y ends, also backwards", {{0, 400, 400, false}, {0, 400, 299, true}}},
        {"slow moves add up without end",
         {{0, 450, 400, false}, {0, 500, 400, false}, {0, 550, 400, false}, {0, 600, 400, false}}},
        // a held thread: the moves made meanwhile arrive merged into one
        {"a merged move after a hold is not judged",
         {{2000, 600, 400, false}, {0, 650, 400, false}}},
        {"the move after it is judged again", {{2000, 600, 400, false}, {0, 701, 400, true}}},
        {"a slow frame of 499 ms merges nothing", {{499, 501, 400, true}}},
        {"a hold of 500 ms may have", {{500, 501, 400, false}}},
        {"only the first move after the hold", {{800, 450, 400, false}, {0, 551, 400, true}}},
        {"holds between moves do not add up", {{300, 450, 400, false}, {300, 551, 400, true}}},
    };
    for (const Case& c : cases) {
        MouseJerk mouse(400, 400);
        int index = 0;
        for (const Step& step : c.steps) {
            mouse.Busy(step.busyBefore);
            EXPECT_EQ(mouse.Moved(step.x, step.y), step.ends) << c.name << ", move " << index;
            ++index;
        }
    }
}

}  // namespace
}  // namespace lumora
