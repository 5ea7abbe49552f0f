#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/headless/headless_host.h"
#include "res/resource.h"
#include "tests/cards/test_table.h"

namespace {

class StylusTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(table.Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST));
        table.SetParentFrame(&frame);
        host.Idle();
    }
    // Lays the cards out as a paint would, so their rectangles are known.
    void Layout() {
        for (const auto& pile : table.GetPiles()) pile->LayoutCards();
    }
    void Tap(int x, int y) { table.SendStylusDown(CPoint(x, y)), table.SendStylusUp(CPoint(x, y)); }
    void DoubleTap(int x, int y) { table.SendStylusDown(CPoint(x, y), true); }
    int Index(const CCardPile* pile) { return pile->TopCard() ? pile->TopCard()->m_index : -1; }
    uint32_t Pixel(int x, int y) const { return table.Surface().At(x, y); }
    uint32_t Block(int x, int y) const {
        for (int j = 0; j < 34; ++j)
            for (int i = 0; i < 25; ++i)
                if (Pixel(x + i, y + j) != Pixel(x, y)) return 0;
        return Pixel(x, y);
    }

    TestCardImages images;
    HeadlessHost host{100000};
    CFrameWnd frame;
    CTestTable table;
};

}  // namespace

// Column 0 holds two face-down cards and three face-up ones; their tops lie
// at y 50, 52, 54, 63 and 72, each 34 high.
TEST_F(StylusTest, AColumnGivesTheTopmostFaceUpCardUnderThePointElseItsTop) {
    CCardPile* column = table.column[0];
    table.Put(column, {1, 2}, CARD_FACEDOWN);
    table.Put(column, {3, 4, 5});
    Layout();
    auto hit = [&](int x, int y) -> int {
        std::optional<CardPos> pos = column->HitTest(CPoint(x, y));
        if (!pos) return -2;
        return *pos ? (*pos)->m_index : -1;
    };
    EXPECT_EQ(hit(5, 51), 5);   // only face-down cards under it: the top card
    EXPECT_EQ(hit(5, 56), 3);   // the first face-up card, just below the backs
    EXPECT_EQ(hit(5, 65), 4);   // covered cards under it too: the topmost one
    EXPECT_EQ(hit(5, 100), 5);  // the top card's lower part
    EXPECT_EQ(hit(5, 200), 5);  // below the cards
    EXPECT_EQ(hit(26, 62), 3);
    EXPECT_EQ(hit(27, 62), -2);  // right edge excluded
    EXPECT_EQ(hit(5, 49), -2);
    EXPECT_EQ(table.column[1]->HitTest(CPoint(40, 100)), std::optional<CardPos>(CardPos()));
    table.Put(table.waste, {7, 8});
    EXPECT_EQ((*table.waste->HitTest(CPoint(35, 8)))->m_index,
              8);  // any kind but a column: the top

    ASSERT_EQ(table.PickAt(CPoint(5, 56)), column);
    EXPECT_EQ(table.m_sel.m_count, 3);
    EXPECT_EQ(table.m_sel.m_card->m_index, 3);
    EXPECT_EQ(table.m_sel.m_pos, column->FromTop(2));
    ASSERT_EQ(table.PickAt(CPoint(5, 51)), column);
    EXPECT_EQ(table.m_sel.m_count, 1);
    ASSERT_EQ(table.PickAt(CPoint(40, 100)), table.column[1]);
    EXPECT_EQ(table.m_sel.m_count, 0);
    EXPECT_EQ(table.m_sel.m_card, nullptr);
    ASSERT_EQ(table.PickAt(CPoint(35, 8)), table.waste);
    EXPECT_EQ(table.m_sel.m_count, 1);
    EXPECT_EQ(table.m_sel.m_card->m_index, 8);
    // A rectangle alone designates a pile's top card.
    ASSERT_EQ(table.PickAt(std::nullopt, CRect(20, 150, 40, 160)), column);
    EXPECT_EQ(table.m_sel.m_card->m_index, 5);
    EXPECT_EQ(table.m_sel.m_count, 1);
}

