// Lumora image engine: one state record, the coordinate planes, pattern fields and frames.
//
// Pure computation: no Windows header, no I/O, no allocation per frame. All real values are
// long double with a 64-bit significand (the x87 80-bit format); every formula is evaluated in
// the order it is written, so native, win32 and win64 builds give the same pixels bit for bit.
// GeneratePatternField and RenderFrame run with the x87 unit set to 64-bit precision and
// round-to-nearest whatever the caller's control word, and put the caller's word back.
//
// Units and ranges:
//   grid      GridWidth 0..MaxGridColumns, GridHeight 0..MaxGridRows points; SetGridSize clamps.
//   angles    radians, drifting back and forth in [0, 2*pi]; rates in radians per frame per Speed.
//   Pattern   1..25 (1..14 computed per frame, 15..25 stored in the planes; others draw the
//             planes as they stand).
//   ColourScheme 0..18 (anything else colours as 0).  Speed 0..50.
//   pixels    32-bit ARGB, alpha in bits 31..24, written opaque.
//
// Contract: the caller keeps the grid inside the planes (use SetGridSize or SizeGridToWindow),
// regenerates the field after changing Pattern or the grid, and passes a pixel target of at least
// GridWidth x GridHeight pixels. The engine checks nothing per point and raises nothing.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>

#include "engine/renderer.h"

namespace lumora {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the engine needs long double with a 64-bit significand (x87 extended)");

constexpr int MaxGridColumns = 2001;
constexpr int MaxGridRows = 1501;

struct RotationMatrix {
    long double M11, M12, M13;
    long double M21, M22, M23;
    long double M31, M32, M33;
};

// One plane: MaxGridRows rows of MaxGridColumns values, row-major; [row][col]. Allocated once
// (zero-filled) when the state is made and never resized. (Tests make larger ones, to run the
// straightforward engine on a grid beyond the planes of the product.)
class Plane {
public:
    explicit Plane(int rows = MaxGridRows, int columns = MaxGridColumns);
    ~Plane();
    Plane(const Plane&) = delete;
    Plane& operator=(const Plane&) = delete;

    long double* operator[](int row) { return values_ + static_cast<long>(row) * columns_; }
    const long double* operator[](int row) const {
        return values_ + static_cast<long>(row) * columns_;
    }
    long Stride() const { return columns_; }  // values from one row to the next

private:
    long double* values_;
    long columns_;
};

struct EngineState {
    EngineState();
    // With planes of planeRows x planeColumns (the grid is then set directly, not by SetGridSize).
    EngineState(int planeRows, int planeColumns);

