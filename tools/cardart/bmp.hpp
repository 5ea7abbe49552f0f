// Pixel canvas and the BMP encoder used by the card-art generator.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cardart {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The sixteen colours of the 4-bit images, in palette order.
inline constexpr std::array<Rgb, 16> kVgaPalette = {{
    {0x00, 0x00, 0x00},  // black
    {0x80, 0x00, 0x00},  // dark red
    {0x00, 0x80, 0x00},  // dark green
    {0x80, 0x80, 0x00},  // olive
    {0x00, 0x00, 0x80},  // navy
    {0x80, 0x00, 0x80},  // purple
    {0x00, 0x80, 0x80},  // teal
    {0xc0, 0xc0, 0xc0},  // silver
    {0x80, 0x80, 0x80},  // grey
    {0xff, 0x00, 0x00},  // red
    {0x00, 0xff, 0x00},  // green
    {0xff, 0xff, 0x00},  // yellow
    {0x00, 0x00, 0xff},  // blue
    {0xff, 0x00, 0xff},  // magenta
    {0x00, 0xff, 0xff},  // cyan
    {0xff, 0xff, 0xff},  // white
}};

namespace vga {
inline constexpr Rgb kBlack = kVgaPalette[0];
inline constexpr Rgb kDarkRed = kVgaPalette[1];
inline constexpr Rgb kGrey = kVgaPalette[8];
inline constexpr Rgb kRed = kVgaPalette[9];
inline constexpr Rgb kGreen = kVgaPalette[10];
inline constexpr Rgb kYellow = kVgaPalette[11];
inline constexpr Rgb kWhite = kVgaPalette[15];
}  // namespace vga

// A width x height picture, row 0 at the top. Writes outside the picture are
// dropped so glyphs may be clipped at the edges.
class Canvas {
public:
    Canvas(int width, int height, Rgb fill);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const;
    void set(int x, int y, Rgb c);
    void fillRect(int x, int y, int w, int h, Rgb c);
    void frameRect(int x, int y, int w, int h, Rgb c);

private:
    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};

// 4 bits per pixel with the VGA palette; every pixel must be a palette colour.
std::vector<std::uint8_t> encodeBmp4(const Canvas& canvas);
// 8 bits per pixel with the given palette (at most 256 colours); every pixel
// must be one of them.
std::vector<std::uint8_t> encodeBmp8(const Canvas& canvas, const std::vector<Rgb>& palette);
// 24 bits per pixel, any colours.
std::vector<std::uint8_t> encodeBmp24(const Canvas& canvas);

}  // namespace cardart
