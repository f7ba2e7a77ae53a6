// The native BMP writer at any size: the layout refuses what a BMP cannot hold, and what it
// accepts is written exactly as laid out, every pixel where it belongs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tools/bmp_file.h"

namespace {

uint32_t Word(const std::vector<uint8_t>& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<uint32_t>(bytes[at + 3]) << 24;
}

int32_t Int32(const uint8_t* data) {
    uint32_t bits;
    std::memcpy(&bits, data, sizeof bits);
    return static_cast<int32_t>(bits);
}

// Images of at most this many pixels are written in full; larger ones only laid out.
constexpr int64_t MaxWrittenPixels = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumora::render;
    if (size < 9) return 0;
    // Any 32-bit size; the low bits of a third word widen the stride past the width.
    const int32_t width = Int32(data), height = Int32(data + 4);
    const int padding = data[8] % 8;
    data += 9;
    size -= 9;

    const std::optional<BmpLayout> layout = LayoutBmp(width, height);
    if (width <= 0 || height <= 0) {
        FUZZ_CHECK(!layout);
        return 0;
    }
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * 3 + 3) / 4 * 4;
    const uint64_t fileBytes = 54 + rowBytes * static_cast<uint64_t>(height);
    FUZZ_CHECK(layout.has_value() == (fileBytes <= UINT32_MAX));
    if (!layout) return 0;
    FUZZ_CHECK(layout->rowBytes == rowBytes && layout->fileBytes == fileBytes);
    if (static_cast<int64_t>(width) * height > MaxWrittenPixels) return 0;

    const int stride = width + padding;
    std::vector<uint32_t> pixels(static_cast<size_t>(stride) * height);
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t p = static_cast<uint32_t>(i * 2654435761u);
        for (size_t b = 0; b < 4 && size; ++b, ++data, --size) p = p << 8 | *data;
        pixels[i] = p;
    }
    const std::vector<uint8_t> bmp = EncodeBmp(pixels.data(), width, height, stride);
    FUZZ_CHECK(bmp.size() == fileBytes);
    FUZZ_CHECK(bmp[0] == 'B' && bmp[1] == 'M' && Word(bmp, 2) == fileBytes && Word(bmp, 10) == 54);
    FUZZ_CHECK(Word(bmp, 18) == static_cast<uint32_t>(width) &&
               Word(bmp, 22) == static_cast<uint32_t>(height));
    FUZZ_CHECK(Word(bmp, 34) == fileBytes - 54);
    for (int row = 0; row < height; ++row) {
        const size_t line = 54 + static_cast<size_t>(height - 1 - row) * rowBytes;  // bottom-up
        for (int col = 0; col < width; ++col) {
            const uint32_t p = pixels[static_cast<size_t>(row) * stride + col];
            const uint8_t* bgr = &bmp[line + 3 * static_cast<size_t>(col)];
            FUZZ_CHECK(bgr[0] == (p & 0xFF) && bgr[1] == (p >> 8 & 0xFF) &&
                       bgr[2] == (p >> 16 & 0xFF));
        }
        for (size_t pad = line + 3 * static_cast<size_t>(width); pad < line + rowBytes; ++pad)
            FUZZ_CHECK(bmp[pad] == 0);
    }
    return 0;
}
