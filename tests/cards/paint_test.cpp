#include <gtest/gtest.h>

#include "cards/cardpile.h"
#include "hosts/headless/headless_host.h"
#include "tests/cards/test_table.h"

namespace {

class PaintTest : public ::testing::Test {
protected:
    CCardPile& Pile(PileKind kind, std::initializer_list<int> indices, uint32_t state = 0) {
        surface.image = CImage(240, 268, kTable);
        pile = std::make_unique<CCardPile>(kind);
        pile->m_rect = CRect(10, 10, 60, 200);
        for (int index : indices) pile->AddCard(std::make_unique<CCard>(index))->m_state = state;
        return *pile;
    }
    void Paint() {
        pile->LayoutCards();
        pile->DrawPile(&surface.dc);
    }
    // Only the card-sized block at the pile's origin was painted.
    void ExpectOnlyAtOrigin(uint32_t colour) {
        EXPECT_EQ(surface.Block(10, 10), colour);
        EXPECT_EQ(surface.At(9, 10), kTable);
        EXPECT_EQ(surface.At(35, 10), kTable);
        EXPECT_EQ(surface.At(10, 44), kTable);
    }

    TestCardImages images;
    TestSurface surface;
    std::unique_ptr<CCardPile> pile;
};

}  // namespace

TEST_F(PaintTest, AnEmptyPileOfAnyKindShowsItsPlace) {
    for (PileKind kind : {PILE_STOCK, PILE_WASTE, PILE_TABLEAU, PILE_FOUNDATION}) {
        Pile(kind, {});
        Paint();
        ExpectOnlyAtOrigin(kEmpty);
        pile->m_showDeal = 1;
        Paint();
        ExpectOnlyAtOrigin(kDeal);
    }
}

TEST_F(PaintTest, AStockShowsOneBackWhateverItsCards) {
    Pile(PILE_STOCK, {1, 2, 3});
    Paint();
    ExpectOnlyAtOrigin(kBack);
}

TEST_F(PaintTest, AWasteFansOnlyItsFaceUpCardsAndShowsFacesAlways) {
    Pile(PILE_WASTE, {1, 2}, CARD_FACEDOWN);
    pile->AddCard(std::make_unique<CCard>(3));
    pile->AddCard(std::make_unique<CCard>(4));
    pile->AddCard(std::make_unique<CCard>(5));
    Paint();
    std::vector<int> lefts;
    for (const auto& card : pile->GetCards()) lefts.push_back(card->m_rect.left);
    EXPECT_EQ(lefts, (std::vector<int>{10, 10, 10, 15, 20}));
    EXPECT_EQ(pile->TopCard()->m_rect, CRect(20, 10, 45, 44));
    EXPECT_EQ(surface.At(10, 10), Face(3));
    EXPECT_EQ(surface.At(14, 43), Face(3));
    EXPECT_EQ(surface.At(15, 10), Face(4));
    EXPECT_EQ(surface.Block(20, 10), Face(5));
    EXPECT_EQ(surface.At(45, 10), kTable);

    Pile(PILE_WASTE, {7}, CARD_FACEDOWN);  // not fanned, yet a face
    Paint();
    ExpectOnlyAtOrigin(Face(7));
}

TEST_F(PaintTest, AWasteLeavesOutItsDraggedCards) {
    Pile(PILE_WASTE, {1, 2, 3});
    pile->TopCard()->m_state = CARD_DRAGGED;
    Paint();
    EXPECT_EQ(surface.At(10, 10), Face(1));
    EXPECT_EQ(surface.Block(15, 10), Face(2));
    EXPECT_EQ(surface.At(40, 10), kTable);  // where the top card lay

    Pile(PILE_WASTE, {9}, CARD_DRAGGED);
    Paint();
    ExpectOnlyAtOrigin(kEmpty);
}

