// Golf's rules, as cardgames/golf.cpp plays them.
#include <algorithm>
#include <string>

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

std::vector<CardMove> GolfRules::SearchMoves(TablePosition& table, bool&) const {
    std::vector<CardMove> moves = LegalMoves(table);
    // Plays before the stock; among plays, the longer column first.
    std::vector<int> scores;
    for (const CardMove& move : moves) scores.push_back(move.pile == kStock ? -1 : move.card);
    SortByScore(moves, scores);
    return moves;
}

uint64_t GolfRules::Key(const TablePosition& table) const {
    // Of the waste only its top card plays a part.
    TablePosition key;
    key.piles = table.piles;
    auto& waste = key.piles[kWaste].cards;
    if (!waste.empty()) waste.erase(waste.begin(), waste.end() - 1);
    waste.push_back(static_cast<uint8_t>(table.piles[kWaste].cards.size()));
    return Hash(key, true, false);
}

}  // namespace solver
