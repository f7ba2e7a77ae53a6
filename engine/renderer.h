// Lumora renderer: what the fast frames of one engine state keep from one frame to the next.
//
// Every EngineState owns one (EngineState::Render), made with the state and ended with it: the
// per-frame tables, the per-grid tables of the grid piece last rendered, the planes in double,
// the path its frames take and the points they counted. Nothing of it is shared with another
// state or kept anywhere else, so a frame's pixels never depend on what any other state rendered
// before it, and a fresh state renders exactly as one that has rendered for hours. How many
// fields are kept ready is the caller's choice: one state each.
//
// Paths: AVX-512 (8 points at once) or AVX2 with FMA (4) in double with proven bounds
// (engine/vector_frame.h), or the 80-bit fast frame (engine/fast_frame.h); a new renderer takes
// the fastest the processor and the system offer. SetPath forces one (tests, lumora-render
// --path).
//
// Memory: the per-frame tables (under 1 MB) are made with the renderer; the per-grid ones and the
// double planes when the grid, the pattern or the field changes, and then reused, so a frame
// allocates nothing. Like the state, a renderer is used by one thread at a time.
#pragma once

#include <memory>

namespace lumora {

enum class EnginePath { X87, Avx2, Avx512 };

// "x87", "avx2", "avx512".
const char* EnginePathName(EnginePath path);
// Whether the processor and the system can run the path (X87 always).
bool EnginePathAvailable(EnginePath path);
// The fastest available path.
EnginePath FastestEnginePath();

// Points the vector path coloured, and of those the ones recomputed straightforwardly.
struct VectorCounts {
    long long points = 0, fallbacks = 0;
};

// For tests: every bound multiplied by boundScale before the colouring (a larger bound may only
// add fallbacks, never change a pixel); with record set (width * height * 6 doubles), each point's
// three double values and their bounds, in that order, row by row.
struct VectorTestHooks {
    double boundScale = 1.0;
    double* record = nullptr;
};

struct RenderTables;  // engine/render_tables.h: the frames' own

class Renderer {
public:
    Renderer();  // throws std::bad_alloc, as the planes do
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    EnginePath Path() const { return path_; }
    // Makes `path` the one frames take; false, changing nothing, where it is not available.
    bool SetPath(EnginePath path);

    VectorCounts Counts() const { return counts_; }
    void ResetCounts() { counts_ = {}; }
    void AddCounts(long long points, long long fallbacks) {
        counts_.points += points;
        counts_.fallbacks += fallbacks;
    }

    const VectorTestHooks& TestHooks() const { return hooks_; }
    void SetTestHooks(const VectorTestHooks& hooks) { hooks_ = hooks; }

    // A field generation wrote the planes: their double copies are made again before use.
    void PlanesWritten();

    RenderTables& Tables() { return *tables_; }

private:
    EnginePath path_;
    VectorCounts counts_;
    VectorTestHooks hooks_;
    std::unique_ptr<RenderTables> tables_;
};

}  // namespace lumora
