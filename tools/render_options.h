// The command line of lumora-render, parsed without touching the engine or the file system.
//
//   lumora-render --pattern P --scheme S --size WxH --out FILE.bmp|FILE.png
//                 [--speed N] [--angles A1,A2,A3] [--rates R1,R2,R3] [--frames F] [--seed N]
//                 [--checksum] [--force] [--reference] [--path x87|avx2|avx512]
//   lumora-render --bench [--size WxH] [--frames F] [--threads T] [--reference] [--path ...]
//   lumora-render --help | -h | --version
//
// Each option with a value also takes it as --name=value (--rates=-0.0003,0.0001,0.0002).
// Ranges: P 1..25, S 0..18, N (speed) 0..50, W and H 1..MaxImageSide, F 1..100000, seed 0..2^32-1.
// --checksum prints the frame's checksum (and makes --out optional). An existing FILE is
// replaced only with --force. An output ending in ".png" (any letter case) is a PNG file, any
// other a BMP file. --threads sets how many threads share a frame (1..64; default: the
// machine's); --reference computes the still, or measures the frames, with the straightforward
// one-thread evaluation (for a still: with planes of the still's own size) instead of the fast
// engine. --path forces the engine's path (engine/vector_frame.h; default: the fastest the
// processor offers). --help, -h and --version anywhere ask for nothing else.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora::render {

constexpr int MaxImageSide = 16384;
constexpr int DefaultSpeed = 20;
constexpr int DefaultBenchWidth = 480;  // the grid of a 1920 x 1080 screen
constexpr int DefaultBenchHeight = 270;
constexpr int DefaultBenchFrames = 21;

struct Options {
    bool help = false;     // print the usage on stdout
    bool version = false;  // print the version
    bool bench = false;
    bool checksum = false;
    bool force = false;      // replace an existing output file
    bool reference = false;  // the straightforward evaluation
    int threads = 0;         // bench: threads per frame, 0 = the machine's count
    std::string path;        // "x87", "avx2", "avx512", or empty: the engine's choice
    int pattern = 0;
    int scheme = -1;
    int width = 0;
    int height = 0;
    int speed = DefaultSpeed;
    int frames = 1;
    std::optional<uint32_t> seed;
    std::optional<std::array<long double, 3>> angles;
    std::optional<std::array<long double, 3>> rates;
    std::string out;  // UTF-8
};

struct ParseResult {
    std::optional<Options> options;  // empty: bad arguments
    std::string error;               // why, for the usage message
};

ParseResult ParseArguments(const std::vector<std::string>& arguments);

extern const char* const UsageText;

// True when the output file is to be a PNG: its name ends in ".png", in any letter case.
bool IsPngName(const std::string& path);

// FNV-1a over the pixels as 32-bit little-endian words, row by row.
uint64_t FrameChecksum(const uint32_t* pixels, int width, int height, int stride);

}  // namespace lumora::render
