// The mouse's end of the saver: a jump of more than 100 pixels between two consecutive moves of
// the pointer, judged move by move from the system's record also where one message stands for
// several moves.
#include <gtest/gtest.h>

#include <vector>

#include "shell/mouse_jerk.h"

namespace lumora {
namespace {

constexpr PointerMove Start{400, 400, 1000};

// Each step is one message: the history the system gives with it, newest first.
struct Case {
    const char* name;
    std::vector<std::vector<PointerMove>> messages;
    std::vector<bool> ends;  // per message
    PointerMove start = Start;
};

TEST(MouseJerk, EveryRecordedMoveIsJudgedAgainstTheOneBeforeIt) {
    const Case cases[] = {
        {"100 in x, then in y, then in both: kept",
         {{{500, 400, 1010}, Start},
          {{500, 500, 1020}, {500, 400, 1010}},
          {{400, 400, 1030}, {500, 500, 1020}}},
         {false, false, false}},
        {"101 in x ends", {{{501, 400, 1010}, Start}}, {true}},
        {"101 in y, backwards, ends", {{{400, 299, 1010}, Start}}, {true}},
        // One message after a busy second: three slow moves, judged one by one.
        {"slow moves merged into one message",
         {{{550, 400, 2500}, {500, 400, 2000}, {450, 400, 1500}, Start}},
         {false}},
        {"a jump among merged moves ends it",
         {{{560, 400, 2500}, {551, 400, 2000}, {450, 400, 1500}, Start}},
         {true}},
        {"the history reaches back past the last move judged",
         {{{450, 400, 1500}, Start, {0, 0, 900}}, {{500, 400, 2000}, {450, 400, 1500}, Start}},
         {false, false}},
        // A message with no new move (a window shown under a still pointer): nothing to judge.
        {"the same record again", {{Start}, {{501, 400, 1100}, Start}}, {false, true}},
        {"older records are not judged", {{{400, 400, 1100}, {900, 900, 999}}}, {false}},
        // The oldest record given is judged against the last move where the history is shorter
        // than the moves since.
        {"a history that does not reach the last move",
         {{{600, 400, 3000}, {550, 400, 2500}}},
         {true}},
        {"the same place at a later time is a new move, not a jump",
         {{{400, 400, 1100}, Start}, {{450, 400, 1200}, {400, 400, 1100}}},
         {false, false}},
        {"the clock wraps",
         {{{450, 400, 5}, {400, 400, 0xFFFFFFF0u}, {900, 900, 0xFFFFFF00u}}},
         {false},
         {400, 400, 0xFFFFFFF0u}},
    };
    for (const Case& c : cases) {
        MouseJerk mouse(c.start);
        for (size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(mouse.Moved(c.messages[i]), c.ends[i]) << c.name << ", message " << i;
        EXPECT_EQ(mouse.last(), c.messages.back().front()) << c.name;
    }
}

TEST(MouseJerk, WithoutAHistoryEachPlaceIsJudgedAgainstTheLast) {
    MouseJerk mouse(Start);
    EXPECT_FALSE(mouse.MovedTo({500, 300, 900}));  // whatever its time
    EXPECT_FALSE(mouse.MovedTo({450, 350, 901}));
    EXPECT_TRUE(mouse.MovedTo({450, 451, 902}));
    EXPECT_EQ(mouse.last(), (PointerMove{450, 451, 902}));
}

}  // namespace
}  // namespace lumora
