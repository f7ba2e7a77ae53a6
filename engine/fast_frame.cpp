#include "engine/fast_frame.h"

#include <cmath>
#include <memory>
#include <new>

#include "engine/colouring.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/grid_table.h"
#include "engine/pattern_terms.h"
#include "engine/point.h"
#include "engine/render_tables.h"
#include "engine/vector_frame.h"
#include "engine/worker_pool.h"

namespace lumora {
namespace {

using FrameTables = FrameTerms;

// Everything a point needs, fixed for the frame.
struct FrameContext {
    int W, H, pattern;
    // The field the grid is a piece of (engine.h): the coordinates' size and the piece's origin.
    int fieldW, fieldH, column0, row0;
    FrameAngles angles;
    RotationMatrix m;
    const EngineState* state;
    PixelTarget target;
    FrameTables* t;
    const ScaledLogSine* sinOfLog015;  // pattern 9's, where it runs
    const long double* grid;           // the per-grid table of a pattern with per-grid values
    Colouring colouring;
};

// ---- Per-frame tables ----------------------------------------------------------------------
// Slot 0 holds the coordinate (u of the column, v of the row); the others hold the pattern's
// column-only or row-only terms (pattern_terms.h), their sines and cosines by the engine's own
// kernels. A term meant for the addition formula is stored as its sine followed by its cosine.

struct FastOps {
    static long double Sin(long double x) { return FastSin(x); }
    static long double Cos(long double x) { return FastCos(x); }
    template <class F>
    void Pair(const F& argument, long double& s, long double& c) const {
        FastSinCos(argument(), s, c);
    }
    static void SinCos(long double x, long double& s, long double& c) { FastSinCos(x, s, c); }
};

// The terms of column `index` (Side 0) or row `index` (Side 1) into the tables.
template <int Side>
void LineTerms(const FrameContext& f, int index) {
    long double T[FrameTermSlots] = {};
    WithPattern(f.pattern, [&](auto p) {
        using Formula = Pattern<p.value>;
        if constexpr (Side == 0) {
            T[0] = Formula::Coordinate(f.column0 + index, f.fieldW);
            Formula::Column(FastOps{}, T[0], f.angles, T);
        } else {
            T[0] = Formula::Coordinate(f.row0 + index, f.fieldH);
            Formula::Row(FastOps{}, T[0], f.angles, T);
        }
    });
    for (int k = 0; k < FrameTermSlots; ++k) {
        if constexpr (Side == 0)
            f.t->Column[k][index] = T[k];
        else
            f.t->Row[k][index] = T[k];
    }
}

// ---- Per-grid tables -------------------------------------------------------------------------

// One grid row of a piece `columns` wide whose first column is the field's column0.
void GridRow(int pattern, int columns, int column0, int W, int H, int row, long double* out) {
    const int stride = GridSlotsOf(pattern);
    for (int local = 0; local < columns; ++local)
        GridPoint(pattern, column0 + local, row, W, H, out + stride * local);
}

// Makes the per-grid tables for this pattern and grid piece unless they are already there. False
// when the memory cannot be had.
bool PrepareGrid(RenderTables& tables, const FrameContext& f) {
    GridTable<long double>& g = tables.FastGrid;
    const int pattern = f.pattern, W = f.W, H = f.H;
    const int stride = GridSlotsOf(pattern);
    const GridPiece piece = PieceOf(*f.state);
    if (stride == 0 || g.Piece == piece) return true;
    if (!g.Reserve(static_cast<size_t>(W) * static_cast<size_t>(H) * stride)) return false;
    long double* values = g.Values.get();
    auto job = [&](int begin, int end) {
        for (int row = begin; row < end; ++row)
            GridRow(pattern, W, f.column0, f.fieldW, f.fieldH, f.row0 + row,
                    values + static_cast<size_t>(row) * W * stride);
    };
    EnginePool().ForEachChunk(H, 4, job);
    g.Piece = piece;
    return true;
}

// ---- Colouring -------------------------------------------------------------------------------

// channel * 255 to the nearest integer, halves to even: the x87's own rounding, which every
// thread of the frame has set to nearest.
inline uint32_t ChannelByte(long double channel) {
    const long double scaled = channel * 255.0L;
#if defined(__i386__) || defined(__x86_64__)
    int byte;
    asm("fistpl %0" : "=m"(byte) : "t"(scaled) : "st");
    return static_cast<uint32_t>(byte);
#else
    return static_cast<uint32_t>(std::nearbyint(scaled));
#endif
}

inline uint32_t Colour(const FrameContext& f, long double v1, long double v2, long double v3) {
    v1 = FoldValue(v1);
    v2 = FoldValue(v2);
    v3 = FoldValue(v3);
    const Channels c = ColourChannels(f.colouring, v1, v2, v3);
    return 0xFF000000u + ChannelByte(c.R) * 65536u + ChannelByte(c.G) * 256u + ChannelByte(c.B);
}

// ---- Points ----------------------------------------------------------------------------------

// sin(x + y) from sin x, cos x (column) and sin y, cos y (row).
inline long double SinOfSum(long double sx, long double cx, long double sy, long double cy) {
    return sx * cy + cx * sy;
}

// One point's terms and operations for the shared formulas (pattern_terms.h), in 80 bits as
// written.
struct PointTerms {
    using Value = long double;
    const FrameContext& f;
    int row, col, gridStride;

