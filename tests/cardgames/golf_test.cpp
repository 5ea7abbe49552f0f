// Golf: the deal, the layout, the play rule, the double tap, the stock and
// the end of a game.
#include "cardgames/golf.h"

#include "tests/cardgames/game_fixture.h"

namespace {

using GolfTest = CardGameTest<CGolf, HISCORE_GOLF>;

TEST_F(GolfTest, ADealLaysSevenColumnsOfFiveOneWasteCardAndSixteenInTheStock) {
    EXPECT_EQ(game->m_stock->GetCount(), 16);
    EXPECT_EQ(game->m_waste->GetCount(), 1);
    for (CCardPile* column : game->m_tableau)
        EXPECT_EQ(States(column), std::vector<uint32_t>(5, 0));
    // 240 x 268, cards 25 x 34: pitch 32, margin 8, gap 6; the stock row
    // below a full column; the waste to the right edge, fanned by half steps.
    std::vector<CRect> layout{CRect(8, 86, 33, 120), CRect(40, 86, 240, 120)};
    for (int i = 0; i < 7; ++i) layout.emplace_back(8 + 32 * i, 6, 33 + 32 * i, 228);
    EXPECT_EQ(Rects(), layout);
    EXPECT_EQ(game->m_waste->m_faceUpStep, 2);
}

TEST_F(GolfTest, ATopCardPlaysOneRankAboveOrBelowTheWasteButNeverOnAKing) {
    struct Case {
        int waste, card;
        bool plays;
    } cases[] = {
        {Card(H, 7), Card(C, 6), true},    {Card(H, 7), Card(S, 8), true},
        {Card(H, 7), Card(D, 7), false},   {Card(H, 7), Card(D, 9), false},
        {Card(C, 1), Card(H, 2), true},    {Card(C, 1), Card(H, 13), false},
        {Card(C, 2), Card(D, 1), true},    {Card(C, 2), Card(D, 3), true},
        {Card(S, 13), Card(H, 12), false}, {Card(S, 13), Card(H, 1), false},
        {Card(S, 12), Card(D, 11), true},  {Card(S, 12), Card(D, 13), true},
    };
    for (const Case& c : cases) {
        Empty();
        Lay(game->m_waste, {c.waste});
        Lay(game->m_tableau[3], {Card(C, 10), c.card});
        Paint();
        const int score = game->Score();
        Tap(On(game->m_tableau[3]));
        EXPECT_EQ(game->m_waste->TopCard()->m_index, c.plays ? c.card : c.waste) << c.card;
        EXPECT_EQ(game->Score() - score, c.plays ? 10 : 0);
        EXPECT_EQ(game->UndoList().size(), c.plays ? 1u : 0u);
    }
    frame.SendCommand(ID_UNDO_MOVE);  // the card comes back, and its points go
    EXPECT_EQ(Indices(game->m_tableau[3]), (std::vector<int>{Card(C, 10), Card(D, 13)}));
    EXPECT_EQ(game->Score(), 60);
    for (int round = 0; round < 5; ++round) {
        Tap(On(game->m_tableau[3]));
        EXPECT_EQ(game->Score(), 70);
        frame.SendCommand(ID_UNDO_MOVE);
        EXPECT_EQ(game->Score(), 60);
    }
}

TEST_F(GolfTest, OnlyAColumnsTopCardPlaysAndADoubleTapIsTwoTaps) {
    Empty();
    Lay(game->m_waste, {Card(H, 7)});
    Lay(game->m_tableau[0], {Card(C, 5), Card(D, 6)});
    Lay(game->m_tableau[1], {Card(C, 6), Card(S, 8)});
    Paint();
    Tap(On(game->m_tableau[0], 1));  // the covered five
    EXPECT_EQ(game->m_waste->GetCount(), 1);
    DoubleTap(On(game->m_tableau[0]));  // the six, then the five under it
    EXPECT_EQ(Indices(game->m_waste), (std::vector<int>{Card(H, 7), Card(D, 6), Card(C, 5)}));
    EXPECT_EQ(game->Score(), 20);
    Lay(game->m_waste, {Card(H, 7)});
    Paint();
    DoubleTap(On(game->m_tableau[1]));  // the eight; the six does not fit on it
    EXPECT_EQ(Indices(game->m_tableau[1]), std::vector<int>{Card(C, 6)});
    Lay(game->m_waste, {Card(H, 5)});
    Paint();
    Tap(CPoint(game->m_tableau[1]->m_rect.left + 5, 200));  // below the column: its top card
    EXPECT_TRUE(game->m_tableau[1]->IsEmpty());
}

TEST_F(GolfTest, TheStockTurnsOneCardForNothingAndAnEmptyStockDoesNothing) {
    const int top = game->m_stock->TopCard()->m_index;
    Tap(On(game->m_stock));
    EXPECT_EQ(game->m_waste->TopCard()->m_index, top);
    EXPECT_EQ(game->m_waste->TopCard()->m_state, 0u);
    EXPECT_EQ(game->Score(), 0);
    ASSERT_EQ(game->UndoList().size(), 1u);
    EXPECT_EQ(game->UndoList()[0]->m_kind, UNDO_MOVE_TOP);
    game->m_stock->Clear();
    Tap(On(game->m_stock));
    EXPECT_EQ(game->m_waste->GetCount(), 2);
    EXPECT_EQ(game->UndoList().size(), 1u);
}

TEST_F(GolfTest, ClearingTheColumnsIsNoWinUntilTheStockIsTurnedOutToo) {
    FillTable();
    Empty();
    for (int i = 0; i < 50; ++i) Lay(game->m_waste, {i == 49 ? Card(H, 7) : Card(C, 1)});
    Lay(game->m_tableau[6], {Card(D, 8)});
    Lay(game->m_stock, {Card(S, 2)});
    Paint();
    Tap(On(game->m_tableau[6]));
    EXPECT_EQ(game->m_waste->GetCount(), 51);
    EXPECT_FALSE(game->IsGameOver());
    Tap(On(game->m_stock));
    EXPECT_TRUE(game->IsGameOver());
    EXPECT_FALSE(UndoEnabled());
    EXPECT_EQ(host.Modals().size(), 1u);
}

}  // namespace
