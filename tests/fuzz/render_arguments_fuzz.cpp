// lumora-render's command line: any list of arguments is either refused with a reason or gives
// options inside their ranges that name everything a run needs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tools/render_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora::render;
    // Arguments are separated by NUL bytes, as in a process's command line.
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(static_cast<char>(data[i]));
    }
    if (arguments.size() == 1 && arguments[0].empty()) arguments.clear();

    const ParseResult result = ParseArguments(arguments);
    if (!result.options) {
        FUZZ_CHECK(!result.error.empty());
        return 0;
    }
    FUZZ_CHECK(result.error.empty());
    const Options& o = *result.options;
    if (o.help || o.version) return 0;  // they ask for nothing else
    FUZZ_CHECK(o.width >= 1 && o.width <= MaxImageSide);
    FUZZ_CHECK(o.height >= 1 && o.height <= MaxImageSide);
    FUZZ_CHECK(o.frames >= 1 && o.frames <= 100000);
    FUZZ_CHECK(o.threads >= 0 && o.threads <= 64);
    FUZZ_CHECK(o.speed >= 0 && o.speed <= 50);
    if (o.bench) {
        FUZZ_CHECK(o.pattern == 0 && o.out.empty() && !o.checksum && !o.seed);
    } else {
        FUZZ_CHECK(o.pattern >= 1 && o.pattern <= 25);
        FUZZ_CHECK(o.scheme >= 0 && o.scheme <= 18);
        FUZZ_CHECK(!o.out.empty() || o.checksum);
        FUZZ_CHECK(o.threads == 0);
    }
    for (const auto* triple : {&o.angles, &o.rates}) {
        if (!*triple) continue;
        for (long double v : **triple) FUZZ_CHECK(v == v && v >= -1e6L && v <= 1e6L);
    }
    // Every option given as --name=value reads as the same two arguments.
    std::vector<std::string> joined;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        const bool flag =
            a == "--bench" || a == "--checksum" || a == "--force" || a == "--reference";
        if (!flag && a.rfind("--", 0) == 0 && a.find('=') == std::string::npos &&
            i + 1 < arguments.size()) {
            joined.push_back(a + "=" + arguments[++i]);
        } else {
            joined.push_back(a);
        }
    }
    const ParseResult again = ParseArguments(joined);
    FUZZ_CHECK(again.options);
    FUZZ_CHECK(again.options->out == o.out && again.options->width == o.width &&
               again.options->pattern == o.pattern && again.options->seed == o.seed);
    return 0;
}