TEST_F(StylusTest, PicksFollowThePileListAndSkipTheSkippedPile) {
    table.column[1]->m_rect = table.column[0]->m_rect;
    table.Put(table.column[1], {9});
    EXPECT_EQ(table.PickAt(CPoint(5, 60)), table.column[0]);
    EXPECT_EQ(table.PickAt(CPoint(5, 60), std::nullopt, table.column[0]), table.column[1]);
    EXPECT_EQ(table.PickAt(CPoint(100, 150)), nullptr);
    EXPECT_EQ(table.m_sel.m_pile, nullptr);

    Tap(100, 150);  // no pile there: the clock does not start
    EXPECT_EQ(table.StartTick(), 0u);
    Tap(5, 60);
    EXPECT_EQ(table.StartTick(), 100000u);
    host.Wait(5000);
    Tap(5, 60);
    EXPECT_EQ(table.StartTick(), 100000u);  // started once
}

TEST_F(StylusTest, AfterTheGameIsOverNothingCanBePickedOrDropped) {
    table.Put(table.waste, {26});
    table.m_gameOver = 1;
    EXPECT_EQ(table.PickAt(CPoint(40, 20)), nullptr);
    EXPECT_FALSE(table.BeginDropSearch());
    DoubleTap(40, 20);
    EXPECT_EQ(Index(table.waste), 26);
    EXPECT_EQ(table.StartTick(), 0u);
}

TEST_F(StylusTest, TheFirstAcceptingPileInListOrderTakesTheRun) {
    table.Put(table.waste, {26});  // ace of hearts
    Layout();
    // Lifted below the foundations, the card's image over both of them.
    table.SendStylusDown(CPoint(40, 20));
    ASSERT_TRUE(table.IsDragging());
    table.SendStylusMove(CPoint(150, 45));
    EXPECT_EQ(table.DragRect(), CRect(144, 32, 169, 66));
    table.SendStylusUp(CPoint(150, 45));
    EXPECT_EQ(table.offered, std::vector<std::string>{"4:-"});
    EXPECT_EQ(Index(table.foundation[0]), 26);
    EXPECT_TRUE(table.foundation[1]->IsEmpty());
    EXPECT_EQ(table.Score(), 10);
    ASSERT_EQ(table.UndoList().size(), 1u);
    EXPECT_EQ(table.UndoList()[0]->m_kind, UNDO_MOVE_RUN);

    // The first foundation now refuses the next ace; the second takes it.
    table.offered.clear();
    table.Put(table.waste, {0});
    Layout();
    table.SendStylusDown(CPoint(40, 20));
    table.SendStylusMove(CPoint(150, 45));
    table.SendStylusUp(CPoint(150, 45));
    EXPECT_EQ(table.offered, (std::vector<std::string>{"4:26", "5:-"}));
    EXPECT_EQ(Index(table.foundation[1]), 0);
    EXPECT_FALSE(table.IsDragging());
}

// The run's image may touch several piles; the one under the stylus is
// where the player put it, and the others only stand in when it refuses.
TEST_F(StylusTest, ThePileUnderTheLiftPointIsOfferedBeforeTheOthersTheRunTouches) {
    struct Case {
        int underPoint;  // the top card of the column under the stylus
        std::vector<std::string> offered;
        int taker;  // the column that takes the seven
    } cases[] = {
        {7, {"3:7"}, 1},            // eight of clubs: it takes the seven
        {20, {"3:20", "2:46"}, 0},  // eight of diamonds refuses: the neighbour
    };
    for (const Case& c : cases) {
        table.ClearAllPiles();
        table.offered.clear();
        table.Put(table.waste, {32});      // seven of hearts
        table.Put(table.column[0], {46});  // eight of spades
        table.Put(table.column[1], {c.underPoint});
        Layout();
        // Held near its right edge and lifted over column 1, the card's
        // image also overlaps column 0 by three pixels.
        table.SendStylusDown(CPoint(55, 20));
        table.SendStylusMove(CPoint(45, 80));
        EXPECT_EQ(table.DragRect(), CRect(24, 67, 49, 101));
        table.SendStylusUp(CPoint(45, 80));
        EXPECT_EQ(table.offered, c.offered);
        EXPECT_EQ(Index(table.column[c.taker]), 32);
    }
}

