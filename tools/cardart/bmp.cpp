#include "bmp.hpp"

#include <algorithm>
#include <stdexcept>

namespace cardart {

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), fill) {}

Rgb Canvas::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("Canvas::at");
    return pixels_[static_cast<std::size_t>(y * width_ + x)];
}

void Canvas::set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y * width_ + x)] = c;
}

void Canvas::fillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) set(i, j, c);
}

void Canvas::frameRect(int x, int y, int w, int h, Rgb c) {
    for (int i = x; i < x + w; ++i) {
        set(i, y, c);
        set(i, y + h - 1, c);
    }
    for (int j = y; j < y + h; ++j) {
        set(x, j, c);
        set(x + w - 1, j, c);
    }
}

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

std::uint32_t rowStride(int width, int bitsPerPixel) {
    const auto bits = static_cast<std::uint32_t>(width * bitsPerPixel);
    return ((bits + 31) / 32) * 4;
}

// Both headers; the pixel rows follow the palette (if any) immediately.
std::vector<std::uint8_t> headers(const Canvas& canvas, int bitsPerPixel, std::uint32_t colours) {
    const std::uint32_t imageSize =
        rowStride(canvas.width(), bitsPerPixel) * static_cast<std::uint32_t>(canvas.height());
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + colours * 4;
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + imageSize);
    put32(out, 0);  // two reserved words
    put32(out, offset);
    put32(out, kInfoHeaderSize);
    put32(out, static_cast<std::uint32_t>(canvas.width()));
    put32(out, static_cast<std::uint32_t>(canvas.height()));  // positive: bottom-up rows
    put16(out, 1);                                            // planes
    put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    put32(out, 0);  // BI_RGB
    put32(out, imageSize);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, colours);  // colours used
    put32(out, 0);        // all colours important
    return out;
}

std::uint8_t paletteIndex(Rgb c) {
    const auto it = std::find(kVgaPalette.begin(), kVgaPalette.end(), c);
    if (it == kVgaPalette.end()) throw std::invalid_argument("colour is not in the VGA palette");
    return static_cast<std::uint8_t>(it - kVgaPalette.begin());
}

}  // namespace

std::vector<std::uint8_t> encodeBmp4(const Canvas& canvas) {
    std::vector<std::uint8_t> out = headers(canvas, 4, 16);
    for (const Rgb& c : kVgaPalette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    const std::uint32_t stride = rowStride(canvas.width(), 4);
    for (int y = canvas.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < canvas.width(); ++x) {
            const std::uint8_t index = paletteIndex(canvas.at(x, y));
            row[static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> encodeBmp8(const Canvas& canvas, const std::vector<Rgb>& palette) {
    if (palette.empty() || palette.size() > 256) throw std::invalid_argument("palette size");
    std::vector<std::uint8_t> out = headers(canvas, 8, static_cast<std::uint32_t>(palette.size()));
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    const std::uint32_t stride = rowStride(canvas.width(), 8);
    for (int y = canvas.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < canvas.width(); ++x) {
            const auto it = std::find(palette.begin(), palette.end(), canvas.at(x, y));
            if (it == palette.end()) throw std::invalid_argument("colour is not in the palette");
            row[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(it - palette.begin());
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> encodeBmp24(const Canvas& canvas) {
    std::vector<std::uint8_t> out = headers(canvas, 24, 0);
    const std::uint32_t stride = rowStride(canvas.width(), 24);
    for (int y = canvas.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < canvas.width(); ++x) {
            const Rgb c = canvas.at(x, y);
            row[static_cast<std::size_t>(x * 3)] = c.b;
            row[static_cast<std::size_t>(x * 3 + 1)] = c.g;
            row[static_cast<std::size_t>(x * 3 + 2)] = c.r;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace cardart
