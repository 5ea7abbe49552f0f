// Pixels: images, the view's surface and the device context that draws on it
// through a clip region.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/geometry.h"

using COLORREF = uint32_t;  // 0x00BBGGRR
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return c & 0xFF;
}
constexpr int GetGValue(COLORREF c) {
    return (c >> 8) & 0xFF;
}
constexpr int GetBValue(COLORREF c) {
    return (c >> 16) & 0xFF;
}

constexpr uint32_t SRCCOPY = 0x00CC0020;

// 32-bit pixels, 0x00RRGGBB, rows top to bottom.
struct CImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    CImage() = default;
    CImage(int32_t w, int32_t h, uint32_t fill = 0);
    uint32_t At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const uint32_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
    uint32_t* Row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
};

constexpr uint32_t PixelFromColorRef(COLORREF c) {
    return (static_cast<uint32_t>(GetRValue(c)) << 16) |
           (static_cast<uint32_t>(GetGValue(c)) << 8) | static_cast<uint32_t>(GetBValue(c));
}

// Decodes an uncompressed BMP of 4, 8 or 24 bits per pixel; nullptr when the
// bytes are not one.
std::unique_ptr<CImage> DecodeBmp(std::span<const unsigned char> bytes);

struct BITMAP {
    int32_t bmWidth = 0;
    int32_t bmHeight = 0;
};

// An image loaded from the program's resources. Loaded images are shared and
// read-only; each is decoded once.
class CBitmap {
public:
    bool LoadBitmap(std::string_view resourceName);
    bool LoadBitmap(unsigned resourceNumber);
    // Wraps pixels made by the program itself (tests, generated art).
    void Attach(std::shared_ptr<const CImage> image) { m_image = std::move(image); }
    int GetBitmap(BITMAP* info) const;
    CSize GetSize() const;
    const CImage* Image() const { return m_image.get(); }
    bool IsLoaded() const { return m_image != nullptr; }

private:
    std::shared_ptr<const CImage> m_image;
};

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }
    bool CreateSolidBrush(COLORREF colour) {
        m_colour = colour;
        m_valid = true;
        return true;
    }
    bool IsValid() const { return m_valid; }
    COLORREF Colour() const { return m_colour; }
    void DeleteObject() { m_valid = false; }

private:
    COLORREF m_colour = 0;
    bool m_valid = false;
};

// A device context: either the view's surface, clipped to a region, or a
// memory context that holds a selected image as a blit source.
class CDC {
public:
    CDC() = default;
    // With drawPixels false, drawing changes no pixel: the paint runs for
    // what it does besides drawing.
    CDC(CImage* target, const std::vector<CRect>& clip, bool drawPixels = true);

    // Memory context compatible with another; the source side of a blit.
    bool CreateCompatibleDC(CDC* other);
    // Selects an image; returns the one selected before (possibly null).
    const CBitmap* SelectObject(const CBitmap* bitmap);
    bool DeleteDC();

    void FillSolidRect(const CRect& rect, COLORREF colour);
    void FillRect(const CRect& rect, const CBrush* brush);
    bool BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, uint32_t rop);
    bool StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy,
                    int sourceWidth, int sourceHeight, uint32_t rop);
    // Bounding box of the clip region within the surface.
    int GetClipBox(CRect* box) const;
    // Whether any part of rect lies in the clip region (not just its box).
    bool RectVisible(const CRect& rect) const;
    // The clip region's rectangles within the surface.
    const std::vector<CRect>& ClipRects() const { return m_visible; }
    bool DrawsPixels() const { return m_drawsPixels; }

private:
    const CImage* SourceImage() const;

    CImage* m_target = nullptr;
    size_t m_clipRects = 0;  // the clip region's, as given
    // The clip region's rectangles cut to the surface, empty ones left out,
    // and their bounding box: drawing works on these whole rows at a time.
    std::vector<CRect> m_visible;
    CRect m_bounds;
    const CBitmap* m_selected = nullptr;
    bool m_drawsPixels = true;
};
