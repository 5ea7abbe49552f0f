// The building rules the patience games share, each asked of the card to be
// put down and the card it would cover, and the drop rule's shared results.
#pragma once

#include "cards/cardpile.h"

// What a card earns going home to a foundation, by a drop or a double tap.
constexpr int32_t HOME_POINTS = 10;

// A game's drop rule's answer: any but DROP_REFUSED wins the drop search.
enum DropResult : int {
    DROP_REFUSED = 0,
    DROP_PLACED,  // onto a column or a free cell
    DROP_HOME,    // onto a foundation
};

// The points an accepted drop earns.
constexpr int32_t DropPoints(DropResult result) {
    return result == DROP_HOME ? HOME_POINTS : 0;
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
