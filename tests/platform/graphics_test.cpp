#include "platform/graphics.h"
#include "platform/pixel_mask.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
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

namespace {

// The simplest drawing there is, one pixel at a time through the clip region:
// the drawing context must give exactly these pixels.
struct ReferenceDC {
    CImage* target;
    std::vector<CRect> clip;

    void Put(int64_t x, int64_t y, uint32_t value) const {
        if (x < 0 || y < 0 || x >= target->width || y >= target->height) return;
        for (const CRect& r : clip)
            if (r.PtInRect(CPoint(static_cast<int32_t>(x), static_cast<int32_t>(y)))) {
                target->At(static_cast<int32_t>(x), static_cast<int32_t>(y)) = value;
                return;
            }
    }
    void Fill(const CRect& r, COLORREF colour) const {
        for (int64_t y = r.top; y < r.bottom; ++y)
            for (int64_t x = r.left; x < r.right; ++x) Put(x, y, PixelFromColorRef(colour));
    }
    static bool Has(const CImage& src, int64_t x, int64_t y) {
        return x >= 0 && y >= 0 && x < src.width && y < src.height;
    }
    void Blit(int x, int y, int w, int h, const CImage& src, int sx, int sy) const {
        for (int64_t j = 0; j < h; ++j)
            for (int64_t i = 0; i < w; ++i)
                if (Has(src, sx + i, sy + j))
                    Put(x + i, y + j,
                        src.At(static_cast<int32_t>(sx + i), static_cast<int32_t>(sy + j)));
    }
    void Stretch(int x, int y, int w, int h, const CImage& src, int sx, int sy, int sw,
                 int sh) const {
        for (int64_t j = 0; j < h; ++j)
            for (int64_t i = 0; i < w; ++i) {
                const int64_t px = sx + (2 * i + 1) * sw / (2 * int64_t{w});
                const int64_t py = sy + (2 * j + 1) * sh / (2 * int64_t{h});
                if (Has(src, px, py))
                    Put(x + i, y + j, src.At(static_cast<int32_t>(px), static_cast<int32_t>(py)));
            }
    }
};

}  // namespace

TEST(ClippedDrawing, MatchesPixelByPixelDrawingOnRandomRegionsAndBlocks) {
    std::mt19937 rng(15);
    auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    CBitmap tile;
    tile.Attach(CoordinateImage(25, 34));
    CDC memory;
    memory.CreateCompatibleDC(nullptr);
    memory.SelectObject(&tile);
    for (int round = 0; round < 300; ++round) {
        const int w = any(1, 90), h = any(1, 90);
        // Overlapping, empty and off-surface rectangles, as invalid regions have.
        std::vector<CRect> clip;
        for (int n = any(0, 4); n > 0; --n)
            clip.emplace_back(any(-20, w + 10), any(-20, h + 10), any(-20, w + 30),
                              any(-20, h + 30));
        CImage expected(w, h, 0x123456), actual(w, h, 0x123456);
        const ReferenceDC reference{&expected, clip};
        CDC dc(&actual, clip);
        for (int op = 0; op < 6; ++op) {
            const int x = any(-40, w + 5), y = any(-40, h + 5);
            const int bw = any(-3, 60), bh = any(-3, 60);
            const int sx = any(-10, 30), sy = any(-10, 40);
            switch (any(0, 2)) {
                case 0: {
                    const COLORREF colour = RGB(any(0, 255), op * 40, round % 256);
                    reference.Fill(CRect(x, y, x + bw, y + bh), colour);
                    dc.FillSolidRect(CRect(x, y, x + bw, y + bh), colour);
                    break;
                }
                case 1:
                    reference.Blit(x, y, bw, bh, *tile.Image(), sx, sy);
                    dc.BitBlt(x, y, bw, bh, &memory, sx, sy, SRCCOPY);
                    break;
                default: {
                    const int sw = any(1, 40), sh = any(1, 40);
                    reference.Stretch(x, y, std::max(bw, 1), std::max(bh, 1), *tile.Image(), sx, sy,
                                      sw, sh);
                    dc.StretchBlt(x, y, std::max(bw, 1), std::max(bh, 1), &memory, sx, sy, sw, sh,
                                  SRCCOPY);
                }
            }
            ASSERT_EQ(actual.pixels, expected.pixels) << "round " << round << ", op " << op;
        }
    }
}

TEST(ClippedDrawing, ACopyWithinTheSurfaceReadsItAsItWasBefore) {
    CImage surface(6, 1);
    for (int x = 0; x < 6; ++x) surface.At(x, 0) = static_cast<uint32_t>(x);
    CDC dc(&surface, {CRect(0, 0, 6, 1)});
    dc.BitBlt(1, 0, 5, 1, &dc, 0, 0, SRCCOPY);  // one pixel to the right
    EXPECT_EQ(surface.pixels, (std::vector<uint32_t>{0, 0, 1, 2, 3, 4}));
}

// Marked pixels come back as rectangles covering each of them once, and
// only those within the area asked for; they are then unmarked.
TEST(PixelMaskTest, TakeGivesEachMarkedPixelOnceAndUnmarksIt) {
    struct Case {
        std::vector<CRect> marks;
        CRect area;
    };
    const Case cases[] = {
        {{{2, 2, 8, 6}}, {0, 0, 20, 20}},
        {{{2, 2, 8, 6}, {4, 4, 12, 10}, {0, 9, 20, 11}}, {0, 0, 20, 20}},
        {{{2, 2, 8, 6}, {4, 4, 12, 10}}, {5, 3, 9, 8}},
        {{{-5, -5, 3, 3}, {18, 18, 30, 30}}, {0, 0, 20, 20}},
        {{{1, 1, 4, 4}, {6, 1, 9, 4}, {1, 6, 9, 8}}, {3, 0, 7, 20}},
    };
    // How many of the rectangles taken cover each pixel.
    const auto coverage = [](const std::vector<CRect>& taken) {
        std::vector<int> covered(400, 0);
        for (const CRect& r : taken)
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) ++covered[static_cast<size_t>(y * 20 + x)];
        return covered;
    };
    for (const Case& c : cases) {
        PixelMask mask;
        mask.Reset(20, 20);
        for (const CRect& r : c.marks) mask.Mark(r);
        const std::vector<int> covered = coverage(mask.Take(c.area));
        const std::vector<int> left = coverage(mask.Take({0, 0, 20, 20}));
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const CPoint p(x, y);
                const bool marked = std::any_of(c.marks.begin(), c.marks.end(),
                                                [&](const CRect& r) { return r.PtInRect(p); });
                const bool inArea = c.area.PtInRect(p);
                const size_t i = static_cast<size_t>(y * 20 + x);
                EXPECT_EQ(covered[i], marked && inArea) << x << "," << y;
                EXPECT_EQ(left[i], marked && !inArea) << x << "," << y;
            }
        EXPECT_TRUE(mask.Take({0, 0, 20, 20}).empty());
        // Taken, a rectangle marked again is marked again.
        mask.Mark(c.marks.front());
        EXPECT_FALSE(mask.Take({0, 0, 20, 20}).empty());
    }
}
