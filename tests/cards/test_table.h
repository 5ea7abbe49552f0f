// A card table to test on: card pictures of solid colours, so that one pixel
// tells which picture was blitted there, and a small game with one pile of
// each kind and a plain drop rule.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cards/cardgame.h"

constexpr uint32_t kBack = 0x123456;
constexpr uint32_t kEmpty = 0x654321;
constexpr uint32_t kDeal = 0xABCDEF;
constexpr uint32_t kTable = 0x007F00;
// Card index i is painted all in this colour.
constexpr uint32_t Face(int index) {
    return 0xF00000u | static_cast<uint32_t>(index);
}

// 25 x 34 solid pictures, installed as the card images while it lives.
class TestCardImages {
public:
    TestCardImages();
    ~TestCardImages();
    CCardImages images;
};

// A surface to paint single piles on, filled with kTable.
struct TestSurface {
    TestSurface() : image(240, 268, kTable), dc(&image, {CRect(0, 0, 240, 268)}) {}
    uint32_t At(int x, int y) const { return image.At(x, y); }
    // The colour of the card-sized block at (x, y), or 0 when its pixels are
    // not all one colour (a partial or overlapped picture).
    uint32_t Block(int x, int y) const;
    CImage image;
    CDC dc;
};

// Stock, waste, two columns and two foundations, in that order:
//   stock (2,7)   waste (34,7)+15   foundations (130,7) (162,7)
//   columns at x 2 and 34 from y 50 to the bottom.
class CTestTable : public CCardgame {
public:
    void OnNewGame() override {}  // tests lay the cards out themselves
    CTestTable();

    void OnSize(unsigned type, int cx, int cy) override;
    // Picks and starts a drag, as a game's tap handler does.
    void OnLButtonDown(unsigned flags, CPoint point) override;
    // Drops the run on the first pile that takes it.
    void OnLButtonUp(unsigned flags, CPoint point) override;
    // Columns: the other colour and a rank lower, a king on an empty one;
    // foundations: an ace on an empty one, else the next of the suit. Every
    // candidate offered is logged as "pile:ref".
    DropResult CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref) override;
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;

    // Puts cards on a pile, bottom first.
    void Put(CCardPile* pile, std::initializer_list<int> indices, uint32_t state = 0);

    using CCardgame::AddUndo;
    using CCardgame::m_firstFoundationPos;
    using CCardgame::m_gameOver;
    using CCardgame::m_score;
    using CCardgame::m_sel;

    CCardPile* stock;
    CCardPile* waste;
    CCardPile* column[2];
    CCardPile* foundation[2];
    std::vector<std::string> offered;
    int newGames = 0;
    int endGames = 0;
    bool endGameAnswer = false;

    bool EndGame() override;
};