// A second press without a lift (the lift was lost): the run in the air is
// dropped where it was last, then the press acts as on a quiet table.
TEST_F(StylusTest, APressDuringADragFirstDropsTheRunWhereItWas) {
    table.Put(table.waste, {0, 26});  // ace of clubs under the ace of hearts
    table.Put(table.column[0], {51});
    Layout();
    table.SendStylusDown(CPoint(40, 20));
    table.SendStylusMove(CPoint(150, 45));
    table.SendStylusDown(CPoint(10, 55));  // on the king of the first column
    EXPECT_EQ(Index(table.foundation[0]), 26);
    EXPECT_EQ(table.Score(), 10);
    EXPECT_EQ(table.UndoList().size(), 1u);
    ASSERT_TRUE(table.IsDragging());
    EXPECT_EQ(table.m_sel.m_card, table.column[0]->TopCard());
    table.SendStylusUp(CPoint(10, 55));

    // A double tap during a drag: the run goes back, then the tap sends the
    // waste's top card home.
    table.SendStylusDown(CPoint(10, 55));
    table.SendStylusMove(CPoint(200, 250));
    DoubleTap(40, 20);
    EXPECT_FALSE(table.IsDragging());
    EXPECT_EQ(Index(table.column[0]), 51);
    EXPECT_EQ(Index(table.foundation[1]), 0);
    for (const auto& pile : table.GetPiles())
        for (const auto& card : pile->GetCards()) EXPECT_FALSE(card->m_state & CARD_DRAGGED);
}

// Undo with a run in the air (Ctrl+Z while the button is held): the run is
// put back first, then the move is taken back, and the screen shows the
// table as a fresh paint does, though the undone card lands on the held one.
TEST_F(StylusTest, AnUndoDuringADragPutsTheRunBackFirst) {
    table.Put(table.waste, {20, 0});  // the ace of clubs over the eight of diamonds
    Layout();
    table.SendStylusDown(CPoint(40, 20));
    table.SendStylusMove(CPoint(140, 20));
    table.SendStylusUp(CPoint(140, 20));
    ASSERT_EQ(Index(table.foundation[0]), 0);
    host.Idle();
    table.SendStylusDown(CPoint(40, 20));  // the eight, lifted and held
    table.SendStylusMove(CPoint(80, 150));
    host.Idle();
    table.SendCommand(ID_UNDO_MOVE);
    host.Idle();
    EXPECT_FALSE(table.IsDragging());
    EXPECT_EQ(Index(table.waste), 0);
    EXPECT_EQ(table.waste->GetCount(), 2);
    for (const auto& card : table.waste->GetCards()) EXPECT_FALSE(card->m_state & CARD_DRAGGED);
    const std::vector<uint32_t> shown = table.Surface().pixels;
    table.SendStylusUp(CPoint(80, 150));  // the lift finds nothing in the air
    EXPECT_EQ(table.waste->GetCount(), 2);
    table.Invalidate(true);
    host.Idle();
    EXPECT_TRUE(shown == table.Surface().pixels);
}

