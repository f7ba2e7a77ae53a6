// What ends the full-screen saver by the mouse: a jump of more than MouseJerkPixels in x or in y
// between two consecutive moves. Window-free: the saver window tells it where each move put the
// pointer and when its own thread was held up.
//
// While the thread is held (the draw's trial letting go of its window costs Wine 8 about two
// seconds), the system merges the moves made meanwhile into one, so the first move after such a
// hold may span many slow ones: it is not judged, it only says where the pointer is now. The
// moves after it are judged again. The window reports only holds it knows to be such (the trial's
// window made or let go), so that a slow frame never keeps a jump from being judged.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace lumora {

constexpr int MouseJerkPixels = 100;  // tolerated between two consecutive moves
// A thread held this long may have had several slow moves merged into one that looks like a jump
// (frames come every 30 ms).
constexpr uint64_t MouseHeldMilliseconds = 500;

class MouseJerk {
public:
    MouseJerk(int x, int y) : x_(x), y_(y) {}

    // The thread was busy for `milliseconds` without handling input.
    void Busy(uint64_t milliseconds) {
        if (milliseconds >= MouseHeldMilliseconds) merged_ = true;
    }

    // A move to (x, y); true where it ends the saver.
    bool Moved(int x, int y) {
        const bool jump = std::abs(x - x_) > MouseJerkPixels || std::abs(y - y_) > MouseJerkPixels;
        const bool ends = jump && !merged_;
        x_ = x, y_ = y;
        merged_ = false;
        return ends;
    }

private:
    int x_, y_;
    bool merged_ = false;
};

}  // namespace lumora