TEST_F(PaintTest, AColumnShowsBacksAndFacesFannedAndTurnsItsTopCardUp) {
    Pile(PILE_TABLEAU, {1, 2}, CARD_FACEDOWN);
    pile->AddCard(std::make_unique<CCard>(3));
    pile->AddCard(std::make_unique<CCard>(4))->m_state = CARD_FACEDOWN;
    Paint();
    EXPECT_EQ(pile->TopCard()->m_state, 0u);  // and it stays up
    EXPECT_EQ(surface.At(10, 10), kBack);
    EXPECT_EQ(surface.At(34, 11), kBack);
    EXPECT_EQ(surface.At(10, 12), kBack);
    EXPECT_EQ(surface.At(10, 14), Face(3));
    EXPECT_EQ(surface.At(34, 22), Face(3));
    EXPECT_EQ(surface.Block(10, 23), Face(4));
    EXPECT_EQ(surface.At(10, 57), kTable);
}

TEST_F(PaintTest, AColumnStopsAtItsFirstDraggedCard) {
    Pile(PILE_TABLEAU, {20, 21, 22});
    pile->FromTop(1)->m_state = CARD_DRAGGED;
    Paint();
    EXPECT_EQ(surface.Block(10, 10), Face(20));
    EXPECT_EQ(surface.At(10, 44), kTable);

    Pile(PILE_TABLEAU, {20, 21, 22});
    pile->BottomCard()->m_state = CARD_DRAGGED;  // the whole column picked up
    Paint();
    ExpectOnlyAtOrigin(kEmpty);
}

TEST_F(PaintTest, AFoundationShowsItsTopOrWhatLiesBeneathTheDraggedTop) {
    Pile(PILE_FOUNDATION, {13, 14, 15});
    Paint();
    ExpectOnlyAtOrigin(Face(15));

    pile->TopCard()->m_state = CARD_DRAGGED;
    Paint();
    ExpectOnlyAtOrigin(Face(14));

    Pile(PILE_FOUNDATION, {13}, CARD_DRAGGED);
    pile->m_showDeal = 1;
    Paint();
    ExpectOnlyAtOrigin(kDeal);
}

TEST_F(PaintTest, TheDraggedRunIsPaintedAsFacesMovedAgainstTheTravel) {
    Pile(PILE_TABLEAU, {1}, CARD_FACEDOWN);
    pile->AddCard(std::make_unique<CCard>(30))->m_state = CARD_DRAGGED;
    pile->AddCard(std::make_unique<CCard>(31))->m_state = CARD_FACEDOWN;
    pile->LayoutCards();
    pile->DrawDragged(&surface.dc, -100, -50);  // the stylus went 100 right, 50 down
    EXPECT_EQ(surface.At(110, 62), Face(30));   // the second card lay at (10, 12)
    EXPECT_EQ(surface.Block(110, 71), Face(31));
    EXPECT_EQ(surface.At(110, 61), kTable);
    EXPECT_EQ(surface.At(10, 10), kTable);

    Pile(PILE_TABLEAU, {1, 2});
    pile->LayoutCards();
    pile->DrawDragged(&surface.dc, 0, 0);
    EXPECT_EQ(surface.At(10, 10), kTable);
}

TEST(TablePaint, PilesPaintInListOrderOverTheTableColour) {
    TestCardImages images;
    HeadlessHost host;
    CTestTable table;
    CDocument document;
    table.SetDocument(&document);
    ASSERT_TRUE(table.Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST));
    EXPECT_EQ(document.GetTitle(), u"Test table");
    EXPECT_EQ(table.Class().style, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS);
    EXPECT_EQ(table.Class().background, RGB(0, 127, 0));
    EXPECT_FALSE(table.Style() & WS_BORDER);
    EXPECT_TRUE(table.ExStyle() & WS_EX_CLIENTEDGE);

    table.Put(table.stock, {0});
    table.Put(table.foundation[1], {40});
    table.foundation[1]->m_rect = CRect(14, 20, 39, 54);  // lies over the stock
    table.Invalidate();
    host.Idle();
    const CImage& s = table.Surface();
    EXPECT_EQ(s.At(2, 7), kBack);
    EXPECT_EQ(s.At(14, 20), Face(40));
    EXPECT_EQ(s.At(26, 19), kBack);
    EXPECT_EQ(s.At(34, 7), kEmpty);   // the waste
    EXPECT_EQ(s.At(130, 7), kEmpty);  // the first foundation
    EXPECT_EQ(s.At(200, 200), kTable);
    EXPECT_EQ(s.At(2, 50), kEmpty);  // an empty column
}
