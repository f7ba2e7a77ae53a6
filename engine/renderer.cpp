#include "engine/renderer.h"

#include "engine/processor.h"
#include "engine/render_tables.h"

namespace lumora {

const char* EnginePathName(EnginePath path) {
    switch (path) {
        case EnginePath::Avx512: return "avx512";
        case EnginePath::Avx2: return "avx2";
        default: return "x87";
    }
}

bool EnginePathAvailable(EnginePath path) {
    if (path == EnginePath::X87) return true;
    const ProcessorFeatures f = DetectProcessorFeatures();
    return (path == EnginePath::Avx2 && f.avx2) || (path == EnginePath::Avx512 && f.avx512);
}

EnginePath FastestEnginePath() {
    const ProcessorFeatures f = DetectProcessorFeatures();
    return f.avx512 ? EnginePath::Avx512 : f.avx2 ? EnginePath::Avx2 : EnginePath::X87;
}

Renderer::Renderer() : path_(FastestEnginePath()), tables_(std::make_unique<RenderTables>()) {}

Renderer::~Renderer() = default;

bool Renderer::SetPath(EnginePath path) {
    if (!EnginePathAvailable(path)) return false;
    path_ = path;
    return true;
}

void Renderer::PlanesWritten() {
    tables_->DoublePlanes.Piece = {};
    tables_->PlanesGenerated = true;
}

}  // namespace lumora
