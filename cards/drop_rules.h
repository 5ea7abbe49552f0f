// The building rules the patience games share, each asked of the card to be
// put down and the card it would cover, and the drop rule's shared results.
#pragma once

#include "cards/cardpile.h"

// CanDrop's results: the first nonzero one wins the drop search, and a game
// scores result - 1 for the move (DropPoints).
enum : int {
    DROP_REFUSED = 0,
    DROP_PLACED = 1,  // onto a column or a free cell: no points
    DROP_HOME = 11,   // onto a foundation: 10 points
};
constexpr int DropPoints(int result) {
    return result - 1;
}

// A foundation's next card: an ace on an empty one (top null), else the next
// card of top's suit.
inline bool IsFoundationNext(const CCard& card, const CCard* top) {
    return card.IsAce() ? top == nullptr : top && card.m_index == top->m_index + 1;
}

// One rank below top, in the other colour.
inline bool IsRankBelowAlternating(const CCard& card, const CCard& top) {
    return !card.IsSameColour(top) && card.RankDiff(top) == -1;
}

// One rank below top, of any suit.
inline bool IsRankBelow(const CCard& card, const CCard& top) {
    return card.RankDiff(top) == -1;
}

// One rank below top, in the same suit.
inline bool IsRankBelowInSuit(const CCard& card, const CCard& top) {
    return card.IsSameSuit(top) && card.RankDiff(top) == -1;
}
