// Spider's rules, as cardgames/spider.cpp plays them.
#include <algorithm>

#include "solver/games.h"

namespace solver {

namespace {
constexpr int kStock = 0, kCompleted = 1;

// From card up to the top, each card one rank below the one beneath it, in
// its suit, all face up.
bool IsRun(const Pile& pile, int card) {
    for (size_t i = static_cast<size_t>(card) + 1; i < pile.cards.size(); ++i)
        if (IsDown(pile.cards[i]) || Suit(pile.cards[i]) != Suit(pile.cards[i - 1]) ||
            Rank(pile.cards[i]) + 1 != Rank(pile.cards[i - 1]))
            return false;
    return !IsDown(pile.cards[static_cast<size_t>(card)]);
}
}  // namespace

bool SpiderRules::IsWon(const TablePosition& table) const {
    return std::all_of(table.piles.begin(), table.piles.end(),
                       [](const Pile& pile) { return pile.kind != TABLEAU || pile.cards.empty(); });
}

Press SpiderRules::PressAt(const TablePosition& table, int pile, int card) const {
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    if (p.kind == STOCK) return card >= 0 ? Press::Tap : Press::Nothing;
    if (p.kind != TABLEAU || card < 0) return Press::Nothing;
    if (IsDown(p.cards[static_cast<size_t>(card)])) return Press::Tap;
    return IsRun(p, card) ? Press::Lift : Press::Nothing;
}

bool SpiderRules::CanDrop(const TablePosition& table, int from, int card, int to) const {
    const Pile& target = table.piles[static_cast<size_t>(to)];
    if (target.kind != TABLEAU) return false;
    const uint8_t moving = table.piles[static_cast<size_t>(from)].cards[static_cast<size_t>(card)];
    return target.cards.empty() || Rank(moving) + 1 == Rank(target.cards.back());
}

void SpiderRules::Tap(TablePosition& table, int pile, int card) const {
    if (pile != kStock) {
        table.piles[static_cast<size_t>(pile)].cards[static_cast<size_t>(card)] &= ~FACE_DOWN;
        return;
    }
    for (size_t p = 0; p < table.piles.size(); ++p)
        if (table.piles[p].kind == TABLEAU) MoveTop(table, kStock, static_cast<int>(p), 1);
}

void SpiderRules::AfterDrop(TablePosition& table) const {
    // A column topped by an ace with its suit below it up to the king gives
    // that suit to the completed pile.
    for (size_t p = 0; p < table.piles.size(); ++p) {
        const auto& cards = table.piles[p].cards;
        if (table.piles[p].kind != TABLEAU || cards.size() < 13) continue;
        const int king = static_cast<int>(cards.size()) - 13;
        if (Rank(cards.back()) != 0 || Rank(cards[static_cast<size_t>(king)]) != 12) continue;
        bool whole = true;
        for (size_t i = static_cast<size_t>(king); i < cards.size() && whole; ++i)
            whole = !IsDown(cards[i]) &&
                    Index(cards[i]) == Index(cards.back()) + static_cast<int>(cards.size() - 1 - i);
        if (whole) MoveRun(table, static_cast<int>(p), king, kCompleted);
    }
}

std::vector<CardMove> SpiderRules::SearchMoves(TablePosition& table, bool& lossy) const {
    std::vector<CardMove> legal = LegalMoves(table);
    std::vector<CardMove> moves;
    std::vector<int> scores;
    CardMove lastToEmpty;
    for (const CardMove& move : legal) {
        if (move.kind == MOVE_TAP) {
            moves.push_back(move);
            scores.push_back(0);
            continue;
        }
        const Pile& from = table.piles[static_cast<size_t>(move.pile)];
        const Pile& to = table.piles[static_cast<size_t>(move.to)];
        const uint8_t card = from.cards[static_cast<size_t>(move.card)];
        const bool uncovers = UncoversFaceDown(from, move.card);
        // The card it leaves behind, when that is one it could lie on.
        const bool onParent =
            move.card > 0 && !uncovers &&
            Rank(card) + 1 == Rank(from.cards[static_cast<size_t>(move.card - 1)]);
        const bool parentSuited =
            onParent && Suit(card) == Suit(from.cards[static_cast<size_t>(move.card - 1)]);
        if (to.cards.empty()) {
            // Every empty column is as good as the first; a whole column
            // gains nothing there.
            if (move.card == 0) continue;
            if (lastToEmpty.pile == move.pile && lastToEmpty.card == move.card) continue;
            lastToEmpty = move;
            moves.push_back(move);
            scores.push_back(uncovers ? 30 : 10);
            continue;
        }
        const bool suited = Suit(card) == Suit(to.cards.back());
        // From one parent to another of no better suit only goes round.
        if (onParent && (parentSuited || !suited)) {
            lossy = true;
            continue;
        }
        int score = suited ? 60 : 40;
        if (uncovers) score += 30;
        if (move.card == 0) score += 20;
        score += static_cast<int>(from.cards.size()) - move.card;
        moves.push_back(move);
        scores.push_back(score);
    }
    SortByScore(moves, scores);
    return moves;
}

uint64_t SpiderRules::Key(const TablePosition& table) const {
    // The completed pile follows from the rest.
    return Hash(table, true, false, WASTE);
}

}  // namespace solver
