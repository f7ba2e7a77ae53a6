// FieldLife: the life of the field one window shows, from its first frame to its last.
//
// Window-free, with the clock given to every step (milliseconds, any origin), so that tests can
// step time. The saver window, each monitor's window with a field of its own and the live view
// each hold one; the window keeps its message plumbing, its place on the screen and the draw.
//
// - The field shown first is `chosen`, the engine state the window was given. Start() makes the
//   frame of its grid; its planes are filled a slice per tick while its first frames are
//   computed without them (RenderFrameWithoutPlanes, the same pixels), or at once where the
//   engine cannot do without them, and, where the field changes, one other engine state
//   of the grid's size (the live view two: `chosen` keeps the dialog's choices, which " Save
//   Settings" stores, and the fields it shows after a change take turns in the other two).
// - A change: another pattern (NextPattern, never the one shown) and, where schemes are random,
//   another scheme, going on with the speed and motion shown, cross-faded over two seconds with
//   both fields moving. It is due every `minutes` (CycleDue) or when asked for (the other
//   monitors change with the primary's). The next field is made ahead, right after the last
//   change or the start: its pattern drawn, its planes filled a slice of rows per tick (about
//   SliceMilliseconds each) beside the frames, then one frame of it rendered (its tables made),
//   and a due change begins only once it is complete, so that no frame waits on it.
// - The live view follows the dialog: a new pattern, scheme or number of minutes in `chosen`
//   shows `chosen` again, going on with the motion shown, and the minutes start anew; the speed
//   of every field shown is `chosen`'s.
// - The fade-in (FadeIn, which a window without a field of its own holds alone): a picture
//   captured before the window showed, blended under the window's picture (Blend, at the
//   picture's size) from all desktop to all field over FadeInMilliseconds, counted from its first
//   blend; a picture of another size, or the second run out, ends it.
//
// Tick() renders the frame of one tick into frame(): the field shown, or during a change the two
// blended. It returns whether a frame was made (a frame whose memory could not be had is not)
// and whether a change began with it.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/engine.h"
#include "platform/frame.h"
#include "shell/field_cycle.h"

namespace lumora {

// How a field changes: never, every `minutes` (0: only when asked), or as the live view's.
enum class Changes { None, Cycle, LiveView };

struct ChangeRule {
    Changes changes = Changes::None;
    int minutes = 0;
    int64_t minuteMilliseconds = MinuteMilliseconds;
    bool randomScheme = false;
};

class FadeIn {
public:
    void From(platform::Frame desktop);
    bool active() const { return !desktop_.empty(); }
    // The picture exactly as it will be shown, blended in place with the desktop as it was.
    void Blend(uint32_t* pixels, int width, int height, int stride, uint64_t now);
    // The second runs out also where no picture is blended (an empty grid).
    void EndWhenDue(uint64_t now);

private:
    uint64_t Elapsed(uint64_t now);

    platform::Frame desktop_;  // the desktop as it was, until the fade-in is over
    uint64_t start_ = 0;
    bool started_ = false;
};

class FieldLife {
public:
    static constexpr double SliceMilliseconds = 8;  // of each tick for the next field's planes

    explicit FieldLife(EngineState& chosen);
    ~FieldLife();
    FieldLife(const FieldLife&) = delete;
    FieldLife& operator=(const FieldLife&) = delete;

    // Makes `chosen`'s planes at its grid (a slice per tick from now, or at once), the frame and
    // what the rule's changes need, and
    // starts the clock: the first change is due `minutes` after `now`. Again after a new grid
    // (ShowChosen first). False where the frame's memory could not be had.
    bool Start(const ChangeRule& rule, uint64_t now);
    // The field shown goes on in `chosen` (its pattern, scheme and motion), a change in course
    // ends: before `chosen`'s grid changes, for a Start at the new one.
    void ShowChosen();

    struct TickResult {
        bool frame = false;    // frame() holds this tick's picture
        bool changed = false;  // a change began with it
    };
    TickResult Tick(uint64_t now);

    // A change at the next tick at which the next field is complete; false where the field
    // never changes or a change is under way.
    bool RequestChange();
    // The live view: the dialog's number of minutes (a new one counts as a new choice) and
    // whether schemes are random, as they stand.
    void FollowSettings(int minutes, bool randomScheme);

    platform::Frame& frame() { return frame_; }
    const platform::Frame& frame() const { return frame_; }
    // The field shown; during a change, the one fading in.
    const EngineState& Shown() const { return incoming_ ? *incoming_ : *shown_; }
    bool Changing() const { return incoming_ != nullptr; }
    // The next field, once complete (its pattern and planes made), else null.
    const EngineState* NextReady() const { return nextReady_ ? next_ : nullptr; }

    FadeIn& fadeIn() { return fadeIn_; }

private:
    std::unique_ptr<EngineState> MakeSpare() const;
    EngineState* FreeState();
    void BeginNextField();
    void MakeRows(EngineState& field, int& row);
    void MakeSlice();
    bool RenderShown();
    void FollowChoices(uint64_t now);
    bool Render(uint64_t now);

    EngineState& chosen_;
    ChangeRule rule_;
    platform::Frame frame_;  // the grid's, rendered into at every tick
    std::unique_ptr<EngineState> spare_, liveSpare_;
    platform::Frame incomingFrame_;    // during a change: the incoming field's frame
    EngineState* shown_ = &chosen_;    // the field shown
    EngineState* incoming_ = nullptr;  // during a change: the field fading in
    uint64_t lastChange_ = 0;          // the start, or the last change's
    bool changeRequested_ = false;
    int chosenRow_ = 0;  // the first field's planes' rows made so far (it shows without them)
    // The next field, made ahead.
    EngineState* next_ = nullptr;
    int nextRow_ = 0;  // its planes' rows made so far
    bool nextReady_ = false;
    int sliceRows_ = 1;
    // The live view: the choices shown.
    int chosenPattern_ = 0, chosenScheme_ = 0, chosenMinutes_ = 0;
    FadeIn fadeIn_;
};

}  // namespace lumora