    int GridWidth = 0;
    int GridHeight = 0;
    // The grid may be one piece of a larger field (a still beyond the planes, made piece by
    // piece): grid point (row, col) is then the point (FieldRow + row, FieldColumn + col) of a
    // field of FieldWidth x FieldHeight points, and every formula takes that point and size.
    // A FieldWidth or FieldHeight of 0 means the grid's own; SetGridSize puts all four back.
    int FieldWidth = 0, FieldHeight = 0, FieldColumn = 0, FieldRow = 0;
    int WindowWidth = 0;
    int WindowHeight = 0;
    int ColourScheme = 0;
    int Speed = 0;
    int Pattern = 0;
    long double RotationRate1 = 0, RotationRate2 = 0, RotationRate3 = 0;
    long double PointValue1 = 0, PointValue2 = 0, PointValue3 = 0;
    long double RotationAngle1 = 0, RotationAngle2 = 0, RotationAngle3 = 0;
    RotationMatrix Matrix{};
    // Sines of the angles before this frame's advance; rebuilt by every AdvanceRotation.
    long double StartSine1 = 0, StartSine2 = 0, StartSine3 = 0;
    long double IterParam1 = 0, IterParam2 = 0;
    long double IterA[51]{}, IterB[51]{}, IterC[51]{};
    Plane PlaneX, PlaneY, PlaneZ;  // allocated once, zero at start, never resized
    uint32_t PixelColour = 0;
    // What this state's fast frames keep from one frame to the next, and the path they take
    // (engine/renderer.h); made with the state, never shared with another.
    std::unique_ptr<Renderer> Render;
};

// Where a frame goes: GridWidth x GridHeight pixels owned by the caller. stride is the
// distance from one row to the next, in pixels; row 0 is the top row.
struct PixelTarget {
    uint32_t* pixels;
    int stride;
};

// The size of the field the grid belongs to (the grid's own unless it is a piece of a still).
inline int FieldWidthOf(const EngineState& state) {
    return state.FieldWidth > 0 ? state.FieldWidth : state.GridWidth;
}
inline int FieldHeightOf(const EngineState& state) {
    return state.FieldHeight > 0 ? state.FieldHeight : state.GridHeight;
}

// The process-wide generator: Random(n) is uniform in 0..n-1 (0 when n < 1). The same seed gives
// the same draws in every build.
void SeedRandom(uint32_t seed);
void SeedRandomFromClock();
int Random(int n);

// Draws the start rates and angles (six draws, in a fixed order).
void SeedAnimation(EngineState& state);
// GridWidth/GridHeight := w/h, clamped to 0..MaxGridColumns and 0..MaxGridRows; the grid is its
// own field again. Every caller that sets the grid goes through here.
void SetGridSize(EngineState& state, int width, int height);
// GridWidth := Round(WindowWidth / d), GridHeight := Round(WindowHeight / d), ties to even,
// then clamped as SetGridSize. A divisor below 1 counts as 1.
void SizeGridToWindow(EngineState& state, int divisor);
// Nearest integer, halves to the even neighbour; independent of the FPU's rounding mode.
long double RoundHalfEven(long double x);

// Fills the planes for patterns 15..25 at the current grid; other patterns write nothing.
// Computed on every core with the fast kernels (engine/fast_field.h).
void GeneratePatternField(EngineState& state);
// The planes of grid rows [begin, end) alone (clamped to the grid), so that a field can be made a
// slice at a time between frames: the slices together make GeneratePatternField's planes.
void GeneratePatternRows(EngineState& state, int begin, int end);
// Whether the pattern keeps planes (15..25): the others need no field made.
bool PatternHasPlanes(int pattern);

// One frame: advances the rotation, then colours every grid point into the target. Computed on
// every core on the path of the state's renderer: in double precision with proven bounds where the
// processor has AVX2, every pixel the straightforward evaluation's (engine/vector_frame.h);
// elsewhere in 80 bits with tables (engine/fast_frame.h), whose pixels are the straightforward
// evaluation's on every case the tests try (a sine's or a logarithm's last bits could decide a
// channel byte). The result depends on the state alone, never on what was rendered before.
void RenderFrame(EngineState& state, const PixelTarget& target);
// RenderFrame for a stored pattern (15..25) before its planes are made: the rotation advances,
// then every point's plane values are computed where they are coloured (in double with proven
// bounds, RenderFieldVector in engine/vector_frame.h), the same pixels as RenderFrame once the
// planes are made. False, advancing nothing, on the x87 path or for another pattern; true also
// where the grid's tables could not be had after the rotation advanced, having drawn nothing.
bool RenderFrameWithoutPlanes(EngineState& state, const PixelTarget& target);
// Whether RenderFrameWithoutPlanes draws this state's frames (its path and its pattern).
bool FramesWithoutPlanes(const EngineState& state);
// The second half of a frame alone: every grid point coloured into the target with the rotation
// as it stands (no advance, no random draw). Several pieces of one still share one rotation so.
void RenderPoints(EngineState& state, const PixelTarget& target);

// The straightforward evaluations, point by point in the order written, on the calling thread:
// the references the fast ones are measured against.
void GeneratePatternFieldReference(EngineState& state);
void RenderFrameReference(EngineState& state, const PixelTarget& target);
void RenderPointsReference(EngineState& state, const PixelTarget& target);

// The stages of a frame, exposed for tests and tools. They assume the FPU state that
// RenderFrame sets up (64-bit precision, round to nearest).
void AdvanceRotation(EngineState& state);  // also leaves the start sines for PatternValues
void RotatePoint(EngineState& state, int row, int col);
void PatternValues(EngineState& state, int row, int col);
// Folds any value into (0, 1]: the distance to the nearest even integer for 0..10, and 0.001
// where that is 0, for anything beyond +-10 and for a NaN. Inline: every grid point takes it
// three times.
inline long double FoldValue(long double x) {
    if (x < 0.0L) x = -x;
    // The steps from 10 - x down to 2 - x, each exact; a step whose threshold x is below
    // changes nothing, so most values (up to 1, or up to 3) skip the first ones.
    if (x > 1.0L) {
        if (x > 3.0L) {
            if (x > 5.0L) x = 10.0L - x;
            if (x > 4.0L) x = 8.0L - x;
            if (x > 3.0L) x = 6.0L - x;
        }
        if (x > 2.0L) x = 4.0L - x;
        if (x > 1.0L) x = 2.0L - x;
    }
    if (!(x > 0.0L)) x = 0.001L;  // also catches a NaN
    return x;
}
struct Channels {
    long double R, G, B;
};
// Folded values in (0, 1] in, channels in [0, 1] out. Scheme 3 lifts values below 0.5 in place,
// so the caller's copies hold the lifted values afterwards; schemes outside 0..18 colour as 0.
Channels SchemeChannels(long double& v1, long double& v2, long double& v3, int scheme);
uint32_t PackColour(int r8, int g8, int b8);
// The last stage of a point: folds v1..v3 in place, colours them by the scheme, rounds each
// channel to a byte (halves to even) and packs the opaque ARGB pixel.
uint32_t PointColour(long double& v1, long double& v2, long double& v3, int scheme);

}  // namespace lumora
