// The ball pictures and the two ball metrics every ball board paints with,
// loaded once for the whole run.
#pragma once

#include <cstdint>

#include "platform/graphics.h"

struct CBolImages {
    CBitmap m_strip;             // bitmap 133: eleven square tiles side by side
    CBitmap m_disc;              // bitmap 131: a white disc on black, shipped but never drawn
    int32_t m_tileSize = 0;      // T: the strip's height, also each tile's width
    int32_t m_sourceHeight = 0;  // S: the rows of a tile that are shown

    // Loads both pictures and works out T and S. False when the strip is
    // missing: a board then paints nothing.
    bool Load();
    // The bottom rows of every tile are a light line that is never shown:
    // two of them up to a 60-pixel tile, four above.
    void DeriveMetrics();
};

// The pictures, loaded on first use.
const CBolImages& BolImages();
