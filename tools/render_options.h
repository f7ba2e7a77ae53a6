// The command line of lumora-render, parsed without touching the engine or the file system.
//
//   lumora-render --pattern P --scheme S --size WxH --out FILE.bmp
//                 [--speed N] [--angles A1,A2,A3] [--rates R1,R2,R3] [--frames F] [--seed N]
//                 [--checksum] [--force]
//   lumora-render --bench [--size WxH] [--frames F] [--threads T] [--reference]
//
// Each option with a value also takes it as --name=value (--rates=-0.0003,0.0001,0.0002).
// Ranges: P 1..25, S 0..18, N (speed) 0..50, W and H 1..MaxImageSide, F 1..100000, seed 0..2^32-1.
// --checksum prints the frame's checksum (and makes --out optional). An existing FILE is
// replaced only with --force. --threads sets how many
// threads share a frame (1..64; default: the machine's); --reference measures the
// straightforward one-thread evaluation instead of the fast engine.
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
    bool bench = false;
    bool benchPixels = false;  // Windows: lock-bits against set-pixel
    bool checksum = false;
    bool force = false;      // replace an existing output file
    bool reference = false;  // bench the straightforward evaluation
    int threads = 0;         // bench: threads per frame, 0 = the machine's count
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

// FNV-1a over the pixels as 32-bit little-endian words, row by row.
uint64_t FrameChecksum(const uint32_t* pixels, int width, int height, int stride);

}  // namespace lumora::render
