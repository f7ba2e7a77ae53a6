// Per-frame patterns 1..14: computed afresh for every point of every frame from its column and
// row, the grid size, the advanced angles a1..a3 and the frame's start sines s1..s3. They replace
// the rotated plane values entirely.
//
// The point's scratch lives in the state: u, v, w in IterA[0], IterB[0], IterC[0]; p, q, r in
// IterA[1], IterB[1], IterC[1]; the sequence of pattern 9 in IterA/IterB/IterC[1..3]; the sine
// terms of pattern 1 and g1, g2 of patterns 8 and 9 in IterParam1 and IterParam2. Nothing
// carries from one point to the next. Sums run left to right, a parenthesised group first.
#include <cmath>

#include "engine/constants.h"
#include "engine/engine.h"
#include "engine/point.h"

namespace lumora {
namespace {

using constants::Pi;
using constants::SixthPi;

long double Square(long double z) { return z * z; }
long double SineSquared(long double z) { return Square(std::sin(z)); }
// x^2 + sqrt(x)/5, the closing step of patterns 3 and 14.
long double Lifted(long double x) { return x * x + std::sqrt(x) / 5.0L; }

long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}
// (index/count - 0.5)*2: -1 at the first point, towards +1 at the last.
long double Centred(int index, int count) { return (Fraction(index, count) - 0.5L) * 2.0L; }

}  // namespace

long double PatternCoordinate(int pattern, int index, int count) {
    switch (pattern) {
        case 1: case 11: case 12: return Centred(index, count);
        case 2: case 4: case 5: return 1.0L - DoubleFraction(index, count);
        case 3: case 13: return static_cast<long double>(index) * Pi / static_cast<long double>(count);
        case 6: return Fraction(index, count) * 2.0L + SixthPi;
        case 7: return Fraction(index, count) * 3.0L;
        case 8: return Fraction(index, count) / 2.0L;
        case 9: return Fraction(index, count);
        case 10: return 1.0L - (1.0L - DoubleFraction(index, count));
        default: return (1.0L - DoubleFraction(index, count)) * 0.5L;  // 14
    }
}

void PatternValues(EngineState& state, int row, int col) {
    if (state.Pattern < 1 || state.Pattern > 14) return;
    PointScratch scratch;
    LoadScratch(state, scratch);
    PatternValuesInto(state, row, col, scratch);
    StoreScratch(scratch, state);
}

void LoadScratch(const EngineState& state, PointScratch& s) {
    for (int k = 0; k < 4; ++k) {
        s.IterA[k] = state.IterA[k];
        s.IterB[k] = state.IterB[k];
        s.IterC[k] = state.IterC[k];
    }
    s.IterParam1 = state.IterParam1;
    s.IterParam2 = state.IterParam2;
    s.PointValue1 = state.PointValue1;
    s.PointValue2 = state.PointValue2;
    s.PointValue3 = state.PointValue3;
}

void StoreScratch(const PointScratch& s, EngineState& state) {
    for (int k = 0; k < 4; ++k) {
        state.IterA[k] = s.IterA[k];
        state.IterB[k] = s.IterB[k];
        state.IterC[k] = s.IterC[k];
    }
    state.IterParam1 = s.IterParam1;
    state.IterParam2 = s.IterParam2;
    state.PointValue1 = s.PointValue1;
    state.PointValue2 = s.PointValue2;
    state.PointValue3 = s.PointValue3;
}

