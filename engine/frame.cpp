// One frame: drift the rotation, then turn, colour and write every grid point.
#include <cmath>

#include "engine/constants.h"
#include "engine/engine.h"
#include "engine/fast_frame.h"
#include "engine/fpu_guard.h"
#include "engine/point.h"
#include "engine/renderer.h"
#include "engine/vector_frame.h"

namespace lumora {

using constants::TwoPi;

void AdvanceRotation(EngineState& state) {
    long double& r1 = state.RotationRate1;
    long double& r2 = state.RotationRate2;
    long double& r3 = state.RotationRate3;
    long double& a1 = state.RotationAngle1;
    long double& a2 = state.RotationAngle2;
    long double& a3 = state.RotationAngle3;

    // A rate of exactly 0 only happens when nothing seeded the state: give it a first value.
    if (r1 == 0.0L) r1 = 0.00012L + static_cast<long double>(Random(13)) * 0.0001L;
    if (r2 == 0.0L) r2 = 0.00013L + static_cast<long double>(Random(14)) * 0.0001L;
    if (r3 == 0.0L) r3 = 0.00014L + static_cast<long double>(Random(13)) * 0.0001L;

    // Turn an angle back at the ends of [0, 2*pi] with a fresh magnitude. The first angle turns
    // only once it is below 0; the others already at 0.
    if (a1 >= TwoPi) r1 = -0.00012L - static_cast<long double>(Random(13)) * 0.0001L;
    if (a1 < 0.0L) r1 = 0.00013L + static_cast<long double>(Random(14)) * 0.0001L;
    if (a2 >= TwoPi) r2 = -0.00013L - static_cast<long double>(Random(15)) * 0.0001L;
    if (a2 <= 0.0L) r2 = 0.00014L + static_cast<long double>(Random(13)) * 0.0001L;
    if (a3 >= TwoPi) r3 = -0.00015L - static_cast<long double>(Random(12)) * 0.0001L;
    if (a3 <= 0.0L) r3 = 0.00012L + static_cast<long double>(Random(14)) * 0.0001L;

    const long double s1 = std::sin(a1), s2 = std::sin(a2), s3 = std::sin(a3);
    const long double c1 = std::cos(a1), c2 = std::cos(a2), c3 = std::cos(a3);
    state.StartSine1 = s1;
    state.StartSine2 = s2;
    state.StartSine3 = s3;

    // z-x-z Euler angles: phi = a1, theta = a2, psi = a3, taken before the advance.
    RotationMatrix& m = state.Matrix;
    m.M11 = c1 * c3 - c2 * s1 * s3;
    m.M12 = s1 * c3 + c2 * c1 * s3;
    m.M13 = s2 * s3;
    m.M21 = -c1 * s3 - c2 * s1 * c3;
    m.M22 = -s1 * s3 + c2 * c1 * c3;
    m.M23 = s2 * c3;
    m.M31 = s2 * s1;
    m.M32 = -s2 * c1;
    m.M33 = c2;

    // Nothing wraps or clamps: a later frame's turn brings an overshooting angle back.
    const long double S = static_cast<long double>(state.Speed);
    a1 = a1 + S * r1;
    a2 = a2 + S * r2;
    a3 = a3 + S * r3;
}

namespace {

void Rotated(const EngineState& state, int row, int col, long double& V1, long double& V2,
             long double& V3) {
    const long double X = state.PlaneX[row][col];
    const long double Y = state.PlaneY[row][col];
    const long double Z = state.PlaneZ[row][col];
    const RotationMatrix& m = state.Matrix;
    V1 = X * m.M11 + Y * m.M12 + Z * m.M13;
    V2 = X * m.M21 + Y * m.M22 + Z * m.M23;
    V3 = X * m.M31 + Y * m.M32 + Z * m.M33;
}

}  // namespace

void RotatePoint(EngineState& state, int row, int col) {
    Rotated(state, row, col, state.PointValue1, state.PointValue2, state.PointValue3);
}

uint32_t StraightforwardPoint(const EngineState& state, int row, int col) {
    PointScratch s;  // every field is written before it is read
    Rotated(state, row, col, s.PointValue1, s.PointValue2, s.PointValue3);
    PatternValuesInto(state, row, col, s);
    return PointColour(s.PointValue1, s.PointValue2, s.PointValue3, state.ColourScheme);
}

void RenderFrame(EngineState& state, const PixelTarget& target) { RenderFrameFast(state, target); }

bool FramesWithoutPlanes(const EngineState& state) {
    return state.Render->Path() != EnginePath::X87 && PatternHasPlanes(state.Pattern);
}

bool RenderFrameWithoutPlanes(EngineState& state, const PixelTarget& target) {
    if (!FramesWithoutPlanes(state)) return false;
    ExtendedPrecisionScope precision;
    AdvanceRotation(state);
    RenderFieldVector(state, target);
    return true;
}

void RenderPoints(EngineState& state, const PixelTarget& target) {
    RenderPointsFast(state, target);
}

void RenderFrameReference(EngineState& state, const PixelTarget& target) {
    ExtendedPrecisionScope precision;
    AdvanceRotation(state);
    RenderPointsReference(state, target);
}

void RenderPointsReference(EngineState& state, const PixelTarget& target) {
    ExtendedPrecisionScope precision;
    const bool perFramePattern = state.Pattern >= 1 && state.Pattern <= 14;
    for (int row = 0; row < state.GridHeight; ++row) {
        uint32_t* line = target.pixels + static_cast<long>(row) * target.stride;
        for (int col = 0; col < state.GridWidth; ++col) {
            RotatePoint(state, row, col);
            if (perFramePattern) PatternValues(state, row, col);
            state.PixelColour = PointColour(state.PointValue1, state.PointValue2, state.PointValue3,
                                            state.ColourScheme);
            line[col] = state.PixelColour;
        }
    }
}

}  // namespace lumora
