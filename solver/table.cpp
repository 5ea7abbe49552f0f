#include <algorithm>
#include <numeric>

#include "solver/games.h"

namespace solver {

void Rules::ShowAsPainted(TablePosition& table) {
    for (Pile& pile : table.piles)
        if (pile.kind == TABLEAU && !pile.cards.empty()) pile.cards.back() &= ~FACE_DOWN;
}

bool Rules::IsFoundationNext(uint8_t card, const Pile& foundation) {
    if (Rank(card) == 0) return foundation.cards.empty();
    return !foundation.cards.empty() && Index(card) == Index(foundation.cards.back()) + 1;
}

int Rules::FoundationFor(const TablePosition& table, uint8_t card) {
    // The foundations follow one another in the pile list.
    for (size_t p = 0; p < table.piles.size(); ++p)
        if (table.piles[p].kind == FOUNDATION && IsFoundationNext(card, table.piles[p]))
            return static_cast<int>(p);
    return -1;
}

std::vector<CardMove> Rules::LegalMoves(TablePosition& table) const {
    ShowAsPainted(table);
    std::vector<CardMove> moves;
    if (IsWon(table)) return moves;
    const int piles = static_cast<int>(table.piles.size());
    for (int p = 0; p < piles; ++p) {
        const Pile& pile = table.piles[static_cast<size_t>(p)];
        const int count = static_cast<int>(pile.cards.size());
        const auto movesFrom = [&](int card) {
            switch (PressAt(table, p, card)) {
                case Press::Tap:
                    moves.push_back({MOVE_TAP, p, card, card < 0 ? 0 : 1, -1});
                    break;
                case Press::Lift:
                    for (int to = 0; to < piles; ++to) {
                        if (to == p) continue;
                        // A foundation is built one card at a time.
                        if (table.piles[static_cast<size_t>(to)].kind == FOUNDATION &&
                            count - card > 1)
                            continue;
                        if (CanDrop(table, p, card, to))
                            moves.push_back({MOVE_RUN, p, card, count - card, to});
                    }
                    break;
                case Press::Nothing:
                    break;
            }
        };
        // The cards as the view's keys find them: a column's face-up cards
        // that show under the next, then every pile's top card (an empty
        // pile's place, -1).
        if (count == 0) {
            movesFrom(-1);
        } else {
            if (pile.kind == TABLEAU && Fanned())
                for (int i = 0; i + 1 < count; ++i)
                    if (!IsDown(pile.cards[static_cast<size_t>(i)])) movesFrom(i);
            movesFrom(count - 1);
        }
        if ((pile.kind == WASTE || pile.kind == TABLEAU) && count > 0 &&
            FoundationFor(table, pile.cards.back()) >= 0)
            moves.push_back({MOVE_HOME, p, count - 1, 1, -1});
    }
    return moves;
}

void Rules::MoveTop(TablePosition& table, int from, int to, int n) {
    auto& source = table.piles[static_cast<size_t>(from)].cards;
    auto& target = table.piles[static_cast<size_t>(to)].cards;
    for (int i = 0; i < n && !source.empty(); ++i) {
        target.push_back(static_cast<uint8_t>(source.back() & ~FACE_DOWN));
        source.pop_back();
    }
}

void Rules::MoveRun(TablePosition& table, int from, int card, int to) {
    auto& source = table.piles[static_cast<size_t>(from)].cards;
    auto& target = table.piles[static_cast<size_t>(to)].cards;
    target.insert(target.end(), source.begin() + card, source.end());
    source.resize(static_cast<size_t>(card));
}

void Rules::Apply(TablePosition& table, const CardMove& move) const {
    ShowAsPainted(table);
    switch (move.kind) {
        case MOVE_TAP:
            Tap(table, move.pile, move.card);
            break;
        case MOVE_RUN:
            MoveRun(table, move.pile, move.card, move.to);
            AfterDrop(table);
            break;
        case MOVE_HOME: {
            const auto& cards = table.piles[static_cast<size_t>(move.pile)].cards;
            MoveTop(table, move.pile, FoundationFor(table, cards.back()), 1);
            break;
        }
    }
    ShowAsPainted(table);
}

bool Rules::IsWon(const TablePosition& table) const {
    return std::all_of(table.piles.begin(), table.piles.end(), [](const Pile& pile) {
        return pile.kind != FOUNDATION || pile.cards.size() == 13;
    });
}

std::vector<CardMove> Rules::SearchMoves(TablePosition& table, bool&) const {
    return LegalMoves(table);
}

uint64_t Rules::Key(const TablePosition& table) const {
    return Hash(table, false, false);
}

uint64_t Rules::Hash(const TablePosition& table, bool sortColumns, bool sortCells, int skip) {
    // Each pile hashed on its own (FNV-1a), so that piles alike in play can
    // be put in order by their hashes alone.
    const auto pileHash = [](const Pile& pile, uint64_t seed) {
        uint64_t hash = 1469598103934665603ull ^ seed;
        for (uint8_t card : pile.cards) hash = (hash ^ card) * 1099511628211ull;
        return (hash ^ pile.cards.size()) * 1099511628211ull;
    };
    uint64_t columns[16], cells[16];
    size_t columnCount = 0, cellCount = 0;
    uint64_t hash = 0;
    uint64_t place = 0;
    for (const Pile& pile : table.piles) {
        ++place;
        if (pile.kind == skip) continue;
        if (sortColumns && pile.kind == TABLEAU && columnCount < 16)
            columns[columnCount++] = pileHash(pile, 0);
        else if (sortCells && pile.kind == WASTE && cellCount < 16)
            cells[cellCount++] = pileHash(pile, 1);
        else
            hash = (hash ^ pileHash(pile, place)) * 0x9E3779B97F4A7C15ull;
    }
    std::sort(columns, columns + columnCount);
    std::sort(cells, cells + cellCount);
    for (size_t i = 0; i < columnCount; ++i) hash = (hash ^ columns[i]) * 0x9E3779B97F4A7C15ull;
    for (size_t i = 0; i < cellCount; ++i) hash = (hash ^ cells[i]) * 0xC2B2AE3D27D4EB4Full;
    return hash ^ (hash >> 29);
}

void Rules::SortByScore(std::vector<CardMove>& moves, const std::vector<int>& scores) {
    std::vector<size_t> order(moves.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return scores[a] > scores[b]; });
    std::vector<CardMove> sorted;
    sorted.reserve(moves.size());
    for (size_t i : order) sorted.push_back(moves[i]);
    moves = std::move(sorted);
}

const Rules& RulesFor(Game game) {
    static const KlondikeRules klondike;
    static const CruelRules cruel;
    static const GolfRules golf;
    static const SpiderRules spider;
    static const FreecellRules freecell;
    switch (game) {
        case Game::Cruel:
            return cruel;
        case Game::Golf:
            return golf;
        case Game::Spider:
            return spider;
        case Game::Freecell:
            return freecell;
        default:
            return klondike;
    }
}

}  // namespace solver