TEST_F(StylusTest, ADropIsJudgedAgainstTheCandidatesTopCardNotACoveredOne) {
    table.Put(table.column[1], {8, 33});  // nine of clubs under eight of hearts
    table.Put(table.waste, {20});         // eight of diamonds: fits the covered nine only
    Layout();
    table.SendStylusDown(CPoint(40, 20));
    table.SendStylusMove(CPoint(40, 53));  // over the nine's visible strip
    table.SendStylusUp(CPoint(40, 53));
    EXPECT_EQ(table.offered, std::vector<std::string>{"3:33"});
    EXPECT_EQ(Index(table.waste), 20);
    EXPECT_EQ(table.column[1]->GetCount(), 2);
    EXPECT_FALSE(table.waste->TopCard()->m_state & CARD_DRAGGED);

    // The seven of spades fits the top card and lands on it.
    table.offered.clear();
    table.Put(table.waste, {45});
    Layout();
    table.SendStylusDown(CPoint(45, 20));
    table.SendStylusMove(CPoint(40, 53));
    table.SendStylusUp(CPoint(40, 53));
    EXPECT_EQ(table.offered, std::vector<std::string>{"3:33"});
    EXPECT_EQ(Index(table.column[1]), 45);
}

TEST_F(StylusTest, TheDraggedRunIsPaintedWholeUnderTheStylus) {
    table.Put(table.column[0], {3}, CARD_FACEDOWN);
    table.Put(table.column[0], {51, 24});  // king of spades, queen of diamonds
    table.Invalidate();
    host.Idle();
    // The king lies at (2, 52), the queen at (2, 61).
    table.SendStylusDown(CPoint(10, 55));
    EXPECT_EQ(table.m_sel.m_count, 2);
    EXPECT_EQ(table.DragRect(), CRect(2, 52, 27, 95));
    host.Idle();
    table.SendStylusMove(CPoint(150, 155));  // far from where it lay
    host.Idle();
    EXPECT_EQ(Pixel(142, 152), Face(51));
    EXPECT_EQ(Block(142, 161), Face(24));
    EXPECT_EQ(Pixel(2, 52), kBack);  // the column shows what is left: its face-down card
    EXPECT_EQ(Pixel(2, 90), kTable);

    table.SendStylusMove(CPoint(100, 120));
    host.Idle();
    EXPECT_EQ(Pixel(92, 117), Face(51));
    EXPECT_EQ(Block(92, 126), Face(24));
    EXPECT_EQ(Pixel(160, 180), kTable);  // the old place is cleared
    EXPECT_EQ(table.DragRect(), CRect(92, 117, 117, 160));

    table.SendStylusUp(CPoint(100, 120));  // nowhere to go: it goes back
    host.Idle();
    EXPECT_EQ(Pixel(92, 117), kTable);
    EXPECT_EQ(Pixel(2, 52), Face(51));
    EXPECT_EQ(Block(2, 61), Face(24));
    EXPECT_FALSE(table.column[0]->FromTop(1)->m_state & CARD_DRAGGED);
    EXPECT_TRUE(table.UndoList().empty());
}

TEST_F(StylusTest, AMoveWithoutADragPaintsNothing) {
    table.SendStylusMove(CPoint(100, 100));
    EXPECT_FALSE(table.HasInvalidRegion());
}

TEST_F(StylusTest, ADoubleTapSendsTheWastesTopCardHomeAndScoresTen) {
    table.Put(table.waste, {3, 26});  // four of clubs, ace of hearts on top
    Layout();
    host.Wait(3000);
    DoubleTap(45, 20);
    EXPECT_EQ(Index(table.foundation[0]), 26);
    EXPECT_EQ(Index(table.waste), 3);
    EXPECT_EQ(table.waste->TopCard()->m_state, 0u);
    EXPECT_EQ(table.Score(), 10);
    ASSERT_EQ(table.UndoList().size(), 1u);
    const CUndoMove& move = *table.UndoList()[0];
    EXPECT_EQ(move.m_kind, UNDO_MOVE_TOP);
    EXPECT_EQ(move.m_count, 1);
    EXPECT_EQ(move.m_from, table.waste);
    EXPECT_EQ(move.m_to, table.foundation[0]);
    EXPECT_EQ(table.StartTick(), 103000u);
    EXPECT_EQ(frame.StatusText(), u"Time:0  Score:10");
    host.Idle();
    EXPECT_EQ(Pixel(130, 7), Face(26));
    EXPECT_EQ(Block(34, 7), Face(3));

    // The four of clubs fits no foundation: nothing happens.
    DoubleTap(40, 20);
    EXPECT_EQ(Index(table.waste), 3);
    EXPECT_EQ(table.Score(), 10);
    EXPECT_EQ(table.UndoList().size(), 1u);
}

