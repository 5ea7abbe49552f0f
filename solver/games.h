// The rules of each card game, as its view in cardgames/ plays it.
#pragma once

#include "solver/table.h"

namespace solver {

// Klondike: stock, waste, seven columns, four foundations; three cards turned
// at a time, as many passes as the player likes.
class KlondikeRules : public Rules {
public:
    std::vector<CardMove> SearchMoves(TablePosition& table, bool& lossy) const override;
    uint64_t Key(const TablePosition& table) const override;
    // Tables of Klondike's own search (klondike_search.h), which visits
    // three to four million a second.
    uint64_t Budget() const override { return 3000000; }

protected:
    Press PressAt(const TablePosition& table, int pile, int card) const override;
    bool CanDrop(const TablePosition& table, int from, int card, int to) const override;
    void Tap(TablePosition& table, int pile, int card) const override;
};

// Cruel: the empty stock, twelve squared piles, four foundations started
// with the aces; the stock redeals the piles in fours.
class CruelRules : public Rules {
public:
    std::vector<CardMove> SearchMoves(TablePosition& table, bool& lossy) const override;
    uint64_t Budget() const override { return 300000; }

protected:
    Press PressAt(const TablePosition& table, int pile, int card) const override;
    bool CanDrop(const TablePosition& table, int from, int card, int to) const override;
    void Tap(TablePosition& table, int pile, int card) const override;
    bool Fanned() const override { return false; }
};

// Golf: stock, waste, seven columns played onto the waste by taps. Its
// search is its own (SolveGolf), and its tables far cheaper than a table
// here: hence the budget.
class GolfRules : public Rules {
public:
    bool IsWon(const TablePosition& table) const override;
    std::vector<CardMove> SearchMoves(TablePosition& table, bool& lossy) const override;
    uint64_t Key(const TablePosition& table) const override;
    uint64_t Budget() const override { return 5000000; }

protected:
    Press PressAt(const TablePosition& table, int pile, int card) const override;
    bool CanDrop(const TablePosition&, int, int, int) const override { return false; }
    void Tap(TablePosition& table, int pile, int card) const override;
};

// Spider: stock, the completed suits, ten columns.
class SpiderRules : public Rules {
public:
    bool IsWon(const TablePosition& table) const override;
    std::vector<CardMove> SearchMoves(TablePosition& table, bool& lossy) const override;
    uint64_t Key(const TablePosition& table) const override;
    uint64_t Budget() const override { return 300000; }

protected:
    Press PressAt(const TablePosition& table, int pile, int card) const override;
    bool CanDrop(const TablePosition& table, int from, int card, int to) const override;
    void Tap(TablePosition& table, int pile, int card) const override;
    void AfterDrop(TablePosition& table) const override;
};

// Freecell as the program plays it: eight columns, four foundations, four
// free cells (waste piles); a run of any length moves as a unit, and only a
// king opens an empty column. Its search is its own (SolveFreecell).
class FreecellRules : public Rules {
public:
    std::vector<CardMove> SearchMoves(TablePosition& table, bool& lossy) const override;
    uint64_t Key(const TablePosition& table) const override;
    uint64_t Budget() const override { return 600000; }

protected:
    Press PressAt(const TablePosition& table, int pile, int card) const override;
    bool CanDrop(const TablePosition& table, int from, int card, int to) const override;
    void Tap(TablePosition&, int, int) const override {}
};

// Shared by the games built down in alternating colours (Klondike,
// Freecell): whether card may go home without ever being wanted on the
// table again, both cards of the other colour one rank below being home.
bool IsSafeHome(const TablePosition& table, uint8_t card);
inline bool IsBelowAlternating(uint8_t card, uint8_t top) {
    return IsRed(card) != IsRed(top) && Rank(card) + 1 == Rank(top);
}

}  // namespace solver
