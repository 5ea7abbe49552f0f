// A card table as a plain value, and the rules of each card game over it: the
// same moves, by the same names, as the game's view makes, so a line found
// here is played on the view move by move.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "cards/card_move.h"

namespace solver {

enum class Game : uint8_t { Klondike, Cruel, Golf, Spider, Freecell };

// Pile kinds, numbered as the view's PileKind.
enum Kind : uint8_t { STOCK = 1, WASTE = 2, TABLEAU = 3, FOUNDATION = 4 };

// A card is its index 0..51 (suit = index / 13, rank = index % 13), with
// FACE_DOWN set while it shows its back.
constexpr uint8_t FACE_DOWN = 0x80;
inline int Index(uint8_t card) {
    return card & 0x7F;
}
inline int Rank(uint8_t card) {
    return Index(card) % 13;
}
inline int Suit(uint8_t card) {
    return Index(card) / 13;
}
inline bool IsRed(uint8_t card) {
    return Suit(card) == 1 || Suit(card) == 2;
}
inline bool IsDown(uint8_t card) {
    return (card & FACE_DOWN) != 0;
}

struct Pile {
    Kind kind = TABLEAU;
    std::vector<uint8_t> cards;  // bottom first
    friend bool operator==(const Pile&, const Pile&) = default;
};

// The table as its view shows it when painted: piles in the view's order.
struct TablePosition {
    Game game = Game::Klondike;
    std::vector<Pile> piles;
    friend bool operator==(const TablePosition&, const TablePosition&) = default;
};

// What a press on a card is, as the view's PressKindAt answers.
enum class Press : uint8_t { Nothing, Tap, Lift };

// One game's rules. LegalMoves and Apply are the view's moves exactly;
// SearchMoves is what the search tries, best first: the legal moves less
// those that cannot help (a whole column onto an empty one, an ace from one
// empty foundation to another), or a single move that is always right.
class Rules {
public:
    virtual ~Rules() = default;

    std::vector<CardMove> LegalMoves(TablePosition& table) const;
    // Makes a legal move; the table is then as the view's after DoMove.
    void Apply(TablePosition& table, const CardMove& move) const;
    virtual bool IsWon(const TablePosition& table) const;
    // lossy is set when a move was left out that might have helped: then a
    // search that finds nothing has proved nothing.
    virtual std::vector<CardMove> SearchMoves(TablePosition& table, bool& lossy) const;
    // A hash of what decides the rest of the game; tables that play alike
    // (columns in another order) may share it.
    virtual uint64_t Key(const TablePosition& table) const;
    // Nodes a search may visit by default: about a second's work.
    virtual uint64_t Budget() const = 0;

    // The column tops a paint turns face up.
    static void ShowAsPainted(TablePosition& table);

protected:
    virtual Press PressAt(const TablePosition& table, int pile, int card) const = 0;
    virtual bool CanDrop(const TablePosition& table, int from, int card, int to) const = 0;
    virtual void Tap(TablePosition& table, int pile, int card) const = 0;
    virtual void AfterDrop(TablePosition&) const {}
    // Whether a column's face-up cards fan out, so that each can be picked.
    virtual bool Fanned() const { return true; }

    // The foundation that takes card next, or -1.
    static int FoundationFor(const TablePosition& table, uint8_t card);
    static bool IsFoundationNext(uint8_t card, const Pile& foundation);
    // Moves n cards one by one from the top of from onto to, face up.
    static void MoveTop(TablePosition& table, int from, int to, int n);
    // The cards from card on up to the top onto to, as they lie.
    static void MoveRun(TablePosition& table, int from, int card, int to);
    // Hash of the table, with the columns (and, when asked, the free cells)
    // in a canonical order, leaving out the piles of kind skip.
    static uint64_t Hash(const TablePosition& table, bool sortColumns, bool sortCells,
                         int skip = 0);
    // Orders moves by a score, highest first, keeping the order among equals.
    static void SortByScore(std::vector<CardMove>& moves, const std::vector<int>& scores);
    // Whether taking the cards from card up leaves a face-down card on top.
    static bool UncoversFaceDown(const Pile& pile, int card) {
        return card > 0 && IsDown(pile.cards[static_cast<size_t>(card - 1)]);
    }
};

const Rules& RulesFor(Game game);

}  // namespace solver
