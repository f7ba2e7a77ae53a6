#include "tools/render_options.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>

#include "engine/domain.h"

namespace lumora::render {

namespace {

std::string Range(int first, int last) {
    return std::to_string(first) + ".." + std::to_string(last);
}

const std::string Usage =
    "usage: lumora-render --pattern P --scheme S --size WxH --out FILE.bmp|FILE.png\n"
    "                     [--speed N] [--angles A1,A2,A3] [--rates R1,R2,R3] [--frames F]\n"
    "                     [--seed N] [--checksum] [--force] [--reference] [--path NAME]\n"
    "       lumora-render --bench [--size WxH] [--frames F] [--threads T] [--reference]\n"
    "                     [--path NAME]\n"
    "       lumora-render --help | -h | --version\n"
    "  P " +
    Range(FirstPattern, LastPattern) + ", S " + Range(FirstColourScheme, LastColourScheme) +
    ", N " + Range(MinSpeed, MaxSpeed) + " (default " + std::to_string(DefaultSpeed) +
    "), F >= 1 (default 1), W and H 1.." + std::to_string(MaxImageSide) +
    ".\n"
    "  Angles and rates are decimals; without them they are drawn with the seed.\n"
    "  A name ending in .png writes a PNG file, any other a BMP file; an existing\n"
    "  file is replaced only with --force. --checksum prints the still's checksum.\n"
    "  --reference computes with the straightforward engine (slow; for checking).\n"
    "  --path x87|avx2|avx512 forces the engine's path (default: the fastest here).\n"
    "  Every option with a value also takes the form --name=value.\n";

}  // namespace

const char* const UsageText = Usage.c_str();

namespace {

bool ParseInteger(const std::string& text, long long low, long long high, long long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool ParseInt(const std::string& text, int low, int high, int& value) {
    long long parsed;
    if (!ParseInteger(text, low, high, parsed)) return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos) return false;
    return ParseInt(text.substr(0, x), 1, MaxImageSide, width) &&
           ParseInt(text.substr(x + 1), 1, MaxImageSide, height);
}

bool ParseDecimal(const std::string& text, long double& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long double parsed = std::strtold(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !(parsed == parsed) || parsed > 1e6L || parsed < -1e6L)
        return false;
    value = parsed;
    return true;
}

bool ParseTriple(const std::string& text, std::array<long double, 3>& values) {
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t comma = text.find(',', start);
        const bool last = i == 2;
        if (last != (comma == std::string::npos)) return false;
        const std::string part = text.substr(start, last ? std::string::npos : comma - start);
        if (!ParseDecimal(part, values[i])) return false;
        start = comma + 1;
    }
    return true;
}

}  // namespace

bool IsPngName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ending = path.substr(path.size() - 4);
    for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ending == ".png";
}

ParseResult ParseArguments(const std::vector<std::string>& arguments) {
    Options options;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") options.help = true;
        if (argument == "--version") options.version = true;
    }
    if (options.help || options.version) return {options, ""};
    bool haveSize = false, haveFrames = false;
    auto fail = [](std::string why) { return ParseResult{std::nullopt, std::move(why)}; };
    for (size_t i = 0; i < arguments.size(); ++i) {
        // An option's value follows it as the next argument, or after '=' in the same one.
        std::string name = arguments[i];
        std::optional<std::string> attached;
        if (const size_t equals = name.find('=');
            name.rfind("--", 0) == 0 && equals != std::string::npos) {
            attached = name.substr(equals + 1);
            name.resize(equals);
        }
        bool* const flag = name == "--bench"       ? &options.bench
                           : name == "--checksum"  ? &options.checksum
                           : name == "--force"     ? &options.force
                           : name == "--reference" ? &options.reference
                                                   : nullptr;
        if (flag) {
            if (attached) return fail(name + " takes no value");
            *flag = true;
            continue;
        }
        if (!attached && i + 1 >= arguments.size()) return fail(name + " needs a value");
        const std::string value = attached ? *attached : arguments[++i];
        bool ok = true;
        if (name == "--pattern")
            ok = ParseInt(value, FirstPattern, LastPattern, options.pattern);
        else if (name == "--scheme")
            ok = ParseInt(value, FirstColourScheme, LastColourScheme, options.scheme);
        else if (name == "--size")
            ok = haveSize = ParseSize(value, options.width, options.height);
        else if (name == "--speed")
            ok = ParseInt(value, MinSpeed, MaxSpeed, options.speed);
        else if (name == "--frames")
            ok = haveFrames = ParseInt(value, 1, 100000, options.frames);
        else if (name == "--threads")
            ok = ParseInt(value, 1, 64, options.threads);
        else if (name == "--out")
            ok = !(options.out = value).empty();
        else if (name == "--path")
            ok = (options.path = value) == "x87" || value == "avx2" || value == "avx512";
        else if (name == "--seed") {
            long long seed;
            ok = ParseInteger(value, 0, 0xFFFFFFFFLL, seed);
            if (ok) options.seed = static_cast<uint32_t>(seed);
        } else if (name == "--angles" || name == "--rates") {
            std::array<long double, 3> triple;
            ok = ParseTriple(value, triple);
            (name == "--angles" ? options.angles : options.rates) = triple;
        } else {
            return fail("unknown argument " + name);
        }
        if (!ok) return fail("bad value for " + name + ": '" + value + "'");
    }
    if (options.bench) {
        if (options.pattern || options.scheme >= 0 || !options.out.empty() || options.angles ||
            options.rates || options.seed || options.checksum)
            return fail("--bench takes only --size, --frames, --threads, --reference and --path");
        if (!haveSize) {
            options.width = DefaultBenchWidth;
            options.height = DefaultBenchHeight;
        }
        if (!haveFrames) options.frames = DefaultBenchFrames;
        return {options, ""};
    }
    if (options.threads) return fail("--threads needs --bench");
    if (!options.pattern) return fail("--pattern is required");
    if (options.scheme < 0) return fail("--scheme is required");
    if (!haveSize) return fail("--size is required");
    if (options.out.empty() && !options.checksum) return fail("--out is required");
    return {options, ""};
}

uint64_t FrameChecksum(const uint32_t* pixels, int width, int height, int stride) {
    uint64_t hash = 0xCBF29CE484222325ULL;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col) {
            const uint32_t pixel = pixels[static_cast<long>(row) * stride + col];
            for (int byte = 0; byte < 4; ++byte) {
                hash ^= (pixel >> (8 * byte)) & 0xFF;
                hash *= 0x100000001B3ULL;
            }
        }
    return hash;
}

}  // namespace lumora::render
