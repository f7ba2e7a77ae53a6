// The still renderer's own BMP writer for the native build (Windows uses the GDI+ encoder).
//
// EncodeBmp: width x height ARGB pixels as a 24-bit bottom-up BMP with a BITMAPINFOHEADER, rows
// padded to four bytes; alpha is dropped (the engine's pixels are opaque). Sizes that LayoutBmp
// refuses give an empty result and read no pixel.
// LayoutBmp: the row and file sizes of such a BMP; nothing for a width or height below 1 or a
// file larger than the header's 32-bit size field can describe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora::render {

struct BmpLayout {
    uint32_t rowBytes;   // one row of pixels with its padding
    uint32_t fileBytes;  // headers and pixels
};
std::optional<BmpLayout> LayoutBmp(int width, int height);

std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, int width, int height, int stride);

// Why a still is not written over an existing file.
inline constexpr char ExistsReason[] = "the file exists (--force replaces it)";

}  // namespace lumora::render
