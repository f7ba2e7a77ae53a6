// The vector frame's dispatch, its tables in double with their bounds, and the fallback.
//
// Table slots (the fast frame's terms, MakeFrameTerms; S,C = a sine and its cosine for the
// addition formula, bounded by sinSumBound; every other slot is the 80-bit term rounded once,
// its bound the exact distance and KernelSlotAbs):
//   1   col u, sin(u/2 + a1)                    row v, sin(v/2 + a2)
//   2   col u, sin^2(u + a1 + a2), S,C(u)        row v, sin^2(v + a3 + a1), S,C(v - a2)
//   3,11,13 col S,C of sin(u - a3) + (u + a1), of sin(u - a1), of sin(u - a2) + u
//       row (3, 13) S,C of sin v, of (v + a2) + sin v, of (v + a3) + sin v; (11) the same with v
//   4   col u, u + a1                            row v, v + a2;     grid w
//   5   col u, sin^2(u + s1 + s2), S,C(u)        row v, sin^2(v + s3 + s2), S,C((v + s1) + s3)
//   6,7 col u, sin^2(u + a1 + a2), S,C(u), sin u row v, sin^2(v + a3 + a1), S,C(v - a3 | a2), sin v
//   8   col u, cos u, sin(a1 u + a3) + s1        row v, sin v, cos v, cos(a2 v + a1) + s2;
//       grid sin w, cos w
//   9   col u, cos(u + a1)                       row v, sin(v + a2)
//   10  col u, sin^2(u + a1), |u|                row v, sin^2(v + a2), |v|;  grid |w|, S,C(G)
//   12  col u, |sin(u + a2)|, |u|, S,C(u)        row v, |sin(v + a3)|, |v|, S,C(v - a1)
//   14  col S,C of (u + a1) + (u - a3), of u - a1, of u + (u - a2)   row as 11
#include "engine/vector_frame.h"

#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <new>

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

#include "engine/fast_frame.h"
#include "engine/fast_math.h"
#include "engine/fpu_guard.h"
#include "engine/grid_table.h"
#include "engine/colouring.h"
#include "engine/point.h"
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

// ---- Dispatch --------------------------------------------------------------------------------

struct Features {
    bool avx2 = false, avx512 = false;
};

