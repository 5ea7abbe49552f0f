// Cruel: the deal, the layout, the drop rule, the flip, the redeal and the
// end of a game.
#include "cardgames/cruel.h"

#include "tests/cardgames/game_fixture.h"

namespace {

using CruelTest = CardGameTest<CCruel, HISCORE_CRUEL>;

TEST_F(CruelTest, ADealPutsTheAcesHomeAndTwelveSquaredPilesOfFourOnTheGrid) {
    EXPECT_TRUE(game->m_stock->IsEmpty());
    EXPECT_TRUE(game->m_stock->m_showDeal);
    for (CCardPile* pile : game->m_tableau)
        EXPECT_EQ(States(pile),
                  (std::vector<uint32_t>{CARD_FACEDOWN, CARD_FACEDOWN, CARD_FACEDOWN, 0}));
    for (int suit = 0; suit < 4; ++suit)
        EXPECT_EQ(Indices(game->m_foundation[suit]), std::vector<int>{Card(suit, 1)});
    // 240 x 268, cards 25 x 34: pitch 36, margin 12, gap 6; stock, a gap,
    // four foundations; then two rows of six.
    std::vector<CRect> layout{CRect(12, 6, 37, 40)};
    for (int i = 0; i < 12; ++i)
        layout.emplace_back(12 + 36 * (i % 6), i < 6 ? 46 : 86, 37 + 36 * (i % 6),
                            i < 6 ? 80 : 120);
    for (int i = 0; i < 4; ++i) layout.emplace_back(84 + 36 * i, 6, 109 + 36 * i, 40);
    EXPECT_EQ(Rects(), layout);
}

TEST_F(CruelTest, TopCardsGoOneDownInTheirSuitKingsOntoEmptyPilesAndHomeForTen) {
    struct Case {
        int card;
        CCardPile* target;
        std::vector<int> onto;
        bool moves;
        int points;
    } cases[] = {
        {Card(H, 7), game->m_tableau[7], {Card(H, 8)}, true, 0},
        {Card(H, 7), game->m_tableau[7], {Card(D, 8)}, false, 0},
        {Card(H, 7), game->m_tableau[7], {Card(H, 9)}, false, 0},
        {Card(H, 7), game->m_tableau[7], {Card(H, 6)}, false, 0},
        {Card(C, 13), game->m_tableau[7], {}, true, 0},
        {Card(C, 12), game->m_tableau[7], {}, false, 0},
        {Card(C, 2), game->m_foundation[0], {Card(C, 1)}, true, 10},
        {Card(C, 3), game->m_foundation[0], {Card(C, 1)}, false, 0},
        {Card(C, 1), game->m_foundation[2], {}, true, 10},
        {Card(C, 2), game->m_foundation[2], {}, false, 0},
        {Card(C, 13), game->m_stock, {}, false, 0},
    };
    for (const Case& c : cases) {
        Empty();
        Lay(game->m_tableau[0], {Card(S, 5), c.card});
        Lay(c.target, c.onto);
        Paint();
        const int score = game->Score();
        Drag(On(game->m_tableau[0]), On(c.target));
        EXPECT_EQ(c.target->TopCard() && c.target->TopCard()->m_index == c.card, c.moves)
            << c.card << " onto " << game->PileIndex(c.target);
        EXPECT_EQ(game->Score() - score, c.points) << c.card;
        EXPECT_EQ(game->UndoList().size(), c.moves ? 1u : 0u);
        // The bar shows a move's points at once, not at the clock's next tick.
        if (c.moves) {
            EXPECT_EQ(frame.StatusText(), FormatString("Time:0  Score:%d", game->Score()));
        }
    }
    // A foundation's top card may come back, giving back what going home earns.
    Empty();
    Lay(game->m_foundation[0], {Card(C, 1), Card(C, 2)});
    Lay(game->m_tableau[3], {Card(C, 3)});
    Paint();
    const int score = game->Score();
    Drag(On(game->m_foundation[0]), On(game->m_tableau[3]));
    EXPECT_EQ(Indices(game->m_tableau[3]), (std::vector<int>{Card(C, 3), Card(C, 2)}));
    EXPECT_EQ(game->Score(), score - 10);
}

// Cruel drops through the card table's one search: the pile under the
// stylus first, however much of the card still lies over its own pile.
TEST_F(CruelTest, ACardGoesToThePileUnderTheStylus) {
    Empty();
    Lay(game->m_tableau[1], {Card(C, 13)});
    Paint();
    const CPoint from = On(game->m_tableau[1]);
    Drag(from, CPoint(from.x + 24, from.y));  // the stylus just over the empty pile right
    EXPECT_EQ(Indices(game->m_tableau[2]), std::vector<int>{Card(C, 13)});
    Paint();
    Drag(On(game->m_tableau[2]), CPoint(from.x - 24, from.y));  // over the empty one left
    EXPECT_EQ(Indices(game->m_tableau[0]), std::vector<int>{Card(C, 13)});
    EXPECT_TRUE(game->m_tableau[1]->IsEmpty() && game->m_tableau[2]->IsEmpty());
}

TEST_F(CruelTest, TurningAnUnshownTopCardScoresFiveAndIsOneUndoStep) {
    Empty();
    Lay(game->m_tableau[2], {Card(D, 4), Card(S, 9)}, 2);
    Tap(On(game->m_tableau[2]));
    EXPECT_EQ(States(game->m_tableau[2]), (std::vector<uint32_t>{CARD_FACEDOWN, 0}));
    EXPECT_EQ(game->Score(), 5);
    EXPECT_EQ(frame.StatusText(), u"Time:0  Score:5");
    ASSERT_EQ(game->UndoList().size(), 1u);
    EXPECT_EQ(game->UndoList()[0]->m_kind, UNDO_FLIP);
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(States(game->m_tableau[2]), (std::vector<uint32_t>{CARD_FACEDOWN, CARD_FACEDOWN}));
    EXPECT_EQ(game->Score(), 0);
    EXPECT_FALSE(game->IsDragging());
}

TEST_F(CruelTest, ARedealDealsThePilesAgainInFoursAndCannotBeUndone) {
    Empty();
    Lay(game->m_tableau[0], {1, 2, 3, 4}, 3);
    Lay(game->m_tableau[2], {5, 6});
    Lay(game->m_tableau[3], {7, 8, 9, 10}, 1);
    Lay(game->m_tableau[5], {Card(H, 13)});
    Paint();
    Drag(On(game->m_tableau[5]), On(game->m_tableau[11]));
    ASSERT_TRUE(UndoEnabled());
    const int score = game->Score();
    for (int tap = 0; tap < 2; ++tap) {  // a second redeal changes nothing
        Tap(On(game->m_stock));
        EXPECT_EQ(Indices(game->m_tableau[0]), (std::vector<int>{1, 2, 3, 4}));
        EXPECT_EQ(Indices(game->m_tableau[1]), (std::vector<int>{5, 6, 7, 8}));
        EXPECT_EQ(Indices(game->m_tableau[2]), (std::vector<int>{9, 10, Card(H, 13)}));
        EXPECT_EQ(States(game->m_tableau[1]), (std::vector<uint32_t>{0, 0, CARD_FACEDOWN, 0}));
        for (int i = 3; i < 12; ++i) EXPECT_TRUE(game->m_tableau[i]->IsEmpty()) << i;
        EXPECT_FALSE(UndoEnabled());
        EXPECT_EQ(game->Score(), score);
    }
    // With aces taken back there are more than 48 cards: the last pile keeps them.
    Empty();
    for (int i = 0; i < 13; ++i) Lay(game->m_tableau[0], {i});
    for (int i = 13; i < 52; ++i) Lay(game->m_tableau[1], {i});
    Tap(On(game->m_stock));
    for (int p = 0; p < 11; ++p)
        EXPECT_EQ(Indices(game->m_tableau[p]),
                  (std::vector<int>{4 * p, 4 * p + 1, 4 * p + 2, 4 * p + 3}));
    EXPECT_EQ(Indices(game->m_tableau[11]), (std::vector<int>{44, 45, 46, 47, 48, 49, 50, 51}));
    Paint();
    DoubleTap(On(game->m_tableau[9]));  // the ace of spades goes home...
    EXPECT_EQ(game->m_foundation[0]->GetCount(), 1);
    EXPECT_TRUE(UndoEnabled());  // ...and undo comes back with the move
}

TEST_F(CruelTest, ADoubleTapSendsATopCardHome) {
    Empty();
    Lay(game->m_foundation[3], {Card(S, 1)});
    Lay(game->m_tableau[4], {Card(D, 6), Card(S, 2)});
    Paint();
    DoubleTap(On(game->m_tableau[4]));
    EXPECT_EQ(Indices(game->m_foundation[3]), (std::vector<int>{Card(S, 1), Card(S, 2)}));
    EXPECT_EQ(game->Score(), 10);
    ASSERT_EQ(game->UndoList().size(), 1u);
    EXPECT_EQ(game->UndoList()[0]->m_kind, UNDO_MOVE_TOP);
}

TEST_F(CruelTest, TheGameIsWonWhenTheLastCardGoesHomeAndNotBefore) {
    FillTable();
    for (bool byDoubleTap : {false, true}) {
        Empty();
        game->ResetGame();
        for (int suit = 0; suit < 4; ++suit)
            for (int rank = 1; rank <= (suit == S ? 11 : 13); ++rank)
                Lay(game->m_foundation[suit], {Card(suit, rank)});
        Lay(game->m_tableau[0], {Card(S, 13), Card(S, 12)});
        Paint();
        DoubleTap(On(game->m_tableau[0]));
        ASSERT_FALSE(game->IsGameOver());
        if (byDoubleTap)
            DoubleTap(On(game->m_tableau[0]));
        else
            Drag(On(game->m_tableau[0]), On(game->m_foundation[3]));
        EXPECT_TRUE(game->IsGameOver()) << byDoubleTap;
        EXPECT_FALSE(UndoEnabled());
        Tap(On(game->m_stock));  // nothing more happens
        EXPECT_EQ(game->m_foundation[3]->GetCount(), 13);
    }
    EXPECT_EQ(host.Modals().size(), 2u);
}

}  // namespace
