// lumora-render: renders stills of the engine and measures it.
//
// A still: the pattern, scheme and speed; the angles and rates given or drawn with the seed; the
// frames before the last advance the rotation, and the last is the still of the requested size,
// up to 16384 a side, exactly the field of that size (engine/still.h). It is written as a PNG
// when the name ends in ".png", else as a BMP (GDI+'s encoders on Windows, libpng and a writer of
// our own elsewhere). Bad arguments: usage on stderr, status 2; --help and -h: usage on stdout,
// --version: the version, status 0. An output that cannot be written, or a still too large for
// the memory: the file and the reason, status 1, no partial file. An existing output is replaced
// only with --force. --bench prints "pattern field_ms frame_ms" and one line per pattern 1..25:
// the fast engine on --threads threads (default: the machine's), or with --reference the
// straightforward one; then "path NAME" (the engine's path, engine/vector_frame.h) and
// "fallbacks F of N points (SHARE)", the points the vector path recomputed in 80 bits. --path
// forces a path; one the processor cannot run: the reason, status 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "engine/domain.h"
#include "engine/engine.h"
#include "engine/fast_frame.h"
#include "engine/still.h"
#include "engine/vector_frame.h"
#include "platform/frame.h"
#include "platform/image_file.h"
#include "shell/frame_render.h"
#include "tools/bmp_file.h"
#include "tools/render_options.h"

#ifdef _WIN32
#include "platform/gdiplus.h"
#else
#include <sys/stat.h>

#include "tools/png_file.h"
#endif

