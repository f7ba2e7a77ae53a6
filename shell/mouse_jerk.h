// What ends the full-screen saver by the mouse: a jump of more than MouseJerkPixels in x or in y
// between two consecutive moves of the pointer. Window-free: the saver window hands it the
// pointer's moves as the system recorded them.
//
// A thread that is busy for a while (letting go of a window can hold it for seconds under Wine)
// receives the moves made meanwhile as one message, at the last move's place. The system keeps
// the pointer's recent moves, each with its place and time (GetMouseMovePointsEx), so the window
// hands over that history, newest first, and every move since the last one judged is judged
// against the move before it: slow moves stay slow however late they arrive, and a jump among
// them still ends the saver. Where the system keeps no history the window hands over the one
// place the message gives, which is judged against the last as before.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <span>

namespace lumora {

constexpr int MouseJerkPixels = 100;  // tolerated between two consecutive moves

// A place of the pointer in screen coordinates and the system's millisecond clock when it was
// there (32 bits, wrapping).
struct PointerMove {
    int x = 0, y = 0;
    uint32_t time = 0;
    bool operator==(const PointerMove&) const = default;
};

class MouseJerk {
public:
    // Where the pointer stands when the saver starts, and since when.
    explicit MouseJerk(PointerMove start) : last_(start) {}

    // A move was reported. `newestFirst`: the pointer's moves up to the reported one, newest
    // first; it may reach back past the last move judged (which is where it stops) or not as far
    // (its oldest is then judged against the last). True where one of the moves is a jump.
    bool Moved(std::span<const PointerMove> newestFirst) {
        size_t fresh = 0;  // the moves not judged yet
        while (fresh < newestFirst.size() && !IsLastOrOlder(newestFirst[fresh])) ++fresh;
        bool jump = false;
        for (size_t i = fresh; i-- > 0;) jump = MovedTo(newestFirst[i]) || jump;
        return jump;
    }

    // A move to `move`, judged against the last whatever its time (where there is no history).
    bool MovedTo(const PointerMove& move) {
        const bool jump = std::abs(move.x - last_.x) > MouseJerkPixels ||
                          std::abs(move.y - last_.y) > MouseJerkPixels;
        last_ = move;
        return jump;
    }

    const PointerMove& last() const { return last_; }

private:
    bool IsLastOrOlder(const PointerMove& move) const {
        return move == last_ || static_cast<int32_t>(move.time - last_.time) < 0;
    }

    PointerMove last_;
};

}  // namespace lumora