TEST_F(StylusTest, ADoubleTapGoesToTheFirstFoundationThatFitsAndOnlyForATopCard) {
    table.Put(table.foundation[0], {0});   // ace of clubs
    table.Put(table.foundation[1], {13});  // ace of diamonds
    table.Put(table.column[0], {14, 1});   // two of diamonds under two of clubs
    Layout();
    DoubleTap(10, 52);  // the covered two of diamonds: a run of two, nothing moves
    EXPECT_EQ(table.column[0]->GetCount(), 2);
    DoubleTap(10, 70);
    EXPECT_EQ(Index(table.foundation[0]), 1);
    Layout();
    DoubleTap(10, 70);
    EXPECT_EQ(Index(table.foundation[1]), 14);
    EXPECT_TRUE(table.column[0]->IsEmpty());
    EXPECT_EQ(table.Score(), 20);
    DoubleTap(10, 70);  // an empty column
    EXPECT_EQ(table.Score(), 20);
}

TEST_F(StylusTest, TheCardThatFillsTheFoundationsEndsTheGame) {
    for (int i = 0; i < 13; ++i) table.Put(table.foundation[0], {13 + i});
    for (int i = 0; i < 12; ++i) table.Put(table.foundation[1], {i});
    table.Put(table.waste, {12});
    EXPECT_FALSE(table.AllFoundationsFull(table.m_firstFoundationPos));
    EXPECT_TRUE(table.AllFoundationsFull(PilePos()));
    EXPECT_TRUE(table.AllFoundationsFull(table.FirstPilePos()));  // the stock is no foundation

    table.endGameAnswer = true;
    DoubleTap(40, 20);
    EXPECT_TRUE(table.AllFoundationsFull(table.m_firstFoundationPos));
    EXPECT_EQ(table.endGames, 1);
    EXPECT_TRUE(table.IsGameOver());
    EXPECT_EQ(table.newGames, 0);  // posted, not run inside the handler
    host.Idle();
    EXPECT_EQ(table.newGames, 1);
}

TEST_F(StylusTest, AWinThePlayerDoesNotFollowUpDealsNothing) {
    for (int i = 0; i < 13; ++i) table.Put(table.foundation[0], {13 + i});
    for (int i = 0; i < 12; ++i) table.Put(table.foundation[1], {i});
    table.Put(table.column[1], {12});
    Layout();
    DoubleTap(40, 60);
    EXPECT_EQ(table.endGames, 1);
    host.Idle();
    EXPECT_EQ(table.newGames, 0);
}

// A foundation is built one card at a time: a run is not even offered to one,
// though its first card fits; the run's top card alone goes home.
TEST_F(StylusTest, AFoundationRefusesARunAndTakesASingleCard) {
    table.Put(table.foundation[0], {0});  // ace of clubs
    table.Put(table.column[0], {1, 13});  // two of clubs, ace of diamonds on it
    Layout();
    table.SendStylusDown(CPoint(5, 52));  // the two: a run of two
    table.SendStylusMove(CPoint(140, 20));
    table.SendStylusUp(CPoint(140, 20));
    EXPECT_TRUE(table.offered.empty());
    EXPECT_EQ(table.column[0]->GetCount(), 2);
    EXPECT_EQ(table.foundation[0]->GetCount(), 1);

    table.SendStylusDown(CPoint(5, 65));  // the ace alone
    table.SendStylusMove(CPoint(172, 20));
    table.SendStylusUp(CPoint(172, 20));
    EXPECT_EQ(table.offered, std::vector<std::string>{"5:-"});
    EXPECT_EQ(Index(table.foundation[1]), 13);
    EXPECT_EQ(table.Score(), 10);
}
