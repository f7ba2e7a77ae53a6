// Pattern field generation: the shapes of patterns 15..25, computed once per pattern or grid
// change into the three coordinate planes. RenderFrame turns them every frame.
//
// Every quotient col/W, 2*col/W, row/H is taken in long double after the integer product; sums
// and products run left to right as written; a squared sine is (sin u)*(sin u), one term. Where
// a pattern computes X twice, the first value X1 feeds the formulas after it and the plane keeps
// the second.
#include <atomic>
#include <cmath>

#include "engine/constants.h"
#include "engine/engine.h"
#include "engine/fast_field.h"
#include "engine/fpu_guard.h"
#include "engine/point.h"

namespace lumora {
namespace {

using namespace constants;

struct PlanePoint {
    long double X, Y, Z;
};

long double Square(long double u) { return u * u; }

// col / W and 2*col / W, the quotients every pattern starts from.
long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}

PlanePoint Pattern15(int row, int col, int W, int H) {
    const long double a = Fraction(col, W);
    const long double b = Fraction(row, H);
    const long double s = std::sqrt(b * b + a * a + 0.000001L) / 1.42L;
    PlanePoint p;
    p.X = 0.2L * std::cos(ThreePi * s) + std::sin(Pi * a + HalfPi);
    p.Y = 0.2L * std::cos(FivePi * a) + std::sin(Pi * b + TwoThirdsPi);
    p.Z = 0.2L * std::cos(EightPi * b) + std::sin(Pi * s + ThirdPi);
    return p;
}

// Patterns 16 and 21 differ only in how strongly the first X feels the inner sine.
PlanePoint Pattern16Or21(int row, int col, int W, int H, bool damped) {
    const long double a = (1.0L - DoubleFraction(col, W)) * 2.0L + Pi;
    const long double b = DoubleFraction(row, H) - Pi;
    const long double s = std::sqrt(Square(std::sin(b)) + Square(std::sin(a)) + 0.000001L);
    const long double X1 = damped ? std::sin(std::cos(a) + 0.1L * std::sin(Pi * std::sin(a * b)))
                                  : std::sin(std::cos(a) + std::sin(Pi * std::sin(a * b)));
    PlanePoint p;
    p.Y = std::sin(std::sin(a) + std::sin(Pi * std::sin(b * s * X1)));
    p.Z = std::sin(std::cos(b) + std::sin(Pi * std::sin(p.Y * X1)));
    p.X = std::sin(std::cos(a) + std::sin(Pi * std::sin(p.Y * p.Z)));
    return p;
}

PlanePoint Pattern17(int row, int col, int W, int H) {
    const long double a = Fraction(col, W);
    const long double b = Fraction(row, H);
    const long double s = std::sqrt(Square(std::sin(b)) + Square(std::sin(a)) + 0.000001L);
    const long double X1 = std::sin(0.2L * std::sin(ThreePi * std::sin(a * b)) + std::sin(Pi * a));
    PlanePoint p;
    p.Y = std::sin(0.2L * std::sin(ThreePi * std::sin(X1 * s)) + std::sin(Pi * b));
    p.Z = std::sin(0.2L * std::sin(ThreePi * std::sin(X1 * p.Y)) + std::cos(Pi * s));
    p.X = std::sin(0.2L * std::sin(ThreePi * std::sin(p.Y * p.Z)) + std::cos(Pi * a));
    return p;
}

PlanePoint Pattern18(int row, int col, int W, int H) {
    const long double a = 1.628L - (1.0L - DoubleFraction(col, W));
    const long double b = 1.314L - (1.0L - DoubleFraction(row, H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L) + 1.7L;
    const long double X1 = 0.1L * std::cos(FivePi * s) + std::sin(HalfPi * a);
    PlanePoint p;
    p.Y = 0.1L * std::sin(FivePi * X1) + std::sin(HalfPi * b);
    p.Z = 0.1L * std::sin(FivePi * (p.Y + a)) + std::sin(HalfPi * s);
    p.X = 0.1L * std::cos(FivePi * p.Z) + std::sin(HalfPi * a);
    return p;
}

PlanePoint Pattern19(int row, int col, int W, int H) {
    const long double a = 1.0L - DoubleFraction(col, W);
    const long double b = 1.0L - DoubleFraction(row, H);
    const long double s = std::sqrt(b * b + a * a + 0.000001L);
    const long double X1 = 0.1L * Square(std::cos(s * b * ThreePi)) + std::sin(Pi * a);
    PlanePoint p;
    p.Y = 0.1L * Square(std::sin(X1 * s * FivePi)) + std::sin(Pi * b);
    p.Z = 0.1L * Square(std::sin(p.Y * a * EightPi)) + std::sin(Pi * s);
    p.X = 0.1L * Square(std::cos(p.Z * b * ThreePi)) + std::sin(Pi * a);
    return p;
}

PlanePoint Pattern20(int row, int col, int W, int H) {
    const long double a = 1.628L - (1.0L - DoubleFraction(col, W));
    const long double b = 1.314L - (1.0L - DoubleFraction(row, H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L) + 1.7L;
    PlanePoint p;
    p.X = 0.2L * std::cos(TwoPi * (s + b)) + std::sin(HalfPi * a);
    p.Y = 0.2L * std::sin(ThreePi * (a + s)) + std::sin(HalfPi * b);
    p.Z = 0.2L * std::sin(FivePi * (b + a)) + std::sin(HalfPi * s);
    return p;
}

// sqrt(|u| + 0.001) / 5 + u^2, the closing step of pattern 22.
long double SoftenedSquare(long double u) { return std::sqrt(std::fabs(u) + 0.001L) / 5.0L + u * u; }

PlanePoint Pattern22(int row, int col, int W, int H) {
    const long double a = Fraction(col, W) * Pi;
    const long double b = Fraction(row, H) * Pi;
    const long double u1 = std::sin(std::sin(b) + (std::sin(a) + a));
    const long double u2 = std::sin(std::sin(b) + (std::sin(a) + b));
    const long double u3 = std::sin(std::sin(b) + (std::sin(a) + (a + b)));
    return {SoftenedSquare(u1), SoftenedSquare(u2), SoftenedSquare(u3)};
}

// Ten steps of a sine-damped quadratic map; the planes keep the last three magnitudes.
PlanePoint Pattern23(EngineState& state, int row, int col, int W, int H) {
    long double* A = state.IterA;
    long double* B = state.IterB;
    long double* C = state.IterC;
    A[0] = 1.0L - DoubleFraction(col, W);
    B[0] = 1.0L - DoubleFraction(row, H);
    state.IterParam1 = 0.628L;
    state.IterParam2 = 0.628L;
    for (int k = 1; k <= 10; ++k) {
        A[k] = std::sin(A[k - 1] * A[k - 1] - B[k - 1] * B[k - 1] + state.IterParam1);
        B[k] = std::sin(2.0L * A[k - 1] * B[k - 1] + state.IterParam2);
        C[k] = std::sin(A[k] * A[k] + B[k] * B[k] + 0.000001L);
    }
    return {C[8], C[9], C[10]};
}

// Three steps of a growing coupled sequence; values far outside [-1, 1] are normal here.
PlanePoint Pattern24(EngineState& state, int row, int col, int W, int H) {
    long double* A = state.IterA;
    long double* B = state.IterB;
    long double* C = state.IterC;
    A[0] = std::fabs(1.0L - DoubleFraction(col, W)) * Pi + 0.1L;
    B[0] = std::fabs(1.0L - DoubleFraction(row, H)) * Pi + 0.1L;
    C[0] = 0.1L * std::log(A[0] * A[0] + B[0] * B[0] + 0.000001L) + 0.1L;
    state.IterParam1 = 0.72L;
    state.IterParam2 = 0.72L;
    for (int i = 0; i <= 2; ++i) {
        A[i + 1] = std::sin(Pi * A[i]) + B[i] + C[i] + state.IterParam1;
        B[i + 1] = std::sin(Pi * B[i]) + A[i] + C[i] + state.IterParam2;
        // The new B but the old A.
        C[i + 1] = std::sin(Pi * C[i]) + B[i + 1] + A[i];
    }
    return {C[1], C[2], C[3]};
}

PlanePoint Pattern25(int row, int col, int W, int H) {
    const long double a = std::sin(Fraction(col, W) + Pi);
    const long double b = std::sin(static_cast<long double>(row) * QuarterPi / static_cast<long double>(H));
    const long double s = std::sqrt(b * b + a * a + 0.000001L);
    const long double X1 = 0.1L * std::cos(ThreePi * (s + b)) + std::sin(Pi * a);
    PlanePoint p;
    p.Y = 0.1L * std::cos(ThreePi * (X1 + s)) + std::sin(Pi * b);
    p.Z = 0.1L * std::cos(ThreePi * (p.Y + X1)) + std::sin(Pi * s);
    p.X = std::sin(std::sin(a) + 0.1L * std::cos(ThreePi * (p.Z + p.Y)));
    return p;
}

// The point at grid (row, col): the field's point at (FieldRow + row, FieldColumn + col).
PlanePoint FieldPoint(EngineState& state, int row, int col) {
    const int W = FieldWidthOf(state);
    const int H = FieldHeightOf(state);
    row += state.FieldRow;
    col += state.FieldColumn;
    switch (state.Pattern) {
        case 15: return Pattern15(row, col, W, H);
        case 16: return Pattern16Or21(row, col, W, H, false);
        case 17: return Pattern17(row, col, W, H);
        case 18: return Pattern18(row, col, W, H);
        case 19: return Pattern19(row, col, W, H);
        case 20: return Pattern20(row, col, W, H);
        case 21: return Pattern16Or21(row, col, W, H, true);
        case 22: return Pattern22(row, col, W, H);
        case 23: return Pattern23(state, row, col, W, H);
        case 24: return Pattern24(state, row, col, W, H);
        default: return Pattern25(row, col, W, H);
    }
}

}  // namespace

void GeneratePatternField(EngineState& state) { GeneratePatternFieldFast(state); }

void MarkFieldWritten(EngineState& state) {
    static std::atomic<uint64_t> serial{0};
    state.FieldSerial = ++serial;
}

void GeneratePatternFieldReference(EngineState& state) {
    MarkFieldWritten(state);
    if (state.Pattern < 15 || state.Pattern > 25) return;  // per-frame patterns keep the planes
    if (state.GridHeight < 1) return;
    ExtendedPrecisionScope precision;
    for (int row = 0; row < state.GridHeight; ++row) {
        long double* X = state.PlaneX[row];
        long double* Y = state.PlaneY[row];
        long double* Z = state.PlaneZ[row];
        for (int col = 0; col < state.GridWidth; ++col) {
            const PlanePoint p = FieldPoint(state, row, col);
            X[col] = p.X;
            Y[col] = p.Y;
            Z[col] = p.Z;
        }
    }
}

}  // namespace lumora
