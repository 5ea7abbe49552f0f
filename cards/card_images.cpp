#include "cards/card_images.h"

#include <algorithm>
#include <string>

namespace {

const CCardImages* g_images = nullptr;
// Made before any code runs, so that asking for the pictures, which every
// card painted does, checks no guard.
constinit const CCardImages g_noImages{};

}  // namespace

bool CCardImages::Load() {
    bool loaded = m_bmCardBack.LoadBitmap("CARDBACK");
    loaded = m_bmCardEmpty.LoadBitmap("CARDEMPTY") && loaded;
    loaded = m_bmCardDeal.LoadBitmap("CARDDEAL") && loaded;
    for (int n = 1; n <= CARD_COUNT; ++n)
        loaded = m_bmCards[n - 1].LoadBitmap("CARD" + std::to_string(n)) && loaded;
    DeriveMetrics();
    return loaded && m_cardWidth > 0 && m_cardHeight > 0;
}

void CCardImages::DeriveMetrics() {
    BITMAP info;
    if (!m_bmCardBack.GetBitmap(&info)) info = BITMAP{};
    m_cardWidth = info.bmWidth;
    m_cardHeight = info.bmHeight;
    const bool small = m_cardWidth <= 35;
    m_cardFaceUpStep = small ? 9 : 20;
    m_cardWasteStep = small ? 5 : 15;
    m_cardFaceDownStep = small ? 2 : 5;
}

const CBitmap& CCardImages::Face(int index) const {
    static const CBitmap none;
    if (index < 0 || index >= CARD_COUNT) return none;
    return m_bmCards[static_cast<size_t>(index)];
}

void SetCardImages(const CCardImages* images) {
    g_images = images;
}

const CCardImages& CardImages() {
    return g_images ? *g_images : g_noImages;
}

void DrawCardImage(CDC* dc, const CBitmap& image, int x, int y, PaintedArea* painted,
                   const CSize* shown) {
    const CCardImages& images = CardImages();
    const CSize block = shown ? *shown : CSize{images.m_cardWidth, images.m_cardHeight};
    // A picture outside the clip region would blit nothing, and the table
    // colour is filled only inside it.
    if (!dc->RectVisible(CRect(x, y, x + block.cx, y + block.cy))) return;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    const CBitmap* old = memory.SelectObject(&image);
    dc->BitBlt(x, y, block.cx, block.cy, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    memory.DeleteDC();
    // The blit stops where the picture does.
    if (painted && image.IsLoaded()) {
        const CSize size = image.GetSize();
        painted->Add(CRect(x, y, x + std::min(block.cx, size.cx), y + std::min(block.cy, size.cy)));
    }
}

CSize ShownUnder(const CRect& card, const CRect& next, const CBitmap& nextImage) {
    const CSize whole{card.Width(), card.Height()};
    const CSize size = nextImage.GetSize();
    // A picture smaller than a card hides less than its rectangle.
    if (size.cx < next.Width() || size.cy < next.Height() || next.Width() < card.Width() ||
        next.Height() < card.Height())
        return whole;
    if (next.left == card.left && next.top >= card.top)
        return CSize{whole.cx, std::min(whole.cy, next.top - card.top)};
    if (next.top == card.top && next.left >= card.left)
        return CSize{std::min(whole.cx, next.left - card.left), whole.cy};
    return whole;
}

void PaintedArea::Add(const CRect& rect) {
    if (rect.IsRectEmpty()) return;
    if (!m_rects.empty()) {
        CRect& last = m_rects.back();
        const bool column = rect.left == last.left && rect.right == last.right &&
                            rect.top <= last.bottom && rect.bottom >= last.top;
        const bool row = rect.top == last.top && rect.bottom == last.bottom &&
                         rect.left <= last.right && rect.right >= last.left;
        if (column || row) {
            last.UnionRect(last, rect);
            return;
        }
    }
    m_rects.push_back(rect);
}

void PaintedArea::FillAround(CDC* dc, COLORREF colour) {
    // What is bare starts as the clip region itself: its box may hold much
    // the paint never touches (the two ends of a drag step).
    std::vector<CRect>& bare = m_bare;
    std::vector<CRect>& rest = m_rest;
    bare.assign(dc->ClipRects().begin(), dc->ClipRects().end());
    // Each picture cuts the bare rectangles it meets into the up to four
    // pieces around it.
    for (const CRect& cover : m_rects) {
        rest.clear();
        for (const CRect& r : bare) {
            CRect common;
            if (!common.IntersectRect(r, cover)) {
                rest.push_back(r);
                continue;
            }
            if (r.top < common.top) rest.emplace_back(r.left, r.top, r.right, common.top);
            if (r.left < common.left)
                rest.emplace_back(r.left, common.top, common.left, common.bottom);
            if (common.right < r.right)
                rest.emplace_back(common.right, common.top, r.right, common.bottom);
            if (common.bottom < r.bottom)
                rest.emplace_back(r.left, common.bottom, r.right, r.bottom);
        }
        bare.swap(rest);
    }
    for (const CRect& r : bare) dc->FillSolidRect(r, colour);
}
