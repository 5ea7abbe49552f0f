// Golf's rules, as cardgames/golf.cpp plays them.
#include <algorithm>

#include "solver/games.h"

namespace solver {

namespace {
constexpr int kStock = 0, kWaste = 1;
constexpr size_t kCards = 52;

bool FitsWaste(const TablePosition& table, uint8_t card) {
    const auto& waste = table.piles[kWaste].cards;
    if (waste.empty() || Rank(waste.back()) == 12) return false;
    const int diff = Rank(waste.back()) - Rank(card);
    return diff == 1 || diff == -1;
}
}  // namespace

bool GolfRules::IsWon(const TablePosition& table) const {
    return table.piles[kWaste].cards.size() == kCards;
}

Press GolfRules::PressAt(const TablePosition& table, int pile, int card) const {
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    switch (p.kind) {
        case STOCK:
            return card >= 0 ? Press::Tap : Press::Nothing;
        case TABLEAU:
            return card >= 0 && card + 1 == static_cast<int>(p.cards.size()) &&
                           FitsWaste(table, p.cards.back())
                       ? Press::Tap
                       : Press::Nothing;
        default:
            return Press::Nothing;
    }
}

void GolfRules::Tap(TablePosition& table, int pile, int) const {
    MoveTop(table, pile, kWaste, 1);
}

namespace {
// Whether some column card can never be played: no card of a neighbouring
// rank is left to lie under it (the waste's top, the stock, the columns but
// the cards under it in its own), nothing being played on a king, and ace
// and king not being neighbours.
bool HasDeadCard(const TablePosition& table) {
    int left[13] = {};
    for (const Pile& pile : table.piles)
        if (pile.kind != WASTE)
            for (uint8_t card : pile.cards) ++left[Rank(card)];
    const auto& waste = table.piles[kWaste].cards;
    if (!waste.empty()) ++left[Rank(waste.back())];
    for (const Pile& pile : table.piles) {
        if (pile.kind != TABLEAU) continue;
        int under[13] = {};
        for (uint8_t card : pile.cards) {
            const int rank = Rank(card);
            // A king lies only on a queen; anything else on its neighbours,
            // but not on a king.
            const int below = rank > 0 ? left[rank - 1] - under[rank - 1] : 0;
            const int above = rank < 11 ? left[rank + 1] - under[rank + 1] : 0;
            if (below + above == 0) return true;
            ++under[rank];
        }
    }
    return false;
}
}  // namespace

std::vector<CardMove> GolfRules::SearchMoves(TablePosition& table, bool&) const {
    if (HasDeadCard(table)) return {};
    std::vector<CardMove> moves = LegalMoves(table);
    // Plays before the stock; among plays, the longer column first.
    std::vector<int> scores;
    for (const CardMove& move : moves) scores.push_back(move.pile == kStock ? -1 : move.card);
    SortByScore(moves, scores);
    return moves;
}

uint64_t GolfRules::Key(const TablePosition& table) const {
    // Of the waste only its top card's rank plays a part; the stock's size
    // tells what is left in it.
    const auto& waste = table.piles[kWaste].cards;
    const uint64_t top = waste.empty() ? 0xFF : static_cast<uint64_t>(Rank(waste.back()));
    return Hash(table, true, false, WASTE) ^ ((top + 1) * 0x9E3779B97F4A7C15ull);
}

}  // namespace solver
