// Freecell's rules, as cardgames/freecell.cpp plays them: a run of any
// length moves as a unit, whatever the free cells hold.
#include "solver/games.h"

namespace solver {

namespace {
bool IsRun(const Pile& pile, int card) {
    for (size_t i = static_cast<size_t>(card) + 1; i < pile.cards.size(); ++i)
        if (!IsBelowAlternating(pile.cards[i], pile.cards[i - 1])) return false;
    return true;
}
}  // namespace

Press FreecellRules::PressAt(const TablePosition& table, int pile, int card) const {
    if (card < 0) return Press::Nothing;
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    switch (p.kind) {
        case WASTE:  // a free cell
            return Press::Lift;
        case TABLEAU:
            return IsRun(p, card) ? Press::Lift : Press::Nothing;
        default:
            return Press::Nothing;
    }
}

bool FreecellRules::CanDrop(const TablePosition& table, int from, int card, int to) const {
    const Pile& source = table.piles[static_cast<size_t>(from)];
    const uint8_t moving = source.cards[static_cast<size_t>(card)];
    const Pile& target = table.piles[static_cast<size_t>(to)];
    switch (target.kind) {
        case WASTE:
            return target.cards.empty() && card + 1 == static_cast<int>(source.cards.size());
        case TABLEAU:
            if (target.cards.empty()) return Rank(moving) == 12;
            return IsBelowAlternating(moving, target.cards.back());
        case FOUNDATION:
            return IsFoundationNext(moving, target);
        default:
            return false;
    }
}

std::vector<CardMove> FreecellRules::SearchMoves(TablePosition& table, bool&) const {
    std::vector<CardMove> legal = LegalMoves(table);
    std::vector<CardMove> moves;
    std::vector<int> scores;
    CardMove lastToCell, lastToEmpty;
    for (const CardMove& move : legal) {
        const Pile& from = table.piles[static_cast<size_t>(move.pile)];
        if (move.kind == MOVE_HOME) {
            if (IsSafeHome(table, from.cards.back())) return {move};
            moves.push_back(move);
            scores.push_back(100);
            continue;
        }
        const Pile& to = table.piles[static_cast<size_t>(move.to)];
        // A drop home is the double tap's move home; the free cells, and
        // the empty columns, are all alike.
        if (to.kind == FOUNDATION) continue;
        if (to.kind == WASTE) {
            if (from.kind == WASTE) continue;
            if (lastToCell.pile == move.pile) continue;
            lastToCell = move;
            moves.push_back(move);
            scores.push_back(10);
            continue;
        }
        if (to.cards.empty()) {
            if (from.kind == TABLEAU && move.card == 0) continue;
            if (lastToEmpty.pile == move.pile && lastToEmpty.card == move.card) continue;
            lastToEmpty = move;
        }
        int score = to.cards.empty() ? 30 : 50;
        if (from.kind == WASTE) score += 5;
        if (from.kind == TABLEAU && move.card == 0) score += 10;
        moves.push_back(move);
        scores.push_back(score);
    }
    SortByScore(moves, scores);
    return moves;
}

uint64_t FreecellRules::Key(const TablePosition& table) const {
    return Hash(table, true, true);
}

}  // namespace solver
