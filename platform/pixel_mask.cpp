#include "platform/pixel_mask.h"

#include <algorithm>
#include <cstring>

void PixelMask::Reset(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    // Made at the first mark: most windows never owe a pixel.
    m_marks.clear();
    m_bounds = CRect();
    ForgetRecent();
}

void PixelMask::ForgetRecent() {
    for (CRect& r : m_recent) r = CRect();
}

void PixelMask::Mark(const CRect& rect) {
    CRect part;
    if (!part.IntersectRect(rect, CRect(0, 0, m_width, m_height))) return;
    for (const CRect& r : m_recent)
        if (RectWithin(part, r)) return;
    m_recent[m_nextRecent] = part;
    m_nextRecent = (m_nextRecent + 1) % kRecent;
    if (m_marks.empty()) m_marks.assign(static_cast<size_t>(m_width) * static_cast<size_t>(m_height), 0);
    for (int y = part.top; y < part.bottom; ++y)
        std::memset(&m_marks[static_cast<size_t>(y) * static_cast<size_t>(m_width) +
                             static_cast<size_t>(part.left)],
                    1, static_cast<size_t>(part.Width()));
    m_bounds.UnionRect(m_bounds, part);
}

namespace {

// The first byte from x on (before end) that is not zero, or that is; eight
// at a time while they all are not.
int Skip(const uint8_t* row, int x, int end, bool marked) {
    const uint64_t all = marked ? 0x0101010101010101u : 0;
    while (x + 8 <= end) {
        uint64_t word;
        std::memcpy(&word, row + x, sizeof word);
        if (word != all) break;
        x += 8;
    }
    while (x < end && (row[x] != 0) == marked) ++x;
    return x;
}

}  // namespace

std::vector<CRect> PixelMask::Take(const CRect& area) {
    std::vector<CRect> done;
    CRect scan;
    if (m_marks.empty() || !scan.IntersectRect(area, m_bounds)) return done;
    ForgetRecent();
    // Rectangles still growing downwards: the spans of the row above.
    std::vector<CRect> open, next;
    for (int y = scan.top; y < scan.bottom; ++y) {
        uint8_t* row = &m_marks[static_cast<size_t>(y) * static_cast<size_t>(m_width)];
        next.clear();
        for (int x = Skip(row, scan.left, scan.right, false); x < scan.right;
             x = Skip(row, x, scan.right, false)) {
            const int left = x;
            x = Skip(row, x, scan.right, true);
            std::memset(row + left, 0, static_cast<size_t>(x - left));
            const auto same = std::find_if(open.begin(), open.end(), [&](const CRect& r) {
                return r.left == left && r.right == x;
            });
            if (same == open.end()) {
                next.emplace_back(left, y, x, y + 1);
            } else {
                next.push_back(*same);
                next.back().bottom = y + 1;
                open.erase(same);
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open.swap(next);
    }
    done.insert(done.end(), open.begin(), open.end());
    if (scan == m_bounds) m_bounds = CRect();
    return done;
}
