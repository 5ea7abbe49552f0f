#include "hosts/headless/png_writer.h"

#include <png.h>
#include <sys/stat.h>

#include <vector>

#include "platform/file.h"

namespace {

void Append(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

bool EncodePng(const CImage& image, std::vector<unsigned char>* out) {
    if (image.width <= 0 || image.height <= 0) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    std::vector<png_byte> row(static_cast<size_t>(image.width) * 3);
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_write_fn(png, out, Append, nullptr);
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
    return ok;
}

}  // namespace

std::string WritePng(const CImage& image, const std::string& path) {
    // A link is not followed, and a device, a folder or a FIFO is not ours
    // to replace with a picture.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return path + " is not a plain file; a shot replaces only a plain file";
    std::vector<unsigned char> png;
    if (!EncodePng(image, &png)) return "cannot write " + path;
    // Made under a new name of its own, the picture takes its name only once
    // it is whole.
    const std::string temp = WriteTemporaryFile(path + ".part.", png, path);
    if (temp.empty()) return "cannot write " + path;
    if (!ReplaceFile(temp, path)) {
        RemoveFile(temp);
        return "cannot write " + path;
    }
    return "";
}
