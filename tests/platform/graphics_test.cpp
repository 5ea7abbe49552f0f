#include "platform/graphics.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void Put(std::vector<unsigned char>& out, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A BMP of the given depth whose pixel (x, y) has palette index / colour f(x, y).
std::vector<unsigned char> MakeBmp(int w, int h, int bits, uint32_t (*f)(int, int),
                                   bool topDown = false) {
    const int colours = bits <= 8 ? 1 << bits : 0;
    const size_t stride = ((static_cast<size_t>(w) * bits + 31) / 32) * 4;
    std::vector<unsigned char> b;
    const uint32_t offset = 54 + colours * 4;
    b.push_back('B');
    b.push_back('M');
    Put(b, offset + static_cast<uint32_t>(stride * h), 4);
    Put(b, 0, 4);
    Put(b, offset, 4);
    Put(b, 40, 4);
    Put(b, static_cast<uint32_t>(w), 4);
    Put(b, static_cast<uint32_t>(topDown ? -h : h), 4);
    Put(b, 1, 2);
    Put(b, static_cast<uint32_t>(bits), 2);
    Put(b, 0, 4);
    Put(b, static_cast<uint32_t>(stride * h), 4);
    Put(b, 2835, 4);
    Put(b, 2835, 4);
    Put(b, static_cast<uint32_t>(colours), 4);
    Put(b, 0, 4);
    for (int i = 0; i < colours; ++i) Put(b, static_cast<uint32_t>(i * 0x010203), 4);  // B,G,R
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        std::vector<unsigned char> line(stride, 0);
        for (int x = 0; x < w; ++x) {
            const uint32_t v = f(x, y);
            if (bits == 24) {
                line[x * 3] = v & 0xFF;
                line[x * 3 + 1] = (v >> 8) & 0xFF;
                line[x * 3 + 2] = (v >> 16) & 0xFF;
            } else if (bits == 8) {
                line[x] = static_cast<unsigned char>(v);
            } else {
                line[x / 2] |= static_cast<unsigned char>((v & 0xF) << (x % 2 ? 0 : 4));
            }
        }
        b.insert(b.end(), line.begin(), line.end());
    }
    return b;
}

uint32_t PaletteColour(uint32_t index) {
    const uint32_t v = index * 0x010203;  // as written B,G,R
    return ((v >> 16) & 0xFF) << 16 | ((v >> 8) & 0xFF) << 8 | (v & 0xFF);
}

// A tile whose every pixel tells where it came from.
std::shared_ptr<CImage> CoordinateImage(int w, int h) {
    auto image = std::make_shared<CImage>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->At(x, y) = static_cast<uint32_t>(y * 1000 + x);
    return image;
}

}  // namespace

TEST(Bmp, DecodesFourEightAndTwentyFourBitsBothRowOrders) {
    auto index = [](int x, int y) -> uint32_t { return static_cast<uint32_t>((x + 3 * y) % 16); };
    auto colour = [](int x, int y) -> uint32_t {
        return static_cast<uint32_t>(x << 16 | y << 8 | 0x42);
    };
    for (int bits : {4, 8}) {
        for (bool topDown : {false, true}) {
            auto image = DecodeBmp(MakeBmp(25, 34, bits, index, topDown));
            ASSERT_TRUE(image) << bits;
            EXPECT_EQ(image->width, 25);
            EXPECT_EQ(image->height, 34);
            EXPECT_EQ(image->At(0, 0), PaletteColour(0));
            EXPECT_EQ(image->At(24, 33), PaletteColour(index(24, 33)));
            EXPECT_EQ(image->At(7, 2), PaletteColour(index(7, 2)));
        }
    }
    auto image = DecodeBmp(MakeBmp(35, 33, 24, colour));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->At(34, 32), colour(34, 32));
    EXPECT_EQ(image->At(3, 0), colour(3, 0));
}

TEST(Bmp, RefusesTruncatedAndCompressedFiles) {
    auto index = [](int, int) -> uint32_t { return 1; };
    std::vector<unsigned char> bytes = MakeBmp(25, 34, 4, index);
    EXPECT_FALSE(DecodeBmp(std::span(bytes).first(bytes.size() - 1)));
    bytes[30] = 2;  // run-length compressed
    EXPECT_FALSE(DecodeBmp(bytes));
    EXPECT_FALSE(DecodeBmp(std::vector<unsigned char>(10, 'B')));
}

TEST(Blit, CopiesTheBlockFromTheImageOriginThroughTheClip) {
    CBitmap bitmap;
    bitmap.Attach(CoordinateImage(25, 34));
    CImage surface(100, 100, 0xABCDEF);
    CDC dc(&surface, {CRect(0, 0, 100, 50)});
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    const CBitmap* old = memory.SelectObject(&bitmap);
    EXPECT_EQ(old, nullptr);
    dc.BitBlt(40, 30, 25, 34, &memory, 0, 0, SRCCOPY);
    EXPECT_EQ(surface.At(40, 30), 0u);
    EXPECT_EQ(surface.At(64, 49), 19u * 1000 + 24);
    EXPECT_EQ(surface.At(40, 50), 0xABCDEFu);  // below the clip region
    EXPECT_EQ(surface.At(65, 30), 0xABCDEFu);  // right of the block
    EXPECT_EQ(memory.SelectObject(old), &bitmap);
}

TEST(Blit, ClipBoxIsTheBoundingBoxOfTheRegion) {
    CImage surface(240, 268);
    CDC dc(&surface, {CRect(10, 10, 20, 20), CRect(100, 5, 110, 300)});
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(10, 5, 110, 268));
    dc.FillSolidRect(CRect(0, 0, 240, 268), RGB(255, 0, 0));
    EXPECT_EQ(surface.At(15, 15), 0xFF0000u);
    EXPECT_EQ(surface.At(50, 15), 0u);  // inside the box, outside the region
}

TEST(StretchBlit, MapsSourcePixelsToTargetTheSameWayEveryTime) {
    CBitmap strip;
    strip.Attach(CoordinateImage(385, 35));
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    memory.SelectObject(&strip);
    auto stretch = [&](int w, int h) {
        CImage surface(w, h);
        CDC dc(&surface, {CRect(0, 0, w, h)});
        dc.StretchBlt(0, 0, w, h, &memory, 70, 1, 35, 33, SRCCOPY);  // the third tile
        return surface;
    };
    // Enlarging: 35 x 33 into 34 x 38. Every target pixel takes the source
    // pixel under its centre.
    const CImage big = stretch(34, 38);
    for (int y = 0; y < 38; ++y)
        for (int x = 0; x < 34; ++x) {
            const int sx = 70 + (2 * x + 1) * 35 / 68, sy = 1 + (2 * y + 1) * 33 / 76;
            ASSERT_EQ(big.At(x, y), static_cast<uint32_t>(sy * 1000 + sx)) << x << "," << y;
        }
    EXPECT_EQ(big.At(0, 0), 1000u + 70);
    EXPECT_EQ(big.At(33, 37), 33u * 1000 + 104);
    // Shrinking never reads outside the tile and repeats exactly.
    const CImage small = stretch(17, 16);
    for (uint32_t v : small.pixels) {
        EXPECT_GE(v % 1000, 70u);
        EXPECT_LT(v % 1000, 105u);
        EXPECT_GE(v / 1000, 1u);
        EXPECT_LT(v / 1000, 34u);
    }
    EXPECT_EQ(stretch(17, 16).pixels, small.pixels);
    EXPECT_EQ(stretch(34, 38).pixels, big.pixels);
}
