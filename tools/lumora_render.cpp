// lumora-render: renders stills of the engine and measures it.
//
// A still: sets the grid (clamped to the planes), the pattern, scheme and speed; takes the angles
// and rates given or draws them with the seed; fills the field once, renders the frames and writes
// the last one as a BMP of the requested size (GDI+'s "image/bmp" encoder on Windows, a writer of
// our own elsewhere). Pixels outside a clamped grid stay opaque black. Bad arguments: usage on
// stderr, status 2. An output that cannot be written: the file and the reason, status 1, no partial
// file. An existing output is replaced only with --force. --bench prints "pattern field_ms frame_ms" and one line per pattern 1..25: the fast engine
// on --threads threads (default: the machine's), or with --reference the straightforward one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/fast_frame.h"
#include "platform/image_file.h"
#include "tools/bmp_file.h"
#include "tools/render_options.h"

#ifdef _WIN32
#include "platform/gdiplus.h"
#include "shell/frame_render.h"
#else
#include <sys/stat.h>
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

// The frame buffer of a still: the requested size, opaque black where the grid does not reach.
struct Still {
    int width, height;
    std::vector<uint32_t> pixels;
    Still(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0xFF000000u) {}
    PixelTarget target() { return {pixels.data(), width}; }
};

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

// Copies the still into a GDI+ bitmap and saves it through the BMP encoder, by way of a
// temporary file that replaces the target only when it is complete.
int WriteStill(const Still& still, const std::string& out, bool replace) {
    CLSID encoder{};
    if (platform::FindImageEncoder("image/bmp", encoder) < 0) {
        std::fprintf(stderr, "lumora-render: cannot write '%s': no BMP encoder in GDI+\n", out.c_str());
        return 1;
    }
    FrameBitmap bitmap(still.width, still.height);
    if (!bitmap.image()) {
        std::fprintf(stderr, "lumora-render: cannot write '%s': GDI+ could not make a %dx%d bitmap\n",
                     out.c_str(), still.width, still.height);
        return 1;
    }
    {
        LockedBits bits(bitmap.image(), still.width, still.height);
        if (!bits.locked()) {
            std::fprintf(stderr, "lumora-render: cannot write '%s': GDI+ could not lock the bitmap\n",
                         out.c_str());
            return 1;
        }
        const PixelTarget target = LockedTarget(bits);
        for (int row = 0; row < still.height; ++row)
            std::copy_n(still.pixels.data() + static_cast<size_t>(row) * still.width, still.width,
                        target.pixels + static_cast<long>(row) * target.stride);
    }
    const std::wstring reason = platform::SaveImageFile(bitmap.image(), Widen(out), encoder, replace);
    if (!reason.empty()) {
        std::fprintf(stderr, "lumora-render: cannot write '%s': %s\n", out.c_str(),
                     Narrow(reason.c_str()).c_str());
        return 1;
    }
    return 0;
}
#else
bool PathExists(const std::string& path) {
    struct stat status;
    return lstat(path.c_str(), &status) == 0;
}

int WriteStill(const Still& still, const std::string& out, bool replace) {
    const std::vector<uint8_t> bytes = EncodeBmp(still.pixels.data(), still.width, still.height, still.width);
    if (bytes.empty()) {
        std::fprintf(stderr, "lumora-render: cannot write '%s': too large for a BMP file\n", out.c_str());
        return 1;
    }
    if (const auto reason = platform::WriteFileAtomically(out, bytes, replace)) {
        std::fprintf(stderr, "lumora-render: cannot write '%s': %s\n", out.c_str(),
                     *reason == platform::FileExistsReason ? ExistsReason : reason->c_str());
        return 1;
    }
    return 0;
}
#endif

