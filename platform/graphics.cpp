#include "platform/graphics.h"

#include <map>
#include <string>

#include "platform/resources.h"

CImage::CImage(int32_t w, int32_t h, uint32_t fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

namespace {

uint32_t ReadLE(std::span<const unsigned char> b, size_t at, int size) {
    uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
    return v;
}

}  // namespace

std::unique_ptr<CImage> DecodeBmp(std::span<const unsigned char> b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return nullptr;
    const size_t dataOffset = ReadLE(b, 10, 4);
    const size_t headerSize = ReadLE(b, 14, 4);
    const int32_t width = static_cast<int32_t>(ReadLE(b, 18, 4));
    const int32_t rawHeight = static_cast<int32_t>(ReadLE(b, 22, 4));
    const int bits = static_cast<int>(ReadLE(b, 28, 2));
    const uint32_t compression = ReadLE(b, 30, 4);
    uint32_t coloursUsed = ReadLE(b, 46, 4);
    if (headerSize < 40 || compression != 0 || width <= 0 || rawHeight == 0 || width > 16384 ||
        rawHeight > 16384 || rawHeight < -16384)
        return nullptr;
    if (bits != 4 && bits != 8 && bits != 24) return nullptr;
    const bool bottomUp = rawHeight > 0;
    const int32_t height = bottomUp ? rawHeight : -rawHeight;

    std::vector<uint32_t> palette;
    if (bits <= 8) {
        if (coloursUsed == 0 || coloursUsed > (1u << bits)) coloursUsed = 1u << bits;
        const size_t paletteAt = 14 + headerSize;
        if (paletteAt + coloursUsed * 4 > b.size()) return nullptr;
        for (uint32_t i = 0; i < coloursUsed; ++i) {
            size_t at = paletteAt + i * 4;
            palette.push_back((uint32_t{b[at + 2]} << 16) | (uint32_t{b[at + 1]} << 8) | b[at]);
        }
    }
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (dataOffset > b.size() || stride * static_cast<size_t>(height) > b.size() - dataOffset)
        return nullptr;

    auto image = std::make_unique<CImage>(width, height);
    for (int32_t row = 0; row < height; ++row) {
        const size_t at = dataOffset + stride * static_cast<size_t>(row);
        const int32_t y = bottomUp ? height - 1 - row : row;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t pixel = 0;
            if (bits == 24) {
                size_t p = at + static_cast<size_t>(x) * 3;
                pixel = (uint32_t{b[p + 2]} << 16) | (uint32_t{b[p + 1]} << 8) | b[p];
            } else {
                unsigned index =
                    bits == 8 ? b[at + static_cast<size_t>(x)]
                              : (b[at + static_cast<size_t>(x) / 2] >> (x % 2 ? 0 : 4)) & 0xF;
                pixel = index < palette.size() ? palette[index] : 0;
            }
            image->At(x, y) = pixel;
        }
    }
    return image;
}

bool CBitmap::LoadBitmap(std::string_view resourceName) {
    // Resources are immutable, so each is decoded once and shared.
    static std::map<std::string, std::shared_ptr<const CImage>, std::less<>> cache;
    auto found = cache.find(resourceName);
    if (found != cache.end()) {
        m_image = found->second;
        return true;
    }
    const EmbeddedImage* embedded = FindImage(resourceName);
    if (!embedded) return false;
    std::shared_ptr<const CImage> image = DecodeBmp(embedded->bytes);
    if (!image) return false;
    cache.emplace(std::string(resourceName), image);
    m_image = std::move(image);
    return true;
}

bool CBitmap::LoadBitmap(unsigned resourceNumber) {
    return LoadBitmap(std::to_string(resourceNumber));
}

int CBitmap::GetBitmap(BITMAP* info) const {
    if (!m_image) return 0;
    info->bmWidth = m_image->width;
    info->bmHeight = m_image->height;
    return sizeof(BITMAP);
}

CSize CBitmap::GetSize() const {
    return m_image ? CSize{m_image->width, m_image->height} : CSize{};
}

CDC::CDC(CImage* target, std::vector<CRect> clip) : m_target(target), m_clip(std::move(clip)) {}

bool CDC::CreateCompatibleDC(CDC*) {
    m_target = nullptr;
    m_clip.clear();
    m_selected = nullptr;
    return true;
}

const CBitmap* CDC::SelectObject(const CBitmap* bitmap) {
    const CBitmap* previous = m_selected;
    m_selected = bitmap;
    return previous;
}

bool CDC::DeleteDC() {
    m_selected = nullptr;
    return true;
}

bool CDC::Visible(int x, int y) const {
    if (!m_target || x < 0 || y < 0 || x >= m_target->width || y >= m_target->height) return false;
    for (const CRect& r : m_clip)
        if (r.PtInRect(CPoint(x, y))) return true;
    return false;
}

void CDC::PutPixel(int x, int y, uint32_t value) {
    if (Visible(x, y)) m_target->At(x, y) = value;
}

const CImage* CDC::SourceImage() const {
    if (m_selected) return m_selected->Image();
    return m_target;
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
    const uint32_t value = PixelFromColorRef(colour);
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) PutPixel(x, y, value);
}

void CDC::FillRect(const CRect& rect, const CBrush* brush) {
    if (brush && brush->IsValid()) FillSolidRect(rect, brush->Colour());
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, uint32_t) {
    const CImage* src = source ? source->SourceImage() : nullptr;
    if (!src || !m_target) return false;
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int px = sx + i, py = sy + j;
            if (px < 0 || py < 0 || px >= src->width || py >= src->height) continue;
            PutPixel(x + i, y + j, src->At(px, py));
        }
    }
    return true;
}

bool CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy,
                     int sourceWidth, int sourceHeight, uint32_t) {
    const CImage* src = source ? source->SourceImage() : nullptr;
    if (!src || !m_target || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return false;
    // Nearest pixel: each target pixel takes the source pixel under its centre.
    for (int j = 0; j < height; ++j) {
        const int py = sy + static_cast<int>((2LL * j + 1) * sourceHeight / (2LL * height));
        for (int i = 0; i < width; ++i) {
            const int px = sx + static_cast<int>((2LL * i + 1) * sourceWidth / (2LL * width));
            if (px < 0 || py < 0 || px >= src->width || py >= src->height) continue;
            PutPixel(x + i, y + j, src->At(px, py));
        }
    }
    return true;
}

int CDC::GetClipBox(CRect* box) const {
    CRect bounds;
    if (m_target) {
        const CRect surface(0, 0, m_target->width, m_target->height);
        for (const CRect& r : m_clip) {
            CRect part;
            if (part.IntersectRect(r, surface)) bounds.UnionRect(bounds, part);
        }
    }
    *box = bounds;
    return bounds.IsRectEmpty() ? 1 /* NULLREGION */ : (m_clip.size() == 1 ? 2 : 3);
}
