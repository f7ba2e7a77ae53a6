// What the vector frame's row functions read: plain numbers and pointers, no engine type, so that
// the translation units built for AVX2 and AVX-512 include nothing else of the engine (an inline
// function of a shared header, built there with wider instructions, could otherwise be the copy
// the linker keeps for the whole program).
//
// Every value here is a double rounded from the 80-bit value the straightforward evaluation
// computes, with a bound on the distance between the two (the ...E tables and the ...Bound
// numbers); vector_rows.h says how each bound is made and why it holds.
#pragma once

#include <cstdint>

namespace lumora::vector {

// Column tables are padded to a multiple of this, the widest vector.
constexpr int MaxLanes = 8;
constexpr int TableSlots = 7;
constexpr int GridSlots = 3;

struct Job {
    // 1..14; 0: the planes turned by the matrix; 15..25: that pattern's field computed at each
    // point (no planes) and turned by the matrix
    int pattern;
    int width, height, paddedWidth;
    // Colouring: 0..3, or 4 for the hue schemes with the factors k/255 rounded to double.
    int schemeKind;
    double hue[3];
    // Slot k of column c at col[k * paddedWidth + c], of row r at row[k * height + r]; colE and
    // rowE hold their bounds. Patterns 15..25: slot 0 alone, the field's coordinates.
    const double* col;
    const double* colE;
    const double* row;
    const double* rowE;
    // Per-grid values (patterns 4, 8, 10): slot k of point (r, c) at
    // grid[(k * height + r) * paddedWidth + c], each within gridAbs[k] of the 80-bit value (the
    // grid job's largest bound).
    const double* grid;
    double gridAbs[GridSlots];
    // Pattern 0: the planes in double (point (r, c) at [r * paddedWidth + c], zero beyond the
    // grid), or where there are none the 80-bit planes, planeStride values from one row to the
    // next; and the matrix.
    const double* doubleX;
    const double* doubleY;
    const double* doubleZ;
    const long double* planeX;
    const long double* planeY;
    const long double* planeZ;
    long planeStride;
    double m[9];           // also patterns 15..25
    double rotationBound;  // a point's bound: rotationBound * (|x| + |y| + |z|)
    double sinSumBound;    // of a sine of a column term plus a row term, from the tables
    // Pattern 10: sin a3, cos a3 (the bound is in sinSumBound).
    double sinA3, cosA3;
    // Constants as the 80-bit code has them: the double nearest, and the distance (exact).
    double c0001, e0001;  // 0.0001L
    double c001, e001;    // 0.01L
    double c015, e015;    // 0.15L
    double c02, e02;      // 1/5: x / 5.0L is taken as x * 0.2
    double a3, ea3;       // the angle a3 (pattern 4)
    // Tests: every bound multiplied by boundScale before the colouring; with record set, every
    // point's three values and bounds go to record[6 * (row * width + col) ...].
    double boundScale;
    double* record;
    uint32_t* pixels;
    int stride;
    // The straightforward pixel of a point, for the points the bounds leave undecided.
    uint32_t (*fallback)(const void* context, int row, int col);
    const void* fallbackContext;
};

// The per-grid values of patterns 4, 8 and 10 (pattern_terms.h's Grid) in double, each with its
// bound, from the 80-bit terms of each column and row rounded once: slot k of column c at
// col[k * paddedWidth + c], of row r at row[k * height + r] (slot 0 the pattern's GridTerm, slot 1
// its coordinate), their bounds in colE and rowE. The values go to grid as Job::grid holds them.
struct GridJob {
    int pattern;
    int height, paddedWidth;
    const double* col;
    const double* colE;
    const double* row;
    const double* rowE;
    double c, ec;  // GridConstant: the double nearest, and the distance (exact)
    double* grid;
};

// Colours rows [begin, end) into the job's pixels; returns the points that fell back.
using RowsFunction = long long (*)(const Job& job, int begin, int end);
long long RowsAvx2(const Job& job, int begin, int end);
long long RowsAvx512(const Job& job, int begin, int end);
// Makes rows [begin, end) of a grid job; raises largest[k] to the largest bound of slot k there.
using GridRowsFunction = void (*)(const GridJob& job, int begin, int end, double* largest);
void GridRowsAvx2(const GridJob& job, int begin, int end, double* largest);
void GridRowsAvx512(const GridJob& job, int begin, int end, double* largest);

}  // namespace lumora::vector
