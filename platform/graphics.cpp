#include "platform/graphics.h"

#include <algorithm>
#include <cstring>
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

namespace {

// The rectangle with the given 64-bit edges cut to bounds, so that far-off
// coordinates never overflow; empty when nothing is left.
CRect Cut(int64_t left, int64_t top, int64_t right, int64_t bottom, const CRect& bounds) {
    const CRect cut(static_cast<int32_t>(std::clamp<int64_t>(left, bounds.left, bounds.right)),
                    static_cast<int32_t>(std::clamp<int64_t>(top, bounds.top, bounds.bottom)),
                    static_cast<int32_t>(std::clamp<int64_t>(right, bounds.left, bounds.right)),
                    static_cast<int32_t>(std::clamp<int64_t>(bottom, bounds.top, bounds.bottom)));
    return cut.IsRectEmpty() ? CRect() : cut;
}

}  // namespace

CDC::CDC(CImage* target, const std::vector<CRect>& clip, bool drawPixels)
    : m_target(target), m_clipRects(clip.size()), m_drawsPixels(drawPixels) {
    if (!m_target) return;
    const CRect surface(0, 0, m_target->width, m_target->height);
    for (const CRect& r : clip) {
        CRect part;
        if (!part.IntersectRect(r, surface)) continue;
        m_visible.push_back(part);
        m_bounds.UnionRect(m_bounds, part);
    }
}

bool CDC::CreateCompatibleDC(CDC*) {
    m_target = nullptr;
    m_clipRects = 0;
    m_visible.clear();
    m_bounds = CRect();
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

const CImage* CDC::SourceImage() const {
    if (m_selected) return m_selected->Image();
    return m_target;
}

void CDC::FillSolidRect(const CRect& rect, COLORREF colour) {
    if (!m_drawsPixels) return;
    const uint32_t value = PixelFromColorRef(colour);
    for (const CRect& clip : m_visible) {
        CRect part;
        if (!part.IntersectRect(rect, clip)) continue;
        // One row filled, the others copied from it: a copy moves many
        // pixels at a stroke.
        uint32_t* first = m_target->Row(part.top) + part.left;
        std::fill_n(first, part.Width(), value);
        const size_t bytes = static_cast<size_t>(part.Width()) * sizeof(uint32_t);
        const auto stride = static_cast<size_t>(m_target->width);
        uint32_t* row = first;
        for (int y = part.top + 1; y < part.bottom; ++y) std::memcpy(row += stride, first, bytes);
    }
}

void CDC::FillRect(const CRect& rect, const CBrush* brush) {
    if (brush && brush->IsValid()) FillSolidRect(rect, brush->Colour());
}

bool CDC::BitBlt(int x, int y, int width, int height, CDC* source, int sx, int sy, uint32_t) {
    const CImage* src = source ? source->SourceImage() : nullptr;
    if (!src || !m_target) return false;
    if (!m_drawsPixels) return true;
    // Target pixel (tx, ty) takes source pixel (tx - dx, ty - dy); the block
    // is cut to where the source has pixels.
    const int64_t dx = int64_t{x} - sx, dy = int64_t{y} - sy;
    const CRect block = Cut(std::max<int64_t>(x, dx), std::max<int64_t>(y, dy),
                            std::min<int64_t>(int64_t{x} + width, dx + src->width),
                            std::min<int64_t>(int64_t{y} + height, dy + src->height), m_bounds);
    if (block.IsRectEmpty()) return true;
    // A copy within the surface reads its pixels as they were before it.
    CImage before;
    if (src == m_target) {
        before = *src;
        src = &before;
    }
    for (const CRect& clip : m_visible) {
        CRect part;
        if (!part.IntersectRect(block, clip)) continue;
        const size_t bytes = static_cast<size_t>(part.Width()) * sizeof(uint32_t);
        // Row by row, stepping pointers: the rows of a card are short, and
        // working out each row's address again costs as much as its copy.
        uint32_t* to = m_target->Row(part.top) + part.left;
        const uint32_t* from = src->Row(static_cast<int32_t>(part.top - dy)) + (part.left - dx);
        const auto toStride = static_cast<size_t>(m_target->width);
        const auto fromStride = static_cast<size_t>(src->width);
        for (int ty = part.top; ty < part.bottom; ++ty, to += toStride, from += fromStride)
            std::memcpy(to, from, bytes);
    }
    return true;
}

bool CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int sx, int sy,
                     int sourceWidth, int sourceHeight, uint32_t) {
    const CImage* src = source ? source->SourceImage() : nullptr;
    if (!src || !m_target || width <= 0 || height <= 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return false;
    if (!m_drawsPixels) return true;
    const CRect target = Cut(x, y, int64_t{x} + width, int64_t{y} + height, m_bounds);
    if (target.IsRectEmpty() || src->width <= 0 || src->height <= 0) return true;
    CImage before;
    if (src == m_target) {
        before = *src;
        src = &before;
    }
    // Nearest pixel: each target pixel takes the source pixel under its
    // centre. The columns are worked out once; -1 marks one outside the source.
    std::vector<int32_t> columns(static_cast<size_t>(target.Width()));
    for (int tx = target.left; tx < target.right; ++tx) {
        const int64_t px = sx + (2 * (int64_t{tx} - x) + 1) * sourceWidth / (2 * int64_t{width});
        columns[static_cast<size_t>(tx - target.left)] =
            px < 0 || px >= src->width ? -1 : static_cast<int32_t>(px);
    }
    for (const CRect& clip : m_visible) {
        CRect part;
        if (!part.IntersectRect(target, clip)) continue;
        for (int ty = part.top; ty < part.bottom; ++ty) {
            const int64_t py =
                sy + (2 * (int64_t{ty} - y) + 1) * sourceHeight / (2 * int64_t{height});
            if (py < 0 || py >= src->height) continue;
            const uint32_t* from = src->Row(static_cast<int32_t>(py));
            uint32_t* to = m_target->Row(ty);
            for (int tx = part.left; tx < part.right; ++tx) {
                const int32_t px = columns[static_cast<size_t>(tx - target.left)];
                if (px >= 0) to[tx] = from[px];
            }
        }
    }
    return true;
}

bool CDC::RectVisible(const CRect& rect) const {
    CRect part;
    if (!part.IntersectRect(rect, m_bounds)) return false;
    for (const CRect& clip : m_visible)
        if (part.IntersectRect(rect, clip)) return true;
    return false;
}

int CDC::GetClipBox(CRect* box) const {
    *box = m_bounds;
    return m_bounds.IsRectEmpty() ? 1 /* NULLREGION */ : (m_clipRects == 1 ? 2 : 3);
}
