// The process-wide random generator: splitmix64 (Steele, Lea, Flood 2014) over one 64-bit
// state, with Lemire's multiply-and-reject reduction so every Random(n) is exactly uniform.
// Written out here, not taken from the C library, so a seed gives the same draws in every build.
#include <chrono>
#include <cstdint>

#include "engine/engine.h"

namespace lumora {
namespace {

uint64_t generatorState = 0;

uint32_t Next32() {
    generatorState += 0x9E3779B97F4A7C15ULL;
    uint64_t z = generatorState;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<uint32_t>(z >> 32);
}

}  // namespace

void SeedRandom(uint32_t seed) { generatorState = seed; }

void SeedRandomFromClock() {
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto steady = std::chrono::steady_clock::now().time_since_epoch().count();
    generatorState = static_cast<uint64_t>(wall) ^ (static_cast<uint64_t>(steady) << 21);
}

int Random(int n) {
    if (n < 1) return 0;
    const uint32_t range = static_cast<uint32_t>(n);
    uint64_t product = static_cast<uint64_t>(Next32()) * range;
    uint32_t low = static_cast<uint32_t>(product);
    if (low < range) {
        // Reject the few low words that would favour the smaller results.
        const uint32_t threshold = (0u - range) % range;
        while (low < threshold) {
            product = static_cast<uint64_t>(Next32()) * range;
            low = static_cast<uint32_t>(product);
        }
    }
    return static_cast<int>(product >> 32);
}

}  // namespace lumora
