// lumora-stretch-bench: the stretch alone, every path the processor has side by side in one run.
//
//   lumora-stretch-bench [--threads T] [--frames F]
//
// For the enlargements the saver makes (a quarter grid to 1920 x 1080 and 3840 x 2160, the live
// view's half grid, a 1366 x 768 screen's grid, which is no exact ratio) it prints the median
// milliseconds of F stretches (default 41) on the SSE2 path, the reference the faster ones are
// checked against, and on AVX2, and their ratio. --threads T shares a stretch over T threads
// (default 1). Figures, not pass/fail: read them with the load it prints.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/worker_pool.h"
#include "shell/stretch.h"

namespace {

using namespace lumora;

double MedianMs(FrameStretcher& stretcher, const std::vector<uint32_t>& frame, int stride,
                std::vector<uint32_t>& target, int frames) {
    std::vector<double> ms;
    stretcher.Stretch(frame.data(), stride, target.data());  // warm
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        stretcher.Stretch(frame.data(), stride, target.data());
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    return ms[ms.size() / 2];
}

double LoadAverage() {
    double load = -1;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1) load = -1;
        std::fclose(f);
    }
    return load;
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 1, frames = 41;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads") && i + 1 < argc)
            threads = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
            frames = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: lumora-stretch-bench [--threads T] [--frames F]\n");
            return 2;
        }
    }
    if (threads < 1 || frames < 1) {
        std::fprintf(stderr, "lumora-stretch-bench: --threads and --frames take a number from 1\n");
        return 2;
    }
    SetEnginePoolThreads(threads);
    struct Case {
        int sourceWidth, sourceHeight, width, height;
    };
    const Case cases[] = {{480, 270, 1920, 1080},
                          {960, 540, 3840, 2160},
                          {960, 540, 1920, 1080},
                          {342, 192, 1366, 768}};
    std::printf("threads %d, median of %d stretches, load %.2f\n", threads, frames, LoadAverage());
    std::printf("%-22s %8s %8s %6s\n", "stretch", "sse2_ms", "avx2_ms", "ratio");
    for (const Case& c : cases) {
        std::vector<uint32_t> frame(static_cast<size_t>(c.sourceWidth) * c.sourceHeight);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u) >> 8;
        std::vector<uint32_t> target(static_cast<size_t>(c.width) * c.height);
        FrameStretcher stretcher;
        stretcher.Resize(c.sourceWidth, c.sourceHeight, c.width, c.height);
        char name[64];
        std::snprintf(name, sizeof name, "%dx%d>%dx%d", c.sourceWidth, c.sourceHeight, c.width,
                      c.height);
        stretcher.SetPath(StretchPath::Sse2);
        const double sse2 = MedianMs(stretcher, frame, c.sourceWidth, target, frames);
        if (!stretcher.SetPath(StretchPath::Avx2)) {
            std::printf("%-22s %8.3f %8s %6s\n", name, sse2, "-", "-");
            continue;
        }
        const double avx2 = MedianMs(stretcher, frame, c.sourceWidth, target, frames);
        std::printf("%-22s %8.3f %8.3f %6.2f\n", name, sse2, avx2, avx2 / sse2);
    }
    std::printf("load after %.2f\n", LoadAverage());
    return 0;
}
