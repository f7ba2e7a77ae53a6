#include "tools/bmp_file.h"

namespace lumora::render {
namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

constexpr uint32_t FileHeaderBytes = 14;
constexpr uint32_t InfoHeaderBytes = 40;
constexpr uint32_t PixelsPerMetre = 3780;  // 96 dpi

}  // namespace

std::optional<BmpLayout> LayoutBmp(int width, int height) {
    if (width < 1 || height < 1) return std::nullopt;
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * 3 + 3) & ~uint64_t{3};
    const uint64_t fileBytes =
        FileHeaderBytes + InfoHeaderBytes + rowBytes * static_cast<uint64_t>(height);
    if (fileBytes > UINT32_MAX) return std::nullopt;
    return BmpLayout{static_cast<uint32_t>(rowBytes), static_cast<uint32_t>(fileBytes)};
}

std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, int width, int height, int stride) {
    const std::optional<BmpLayout> layout = LayoutBmp(width, height);
    if (!layout) return {};
    const uint32_t rowBytes = layout->rowBytes;
    const uint32_t imageBytes = layout->fileBytes - FileHeaderBytes - InfoHeaderBytes;
    std::vector<uint8_t> out;
    out.reserve(FileHeaderBytes + InfoHeaderBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, layout->fileBytes);
    Put32(out, 0);
    Put32(out, FileHeaderBytes + InfoHeaderBytes);
    Put32(out, InfoHeaderBytes);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));  // positive: the last row comes first
    Put16(out, 1);                              // planes
    Put16(out, 24);                             // bits per pixel
    Put32(out, 0);                              // BI_RGB
    Put32(out, imageBytes);
    Put32(out, PixelsPerMetre);
    Put32(out, PixelsPerMetre);
    Put32(out, 0);
    Put32(out, 0);
    for (int row = height - 1; row >= 0; --row) {
        const uint32_t* line = pixels + static_cast<long>(row) * stride;
        for (int col = 0; col < width; ++col) {
            out.push_back(static_cast<uint8_t>(line[col]));        // blue
            out.push_back(static_cast<uint8_t>(line[col] >> 8));   // green
            out.push_back(static_cast<uint8_t>(line[col] >> 16));  // red
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

}  // namespace lumora::render