void PatternValuesInto(const EngineState& state, int row, int col, PointScratch& scratch) {
    const int pattern = state.Pattern;
    if (pattern < 1 || pattern > 14) return;

    const int W = FieldWidthOf(state);
    const int H = FieldHeightOf(state);
    row += state.FieldRow;
    col += state.FieldColumn;
    const long double a1 = state.RotationAngle1;
    const long double a2 = state.RotationAngle2;
    const long double a3 = state.RotationAngle3;
    const long double s1 = state.StartSine1;
    const long double s2 = state.StartSine2;
    const long double s3 = state.StartSine3;
    long double& u = scratch.IterA[0];
    long double& v = scratch.IterB[0];
    long double& w = scratch.IterC[0];
    long double& p = scratch.IterA[1];
    long double& q = scratch.IterB[1];
    long double& r = scratch.IterC[1];
    long double& V1 = scratch.PointValue1;
    long double& V2 = scratch.PointValue2;
    long double& V3 = scratch.PointValue3;

    switch (pattern) {
        case 1: {
            u = Centred(col, W);
            v = Centred(row, H);
            scratch.IterParam1 = std::sin(u / 2.0L + a1);
            scratch.IterParam2 = std::sin(v / 2.0L + a2);
            V1 = (u * u - v * v) + scratch.IterParam1;
            V2 = u * v + scratch.IterParam2;
            V3 = std::sqrt(u * u + v * v + 0.01L);
            break;
        }
        case 2: {
            u = 1.0L - DoubleFraction(col, W);
            v = 1.0L - DoubleFraction(row, H);
            V1 = Square(u * v) + SineSquared(u + a1 + a2);
            V2 = Square(u * v) + SineSquared(v + a3 + a1);
            V3 = Square(u * v) + SineSquared(u + v - a2);
            break;
        }
        case 3:
        case 13: {
            u = static_cast<long double>(col) * Pi / static_cast<long double>(W);
            v = static_cast<long double>(row) * Pi / static_cast<long double>(H);
            p = SineSquared(std::sin(u - a3) + (u + a1) + std::sin(v));
            q = SineSquared(std::sin(u - a1) + (v + a2) + std::sin(v));
            r = SineSquared(std::sin(u - a2) + (u + v + a3) + std::sin(v));
            if (pattern == 13) {  // p, q and r as they are
                V1 = p;
                V2 = q;
                V3 = r;
                break;
            }
            V1 = Lifted(p);
            V2 = Lifted(q);
            V3 = Lifted(r);
            if (V1 > 1.0L) V1 = 1.0L;
            if (V2 > 1.0L) V2 = 1.0L;
            if (V3 > 1.0L) V3 = 1.0L;
            break;
        }
        case 4: {
            u = 1.0L - DoubleFraction(col, W);
            v = 1.0L - DoubleFraction(row, H);
            w = std::log(Square(Fraction(col, W) - 0.5L) + Square(Fraction(row, H) - 0.5L) + 0.01L) *
                0.5L;
            V1 = u + a1 + w;
            V2 = v + a2 + w;
            V3 = w + a3 + v + u;
            break;
        }
        case 5: {
            u = 1.0L - DoubleFraction(col, W);
            v = 1.0L - DoubleFraction(row, H);
            V1 = SineSquared(u + s1 + s2);
            V2 = SineSquared(v + s3 + s2);
            V3 = SineSquared(u + v + s1 + s3);
            break;
        }
        case 6: {
            u = Fraction(col, W) * 2.0L + SixthPi;
            v = Fraction(row, H) * 2.0L + SixthPi;
            const long double k = Square(std::sin(u) * std::sin(v));
            V1 = k * SineSquared(u + a1 + a2);
            V2 = k * SineSquared(v + a3 + a1);
            V3 = k * SineSquared(u + v - a3);
            break;
        }
        case 7: {
            u = Fraction(col, W) * 3.0L;
            v = Fraction(row, H) * 3.0L;
            const long double k = Square(std::sin(u) * std::sin(v));
            V1 = SineSquared(u + a1 + a2) + k;
            V2 = SineSquared(v + a3 + a1) + k;
            V3 = SineSquared(u + v - a2) + k;
            break;
        }
        case 8: {
            u = Fraction(col, W) / 2.0L;
            v = Fraction(row, H) / 2.0L;
            w = std::log(u * u + v * v + 0.1L);
            scratch.IterParam1 = std::sin(a1 * u + a3) + s1;
            scratch.IterParam2 = std::cos(a2 * v + a1) + s2;
            p = std::cos(u) - std::sin(v) - std::sin(w) + scratch.IterParam1;
            q = std::sin(p) + std::cos(v) + std::cos(w) + scratch.IterParam2;
            r = std::log(Square(p) * Square(q) + 0.5L);
            V1 = std::fabs(p) + std::sqrt(std::fabs(p)) / 5.0L;
            V2 = std::fabs(q) + std::sqrt(std::fabs(q)) / 5.0L;
            V3 = std::fabs(r) + std::sqrt(std::fabs(r)) / 5.0L;
            break;
        }
        case 9: {
            long double* U = scratch.IterA;
            long double* Vs = scratch.IterB;
            long double* Ws = scratch.IterC;
            U[0] = Fraction(col, W);
            Vs[0] = Fraction(row, H);
            scratch.IterParam1 = std::cos(U[0] + a1);
            scratch.IterParam2 = std::sin(Vs[0] + a2);
            for (int k = 0; k <= 2; ++k) {
                U[k + 1] = (U[k] * U[k] - Vs[k] * Vs[k]) * scratch.IterParam1;
                Vs[k + 1] = U[k] * Vs[k] + scratch.IterParam2;
                Ws[k + 1] = std::log(Square(U[k + 1]) * Square(Vs[k + 1]) + 0.0001L) * 0.15L;
            }
            V1 = std::fabs(std::sin(Ws[1]));
            V2 = std::fabs(std::sin(Ws[2]));
            V3 = std::fabs(std::sin(Ws[3]));
            break;
        }
        case 10: {
            u = 1.0L - (1.0L - DoubleFraction(col, W));
            v = 1.0L - (1.0L - DoubleFraction(row, H));
            w = std::log(Square(Centred(col, W)) + Square(Centred(row, H)) + 0.01L);
            V1 = SineSquared(u + a1) + std::fabs(v);
            V2 = SineSquared(v + a2) + std::fabs(u);
            V3 = SineSquared(w + u + v + a3) + std::fabs(w);
            break;
        }
        case 11: {
            u = Centred(col, W);
            v = Centred(row, H);
            p = std::fabs(std::sin(std::sin(u - a3) + (u + a1) + v));
            q = std::fabs(std::sin(std::sin(u - a1) + (v + a2) + v));
            r = std::fabs(std::sin(std::sin(u - a2) + (u + v + a3) + v));
            V1 = p + std::sqrt(p + 0.01L) / 5.0L;
            V2 = q + std::sqrt(q + 0.01L) / 5.0L;
            V3 = r + std::sqrt(r + 0.01L) / 5.0L;
            break;
        }
        case 12: {
            u = Centred(col, W);
            v = Centred(row, H);
            V1 = std::fabs(std::sin(u + a2)) - std::fabs(v);
            V2 = std::fabs(std::sin(v + a3)) - std::fabs(u);
            V3 = std::fabs(std::sin(u + v - a1)) - std::fabs(u - v);
            break;
        }
        case 14: {
            u = (1.0L - DoubleFraction(col, W)) * 0.5L;
            v = (1.0L - DoubleFraction(row, H)) * 0.5L;
            p = std::fabs(std::sin((u + a1) + (u - a3) + v));
            q = std::fabs(std::sin((v + a2) + (u - a1) + v));
            r = std::fabs(std::sin((u + v + a3) + (u - a2) + v));
            V1 = Lifted(p);  // up to 1.2: left for the fold
            V2 = Lifted(q);
            V3 = Lifted(r);
            break;
        }
    }
}

}  // namespace lumora
