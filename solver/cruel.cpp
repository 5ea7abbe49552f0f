// Cruel's rules, as cardgames/cruel.cpp plays them.
#include <algorithm>

#include "solver/games.h"

namespace solver {

namespace {
constexpr int kPileSize = 4;
}  // namespace

Press CruelRules::PressAt(const TablePosition& table, int pile, int card) const {
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    switch (p.kind) {
        case STOCK:
            return Press::Tap;
        case TABLEAU:
            if (card < 0) return Press::Nothing;
            return IsDown(p.cards[static_cast<size_t>(card)]) ? Press::Tap : Press::Lift;
        case FOUNDATION:
            return card >= 0 ? Press::Lift : Press::Nothing;
        default:
            return Press::Nothing;
    }
}

bool CruelRules::CanDrop(const TablePosition& table, int from, int card, int to) const {
    const uint8_t moving = table.piles[static_cast<size_t>(from)].cards[static_cast<size_t>(card)];
    const Pile& target = table.piles[static_cast<size_t>(to)];
    switch (target.kind) {
        case TABLEAU:
            if (target.cards.empty()) return Rank(moving) == 12;
            return Suit(moving) == Suit(target.cards.back()) &&
                   Rank(moving) + 1 == Rank(target.cards.back());
        case FOUNDATION:
            return IsFoundationNext(moving, target);
        default:
            return false;
    }
}

void CruelRules::Tap(TablePosition& table, int pile, int card) const {
    if (table.piles[static_cast<size_t>(pile)].kind == TABLEAU) {
        table.piles[static_cast<size_t>(pile)].cards[static_cast<size_t>(card)] &= ~FACE_DOWN;
        return;
    }
    // The redeal: gathered pile by pile, bottom to top, and dealt back in
    // fours from the first pile on; the last takes the rest.
    std::vector<uint8_t> gathered;
    std::vector<Pile*> piles;
    for (Pile& p : table.piles) {
        if (p.kind != TABLEAU) continue;
        gathered.insert(gathered.end(), p.cards.begin(), p.cards.end());
        p.cards.clear();
        piles.push_back(&p);
    }
    size_t next = 0;
    for (size_t i = 0; i < piles.size() && next < gathered.size(); ++i) {
        const size_t count = i + 1 == piles.size()
                                 ? gathered.size() - next
                                 : std::min<size_t>(kPileSize, gathered.size() - next);
        piles[i]->cards.assign(gathered.begin() + static_cast<ptrdiff_t>(next),
                               gathered.begin() + static_cast<ptrdiff_t>(next + count));
        next += count;
    }
}

std::vector<CardMove> CruelRules::SearchMoves(TablePosition& table, bool&) const {
    std::vector<CardMove> legal = LegalMoves(table);
    std::vector<CardMove> moves;
    std::vector<int> scores;
    for (const CardMove& move : legal) {
        const Pile& from = table.piles[static_cast<size_t>(move.pile)];
        int score = 0;
        if (move.kind == MOVE_HOME) {
            score = 100;
        } else if (move.kind == MOVE_TAP) {
            score = 10;
        } else {
            const Pile& to = table.piles[static_cast<size_t>(move.to)];
            // A drop home is the double tap's move home, or an ace from one
            // empty foundation to another.
            if (to.kind == FOUNDATION) continue;
            score = from.kind == FOUNDATION ? 1 : 50;
        }
        moves.push_back(move);
        scores.push_back(score);
    }
    SortByScore(moves, scores);
    return moves;
}

}  // namespace solver
