#include "shell/field_life.h"

#include <algorithm>
#include <chrono>

#include "shell/frame_render.h"

namespace lumora {

FieldLife::FieldLife(EngineState& chosen) : chosen_(chosen) {}

FieldLife::~FieldLife() = default;

bool FieldLife::Start(const ChangeRule& rule, uint64_t now) {
    rule_ = rule;
    incoming_ = nullptr;
    shown_ = &chosen_;
    next_ = nullptr;
    nextReady_ = false;
    changeRequested_ = false;
    lastChange_ = now;
    chosenPattern_ = chosen_.Pattern;
    chosenScheme_ = chosen_.ColourScheme;
    chosenMinutes_ = rule.minutes;
    // The old frames and states go before the new ones are made.
    frame_ = platform::Frame();
    incomingFrame_ = platform::Frame();
    spare_.reset();
    liveSpare_.reset();
    frame_ = platform::Frame(chosen_.GridWidth, chosen_.GridHeight);
    if (frame_.empty()) return false;
    sliceRows_ = std::max(1, chosen_.GridHeight / 32);
    // The first frames need not wait for the planes where the engine can do without them: they
    // are made a slice at a time, as the next field's are.
    if (FramesWithoutPlanes(chosen_)) {
        GeneratePatternRows(chosen_, 0, 0);  // the planes it had are gone
        chosenRow_ = 0;
    } else {
        GeneratePatternField(chosen_);
        chosenRow_ = chosen_.GridHeight;
    }
    if (rule.changes == Changes::None) return true;
    incomingFrame_ = platform::Frame(chosen_.GridWidth, chosen_.GridHeight);
    if (incomingFrame_.empty()) return true;  // no changes, then
    spare_ = MakeSpare();
    if (rule.changes == Changes::LiveView) liveSpare_ = MakeSpare();
    BeginNextField();
    return true;
}

// An engine state with planes of the grid's size, for the fields a change shows.
std::unique_ptr<EngineState> FieldLife::MakeSpare() const {
    const int width = chosen_.GridWidth, height = chosen_.GridHeight;
    auto spare = std::make_unique<EngineState>(height, width);
    spare->GridWidth = width;  // within its own planes: set directly
    spare->GridHeight = height;
    spare->WindowWidth = chosen_.WindowWidth;
    spare->WindowHeight = chosen_.WindowHeight;
    return spare;
}

void FieldLife::ShowChosen() {
    incoming_ = nullptr;
    if (shown_ != &chosen_) {
        chosen_.Pattern = shown_->Pattern;
        chosen_.ColourScheme = shown_->ColourScheme;
        CopyMotion(*shown_, chosen_);
        shown_ = &chosen_;
    }
    next_ = nullptr;
    nextReady_ = false;
}

// The state the next field is made in: the other one; the live view never overwrites `chosen`,
// and its fields take turns in the other two.
EngineState* FieldLife::FreeState() {
    if (!spare_) return nullptr;
    if (rule_.changes != Changes::LiveView) return shown_ == &chosen_ ? spare_.get() : &chosen_;
    return shown_ == spare_.get() ? liveSpare_.get() : spare_.get();
}

// The next field's pattern and scheme are drawn now; its planes follow slice by slice.
void FieldLife::BeginNextField() {
    next_ = FreeState();
    nextReady_ = false;
    nextRow_ = 0;
    if (!next_) return;
    next_->Pattern = NextPattern(shown_->Pattern);
    next_->ColourScheme =
        rule_.randomScheme ? NextScheme(shown_->ColourScheme) : shown_->ColourScheme;
    GeneratePatternRows(*next_, 0, 0);  // the planes it had are gone
    if (!PatternHasPlanes(next_->Pattern)) nextRow_ = next_->GridHeight;
}

// Rows of a field's planes from `row` on for about SliceMilliseconds, the number of rows learnt
// from the last slice.
void FieldLife::MakeRows(EngineState& field, int& row) {
    const auto start = std::chrono::steady_clock::now();
    const int end = std::min(field.GridHeight, row + sliceRows_);
    GeneratePatternRows(field, row, end);
    const double took =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const int made = end - row;
    row = end;
    const double perRow = took / std::max(made, 1);
    const int fit = perRow > 0 ? static_cast<int>(SliceMilliseconds / perRow) : made * 2;
    sliceRows_ = std::clamp(fit, 1, std::max(1, field.GridHeight));
}

// A slice of the first field's planes while it shows without them, else of the next field's;
// once the next field's are all made, one frame of it into the incoming frame (free until the
// change), so that its first frame's tables are made too and the change's first frame costs no
// more than the others.
void FieldLife::MakeSlice() {
    if (chosenRow_ < chosen_.GridHeight) {
        MakeRows(chosen_, chosenRow_);
        return;
    }
    if (incoming_ || !next_ || nextReady_) return;
    if (nextRow_ < next_->GridHeight) {
        MakeRows(*next_, nextRow_);
        return;
    }
    RenderIntoFrame(*next_, incomingFrame_);
    nextReady_ = true;
}

bool FieldLife::RequestChange() {
    if (!spare_ || incoming_) return false;
    changeRequested_ = true;
    return true;
}

void FieldLife::FollowSettings(int minutes, bool randomScheme) {
    rule_.minutes = minutes;
    rule_.randomScheme = randomScheme;
}

// The live view: a new choice shows `chosen` again, going on with the motion shown, and starts
// the minutes anew; every field moves at the chosen speed.
void FieldLife::FollowChoices(uint64_t now) {
    if (chosen_.Pattern != chosenPattern_ || chosen_.ColourScheme != chosenScheme_ ||
        rule_.minutes != chosenMinutes_) {
        incoming_ = nullptr;
        if (shown_ != &chosen_) {
            CopyMotion(*shown_, chosen_);
            shown_ = &chosen_;
        }
        chosenPattern_ = chosen_.Pattern;
        chosenScheme_ = chosen_.ColourScheme;
        chosenMinutes_ = rule_.minutes;
        lastChange_ = now;
        changeRequested_ = false;
        BeginNextField();
    }
    shown_->Speed = chosen_.Speed;
    if (incoming_) incoming_->Speed = chosen_.Speed;
}

FieldLife::TickResult FieldLife::Tick(uint64_t now) {
    TickResult result;
    if (rule_.changes == Changes::LiveView && spare_) FollowChoices(now);
    MakeSlice();
    const bool due = changeRequested_ || CycleDue(static_cast<int64_t>(now - lastChange_),
                                                  rule_.minutes, rule_.minuteMilliseconds);
    if (due && !incoming_ && next_ && nextReady_) {
        next_->Speed = shown_->Speed;
        CopyMotion(*shown_, *next_);
        incoming_ = next_;
        next_ = nullptr;
        nextReady_ = false;
        lastChange_ = now;
        changeRequested_ = false;
        result.changed = true;
    }
    result.frame = Render(now);
    return result;
}

// The frame of this tick; during a change the two fields' frames blended at the grid's size.
// The change that ends here makes the field that fades out free for the next one.
bool FieldLife::Render(uint64_t now) {
    if (incoming_) {
        const int weight =
            BlendWeight(static_cast<int64_t>(now - lastChange_), CrossFadeMilliseconds);
        if (weight < FullWeight) {
            if (!RenderShown() || !RenderIntoFrame(*incoming_, incomingFrame_)) return false;
            BlendPixels(frame_.view(), incomingFrame_.view(), weight, frame_.pixels(),
                        frame_.stride());
            return true;
        }
        shown_ = incoming_;
        incoming_ = nullptr;
        BeginNextField();
    }
    return RenderShown();
}

// The field shown, without its planes while they are being made.
bool FieldLife::RenderShown() {
    const bool partial = shown_ == &chosen_ && chosenRow_ < chosen_.GridHeight;
    if (!partial || !FramesWithoutPlanes(chosen_)) return RenderIntoFrame(*shown_, frame_);
    if (frame_.width() < chosen_.GridWidth || frame_.height() < chosen_.GridHeight) return false;
    return RenderFrameWithoutPlanes(chosen_, TargetOf(frame_));
}

void FadeIn::From(platform::Frame desktop) {
    desktop_ = std::move(desktop);
    started_ = false;
}

uint64_t FadeIn::Elapsed(uint64_t now) {
    if (!started_) start_ = now, started_ = true;
    return now - start_;
}

void FadeIn::Blend(uint32_t* pixels, int width, int height, int stride, uint64_t now) {
    if (desktop_.empty()) return;
    const int weight = BlendWeight(static_cast<int64_t>(Elapsed(now)), FadeInMilliseconds);
    if (weight >= FullWeight || width != desktop_.width() || height != desktop_.height()) {
        desktop_ = platform::Frame();
        return;
    }
    BlendPixels(desktop_.view(), platform::FrameView{pixels, width, height, stride}, weight, pixels,
                stride);
}

void FadeIn::EndWhenDue(uint64_t now) {
    if (desktop_.empty()) return;
    if (Elapsed(now) >= static_cast<uint64_t>(FadeInMilliseconds)) desktop_ = platform::Frame();
}

}  // namespace lumora
