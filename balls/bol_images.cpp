#include "balls/bol_images.h"

bool CBolImages::Load() {
    const bool loaded = m_strip.LoadBitmap(133);
    m_disc.LoadBitmap(131);
    DeriveMetrics();
    return loaded && m_tileSize > 0;
}

void CBolImages::DeriveMetrics() {
    BITMAP info;
    if (!m_strip.GetBitmap(&info)) info = BITMAP{};
    m_tileSize = info.bmHeight;
    m_sourceHeight = m_tileSize <= 60 ? m_tileSize - 2 : m_tileSize - 4;
}

const CBolImages& BolImages() {
    static CBolImages images;
    // Tried again until it works: the resources may not be installed yet.
    if (!images.m_strip.IsLoaded()) images.Load();
    return images;
}
