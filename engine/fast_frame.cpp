#include "engine/fast_frame.h"

#include <cmath>
#include <memory>
#include <new>

#include "engine/constants.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/hue_colours.h"
#include "engine/pattern_terms.h"
#include "engine/point.h"
#include "engine/vector_frame.h"
#include "engine/worker_pool.h"

namespace lumora {
namespace {

using constants::Pi;
using constants::SixthPi;

using FrameTables = FrameTerms;

// Terms that depend on the point but not on the frame, for the pattern and grid they were made
// for; Stride values per point, row by row.
struct GridTables {
    int Pattern = 0, Width = -1, Height = -1;
    int FieldWidth = 0, FieldHeight = 0, FieldColumn = 0, FieldRow = 0;  // the piece they are for
    int Stride = 0;
    size_t Capacity = 0;
    std::unique_ptr<long double[]> Values;  // not zero-filled: the workers touch it first
};

// The tables of the fast frame, made once; the engine runs on one thread, so one set serves.
class FastEngine {
public:
    FastEngine()
        : frame_(std::make_unique<FrameTables>()),
          sinOfLog015_(std::make_unique<ScaledLogSine>(0.15L)) {
        InitFastMath();
    }
    FrameTables& Frame() { return *frame_; }
    GridTables& Grid() { return grid_; }
    const ScaledLogSine& SinOfLog015() const { return *sinOfLog015_; }

private:
    std::unique_ptr<FrameTables> frame_;
    std::unique_ptr<ScaledLogSine> sinOfLog015_;  // sin(ln(x) * 0.15), pattern 9
    GridTables grid_;
};

FastEngine& Engine() {
    static FastEngine engine;
    return engine;
}

// The straightforward coordinates, in the same operations and order.
inline long double Fraction(int index, int count) {
    return static_cast<long double>(index) / static_cast<long double>(count);
}
inline long double DoubleFraction(int index, int count) {
    return static_cast<long double>(2 * index) / static_cast<long double>(count);
}
inline long double Centred(int index, int count) { return (Fraction(index, count) - 0.5L) * 2.0L; }
inline long double Square(long double z) { return z * z; }
inline long double SineSquared(long double z) { return Square(std::sin(z)); }

// Everything a point needs, fixed for the frame.
struct FrameContext {
    int W, H, pattern;
    // The field the grid is a piece of (engine.h): the coordinates' size and the piece's origin.
    int fieldW, fieldH, column0, row0;
    long double a1, a2, a3, s1, s2, s3;
    RotationMatrix m;
    const EngineState* state;
    PixelTarget target;
    FrameTables* t;
    const ScaledLogSine* sinOfLog015;
    const long double* grid;  // the per-grid table, for patterns 4, 8 and 10
    // Colouring: 0, 1, 2, 3 or 4 for the hue schemes, whose factors are k/255 (1 for 255).
    int schemeKind;
    long double hue[3];
};

// ---- Per-frame tables ----------------------------------------------------------------------
// Slot 0 holds the coordinate (u of the column, v of the row); the others hold the pattern's
// column-only or row-only terms. A term meant for the addition formula is stored as its sine
// followed by its cosine.

void ColumnTerms(const FrameContext& f, int col) {
    long double* C[FrameTermSlots];
    for (int k = 0; k < FrameTermSlots; ++k) C[k] = &f.t->Column[k][col];
    const long double a1 = f.a1, a2 = f.a2, a3 = f.a3;
    const long double u = PatternCoordinate(f.pattern, f.column0 + col, f.fieldW);
    *C[0] = u;
    switch (f.pattern) {
        case 1: *C[1] = std::sin(u / 2.0L + a1); break;
        case 2:
        case 7:
            *C[1] = SineSquared(u + a1 + a2);
            FastSinCos(u, *C[2], *C[3]);
            if (f.pattern == 7) *C[4] = std::sin(u);
            break;
        case 3:
        case 11:
        case 13: {
            FastSinCos(std::sin(u - a3) + (u + a1), *C[1], *C[2]);
            FastSinCos(std::sin(u - a1), *C[3], *C[4]);
            FastSinCos(std::sin(u - a2) + u, *C[5], *C[6]);
            break;
        }
        case 4: *C[1] = u + a1; break;
        case 5:
            *C[1] = SineSquared(u + f.s1 + f.s2);
            FastSinCos(u, *C[2], *C[3]);
            break;
        case 6:
            *C[1] = SineSquared(u + a1 + a2);
            FastSinCos(u, *C[2], *C[3]);
            *C[4] = std::sin(u);
            break;
        case 8:
            *C[1] = std::cos(u);
            *C[2] = std::sin(a1 * u + a3) + f.s1;
            break;
        case 9: *C[1] = std::cos(u + a1); break;
        case 10:
            *C[1] = SineSquared(u + a1);
            *C[2] = std::fabs(u);
            break;
        case 12:
            *C[1] = std::fabs(std::sin(u + a2));
            *C[2] = std::fabs(u);
            FastSinCos(u, *C[3], *C[4]);
            break;
        case 14:
            FastSinCos((u + a1) + (u - a3), *C[1], *C[2]);
            FastSinCos(u - a1, *C[3], *C[4]);
            FastSinCos(u + (u - a2), *C[5], *C[6]);
            break;
    }
}

void RowTerms(const FrameContext& f, int row) {
    long double* R[FrameTermSlots];
    for (int k = 0; k < FrameTermSlots; ++k) R[k] = &f.t->Row[k][row];
    const long double a1 = f.a1, a2 = f.a2, a3 = f.a3;
    // v follows the same rules as u, over the rows.
    const long double v = PatternCoordinate(f.pattern, f.row0 + row, f.fieldH);
    *R[0] = v;
    switch (f.pattern) {
        case 1: *R[1] = std::sin(v / 2.0L + a2); break;
        case 2:
            *R[1] = SineSquared(v + a3 + a1);
            FastSinCos(v - a2, *R[2], *R[3]);
            break;
        case 3:
        case 13: {
            const long double sv = std::sin(v);
            FastSinCos(sv, *R[1], *R[2]);
            FastSinCos((v + a2) + sv, *R[3], *R[4]);
            FastSinCos((v + a3) + sv, *R[5], *R[6]);
            break;
        }
        case 4: *R[1] = v + a2; break;
        case 5:
            *R[1] = SineSquared(v + f.s3 + f.s2);
            FastSinCos((v + f.s1) + f.s3, *R[2], *R[3]);
            break;
        case 6:
        case 7:
            *R[1] = SineSquared(v + a3 + a1);
            FastSinCos(v - (f.pattern == 6 ? a3 : a2), *R[2], *R[3]);
            *R[4] = std::sin(v);
            break;
        case 8:
            *R[1] = std::sin(v);
            *R[2] = std::cos(v);
            *R[3] = std::cos(a2 * v + a1) + f.s2;
            break;
        case 9: *R[1] = std::sin(v + a2); break;
        case 10:
            *R[1] = SineSquared(v + a2);
            *R[2] = std::fabs(v);
            break;
        case 11:
            FastSinCos(v, *R[1], *R[2]);
            FastSinCos((v + a2) + v, *R[3], *R[4]);
            FastSinCos((v + a3) + v, *R[5], *R[6]);
            break;
        case 12:
            *R[1] = std::fabs(std::sin(v + a3));
            *R[2] = std::fabs(v);
            FastSinCos(v - a1, *R[3], *R[4]);
            break;
        case 14:
            FastSinCos(v, *R[1], *R[2]);
            FastSinCos((v + a2) + v, *R[3], *R[4]);
            FastSinCos((v + a3) + v, *R[5], *R[6]);
            break;
    }
}

// ---- Per-grid tables -------------------------------------------------------------------------

int GridStride(int pattern) {
    switch (pattern) {
        case 4: return 1;   // w
        case 8: return 2;   // sin w, cos w
        case 10: return 2;  // |w|, (w + u) + v
        default: return 0;
    }
}

// One grid row of a piece `columns` wide whose first column is the field's column0.
void GridRow(int pattern, int columns, int column0, int W, int H, int row, long double* out) {
    const int stride = GridStride(pattern);
    for (int local = 0; local < columns; ++local)
        GridPoint(pattern, column0 + local, row, W, H, out + stride * local);
}

// Makes the per-grid tables for this pattern and grid unless they are already there. The memory
// is sized to the grid when the grid changes (a still for export needs far more than the live
// view, and is not kept afterwards). False when the memory cannot be had.
bool PrepareGrid(FastEngine& engine, const FrameContext& f) {
    GridTables& g = engine.Grid();
    const int pattern = f.pattern, W = f.W, H = f.H;
    const int stride = GridStride(pattern);
    if (stride == 0 || (g.Pattern == pattern && g.Width == W && g.Height == H &&
                        g.FieldWidth == f.fieldW && g.FieldHeight == f.fieldH &&
                        g.FieldColumn == f.column0 && g.FieldRow == f.row0))
        return true;
    const size_t need = static_cast<size_t>(W) * static_cast<size_t>(H) * stride;
    if (g.Capacity < need || g.Capacity / 4 > need) {
        g.Values.reset();
        g.Capacity = 0;
        g.Pattern = 0;
        g.Values.reset(new (std::nothrow) long double[need]);
        if (!g.Values) return false;
        g.Capacity = need;
    }
    g.Pattern = pattern;
    g.Width = W;
    g.Height = H;
    g.Stride = stride;
    g.FieldWidth = f.fieldW;
    g.FieldHeight = f.fieldH;
    g.FieldColumn = f.column0;
    g.FieldRow = f.row0;
    long double* values = g.Values.get();
    auto job = [&](int begin, int end) {
        for (int row = begin; row < end; ++row)
            GridRow(pattern, W, f.column0, f.fieldW, f.fieldH, f.row0 + row,
                    values + static_cast<size_t>(row) * W * stride);
    };
    EnginePool().ForEachChunk(H, 4, job);
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

inline void Lift(long double& v) {
    if (v < 0.5L) {
        const long double gap = 1.52L - v;
        v = v / (gap * gap);
    }
}

inline uint32_t Colour(const FrameContext& f, long double v1, long double v2, long double v3) {
    v1 = FoldValue(v1);
    v2 = FoldValue(v2);
    v3 = FoldValue(v3);
    long double R, G, B;
    switch (f.schemeKind) {
        case 1: R = v1 * v3; G = v2 * v1; B = v3 * v2; break;
        case 2: R = v1 * v2; G = v2 * v3; B = v3; break;
        case 3:
            Lift(v1);
            Lift(v2);
            Lift(v3);
            R = v1; G = v2; B = v3;
            break;
        case 4: {
            long double m = v1;
            if (v2 > m) m = v2;
            if (v3 > m) m = v3;
            R = m * f.hue[0];
            G = m * f.hue[1];
            B = m * f.hue[2];
            break;
        }
        default: R = v1; G = v2; B = v3; break;
    }
    return 0xFF000000u + ChannelByte(R) * 65536u + ChannelByte(G) * 256u + ChannelByte(B);
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
    long double SinOfSum(int s, int r) const {
        return lumora::SinOfSum(Col(s), Col(s + 1), Row(r), Row(r + 1));
    }
    long double SinOfGridPlusA3() const { return FastSin(Grid(1) + f.a3); }
    static long double Square(long double x) { return x * x; }
    static long double Sqrt(long double x) { return std::sqrt(x); }
    static long double Abs(long double x) { return std::fabs(x); }
    static long double Fifth(long double x) { return x / 5.0L; }
    static long double Sin(long double x) { return FastSin(x); }
    static long double Log(long double x) { return FastLog(x); }
    static long double AtMostOne(long double x) { return x > 1.0L ? 1.0L : x; }
    static long double Hundredth() { return 0.01L; }
    static long double Half() { return 0.5L; }
    long double A3() const { return f.a3; }
};

template <int P>
inline void PointValues(const FrameContext& f, int row, int col, long double& V1, long double& V2,
                        long double& V3) {
    PatternTerms<P>(PointTerms{f, row, col, GridStride(P)}, V1, V2, V3);
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
// registers): the logarithms' arguments of the three steps, then the sines of their scaled
// logarithms, then the colours: V_k = |sin(ln(u_k^2 v_k^2 + 0.0001) * 0.15)|, the logarithm
// folded into the sine (ScaledLogSine).
template <>
void PointRows<9>(const FrameContext& f, int begin, int end) {
    constexpr int Block = 64;
    long double arguments[3][Block];
    const ScaledLogSine& sinOfLog = *f.sinOfLog015;
    const FrameTables& t = *f.t;
    for (int row = begin; row < end; ++row) {
        uint32_t* line = f.target.pixels + static_cast<long>(row) * f.target.stride;
        const long double v = t.Row[0][row], g2 = t.Row[1][row];
        for (int first = 0; first < f.W; first += Block) {
            const int count = f.W - first < Block ? f.W - first : Block;
            for (int i = 0; i < count; ++i) {
                const long double g1 = t.Column[1][first + i];
                long double uk = t.Column[0][first + i], vk = v;
                for (int k = 0; k < 3; ++k) {
                    const long double un = (uk * uk - vk * vk) * g1;
                    const long double vn = uk * vk + g2;
                    arguments[k][i] = Square(un) * Square(vn) + 0.0001L;
                    uk = un;
                    vk = vn;
                }
            }
            for (int k = 0; k < 3; ++k)
                for (int i = 0; i < count; ++i) arguments[k][i] = std::fabs(sinOfLog(arguments[k][i]));
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
    RotatedRows,    PointRows<1>,  PointRows<2>,  PointRows<3>,  PointRows<4>,
    PointRows<5>,   PointRows<6>,  PointRows<7>,  PointRows<8>,  PointRows<9>,
    PointRows<10>,  PointRows<11>, PointRows<12>, PointRows<13>, PointRows<14>,
};

void SetUpColouring(FrameContext& f, int scheme) {
    if (scheme < 0 || scheme > LastHueScheme) scheme = 0;
    f.schemeKind = scheme < FirstHueScheme ? scheme : 4;
    f.hue[0] = f.hue[1] = f.hue[2] = 0.0L;
    if (scheme >= FirstHueScheme) {
        const Hue& hue = HueColours[scheme - FirstHueScheme];
        f.hue[0] = HueFactor(hue.r);
        f.hue[1] = HueFactor(hue.g);
        f.hue[2] = HueFactor(hue.b);
    }
}

// Rows per chunk: small enough that two threads end together, large enough to keep the
// hand-out cheap.
int RowGrain(int rows, int threads) {
    const int chunks = threads * 16;
    const int grain = rows / chunks;
    return grain < 1 ? 1 : grain;
}

}  // namespace

void GridPoint(int pattern, int col, int row, int W, int H, long double* out) {
    switch (pattern) {
        case 4:
            out[0] = std::log(Square(Fraction(col, W) - 0.5L) + Square(Fraction(row, H) - 0.5L) +
                              0.01L) *
                     0.5L;
            break;
        case 8: {
            const long double u = Fraction(col, W) / 2.0L;
            const long double v = Fraction(row, H) / 2.0L;
            const long double w = std::log(u * u + v * v + 0.1L);
            FastSinCos(w, out[0], out[1]);
            break;
        }
        case 10: {
            const long double u = 1.0L - (1.0L - DoubleFraction(col, W));
            const long double v = 1.0L - (1.0L - DoubleFraction(row, H));
            const long double w = std::log(Square(Centred(col, W)) + Square(Centred(row, H)) + 0.01L);
            out[0] = std::fabs(w);
            out[1] = w + u + v;
            break;
        }
    }
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
    FastEngine& engine = Engine();
    FrameContext f;
    f.W = state.GridWidth;
    f.H = state.GridHeight;
    f.pattern = (state.Pattern >= 1 && state.Pattern <= 14) ? state.Pattern : 0;
    f.fieldW = FieldWidthOf(state);
    f.fieldH = FieldHeightOf(state);
    f.column0 = state.FieldColumn;
    f.row0 = state.FieldRow;
    f.a1 = state.RotationAngle1;
    f.a2 = state.RotationAngle2;
    f.a3 = state.RotationAngle3;
    f.s1 = state.StartSine1;
    f.s2 = state.StartSine2;
    f.s3 = state.StartSine3;
    f.m = state.Matrix;
    f.state = &state;
    f.target = target;
    f.t = &engine.Frame();
    f.sinOfLog015 = &engine.SinOfLog015();
    f.grid = nullptr;
    SetUpColouring(f, state.ColourScheme);
    return f;
}

// The column terms of columns 0..columns - 1 and the row terms of every row.
void MakeTerms(const FrameContext& f, int columns) {
    auto terms = [&f, columns](int begin, int end) {
        for (int i = begin; i < end; ++i) {
            if (i < columns) ColumnTerms(f, i);
            else RowTerms(f, i - columns);
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
    if (ActiveEnginePath() != EnginePath::X87 && RenderPointsVector(state, target)) return;

    FastEngine& engine = Engine();
    FrameContext f = MakeContext(state, target);
    const int pattern = f.pattern;
    WorkerPool& pool = EnginePool();
    if (pattern != 0) {
        if (!PrepareGrid(engine, f)) {
            // No memory for the grid's tables: this frame point by point, as written.
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
        f.grid = engine.Grid().Values.get();
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
