// The still renderer's own BMP writer for the native build (Windows uses the GDI+ encoder).
//
// EncodeBmp: width x height ARGB pixels as a 24-bit bottom-up BMP with a BITMAPINFOHEADER, rows
// padded to four bytes; alpha is dropped (the engine's pixels are opaque).
// WriteFileAtomically (POSIX): writes through a temporary file in the target's directory and
// moves it into place, so a failed write leaves no partial file and the old file untouched; an
// existing file is replaced only when `replace` is set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora::render {

std::vector<uint8_t> EncodeBmp(const uint32_t* pixels, int width, int height, int stride);

// Why a still is not written over an existing file.
inline constexpr char ExistsReason[] = "the file exists (--force replaces it)";

#ifndef _WIN32
// The reason on failure (from errno), nothing on success.
std::optional<std::string> WriteFileAtomically(const std::string& path,
                                               const std::vector<uint8_t>& bytes, bool replace);
#endif

}  // namespace lumora::render
