// The grid every card table is laid out on: n columns across the client
// area at a pitch of 2 / (2n + 1) of its width, centred, with rows a fifth
// of a card's height apart.
#pragma once

#include "platform/geometry.h"

struct CardGrid {
    int W = 0, H = 0;  // the card size
    int pitch = 0;     // from one column's left edge to the next's
    int left = 0;      // the first column's left edge
    int gap = 0;       // between rows, and above the first

    // n columns on the client area, with the cards' size.
    CardGrid(const CRect& client, int columns);

    int Column(int i) const { return left + i * pitch; }
    // A card-sized place at (x, y).
    CRect Place(int x, int y) const { return CRect(x, y, x + W, y + H); }
};
