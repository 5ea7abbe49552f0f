// Cards, piles of cards and the record of a move, as every patience game
// plays them.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>

#include "cards/list_position.h"
#include "platform/geometry.h"
#include "platform/graphics.h"

class PaintedArea;

// A card's state is a word of these bits; the driver shows it as a number.
enum CardState : uint32_t {
    CARD_FACEUP = 0,        // no bit set: face up, fanned, lying still
    CARD_FACEDOWN = 0x100,  // shows its back; in a waste: not fanned
    CARD_DRAGGED = 0x200,   // the first card of the run being dragged
};

// Pile kinds, numbered as the driver shows them.
enum PileKind : int32_t {
    PILE_STOCK = 1,
    PILE_WASTE = 2,
    PILE_TABLEAU = 3,
    PILE_FOUNDATION = 4,
};

// Undo record kinds, numbered as the driver shows them.
enum UndoKind : int32_t {
    UNDO_MOVE_RUN = 1,
    UNDO_FLIP = 2,
    UNDO_MOVE_TOP = 3,
};

// One playing card. Index 0..51: suit = index / 13 (clubs, diamonds, hearts,
// spades), rank = index % 13 (ace .. king), so the next card of a suit is
// simply index + 1.
class CCard {
public:
    explicit CCard(int32_t index = 0) : m_index(index) {}

    CRect m_rect;  // where it lies on the table; set by LayoutCards
    int32_t m_index = 0;
    uint32_t m_state = CARD_FACEUP;  // CardState bits

    int Suit() const { return m_index / 13; }
    int Rank() const { return m_index % 13; }
    bool IsRed() const { return m_index >= 13 && m_index <= 38; }
    bool IsFaceDown() const { return (m_state & CARD_FACEDOWN) != 0; }
    bool IsAce() const { return Rank() == 0; }
    bool IsKing() const { return Rank() == 12; }
    bool IsSameColour(const CCard& other) const { return IsRed() == other.IsRed(); }
    bool IsSameSuit(const CCard& other) const { return Suit() == other.Suit(); }
    // This card's rank minus the other's: -1 when this one is a rank below.
    int RankDiff(const CCard& other) const { return Rank() - other.Rank(); }

    // Its back when face down, else its face.
    const CBitmap& Image() const;
    // Its picture at the top left of m_rect; with the card painted next over
    // it, only the part that one leaves in sight.
    void DrawCard(CDC* dc, PaintedArea* painted = nullptr, const CCard* next = nullptr) const;
};

class CCardPile;
using CardPos = ListPosition<CCard>;

// One move of cards between two piles (or the turn of a pile's top card),
// as it can be taken back.
class CUndoMove {
public:
    CUndoMove(UndoKind kind, int32_t count, CCardPile* from, CCardPile* to)
        : m_kind(kind), m_count(count), m_from(from), m_to(to) {}
    virtual ~CUndoMove() = default;

    UndoKind m_kind;
    int32_t m_count;    // cards moved; 1 for a flip
    CCardPile* m_from;  // where they came from; for a flip the pile turned
    CCardPile* m_to;    // where they went; null for a flip
    // What the move did to the score (negative: what it took off), so that
    // taking it back takes that back too.
    int32_t m_points = 0;
    // The move left a face-down card on top of its column, which the table
    // then turns up; taking the move back turns it down again, so that moving
    // and undoing never shows a hidden card.
    bool m_uncoveredFaceDown = false;

    // Puts the cards back as they were before the move. A flip turns the top
    // card down again (a column shows it face up again on its next paint).
    void Undo();

private:
    void CoverAgain();
};

// An ordered stack of cards, bottom first, that owns its cards. Its kind
// decides how it fans, paints and is hit.
//
// Positions address one card of the pile; Next goes toward the top, Prev
// toward the bottom. A position stays good until its card leaves the pile.
class CCardPile {
public:
    using Cards = std::list<std::unique_ptr<CCard>>;

    // An empty pile; its fan steps come from the card metrics.
    explicit CCardPile(PileKind kind);
    virtual ~CCardPile() = default;
    CCardPile(const CCardPile&) = delete;
    CCardPile& operator=(const CCardPile&) = delete;

    PileKind m_kind;
    int32_t m_showDeal = 0;   // an empty pile shows "CARDDEAL" instead of "CARDEMPTY"
    int32_t m_faceDownStep;   // fan step after a face-down card of a column
    int32_t m_faceUpStep;     // fan step after a face-up card: down a column, right in a waste
    CRect m_rect;             // its place: left/top is its first card; the whole is its hit area
    int32_t m_fitBottom = 0;  // a column whose fan closes up to end by this y (FitFan); 0: none

