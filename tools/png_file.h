// The still renderer's PNG writer for the native build (Windows uses the GDI+ encoder).
//
// EncodePng: width x height ARGB pixels (rows `stride` pixels apart) as an 8-bit RGB PNG through
// libpng, at the default compression; alpha is dropped (the engine's pixels are opaque). Empty
// when libpng fails (for instance without the memory for the file).
#pragma once

#include <cstdint>
#include <vector>

namespace lumora::render {

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int width, int height, int stride);

}  // namespace lumora::render
