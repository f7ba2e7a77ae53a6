// The vector frame's dispatch, its tables in double with their bounds, and the fallback.
//
// The vector frame's tables in double with their bounds, and the fallback. Which table slots and
// per-grid values a pattern has, and where they come from, its formula's facts say
// (pattern_terms.h); the slots hold the fast frame's terms (MakeFrameTerms), each rounded to
// double once with the exact distance as its bound, plus KernelSlotAbs; a sine and its cosine
// meant for the addition formula are bounded by SinSumBound. The per-grid values are made in
// double from each column's and row's 80-bit terms (PrepareGrid). A still's piece of a stored
// pattern takes its plane values from their formulas at each point (RenderFieldVector).
#include "engine/vector_frame.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <cmath>

#include "engine/colouring.h"
#include "engine/fast_field.h"
#include "engine/fast_frame.h"
#include "engine/fast_math.h"
#include "engine/field_patterns.h"
#include "engine/fpu_guard.h"
#include "engine/pattern_terms.h"
#include "engine/point.h"
#include "engine/render_tables.h"
#include "engine/vector_job.h"
#include "engine/worker_pool.h"

namespace lumora {
namespace {

using vector::Job;

// The engine's own 80-bit sine and cosine (fast_math.h) against the C library's: within this,
// for every argument (the tests measure it over dense samples).
constexpr long double TableAbs = 0x1p-60L;
// The library's sinl against the true sine (the straightforward code's own error), for the
// arguments below ArgumentLimit; a frame whose arguments may reach beyond is computed
// straightforwardly throughout.
constexpr long double LibrarySinAbs = 0x1p-62L;
constexpr long double ArgumentLimit = 64.0L;
// A table slot's 80-bit value may come from the engine's sine or cosine where the straightforward
// evaluation calls the library's (pattern_terms.h): a sine within TableAbs of the library's, its
// square within 2 TableAbs + 2^-63 (|sin| <= 1, and the square's rounding on either side), a sine
// plus a start sine within TableAbs + 2^-62 (the sum's rounding, the sum below 2). Every slot's
// bound is raised by the largest of these.
constexpr long double KernelSlotAbs = 2 * TableAbs + 0x1p-62L;

// A grid point's values never need more slots than the job has.
static_assert(Pattern<4>::GridSlots <= vector::GridSlots &&
              Pattern<8>::GridSlots <= vector::GridSlots &&
              Pattern<10>::GridSlots + Pattern<10>::GridAngle <= vector::GridSlots);

// The double nearest x, and the exact distance between the two. The rounding goes through memory:
// the 32-bit build may otherwise take the distance from the wider x87 register.
inline void Split(long double x, double& value, double& error) {
    const volatile double rounded = static_cast<double>(x);
    value = rounded;
    error = static_cast<double>(std::fabs(x - static_cast<long double>(value)));
}

int Padded(int width) {
    return (width + vector::MaxLanes - 1) / vector::MaxLanes * vector::MaxLanes;
}

// The state's per-grid tables (none for a pattern without per-grid values: grid stays null) and
// each slot's bound; false when the memory cannot be had. The values are computed in double from
// the 80-bit terms of each column and row (GridTerm, and the coordinate), each rounded once with
// its exact distance; a grid angle G (GridAngle) is kept as its sine and cosine.
bool PrepareGrid(const EngineState& state, RenderTables& tables, int paddedWidth,
                 const double*& grid, vector::GridRowsFunction gridRows) {
    const int pattern = state.Pattern, W = state.GridWidth, H = state.GridHeight;
    grid = nullptr;
    if (GridSlotsOf(pattern) == 0) return true;
    GridTable<double>& g = tables.VectorGrid;
    const int fieldW = FieldWidthOf(state), fieldH = FieldHeightOf(state);
    const GridPiece piece = PieceOf(state);
    grid = g.Values.get();
    if (g.Piece == piece) return true;
    if (!g.Reserve(static_cast<size_t>(paddedWidth) * H * vector::GridSlots)) return false;
    grid = g.Values.get();
    vector::GridJob j{};
    WithPattern(pattern, [&](auto p) {
        using Formula = Pattern<p.value>;
        if constexpr (Formula::GridSlots > 0) {
            // the padding repeats the last column
            for (int col = 0; col < paddedWidth; ++col) {
                const int at = state.FieldColumn + std::min(col, W - 1);
                Split(Formula::GridTerm(at, fieldW), tables.GridColumn[col],
                      tables.GridColumnE[col]);
                Split(Formula::Coordinate(at, fieldW), tables.GridColumn[paddedWidth + col],
                      tables.GridColumnE[paddedWidth + col]);
            }
            for (int row = 0; row < H; ++row) {
                const int at = state.FieldRow + row;
                Split(Formula::GridTerm(at, fieldH), tables.GridRow[row], tables.GridRowE[row]);
                Split(Formula::Coordinate(at, fieldH), tables.GridRow[H + row],
                      tables.GridRowE[H + row]);
            }
            Split(Formula::GridConstant, j.c, j.ec);
        }
    });
    j.pattern = pattern;
    j.height = H;
    j.paddedWidth = paddedWidth;
    j.col = tables.GridColumn;
    j.colE = tables.GridColumnE;
    j.row = tables.GridRow;
    j.rowE = tables.GridRowE;
    j.grid = g.Values.get();
    std::mutex mutex;
    double largest[vector::GridSlots] = {};
    auto job = [&](int begin, int end) {
        VectorRoundingScope rounding;
        double mine[vector::GridSlots] = {};
        gridRows(j, begin, end, mine);
        const std::lock_guard<std::mutex> lock(mutex);
        for (int k = 0; k < vector::GridSlots; ++k) largest[k] = std::max(largest[k], mine[k]);
    };
    EnginePool().ForEachChunk(H, 4, job);
    for (int k = 0; k < vector::GridSlots; ++k) tables.VectorGridAbs[k] = largest[k];
    g.Piece = piece;
    return true;
}

// The planes in double, made once per field generation; null where the planes were never generated
// (or no memory): then the frame converts them as it goes.
const double* PlanesInDouble(const EngineState& state, RenderTables& tables, int paddedWidth) {
    const int W = state.GridWidth, H = state.GridHeight;
    if (!tables.PlanesGenerated) return nullptr;
    GridTable<double>& d = tables.DoublePlanes;
    const GridPiece piece = PieceOf(state);
    if (d.Piece == piece) return d.Values.get();
    const size_t plane = static_cast<size_t>(paddedWidth) * H;
    if (!d.Reserve(3 * plane)) return nullptr;
    double* values = d.Values.get();
    auto job = [&](int begin, int end) {
        for (int row = begin; row < end; ++row) {
            const long double* planes[3] = {state.PlaneX[row], state.PlaneY[row],
                                            state.PlaneZ[row]};
            for (int k = 0; k < 3; ++k) {
                double* out = values + k * plane + static_cast<size_t>(row) * paddedWidth;
                for (int col = 0; col < paddedWidth; ++col)
                    out[col] = col < W ? static_cast<double>(planes[k][col]) : 0.0;
            }
        }
    };
    EnginePool().ForEachChunk(H, 8, job);
    d.Piece = piece;
    return values;
}

// The 80-bit terms into double with their bounds.
void ConvertTerms(const FrameTerms& terms, int slots, int columns, int rows, VectorTables& t) {
    const double kernel = static_cast<double>(KernelSlotAbs);
    auto job = [&](int begin, int end) {
        for (int i = begin; i < end; ++i)
            for (int k = 0; k < slots; ++k) {
                if (i < columns) {
                    const int at = k * columns + i;
                    Split(terms.Column[k][i], t.Column[at], t.ColumnE[at]);
                    t.ColumnE[at] += kernel;
                } else {
                    const int r = i - columns, at = k * rows + r;
                    Split(terms.Row[k][r], t.Row[at], t.RowE[at]);
                    t.RowE[at] += kernel;
                }
            }
    };
    EnginePool().ForEachChunk(columns + rows, 64, job);
}

// The bound of a sine of a sum from the tables (sin X cos Y + cos X sin Y): the four table values,
// each at most 2^-53 (rounding) + TableAbs + LibrarySinAbs from the true sine or cosine; the
// product and the fused sum in double (3 U); X + Y against the straightforward argument: at most
// 12 roundings of 80 bits, each at most 2^-64 of a partial sum, every partial sum below
// `magnitude`; two inner sines of the library's within X or Y (none of the engine's); the library's
// error at the straightforward argument.
double SinSumBound(long double magnitude) {
    const long double table = 0x1p-53L + TableAbs + LibrarySinAbs;
    return static_cast<double>(
        (4 * table + 3 * (0x1p-53L + 0x1p-64L) + 12 * 0x1p-64L * magnitude + LibrarySinAbs) *
        (1 + 0x1p-20L));
}

uint32_t Fallback(const void* context, int row, int col) {
    return StraightforwardPoint(*static_cast<const EngineState*>(context), row, col);
}

// The point's plane values from the fast field's formulas, into the planes, and its pixel.
uint32_t FieldFallback(const void* context, int row, int col) {
    EngineState& state = **static_cast<EngineState* const*>(context);
    GenerateFieldPointFast(state, row, col);
    return StraightforwardPoint(state, row, col);
}

// The matrix in double, and the bound of the turn: rounding the planes and the matrix to double
// (2 u relative), three operations in double and five in 80 bits on either side, each at most
// its unit of the sum of |x m1| + |y m2| + |z m3| <= largest * (|x| + |y| + |z|): below 8 u of
// that. False where the matrix is not finite.
bool SetMatrix(const EngineState& state, Job& j) {
    const RotationMatrix& m = state.Matrix;
    const long double entries[9] = {m.M11, m.M12, m.M13, m.M21, m.M22, m.M23, m.M31, m.M32, m.M33};
    long double largest = 0;
    for (int k = 0; k < 9; ++k) {
        j.m[k] = static_cast<double>(entries[k]);
        largest = std::fmax(largest, std::fabs(entries[k]));
    }
    j.rotationBound = static_cast<double>(8 * 0x1p-53L * largest * (1 + 0x1p-40L));
    return std::isfinite(j.rotationBound);
}

void SetColouring(const EngineState& state, Job& j) {
    const Colouring colouring = ColouringOf(state.ColourScheme);
    j.schemeKind = colouring.kind;
    for (int k = 0; k < 3; ++k) j.hue[k] = static_cast<double>(colouring.hue[k]);
}

vector::RowsFunction RowsOf(EnginePath path) {
    return path == EnginePath::Avx512 ? vector::RowsAvx512 : vector::RowsAvx2;
}
vector::GridRowsFunction GridRowsOf(EnginePath path) {
    return path == EnginePath::Avx512 ? vector::GridRowsAvx512 : vector::GridRowsAvx2;
}

// The job's rows over the engine's pool on the renderer's path, or every point by the job's
// fallback where the bounds do not hold (`exact` false); the points and fallbacks counted.
void RunRows(Renderer& renderer, const vector::Job& j, bool exact, const PixelTarget& target) {
    const vector::RowsFunction rows = RowsOf(renderer.Path());
    std::atomic<long long> fallbacks{0};
    auto points = [&](int begin, int end) {
        VectorRoundingScope rounding;
        long long n = 0;
        if (exact) {
            n = rows(j, begin, end);
        } else {
            for (int row = begin; row < end; ++row)
                for (int col = 0; col < j.width; ++col) {
                    target.pixels[static_cast<long>(row) * target.stride + col] =
                        j.fallback(j.fallbackContext, row, col);
                    ++n;
                }
        }
        fallbacks.fetch_add(n, std::memory_order_relaxed);
    };
    WorkerPool& pool = EnginePool();
    const int grain = j.height / (pool.ThreadCount() * 16);
    pool.ForEachChunk(j.height, grain < 1 ? 1 : grain, points);
    renderer.AddCounts(static_cast<long long>(j.width) * j.height, fallbacks.load());
}

}  // namespace

bool RenderPointsVector(EngineState& state, const PixelTarget& target) {
    Renderer& renderer = *state.Render;
    const EnginePath path = renderer.Path();
    if (path == EnginePath::X87) return false;
    RenderTables& tables = renderer.Tables();
    const int W = state.GridWidth, H = state.GridHeight;
    const int pattern = (state.Pattern >= 1 && state.Pattern <= 14) ? state.Pattern : 0;
    const int paddedWidth = Padded(W);
    const double* grid = nullptr;
    if (pattern != 0 && !PrepareGrid(state, tables, paddedWidth, grid, GridRowsOf(path)))
        return false;

    Job j{};
    j.pattern = pattern;
    j.width = W;
    j.height = H;
    j.paddedWidth = paddedWidth;
    SetColouring(state, j);
    VectorTables& t = *tables.Vector;
    j.col = t.Column;
    j.colE = t.ColumnE;
    j.row = t.Row;
    j.rowE = t.RowE;
    bool exact = true;  // false: the arguments may leave the range of the bounds
    if (pattern != 0) {
        const FrameTerms& terms = MakeFrameTerms(state, paddedWidth);
        ConvertTerms(terms, TableSlotsOf(pattern), paddedWidth, H, t);
        const int fieldW = FieldWidthOf(state), fieldH = FieldHeightOf(state);
        const long double u =
            std::fmax(std::fabs(PatternCoordinate(pattern, state.FieldColumn, fieldW)),
                      std::fabs(PatternCoordinate(pattern, state.FieldColumn + W - 1, fieldW)));
        const long double v =
            std::fmax(std::fabs(PatternCoordinate(pattern, state.FieldRow, fieldH)),
                      std::fabs(PatternCoordinate(pattern, state.FieldRow + H - 1, fieldH)));
        // every partial sum of an argument: two coordinates of each, the angles, the start sines or
        // inner sines (at most 1 each), |w| of pattern 10 (below 5)
        const long double magnitude = 2 * (u + v) + std::fabs(state.RotationAngle1) +
                                      std::fabs(state.RotationAngle2) +
                                      std::fabs(state.RotationAngle3) + 8;
        exact = magnitude <= ArgumentLimit;
        j.sinSumBound = SinSumBound(magnitude);
        j.grid = grid;
        for (int k = 0; k < vector::GridSlots; ++k) j.gridAbs[k] = tables.VectorGridAbs[k];
        long double sinA3, cosA3;
        FastSinCos(state.RotationAngle3, sinA3, cosA3);
        j.sinA3 = static_cast<double>(sinA3);
        j.cosA3 = static_cast<double>(cosA3);
    } else {
        if (const double* d = PlanesInDouble(state, tables, paddedWidth)) {
            const size_t plane = static_cast<size_t>(paddedWidth) * H;
            j.doubleX = d;
            j.doubleY = d + plane;
            j.doubleZ = d + 2 * plane;
        }
        j.planeX = state.PlaneX[0];
        j.planeY = state.PlaneY[0];
        j.planeZ = state.PlaneZ[0];
        j.planeStride = state.PlaneX.Stride();
        exact = SetMatrix(state, j);
    }
    Split(0.0001L, j.c0001, j.e0001);
    Split(0.01L, j.c001, j.e001);
    Split(0.15L, j.c015, j.e015);
    // x / 5.0L as x * 0.2: the distance of 0.2 from 1/5, from its 80-bit value (within 2^-67)
    j.c02 = 0.2;
    j.e02 = static_cast<double>(std::fabs(static_cast<long double>(0.2) - 1.0L / 5.0L) * 1.0001L +
                                0x1p-66L);
    Split(state.RotationAngle3, j.a3, j.ea3);
    j.boundScale = renderer.TestHooks().boundScale;
    j.record = renderer.TestHooks().record;
    j.pixels = target.pixels;
    j.stride = target.stride;
    j.fallback = Fallback;
    j.fallbackContext = &state;

    RunRows(renderer, j, exact, target);
    LeaveLastPoint(state);
    return true;
}

bool RenderFieldVector(EngineState& state, const PixelTarget& target) {
    Renderer& renderer = *state.Render;
    const EnginePath path = renderer.Path();
    if (path == EnginePath::X87 || state.Pattern < 15 || state.Pattern > 25) return false;
    ExtendedPrecisionScope precision;
    MarkFieldWritten(state);
    const int W = state.GridWidth, H = state.GridHeight;
    if (W < 1 || H < 1) return true;
    const int paddedWidth = Padded(W);
    const int fieldW = FieldWidthOf(state), fieldH = FieldHeightOf(state);
    VectorTables& t = *renderer.Tables().Vector;
    // the coordinates of the field's points; the padding repeats the last column
    field::WithFieldPattern(state.Pattern, [&](auto pattern) {
        using Formula = field::FieldPattern<pattern.value>;
        for (int col = 0; col < paddedWidth; ++col)
            Split(Formula::Column(state.FieldColumn + std::min(col, W - 1), fieldW), t.Column[col],
                  t.ColumnE[col]);
        for (int row = 0; row < H; ++row)
            Split(Formula::Row(state.FieldRow + row, fieldH), t.Row[row], t.RowE[row]);
    });

    Job j{};
    j.pattern = state.Pattern;
    j.width = W;
    j.height = H;
    j.paddedWidth = paddedWidth;
    SetColouring(state, j);
    j.col = t.Column;
    j.colE = t.ColumnE;
    j.row = t.Row;
    j.rowE = t.RowE;
    const bool exact = SetMatrix(state, j);
    j.boundScale = renderer.TestHooks().boundScale;
    j.record = renderer.TestHooks().record;
    j.pixels = target.pixels;
    j.stride = target.stride;
    j.fallback = FieldFallback;
    EngineState* const context = &state;
    j.fallbackContext = &context;

    RunRows(renderer, j, exact, target);
    GenerateFieldPointFast(state, H - 1, W - 1);
    LeaveLastPoint(state);
    return true;
}

}  // namespace lumora
