// How the full-screen saver changes over time: the next pattern and colour scheme of a cycle,
// when a change is due, and the blends that make every change gradual.
//
//   NextPattern(current)   a pattern drawn as the random start draws it (FirstPattern ..
//                          LastRandomPattern, uniformly), never `current`; one draw of Random.
//   NextScheme(current)    a colour scheme drawn uniformly from all of them, never `current`.
//   RandomScheme()         a colour scheme drawn uniformly from all of them.
//   CycleDue               true once `minutes` (1..) have passed since the last change; never
//                          with 0 minutes. A minute is 60000 ms unless the caller says otherwise
//                          (the frame-rate benchmark shortens it to see cross-fades one after
//                          another).
//   BlendWeight            the share of the new picture after `elapsed` of a blend of
//                          `duration` milliseconds, in 1/256: 0 at the start, 256 from its end
//                          on (and for a blend of no duration), rising evenly in between.
//   CopyMotion             the rotation's rates and angles of one engine state into another,
//                          so that a new field goes on with the motion shown.
//   PrepareNextField       `next` becomes the field a cycle changes to from `shown`: its next
//                          pattern, its next scheme where schemes are random (else the same),
//                          the same speed and motion, and its planes filled.
//   BlendPixels            per channel (from * (256 - weight) + to * weight + 128) / 256,
//                          rounded down, for weights 0..256 (clamped); the result is opaque.
//                          The two pictures' common width and height are blended; `out` may
//                          be `from` itself.
// Pure: no Windows header, no allocation.
#pragma once

#include <cstdint>

#include "platform/frame.h"

namespace lumora {

struct EngineState;

inline constexpr int CrossFadeMilliseconds = 2000;  // a change of pattern or scheme
inline constexpr int FadeInMilliseconds = 1000;     // from the desktop at the start
inline constexpr int FullWeight = 256;

int NextPattern(int current);
int NextScheme(int current);
int RandomScheme();
inline constexpr int64_t MinuteMilliseconds = 60 * 1000;
bool CycleDue(int64_t millisecondsSinceChange, int minutes,
              int64_t minuteMilliseconds = MinuteMilliseconds);
int BlendWeight(int64_t elapsed, int64_t duration);
void CopyMotion(const EngineState& from, EngineState& to);
void PrepareNextField(const EngineState& shown, EngineState& next, bool randomScheme);
void BlendPixels(const platform::FrameView& from, const platform::FrameView& to, int weight,
                 uint32_t* out, int outStride);

}  // namespace lumora
