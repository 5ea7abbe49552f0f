// Klondike's rules, as cardgames/solitaire.cpp plays them.
#include "solver/games.h"

namespace solver {

namespace {
constexpr int kStock = 0, kWaste = 1;
constexpr int kTurn = 3;  // cards turned from the stock at a time
}  // namespace

bool IsSafeHome(const TablePosition& table, uint8_t card) {
    int home[4] = {0, 0, 0, 0};
    for (const Pile& pile : table.piles)
        if (pile.kind == FOUNDATION && !pile.cards.empty())
            home[Suit(pile.cards.front())] = static_cast<int>(pile.cards.size());
    for (int suit = 0; suit < 4; ++suit) {
        const bool red = suit == 1 || suit == 2;
        if (red != IsRed(card) && home[suit] < Rank(card)) return false;
    }
    return true;
}

namespace {
// Klondike's cards come back from the foundations, so a card is sure not to
// be wanted on the table only when, besides the other colour's cards one
// rank lower, its own colour's other suit two ranks lower is home too: no
// card that could come back onto it could itself want a place.
bool IsSafeHomeForGood(const TablePosition& table, uint8_t card) {
    if (!IsSafeHome(table, card)) return false;
    if (Rank(card) < 2) return true;
    const int twin = Suit(card) ^ 3;  // clubs and spades, diamonds and hearts
    for (const Pile& pile : table.piles)
        if (pile.kind == FOUNDATION && !pile.cards.empty() && Suit(pile.cards.front()) == twin)
            return static_cast<int>(pile.cards.size()) >= Rank(card) - 1;
    return false;
}
}  // namespace

Press KlondikeRules::PressAt(const TablePosition& table, int pile, int card) const {
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    switch (p.kind) {
        case STOCK:
            return table.piles[kStock].cards.empty() && table.piles[kWaste].cards.empty()
                       ? Press::Nothing
                       : Press::Tap;
        case TABLEAU:
            if (card < 0) return Press::Nothing;
            return IsDown(p.cards[static_cast<size_t>(card)]) ? Press::Tap : Press::Lift;
        default:
            return card >= 0 ? Press::Lift : Press::Nothing;
    }
}

bool KlondikeRules::CanDrop(const TablePosition& table, int from, int card, int to) const {
    const uint8_t moving = table.piles[static_cast<size_t>(from)].cards[static_cast<size_t>(card)];
    const Pile& target = table.piles[static_cast<size_t>(to)];
    switch (target.kind) {
        case TABLEAU:
            if (target.cards.empty()) return Rank(moving) == 12;
            return IsBelowAlternating(moving, target.cards.back());
        case FOUNDATION:
            return IsFoundationNext(moving, target);
        default:
            return false;
    }
}

void KlondikeRules::Tap(TablePosition& table, int pile, int card) const {
    if (pile != kStock) {
        table.piles[static_cast<size_t>(pile)].cards[static_cast<size_t>(card)] &= ~FACE_DOWN;
        return;
    }
    if (!table.piles[kStock].cards.empty())
        MoveTop(table, kStock, kWaste, kTurn);
    else  // the waste goes back over, in the order the stock had
        MoveTop(table, kWaste, kStock, static_cast<int>(table.piles[kWaste].cards.size()));
}

std::vector<CardMove> KlondikeRules::SearchMoves(TablePosition& table, bool&) const {
    std::vector<CardMove> legal = LegalMoves(table);
    std::vector<CardMove> moves;
    std::vector<int> scores;
    for (const CardMove& move : legal) {
        const Pile& from = table.piles[static_cast<size_t>(move.pile)];
        if (move.kind == MOVE_HOME) {
            // A column's card nobody needs goes home at once, and nothing
            // else is worth trying first.
            if (from.kind == TABLEAU && IsSafeHomeForGood(table, from.cards.back())) return {move};
            moves.push_back(move);
            scores.push_back(100);
            continue;
        }
        if (move.kind == MOVE_TAP) {
            moves.push_back(move);
            scores.push_back(10);
            continue;
        }
        const Pile& to = table.piles[static_cast<size_t>(move.to)];
        // Home by a drop is the move home by a double tap, or an ace from
        // one empty foundation to the next.
        if (to.kind == FOUNDATION) continue;
        int score = 0;
        if (from.kind == WASTE) {
            score = 50;
        } else if (from.kind == FOUNDATION) {
            score = 1;
        } else if (move.card == 0) {
            // A whole column onto an empty one changes nothing.
            if (to.cards.empty()) continue;
            score = 40;
        } else if (UncoversFaceDown(from, move.card)) {
            score = 80 + move.card;
        } else {
            score = 5;  // a run split off another
        }
        moves.push_back(move);
        scores.push_back(score);
    }
    SortByScore(moves, scores);
    return moves;
}

uint64_t KlondikeRules::Key(const TablePosition& table) const {
    return Hash(table, true, false);
}

}  // namespace solver
