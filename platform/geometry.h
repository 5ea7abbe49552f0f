// Points and rectangles in view client pixels.
#pragma once

#include <algorithm>
#include <cstdint>

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int32_t px, int32_t py) : x(px), y(py) {}
    friend constexpr bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int32_t cx = 0;
    int32_t cy = 0;
    friend constexpr bool operator==(const CSize&, const CSize&) = default;
};

// left and top inclusive, right and bottom exclusive.
struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int32_t l, int32_t t, int32_t r, int32_t b)
        : left(l), top(t), right(r), bottom(b) {}

    constexpr int32_t Width() const { return right - left; }
    constexpr int32_t Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(CPoint p) const {
        return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
    }
    constexpr void OffsetRect(int32_t dx, int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    constexpr void SetRect(int32_t l, int32_t t, int32_t r, int32_t b) {
        *this = CRect(l, t, r, b);
    }
    constexpr void SetRectEmpty() { *this = CRect(); }
    constexpr void DeflateRect(int32_t dx, int32_t dy) {
        left += dx;
        right -= dx;
        top += dy;
        bottom -= dy;
    }
    // Sets this to the common part of a and b; an empty result becomes all zero.
    constexpr bool IntersectRect(const CRect& a, const CRect& b) {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (r.IsRectEmpty()) r = CRect();
        *this = r;
        return !IsRectEmpty();
    }
    // Smallest rectangle that holds both; empty rectangles are ignored.
    constexpr void UnionRect(const CRect& a, const CRect& b) {
        if (a.IsRectEmpty()) {
            *this = b.IsRectEmpty() ? CRect() : b;
        } else if (b.IsRectEmpty()) {
            *this = a;
        } else {
            *this = CRect(std::min(a.left, b.left), std::min(a.top, b.top),
                          std::max(a.right, b.right), std::max(a.bottom, b.bottom));
        }
    }
    friend constexpr bool operator==(const CRect&, const CRect&) = default;
};

// The free functions the games call by their platform names.
constexpr bool PtInRect(const CRect* r, CPoint p) {
    return r->PtInRect(p);
}
constexpr bool IntersectRect(CRect* out, const CRect* a, const CRect* b) {
    return out->IntersectRect(*a, *b);
}
constexpr void OffsetRect(CRect* r, int32_t dx, int32_t dy) {
    r->OffsetRect(dx, dy);
}

// Whether inner lies wholly within outer.
constexpr bool RectWithin(const CRect& inner, const CRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}