    long double Col(int k) const { return f.t->Column[k][col]; }
    long double Row(int k) const { return f.t->Row[k][row]; }
    long double Grid(int k) const {
        return f.grid[(static_cast<size_t>(row) * f.W + col) * gridStride + k];
    }
    template <class F>
    long double SinOfSum(int s, int r, const F&) const {
        return lumora::SinOfSum(Col(s), Col(s + 1), Row(r), Row(r + 1));
    }
    long double SinOfGridPlusA3() const { return FastSin(Grid(1) + f.angles.a3); }
    long double SinOfScaledLog(long double x) const { return (*f.sinOfLog015)(x); }
    static void Keep(long double, long double, long double) {}
    static long double Square(long double x) { return x * x; }
    static long double Sqrt(long double x) { return std::sqrt(x); }
    static long double Abs(long double x) { return std::fabs(x); }
    static long double Fifth(long double x) { return x / 5.0L; }
    static long double Sin(long double x) { return FastSin(x); }
    static long double Log(long double x) { return FastLog(x); }
    static long double AtMostOne(long double x) { return x > 1.0L ? 1.0L : x; }
    static long double Hundredth() { return 0.01L; }
    static long double Half() { return 0.5L; }
    static long double TenThousandth() { return 0.0001L; }
    long double A3() const { return f.angles.a3; }
};

template <int P>
inline void PointValues(const FrameContext& f, int row, int col, long double& V1, long double& V2,
                        long double& V3) {
    Pattern<P>::Point(PointTerms{f, row, col, Pattern<P>::GridSlots}, V1, V2, V3);
}

template <int P>
void PointRows(const FrameContext& f, int begin, int end) {
    for (int row = begin; row < end; ++row) {
        uint32_t* line = f.target.pixels + static_cast<long>(row) * f.target.stride;
        for (int col = 0; col < f.W; ++col) {
            long double V1, V2, V3;
            PointValues<P>(f, row, col, V1, V2, V3);
            line[col] = Colour(f, V1, V2, V3);
        }
    }
}

// Pattern 9 in three passes over a row, each with few values alive at once (the x87 has eight
// registers): the logarithms' arguments of the three steps, then the values from them (the
// logarithm folded into the sine, ScaledLogSine), then the colours.
template <>
void PointRows<9>(const FrameContext& f, int begin, int end) {
    constexpr int Block = 64;
    long double arguments[3][Block];
    const FrameTables& t = *f.t;
    const PointTerms terms{f, 0, 0, 0};
    for (int row = begin; row < end; ++row) {
        uint32_t* line = f.target.pixels + static_cast<long>(row) * f.target.stride;
        const long double v = t.Row[0][row], g2 = t.Row[1][row];
        for (int first = 0; first < f.W; first += Block) {
            const int count = f.W - first < Block ? f.W - first : Block;
            for (int i = 0; i < count; ++i) {
                long double u[4] = {t.Column[0][first + i]}, vs[4] = {v}, x[3];
                Pattern<9>::Steps(terms, u, vs, t.Column[1][first + i], g2, x);
                for (int k = 0; k < 3; ++k) arguments[k][i] = x[k];
            }
            for (int k = 0; k < 3; ++k)
                for (int i = 0; i < count; ++i)
                    arguments[k][i] = Pattern<9>::Value(terms, arguments[k][i]);
            for (int i = 0; i < count; ++i)
                line[first + i] = Colour(f, arguments[0][i], arguments[1][i], arguments[2][i]);
        }
    }
}

// Patterns 15..25 (and any number outside 1..14): the planes turned by the frame's matrix.
void RotatedRows(const FrameContext& f, int begin, int end) {
    const EngineState& s = *f.state;
    const RotationMatrix& m = f.m;
    for (int row = begin; row < end; ++row) {
        const long double* X = s.PlaneX[row];
        const long double* Y = s.PlaneY[row];
        const long double* Z = s.PlaneZ[row];
        uint32_t* line = f.target.pixels + static_cast<long>(row) * f.target.stride;
        for (int col = 0; col < f.W; ++col) {
            const long double x = X[col], y = Y[col], z = Z[col];
            const long double V1 = x * m.M11 + y * m.M12 + z * m.M13;
            const long double V2 = x * m.M21 + y * m.M22 + z * m.M23;
            const long double V3 = x * m.M31 + y * m.M32 + z * m.M33;
            line[col] = Colour(f, V1, V2, V3);
        }
    }
}

using RowsFunction = void (*)(const FrameContext&, int, int);

constexpr RowsFunction PatternRows[15] = {
    RotatedRows,   PointRows<1>,  PointRows<2>,  PointRows<3>,  PointRows<4>,
    PointRows<5>,  PointRows<6>,  PointRows<7>,  PointRows<8>,  PointRows<9>,
    PointRows<10>, PointRows<11>, PointRows<12>, PointRows<13>, PointRows<14>,
};

// Rows per chunk: small enough that two threads end together, large enough to keep the
// hand-out cheap.
int RowGrain(int rows, int threads) {
    const int chunks = threads * 16;
    const int grain = rows / chunks;
    return grain < 1 ? 1 : grain;
}

}  // namespace

void GridPoint(int pattern, int col, int row, int W, int H, long double* out) {
    WithPattern(pattern, [&](auto p) {
        using Formula = Pattern<p.value>;
        if constexpr (Formula::GridSlots > 0) {
            long double w;
            Formula::Grid(FastOps{}, col, row, W, H, out, w);
        }
    });
}

int FastThreadCount() { return EnginePool().ThreadCount(); }

void SetFastThreadCount(int threads) { SetEnginePoolThreads(threads); }

void RenderFrameFast(EngineState& state, const PixelTarget& target) {
    ExtendedPrecisionScope precision;
    AdvanceRotation(state);  // every random draw of the frame, on this thread, first
    RenderPointsFast(state, target);
}

namespace {

FrameContext MakeContext(EngineState& state, const PixelTarget& target) {
    RenderTables& tables = state.Render->Tables();
    FrameContext f;
    f.W = state.GridWidth;
    f.H = state.GridHeight;
    f.pattern = (state.Pattern >= 1 && state.Pattern <= 14) ? state.Pattern : 0;
    f.fieldW = FieldWidthOf(state);
    f.fieldH = FieldHeightOf(state);
    f.column0 = state.FieldColumn;
    f.row0 = state.FieldRow;
    f.angles = {state.RotationAngle1, state.RotationAngle2, state.RotationAngle3,
                state.StartSine1,     state.StartSine2,     state.StartSine3};
    f.m = state.Matrix;
    f.state = &state;
    f.target = target;
    f.t = tables.Terms.get();
    f.sinOfLog015 = tables.SinOfLog015.get();
    f.grid = nullptr;
    f.colouring = ColouringOf(state.ColourScheme);
    return f;
}

// The column terms of columns 0..columns - 1 and the row terms of every row.
void MakeTerms(const FrameContext& f, int columns) {
    auto terms = [&f, columns](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            if (i < columns)
                LineTerms<0>(f, i);
            else
                LineTerms<1>(f, i - columns);
        }
    };
    EnginePool().ForEachChunk(columns + f.H, 32, terms);
}

}  // namespace

