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
    GeneratePatternField(chosen_);
    frame_ = platform::Frame(chosen_.GridWidth, chosen_.GridHeight);
    if (frame_.empty()) return false;
    sliceRows_ = std::max(1, chosen_.GridHeight / 32);
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

// Rows of the next field's planes for about SliceMilliseconds, the number of rows learnt from
// the last slice; once they are all made, one frame of it into the incoming frame (free until
// the change), so that its first frame's tables are made too and the change's first frame costs
// no more than the others.
void FieldLife::MakeSlice() {
    if (!next_ || nextReady_) return;
    if (nextRow_ >= next_->GridHeight) {
        RenderIntoFrame(*next_, incomingFrame_);
        nextReady_ = true;
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    const int end = std::min(next_->GridHeight, nextRow_ + sliceRows_);
    GeneratePatternRows(*next_, nextRow_, end);
    const double took =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const int made = end - nextRow_;
    nextRow_ = end;
    const double perRow = took / std::max(made, 1);
    const int fit = perRow > 0 ? static_cast<int>(SliceMilliseconds / perRow) : made * 2;
    sliceRows_ = std::clamp(fit, 1, std::max(1, next_->GridHeight));
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
    if (!incoming_) MakeSlice();
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
            if (!RenderIntoFrame(*shown_, frame_) || !RenderIntoFrame(*incoming_, incomingFrame_))
                return false;
            BlendPixels(frame_.view(), incomingFrame_.view(), weight, frame_.pixels(),
                        frame_.stride());
            return true;
        }
        shown_ = incoming_;
        incoming_ = nullptr;
        BeginNextField();
    }
    return RenderIntoFrame(*shown_, frame_);
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
