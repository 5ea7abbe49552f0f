#include "cards/card_grid.h"

#include "cards/card_images.h"

CardGrid::CardGrid(const CRect& client, int columns) {
    const CCardImages& images = CardImages();
    W = images.m_cardWidth;
    H = images.m_cardHeight;
    // The factor is a double, as on the handheld, so the pitch truncates
    // the same way: 240 x 2/15 gives 32, not 31.
    const double factor = 2.0 / (2 * columns + 1);
    pitch = static_cast<int>((client.right - client.left) * factor);
    if (pitch < W + 2) pitch = W + 2;  // never so narrow that cards touch
    left = (client.right - columns * pitch) / 2;
    if (left < 2) left = 2;
    gap = H / 5;
}