const FrameTerms& MakeFrameTerms(EngineState& state, int columns) {
    FrameContext f = MakeContext(state, {nullptr, 0});
    if (f.pattern != 0) MakeTerms(f, columns);
    return *f.t;
}

void RenderPointsFast(EngineState& state, const PixelTarget& target) {
    ExtendedPrecisionScope precision;
    const int W = state.GridWidth, H = state.GridHeight;
    if (W < 1 || H < 1) return;
    if (state.Render->Path() != EnginePath::X87 && RenderPointsVector(state, target)) return;

    RenderTables& tables = state.Render->Tables();
    if (state.Pattern == 9 && !tables.SinOfLog015)  // once, at pattern 9's first frame
        tables.SinOfLog015.reset(new (std::nothrow) ScaledLogSine(0.15L));
    FrameContext f = MakeContext(state, target);
    const int pattern = f.pattern;
    WorkerPool& pool = EnginePool();
    if (pattern != 0) {
        if ((pattern == 9 && !f.sinOfLog015) || !PrepareGrid(tables, f)) {
            // No memory for the tables: this frame point by point, as written.
            for (int row = 0; row < H; ++row)
                for (int col = 0; col < W; ++col) {
                    RotatePoint(state, row, col);
                    PatternValues(state, row, col);
                    state.PixelColour = PointColour(state.PointValue1, state.PointValue2,
                                                    state.PointValue3, state.ColourScheme);
                    target.pixels[static_cast<long>(row) * target.stride + col] = state.PixelColour;
                }
            return;
        }
        f.grid = tables.FastGrid.Values.get();
        MakeTerms(f, W);
    }
    const RowsFunction rows = PatternRows[pattern];
    auto points = [&f, rows](int begin, int end) { rows(f, begin, end); };
    pool.ForEachChunk(H, RowGrain(H, pool.ThreadCount()), points);

    // Leave the point scratch as the straightforward frame does: the last point's values.
    LeaveLastPoint(state);
}

void LeaveLastPoint(EngineState& state) {
    const int H = state.GridHeight, W = state.GridWidth;
    RotatePoint(state, H - 1, W - 1);
    PatternValues(state, H - 1, W - 1);
    state.PixelColour =
        PointColour(state.PointValue1, state.PointValue2, state.PointValue3, state.ColourScheme);
}

}  // namespace lumora