int RenderStill(const Options& options) {
    // Say so before the work, rather than after it, when the output would replace a file.
    if (!options.out.empty() && !options.force && PathExists(options.out)) {
        std::fprintf(stderr, "lumora-render: cannot write '%s': %s\n", options.out.c_str(), ExistsReason);
        return 1;
    }
    auto state = std::make_unique<EngineState>();
    SetUpState(*state, options);
    if (state->GridWidth != options.width || state->GridHeight != options.height)
        std::fprintf(stderr, "lumora-render: grid clamped to %dx%d\n", state->GridWidth, state->GridHeight);
    GeneratePatternField(*state);
    Still still(options.width, options.height);
    for (int frame = 0; frame < options.frames; ++frame) RenderFrame(*state, still.target());
    if (options.checksum)
        std::printf("checksum %016llx\n", static_cast<unsigned long long>(
                                              FrameChecksum(still.pixels.data(), still.width, still.height, still.width)));
    return options.out.empty() ? 0 : WriteStill(still, options.out, options.force);
}

int Bench(const Options& options) {
    auto state = std::make_unique<EngineState>();
    if (options.threads) SetFastThreadCount(options.threads);
    const auto field = options.reference ? GeneratePatternFieldReference : GeneratePatternField;
    const auto render = options.reference ? RenderFrameReference : RenderFrame;
#ifdef _WIN32
    // The saver's own path: frames go into a GDI+ bitmap through one lock per frame.
    std::unique_ptr<FrameBitmap> bitmap;
#else
    Still frame(options.width, options.height);
#endif
    std::printf("pattern field_ms frame_ms\n");
    for (int pattern = 1; pattern <= 25; ++pattern) {
        Options still = options;
        still.pattern = pattern;
        still.scheme = 0;
        still.seed = 1;
        SetUpState(*state, still);
#ifdef _WIN32
        bitmap = std::make_unique<FrameBitmap>(state->GridWidth, state->GridHeight);
#endif
        const auto fieldStart = Clock::now();
        field(*state);
        const double fieldMs = MillisecondsSince(fieldStart);
        std::vector<double> frameMs;
        for (int i = 0; i < options.frames; ++i) {
            const auto start = Clock::now();
#ifdef _WIN32
            {
                LockedBits bits(bitmap->image(), state->GridWidth, state->GridHeight);
                if (!bits.locked()) {
                    std::fprintf(stderr, "lumora-render: cannot lock the frame bitmap\n");
                    return 1;
                }
                render(*state, LockedTarget(bits));
            }
#else
            render(*state, frame.target());
#endif
            frameMs.push_back(MillisecondsSince(start));
        }
        std::printf("%d %.3f %.3f\n", pattern, fieldMs, Median(frameMs));
        std::fflush(stdout);
    }
    return 0;
}

#ifdef _WIN32
// The two ways of writing a frame into the bitmap, against a plain buffer; median times.
int BenchPixels(const Options& options) {
    auto state = std::make_unique<EngineState>();
    Options still = options;
    still.pattern = 17;
    still.scheme = 0;
    still.seed = 1;
    SetUpState(*state, still);
    GeneratePatternField(*state);
    FrameBitmap bitmap(state->GridWidth, state->GridHeight);
    Still plain(state->GridWidth, state->GridHeight);
    std::vector<double> buffer, locked, perPixel;
    for (int i = 0; i < options.frames; ++i) {
        auto start = Clock::now();
        RenderFrame(*state, plain.target());
        buffer.push_back(MillisecondsSince(start));
        start = Clock::now();
        RenderIntoBitmap(*state, bitmap);
        locked.push_back(MillisecondsSince(start));
        start = Clock::now();
        RenderIntoBitmapPixelByPixel(*state, bitmap);
        perPixel.push_back(MillisecondsSince(start));
    }
    std::printf("path frame_ms\nbuffer %.3f\nlockbits %.3f\nsetpixel %.3f\n", Median(buffer),
                Median(locked), Median(perPixel));
    return 0;
}
#endif

int Run(const std::vector<std::string>& arguments) {
    const ParseResult parsed = ParseArguments(arguments);
    if (!parsed.options) {
        std::fprintf(stderr, "lumora-render: %s\n%s", parsed.error.c_str(), UsageText);
        return 2;
    }
    const Options& options = *parsed.options;
    if (options.benchPixels) {
#ifdef _WIN32
        return BenchPixels(options);
#else
        std::fprintf(stderr, "lumora-render: --bench-pixels needs the Windows build\n%s", UsageText);
        return 2;
#endif
    }
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