    // Reading the cards.
    bool IsEmpty() const { return m_cards.empty(); }
    int GetCount() const { return static_cast<int>(m_cards.size()); }
    const Cards& GetCards() const { return m_cards; }
    CCard* TopCard() const { return m_cards.empty() ? nullptr : m_cards.back().get(); }
    CCard* BottomCard() const { return m_cards.empty() ? nullptr : m_cards.front().get(); }
    CardPos Top() { return CardPos::Tail(m_cards); }
    CardPos Bottom() { return CardPos::Head(m_cards); }
    // The card n places below the top (0: the top card); null past the bottom.
    CardPos FromTop(int n);
    // Number of cards from pos up to the top, pos included; 0 for a position
    // that is not in this pile.
    int CountFrom(CardPos pos) const;

    // Puts a card on top. Games make their cards with BuildDeck; this is for
    // setting up a table card by card.
    CCard* AddCard(std::unique_ptr<CCard> card);

    // Clears the pile and builds decks into it: per deck, indices 0..51
    // ascending, skipping the excluded rank (-1: none) and the suits whose bit
    // (1 clubs, 2 diamonds, 4 hearts, 8 spades) is clear in suitMask.
    void BuildDeck(int decks, int suitMask, int excludedRank);
    // Reseeds the runtime generator with the tick count, then 1 to 7 passes
    // each swap every card with one at a random place.
    void Shuffle();
    // Deletes every card.
    void Clear();
    // Moves up to n cards one by one from the top to dest (so they arrive in
    // reverse order), each face up or face down. A waste left with cards fans
    // its new top card again. Null when nothing moved.
    std::unique_ptr<CUndoMove> MoveTopCards(CCardPile* dest, bool faceUp, int n);
    // Moves the cards from pos up to the top onto dest, keeping their order
    // and states. Null when nothing moved.
    std::unique_ptr<CUndoMove> MoveRun(CCardPile* dest, CardPos pos);
    // Closes up a column's face-up fan, never wider than the usual step nor
    // narrower than the face-down one, so that its top card ends by bottom: a
    // long column keeps every card in its place, in sight and within reach.
    void FitFan(int bottom);
    // Fans a waste at half its step, so that a long row of cards stays
    // within the table (a pile of played or completed cards).
    void HalveFanStep() { m_faceUpStep >>= 1; }
    // Sets the state word of every card (an assignment, not a bit-or).
    void SetAllStates(uint32_t state);
    // With an ace on top and the rest of its suit below it up to the king,
    // all face up and in order: the king's position. Else null.
    CardPos FindCompleteSuit();

    // Which card a point designates: nullopt when the point is outside m_rect;
    // otherwise the top card (null when empty), except that a column gives
    // its topmost face-up card under the point.
    std::optional<CardPos> HitTest(CPoint point);
    // One card's size at the pile's origin: where its empty place shows.
    CRect PlaceRect() const;
    // Whether its picture covers point as it was last painted: one of its
    // cards, or its place; the run being dragged lies elsewhere.
    bool ShowsAt(CPoint point) const;

    // Gives every card its m_rect, fanned by the pile's kind, after fitting
    // the fan to m_fitBottom when the pile has one. The layout follows from
    // the cards alone, so laying out again while painting moves nothing.
    // Gives the pile's Extent as laid out: the cards only ever step right
    // or down from its place, so its place and top card bound it.
    CRect LayoutCards();
    // Where the pile paints as laid out now: its place and every card.
    CRect Extent() const;
    // Paints the pile as it lies, leaving out the run being dragged. Each
    // painting function adds what it covered to painted, when given;
    // extent, when given, is the pile's Extent (as LayoutCards gave it).
    void DrawPile(CDC* dc, PaintedArea* painted = nullptr, const CRect* extent = nullptr);
    // What painting the pile does to it besides drawing: a column's top,
    // unless it is out with a run being dragged, lies face up.
    void ShowTopAsPainted();
    // Paints the run being dragged out of this pile, moved by (-dx, -dy).
    void DrawDragged(CDC* dc, int dx, int dy, PaintedArea* painted = nullptr) const;

private:
    const CBitmap& PlaceImage() const;
    // The record of a move of count cards from here to dest, just made.
    std::unique_ptr<CUndoMove> Moved(UndoKind kind, int count, CCardPile* dest);

    Cards m_cards;
};
