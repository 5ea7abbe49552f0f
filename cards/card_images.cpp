#include "cards/card_images.h"

#include <string>

namespace {

const CCardImages* g_images = nullptr;

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
    static const CCardImages none;
    return g_images ? *g_images : none;
}

void DrawCardImage(CDC* dc, const CBitmap& image, int x, int y) {
    const CCardImages& images = CardImages();
    CDC memory;
    memory.CreateCompatibleDC(dc);
    const CBitmap* old = memory.SelectObject(&image);
    dc->BitBlt(x, y, images.m_cardWidth, images.m_cardHeight, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(old);
    memory.DeleteDC();
}
