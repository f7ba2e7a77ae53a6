#include "tools/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <new>

namespace lumora::render {
namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    try {
        out->insert(out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        png_error(png, "out of memory");
    }
}

void NoFlush(png_structp) {}

// Everything that lives across libpng's longjmp lives here, outside the function that calls
// setjmp, so no object with a destructor is skipped.
struct Encoder {
    std::vector<uint8_t> out;
    std::vector<png_byte> row;
};

bool Encode(Encoder& encoder, const uint32_t* pixels, int width, int height, int stride) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &encoder.out, Append, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint32_t* line = pixels + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            encoder.row[3 * x] = static_cast<png_byte>(line[x] >> 16);     // red
            encoder.row[3 * x + 1] = static_cast<png_byte>(line[x] >> 8);  // green
            encoder.row[3 * x + 2] = static_cast<png_byte>(line[x]);       // blue
        }
        png_write_row(png, encoder.row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const uint32_t* pixels, int width, int height, int stride) {
    if (width < 1 || height < 1) return {};
    Encoder encoder;
    try {
        encoder.row.resize(static_cast<size_t>(width) * 3);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (!Encode(encoder, pixels, width, height, stride)) return {};
    return std::move(encoder.out);
}

}  // namespace lumora::render
