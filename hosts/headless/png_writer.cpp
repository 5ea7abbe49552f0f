#include "hosts/headless/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

bool WritePng(const CImage& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0) return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    std::vector<png_byte> row(static_cast<size_t>(image.width) * 3);
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                     static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const uint32_t p = image.At(x, y);
                row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(p >> 16);
                row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(p >> 8);
                row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(p);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}