#if defined(__i386__) || defined(__x86_64__)
uint64_t ReadXcr0() {
    uint32_t low, high;
    __asm__ __volatile__("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<uint64_t>(high) << 32) | low;
}

Features Detect() {
    Features f;
    unsigned a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return f;
    const bool osxsave = c & (1u << 27), avx = c & (1u << 28), fma = c & (1u << 12);
    if (!osxsave || !avx || !fma) return f;
    const uint64_t xcr0 = ReadXcr0();
    if ((xcr0 & 0x6) != 0x6) return f;  // the system saves the SSE and AVX registers
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return f;
    f.avx2 = b & (1u << 5);
    // AVX-512 F, DQ and VL, and the system saves the mask and upper ZMM registers.
    f.avx512 = f.avx2 && (b & (1u << 16)) && (b & (1u << 17)) && (b & (1u << 31)) &&
               (xcr0 & 0xE0) == 0xE0;
    return f;
}
#else
Features Detect() { return {}; }
#endif

const Features& ProcessorFeatures() {
    static const Features features = Detect();
    return features;
}

EnginePath BestPath() {
    const Features& f = ProcessorFeatures();
    return f.avx512 ? EnginePath::Avx512 : f.avx2 ? EnginePath::Avx2 : EnginePath::X87;
}

std::atomic<EnginePath>& Active() {
    static std::atomic<EnginePath> path{BestPath()};
    return path;
}

std::atomic<long long> countedPoints{0}, countedFallbacks{0};
VectorTestHooks testHooks;

// ---- Tables ----------------------------------------------------------------------------------

// The per-frame tables in double and the per-grid ones, made once and reused.
// Slot k of column c at Column[k * paddedWidth + c], of row r at Row[k * height + r].
struct Tables {
    double Column[vector::TableSlots * FrameTermColumns];
    double ColumnE[vector::TableSlots * FrameTermColumns];
    double Row[vector::TableSlots * MaxGridRows];
    double RowE[vector::TableSlots * MaxGridRows];
};

// The per-grid tables and the double planes are kept for each of the last few engine states
// rendered: a cross-fade renders two fields every frame, and each monitor its own field, which
// would otherwise make them anew at every frame. A state beyond those takes the slot used
// longest ago; a state rendered again at another grid (a still) makes its own slot anew.
constexpr int KeptStates = 4;

// The per-grid tables of patterns 4, 8 and 10 for one state.
struct GridTables {
    const EngineState* State = nullptr;
    uint64_t Used = 0;
    GridTable<double> Table;
};

// Double copies of the planes, for the field generation (FieldSerial) and grid they were made of.
struct DoublePlanes {
    const EngineState* State = nullptr;
    uint64_t Used = 0;
    uint64_t Serial = 0;
    GridTable<double> Table;  // X, then Y, then Z: paddedWidth x Height each
};

// The state's own slot, or the one used longest ago, emptied for it.
template <class Slot>
Slot& SlotOf(std::array<Slot, KeptStates>& slots, const EngineState& state) {
    static uint64_t uses = 0;
    Slot* chosen = nullptr;
    Slot* oldest = &slots[0];
    for (Slot& slot : slots) {
        if (slot.State == &state) {
            chosen = &slot;
            break;
        }
        if (slot.Used < oldest->Used) oldest = &slot;
    }
    if (!chosen) {
        chosen = oldest;
        chosen->State = &state;
        chosen->Table.Piece = {};
    }
    chosen->Used = ++uses;
    return *chosen;
}

DoublePlanes& Planes(const EngineState& state) {
    static std::array<DoublePlanes, KeptStates> planes;
    return SlotOf(planes, state);
}

Tables& FrameTables() {
    static const std::unique_ptr<Tables> tables = std::make_unique<Tables>();
    return *tables;
}
GridTable<double>& Grid(const EngineState& state) {
    static std::array<GridTables, KeptStates> grids;
    return SlotOf(grids, state).Table;
}

// The double nearest x, and the exact distance between the two. The rounding goes through memory:
// the 32-bit build may otherwise take the distance from the wider x87 register.
inline void Split(long double x, double& value, double& error) {
    const volatile double rounded = static_cast<double>(x);
    value = rounded;
    error = static_cast<double>(std::fabs(x - static_cast<long double>(value)));
}

int Padded(int width) { return (width + vector::MaxLanes - 1) / vector::MaxLanes * vector::MaxLanes; }

// The state's per-grid tables (none for the other patterns: grid stays null); false when the
// memory cannot be had.
bool PrepareGrid(const EngineState& state, int paddedWidth, const double*& grid) {
    const int pattern = state.Pattern, W = state.GridWidth, H = state.GridHeight;
    grid = nullptr;
    if (pattern != 4 && pattern != 8 && pattern != 10) return true;
    GridTable<double>& g = Grid(state);
    const int fieldW = FieldWidthOf(state), fieldH = FieldHeightOf(state);
    const GridPiece piece = PieceOf(state);
    grid = g.Values.get();
    if (g.Piece == piece) return true;
    if (!g.Reserve(static_cast<size_t>(paddedWidth) * H * vector::GridSlots)) return false;
    grid = g.Values.get();
    double* values = g.Values.get();
    const size_t plane = static_cast<size_t>(paddedWidth) * H;
    auto job = [&](int begin, int end) {
        for (int row = begin; row < end; ++row)
            for (int col = 0; col < paddedWidth; ++col) {
                long double t[3] = {0, 0, 0};
                if (col < W)
                    GridPoint(pattern, state.FieldColumn + col, state.FieldRow + row, fieldW, fieldH, t);
                if (pattern == 10) FastSinCos(t[1], t[1], t[2]);  // G's sine and cosine
                const size_t i = static_cast<size_t>(row) * paddedWidth + col;
                for (int k = 0; k < vector::GridSlots; ++k) values[k * plane + i] = static_cast<double>(t[k]);
            }
    };
    EnginePool().ForEachChunk(H, 4, job);
    g.Piece = piece;
    return true;
}

// The planes in double, made once per field generation; null where the planes were never generated
// (or no memory): then the frame converts them as it goes.
const double* PlanesInDouble(const EngineState& state, int paddedWidth) {
    const int W = state.GridWidth, H = state.GridHeight;
    if (state.FieldSerial == 0) return nullptr;
    DoublePlanes& d = Planes(state);
    const GridPiece piece = PieceOf(state);
    if (d.Serial == state.FieldSerial && d.Table.Piece == piece) return d.Table.Values.get();
    const size_t plane = static_cast<size_t>(paddedWidth) * H;
    if (!d.Table.Reserve(3 * plane)) return nullptr;
    double* values = d.Table.Values.get();
    auto job = [&](int begin, int end) {
        for (int row = begin; row < end; ++row) {
            const long double* planes[3] = {state.PlaneX[row], state.PlaneY[row], state.PlaneZ[row]};
            for (int k = 0; k < 3; ++k) {
                double* out = values + k * plane + static_cast<size_t>(row) * paddedWidth;
                for (int col = 0; col < paddedWidth; ++col)
                    out[col] = col < W ? static_cast<double>(planes[k][col]) : 0.0;
            }
        }
    };
    EnginePool().ForEachChunk(H, 8, job);
    d.Serial = state.FieldSerial;
    d.Table.Piece = piece;
    return values;
}

// The table slots a pattern reads (the list at the top).
int SlotsOf(int pattern) {
    switch (pattern) {
        case 1: case 4: case 9: return 2;
        case 10: return 3;
        case 2: case 5: case 8: return 4;
        case 6: case 7: case 12: return 5;
        default: return vector::TableSlots;  // 3, 11, 13, 14
    }
}

// The 80-bit terms into double with their bounds.
void ConvertTerms(const FrameTerms& terms, int slots, int columns, int rows, Tables& t) {
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
    return static_cast<double>((4 * table + 3 * (0x1p-53L + 0x1p-64L) + 12 * 0x1p-64L * magnitude +
                                LibrarySinAbs) *
                               (1 + 0x1p-20L));
}

uint32_t Fallback(const void* context, int row, int col) {
    return StraightforwardPoint(*static_cast<const EngineState*>(context), row, col);
}

vector::RowsFunction RowsOf(EnginePath path) {
    return path == EnginePath::Avx512 ? vector::RowsAvx512 : vector::RowsAvx2;
}

}  // namespace