namespace lumora::render {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void SetUpState(EngineState& state, const Options& options) {
    SetGridSize(state, options.width, options.height);
    state.Pattern = options.pattern;
    state.ColourScheme = options.scheme;
    state.Speed = options.speed;
    if (options.seed) {
        SeedRandom(*options.seed);
    } else {
        SeedRandomFromClock();
    }
    SeedAnimation(state);
    if (options.angles) {
        state.RotationAngle1 = (*options.angles)[0];
        state.RotationAngle2 = (*options.angles)[1];
        state.RotationAngle3 = (*options.angles)[2];
    }
    if (options.rates) {
        state.RotationRate1 = (*options.rates)[0];
        state.RotationRate2 = (*options.rates)[1];
        state.RotationRate3 = (*options.rates)[2];
    }
}

// Status 1, with the file and the reason.
int Fail(const std::string& out, const std::string& reason) {
    std::fprintf(stderr, "lumora-render: cannot write '%s': %s\n", out.c_str(), reason.c_str());
    return 1;
}

// The path asked for (the fastest here without --path); Run has checked that it is available.
EnginePath PathOf(const Options& options) {
    if (options.path.empty()) return FastestEnginePath();
    return options.path == "avx512" ? EnginePath::Avx512
           : options.path == "avx2" ? EnginePath::Avx2
                                    : EnginePath::X87;
}

// The frames before the last move the rotation on; the last one is the still: in pieces through
// the planes (engine/still.h), or with --reference straightforwardly on planes of its own size.
// False when the planes of that size cannot be had.
bool RenderInto(const Options& options, const PixelTarget& target) {
    std::unique_ptr<EngineState> state;
    try {
        state = options.reference ? std::make_unique<EngineState>(options.height, options.width)
                                  : std::make_unique<EngineState>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    state->Render->SetPath(PathOf(options));
    SetUpState(*state, options);
    SetGridSize(*state, 0, 0);
    for (int frame = 1; frame < options.frames; ++frame) RenderFrame(*state, {nullptr, 0});
    if (options.reference) {
        state->GridWidth = options.width;
        state->GridHeight = options.height;
        GeneratePatternFieldReference(*state);
        RenderFrameReference(*state, target);
    } else {
        StillRender(*state, options.width, options.height).RenderAll(target);
    }
    if (options.checksum)
        std::printf("checksum %016llx\n",
                    static_cast<unsigned long long>(FrameChecksum(target.pixels, options.width,
                                                                  options.height, target.stride)));
    return true;
}

#ifdef _WIN32
std::wstring Widen(const std::string& utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    return wide;
}

std::string Narrow(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), n, nullptr, nullptr);
    return utf8;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The still is rendered into a frame of its own and written with GDI+'s BMP or PNG encoder by
// way of a temporary file that replaces the target only when it is complete.
int RenderStill(const Options& options) {
    const std::string& out = options.out;
    if (!out.empty() && !options.force && PathExists(out)) return Fail(out, ExistsReason);
    const bool png = IsPngName(out);
    CLSID encoder{};
    if (!out.empty() && platform::FindImageEncoder(png ? "image/png" : "image/bmp", encoder) < 0)
        return Fail(out, png ? "no PNG encoder in GDI+" : "no BMP encoder in GDI+");
    platform::Frame still(options.width, options.height);
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    if (still.empty()) return Fail(out, "not enough memory for a still of " + size);
    if (!RenderInto(options, TargetOf(still)))
        return Fail(out, "not enough memory for the planes of a still of " + size);
    if (out.empty()) return 0;
    const platform::Outcome saved =
        platform::SaveImageFile(still.view(), Widen(out), encoder, options.force);
    if (!saved)
        return Fail(out, saved.kind() == platform::FailureKind::FileExists
                             ? ExistsReason
                             : Narrow(saved.reason().c_str()));
    return 0;
}
#else
bool PathExists(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

int RenderStill(const Options& options) {
    const std::string& out = options.out;
    if (!out.empty() && !options.force && PathExists(out)) return Fail(out, ExistsReason);
    const std::string size = std::to_string(options.width) + "x" + std::to_string(options.height);
    auto still = std::make_unique<platform::Frame>(options.width, options.height);
    if (still->empty()) return Fail(out, "not enough memory for a still of " + size);
    if (!RenderInto(options, TargetOf(*still)))
        return Fail(out, "not enough memory for the planes of a still of " + size);
    if (out.empty()) return 0;
    const bool png = IsPngName(out);
    const std::vector<uint8_t> bytes =
        png ? EncodePng(still->pixels(), still->width(), still->height(), still->stride())
            : EncodeBmp(still->pixels(), still->width(), still->height(), still->stride());
    still.reset();
    if (bytes.empty())
        return Fail(out, png ? "the PNG encoder failed" : "too large for a BMP file");
    const platform::NarrowOutcome written =
        platform::WriteFileAtomically(out, bytes, options.force);
    if (!written)
        return Fail(out, written.kind() == platform::FailureKind::FileExists ? ExistsReason
                                                                             : written.reason());
    return 0;
}
#endif

int Bench(const Options& options) {
    auto state = std::make_unique<EngineState>();
    state->Render->SetPath(PathOf(options));
    if (options.threads) SetFastThreadCount(options.threads);
    const auto field = options.reference ? GeneratePatternFieldReference : GeneratePatternField;
    const auto render = options.reference ? RenderFrameReference : RenderFrame;
    platform::Frame frame(options.width,
                          options.height);  // the saver's own path: frames into a frame
    std::printf("pattern field_ms frame_ms\n");
    for (int pattern = FirstPattern; pattern <= LastPattern; ++pattern) {
        Options still = options;
        still.pattern = pattern;
        still.scheme = 0;
        still.seed = 1;
        SetUpState(*state, still);
        const auto fieldStart = Clock::now();
        field(*state);
        const double fieldMs = MillisecondsSince(fieldStart);
        std::vector<double> frameMs;
        for (int i = 0; i < options.frames; ++i) {
            const auto start = Clock::now();
            render(*state, TargetOf(frame));
            frameMs.push_back(MillisecondsSince(start));
        }
        std::printf("%d %.3f %.3f\n", pattern, fieldMs, Median(frameMs));
        std::fflush(stdout);
    }
    // The path the frames took, and the share of points the vector path recomputed in 80 bits.
    const VectorCounts counts = state->Render->Counts();
    std::printf("path %s\n",
                options.reference ? "straightforward" : EnginePathName(state->Render->Path()));
    std::printf("fallbacks %lld of %lld points (%.3g)\n", counts.fallbacks, counts.points,
                counts.points
                    ? static_cast<double>(counts.fallbacks) / static_cast<double>(counts.points)
                    : 0.0);
    return 0;
}

int Run(const std::vector<std::string>& arguments) {
    const ParseResult parsed = ParseArguments(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "lumora-render: %s\n%s", parsed.error.c_str(), UsageText);
        return 2;
    }
    const Options& options = *parsed.options;
    if (!options.path.empty()) {
        if (!EnginePathAvailable(PathOf(options))) {
            std::fprintf(stderr, "lumora-render: this processor or system cannot run the %s path\n",
                         options.path.c_str());
            return 1;
        }
    }
    if (options.help) return std::printf("%s", UsageText), 0;
    if (options.version) return std::printf("lumora-render %s\n", LUMORA_VERSION_TEXT), 0;
    return options.bench ? Bench(options) : RenderStill(options);
}

}  // namespace
}  // namespace lumora::render

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    lumora::platform::GdiplusSession gdiplus;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(lumora::render::Narrow(argv[i]));
    return lumora::render::Run(arguments);
}
#else
int main(int argc, char** argv) {
    return lumora::render::Run(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
