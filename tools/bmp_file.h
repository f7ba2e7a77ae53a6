// The still renderer's own BMP writer for the native build (Windows uses the GDI+ encoder).
//
// EncodeBmp: width x height ARGB pixels as a 24-bit bottom-up BMP with a BITMAPINFOHEADER, rows
// padded to four bytes; alpha is dropped (the engine's pixels are opaque).
// WriteFileReplacing (POSIX): writes through a temporary file in the target's directory and
// renames it into place, so a failed write leaves no partial file and the old file untouched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora::render {

std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, int width, int height, int stride);

#ifndef _WIN32
// The reason on failure (from errno), nothing on success.
std::optional<std::string> WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes);
#endif

}  // namespace lumora::render