const char* EnginePathName(EnginePath path) {
    switch (path) {
        case EnginePath::Avx512: return "avx512";
        case EnginePath::Avx2: return "avx2";
        default: return "x87";
    }
}

bool EnginePathAvailable(EnginePath path) {
    const Features& f = ProcessorFeatures();
    return path == EnginePath::X87 || (path == EnginePath::Avx2 && f.avx2) ||
           (path == EnginePath::Avx512 && f.avx512);
}

EnginePath ActiveEnginePath() { return Active().load(); }

bool SetEnginePath(EnginePath path) {
    if (!EnginePathAvailable(path)) return false;
    Active().store(path);
    return true;
}

VectorCounts VectorFrameCounts() { return {countedPoints.load(), countedFallbacks.load()}; }

void ResetVectorFrameCounts() {
    countedPoints.store(0);
    countedFallbacks.store(0);
}

void SetVectorTestHooks(const VectorTestHooks& hooks) { testHooks = hooks; }

bool RenderPointsVector(EngineState& state, const PixelTarget& target) {
    const EnginePath path = ActiveEnginePath();
    if (path == EnginePath::X87) return false;
    const int W = state.GridWidth, H = state.GridHeight;
    const int pattern = (state.Pattern >= 1 && state.Pattern <= 14) ? state.Pattern : 0;
    const int paddedWidth = Padded(W);
    const double* grid = nullptr;
    if (pattern != 0 && !PrepareGrid(state, paddedWidth, grid)) return false;
    InitFastMath();

    Job j{};
    j.pattern = pattern;
    j.width = W;
    j.height = H;
    j.paddedWidth = paddedWidth;
    const Colouring colouring = ColouringOf(state.ColourScheme);
    j.schemeKind = colouring.kind;
    for (int k = 0; k < 3; ++k) j.hue[k] = static_cast<double>(colouring.hue[k]);
    Tables& t = FrameTables();
    j.col = t.Column;
    j.colE = t.ColumnE;
    j.row = t.Row;
    j.rowE = t.RowE;
    bool exact = true;  // false: the arguments may leave the range of the bounds
    if (pattern != 0) {
        const FrameTerms& terms = MakeFrameTerms(state, paddedWidth);
        ConvertTerms(terms, SlotsOf(pattern), paddedWidth, H, t);
        const int fieldW = FieldWidthOf(state), fieldH = FieldHeightOf(state);
        const long double u = std::fmax(std::fabs(PatternCoordinate(pattern, state.FieldColumn, fieldW)),
                                        std::fabs(PatternCoordinate(pattern, state.FieldColumn + W - 1, fieldW)));
        const long double v = std::fmax(std::fabs(PatternCoordinate(pattern, state.FieldRow, fieldH)),
                                        std::fabs(PatternCoordinate(pattern, state.FieldRow + H - 1, fieldH)));
        // every partial sum of an argument: two coordinates of each, the angles, the start sines or
        // inner sines (at most 1 each), |w| of pattern 10 (below 5)
        const long double magnitude = 2 * (u + v) + std::fabs(state.RotationAngle1) +
                                      std::fabs(state.RotationAngle2) + std::fabs(state.RotationAngle3) + 8;
        exact = magnitude <= ArgumentLimit;
        j.sinSumBound = SinSumBound(magnitude);
        j.grid = grid;
        j.gridAbs[0] = pattern == 8 ? static_cast<double>(TableAbs) : 0.0;
        j.gridAbs[1] = pattern == 8 ? static_cast<double>(TableAbs) : 0.0;
        j.gridAbs[2] = 0.0;
        long double sinA3, cosA3;
        FastSinCos(state.RotationAngle3, sinA3, cosA3);
        j.sinA3 = static_cast<double>(sinA3);
        j.cosA3 = static_cast<double>(cosA3);
    } else {
        if (const double* d = PlanesInDouble(state, paddedWidth)) {
            const size_t plane = static_cast<size_t>(paddedWidth) * H;
            j.doubleX = d;
            j.doubleY = d + plane;
            j.doubleZ = d + 2 * plane;
        }
        j.planeX = state.PlaneX[0];
        j.planeY = state.PlaneY[0];
        j.planeZ = state.PlaneZ[0];
        j.planeStride = state.PlaneX.Stride();
        const RotationMatrix& m = state.Matrix;
        const long double entries[9] = {m.M11, m.M12, m.M13, m.M21, m.M22, m.M23, m.M31, m.M32, m.M33};
        long double largest = 0;
        for (int k = 0; k < 9; ++k) {
            j.m[k] = static_cast<double>(entries[k]);
            largest = std::fmax(largest, std::fabs(entries[k]));
        }
        // Rounding the planes and the matrix to double (2 u relative), three operations in
        // double and five in 80 bits on either side, each at most its unit of the sum of
        // |x m1| + |y m2| + |z m3| <= largest * (|x| + |y| + |z|): below 8 u of that.
        j.rotationBound = static_cast<double>(8 * 0x1p-53L * largest * (1 + 0x1p-40L));
        exact = std::isfinite(j.rotationBound);
    }
    Split(0.0001L, j.c0001, j.e0001);
    Split(0.01L, j.c001, j.e001);
    Split(0.15L, j.c015, j.e015);
    // x / 5.0L as x * 0.2: the distance of 0.2 from 1/5, from its 80-bit value (within 2^-67)
    j.c02 = 0.2;
    j.e02 = static_cast<double>(std::fabs(static_cast<long double>(0.2) - 1.0L / 5.0L) * 1.0001L + 0x1p-66L);
    Split(state.RotationAngle3, j.a3, j.ea3);
    j.boundScale = testHooks.boundScale;
    j.record = testHooks.record;
    j.pixels = target.pixels;
    j.stride = target.stride;
    j.fallback = Fallback;
    j.fallbackContext = &state;

    const vector::RowsFunction rows = RowsOf(path);
    std::atomic<long long> fallbacks{0};
    auto points = [&](int begin, int end) {
        VectorRoundingScope rounding;
        long long n = 0;
        if (exact) {
            n = rows(j, begin, end);
        } else {
            for (int row = begin; row < end; ++row)
                for (int col = 0; col < W; ++col) {
                    target.pixels[static_cast<long>(row) * target.stride + col] = Fallback(&state, row, col);
                    ++n;
                }
        }
        fallbacks.fetch_add(n, std::memory_order_relaxed);
    };
    WorkerPool& pool = EnginePool();
    const int grain = H / (pool.ThreadCount() * 16);
    pool.ForEachChunk(H, grain < 1 ? 1 : grain, points);
    countedPoints.fetch_add(static_cast<long long>(W) * H);
    countedFallbacks.fetch_add(fallbacks.load());
    LeaveLastPoint(state);
    return true;
}

}  // namespace lumora
