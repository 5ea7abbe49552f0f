// Which pixels of a window are marked (its paints owed them), kept a byte a
// pixel, and handed back as rectangles that cover each marked pixel once.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/geometry.h"

class PixelMask {
public:
    // Unmarks everything, for a surface of this size.
    void Reset(int width, int height);
    void Mark(const CRect& rect);
    bool Empty() const { return m_bounds.IsRectEmpty(); }
    // The marked pixels within area as rectangles, row spans of the same
    // edges joined; they are unmarked.
    std::vector<CRect> Take(const CRect& area);

private:
    void ForgetRecent();

    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_marks;
    CRect m_bounds;  // holds every marked pixel
    // The last rectangles marked whole since the last take: a pile painted
    // again and again is marked once.
    static constexpr size_t kRecent = 8;
    CRect m_recent[kRecent];
    size_t m_nextRecent = 0;
};
