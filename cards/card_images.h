// The card pictures and the card metrics every card game lays out with. The
// application owns one set for the whole run and points the card table at it;
// tests point it at pictures of their own.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/graphics.h"

constexpr int CARD_COUNT = 52;

struct CCardImages {
    CBitmap m_bmCardBack;   // "CARDBACK"
    CBitmap m_bmCardEmpty;  // "CARDEMPTY": the place of an empty pile
    CBitmap m_bmCardDeal;   // "CARDDEAL": the place of an empty pile that deals when tapped
    std::array<CBitmap, CARD_COUNT> m_bmCards;  // element i is card index i, "CARD<i+1>"
    int32_t m_cardWidth = 0;
    int32_t m_cardHeight = 0;
    int32_t m_cardFaceUpStep = 0;
    int32_t m_cardWasteStep = 0;
    int32_t m_cardFaceDownStep = 0;

    // Loads every picture from the program's resources by name (the back, the
    // empty and deal places, then "CARD1" .. "CARD52") and derives the
    // metrics from the back. Returns false when any picture is missing or
    // unreadable, or the back has no size: the program cannot show a card
    // table then, and must say so and not start.
    bool Load();
    // Width and height from the back picture; the fan steps are 9, 5 and 2
    // for a back up to 35 pixels wide, 20, 15 and 5 for a wider one.
    void DeriveMetrics();
    // The face of card index 0..51; an empty picture (which paints nothing)
    // for any other value.
    const CBitmap& Face(int index) const;
};

// Points the card table at the pictures it draws with; the caller keeps them
// alive while any card game exists. Null goes back to an empty set.
void SetCardImages(const CCardImages* images);
const CCardImages& CardImages();

// How much of a card at card shows from its top left corner once the next
// card is painted over it at next with nextImage: the strip up to it in a
// fan, or all of it when the next card does not cover the rest whole.
CSize ShownUnder(const CRect& card, const CRect& next, const CBitmap& nextImage);

// Where the pictures of one paint went. They are opaque, so the table colour
// is needed only around them.
class PaintedArea {
public:
    // A picture's rectangle; one that continues the last one's fan (the
    // same column or row, overlapping or touching) widens it instead.
    void Add(const CRect& rect);
    // Fills the part of dc's clip region that no picture covers.
    void FillAround(CDC* dc, COLORREF colour);
    const std::vector<CRect>& Rects() const { return m_rects; }
    // Empty again, keeping its storage for the next paint.
    void Clear() { m_rects.clear(); }

private:
    std::vector<CRect> m_rects;
    std::vector<CRect> m_bare, m_rest;  // FillAround's, kept from paint to paint
};

// Blits a card-sized block of image to (x, y), the way every card and place
// picture is painted: through a memory context compatible with dc. Adds
// what it covered within dc's clip box to painted, when given. With shown,
// only that much of the block from its top left corner: the part of a
// fanned card that the next card leaves in sight.
void DrawCardImage(CDC* dc, const CBitmap& image, int x, int y, PaintedArea* painted = nullptr,
                   const CSize* shown = nullptr);
