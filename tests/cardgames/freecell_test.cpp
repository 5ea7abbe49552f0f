// Freecell: the deal, the layout, runs, the drop rule, the double tap, undo
// and the end of a game.
#include "cardgames/freecell.h"

#include "tests/cardgames/game_fixture.h"

namespace {

using FreecellTest = CardGameTest<CFreecell, HISCORE_FREECELL>;

TEST_F(FreecellTest, ADealLaysTheWholeDeckFaceUpInColumnsOfSevenAndSix) {
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(States(game->m_tableau[i]), std::vector<uint32_t>(i < 4 ? 7 : 6, 0)) << i;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(game->m_foundation[i]->IsEmpty());
        EXPECT_TRUE(game->m_freeCell[i]->IsEmpty());
    }
    // 240 x 268, cards 25 x 34: pitch 28, margin 8, gap 6; the foundations
    // from above the last column leftwards, 27 apart.
    std::vector<CRect> layout;
    for (int i = 0; i < 8; ++i) layout.emplace_back(8 + 28 * i, 46, 33 + 28 * i, 268);
    for (int x : {204, 177, 150, 123}) layout.emplace_back(x, 6, x + 25, 40);
    for (int i = 0; i < 4; ++i) layout.emplace_back(8 + 28 * i, 6, 33 + 28 * i, 40);
    EXPECT_EQ(Rects(), layout);
}

TEST_F(FreecellTest, TheDropRuleForCellsColumnsAndFoundations) {
    struct Case {
        std::vector<int> run;  // dragged from the first card, out of column 0
        CCardPile* target;
        std::vector<int> onto;
        bool moves;
        int points;
    } cases[] = {
        {{Card(H, 7)}, game->m_freeCell[1], {}, true, 0},
        {{Card(H, 7), Card(C, 6)}, game->m_freeCell[1], {}, false, 0},
        {{Card(H, 7)}, game->m_freeCell[1], {Card(C, 2)}, false, 0},
        {{Card(H, 7)}, game->m_tableau[5], {Card(C, 8)}, true, 0},
        {{Card(H, 7)}, game->m_tableau[5], {Card(D, 8)}, false, 0},
        {{Card(H, 7)}, game->m_tableau[5], {Card(C, 9)}, false, 0},
        {{Card(H, 12)}, game->m_tableau[5], {}, false, 0},
        {{Card(H, 13), Card(S, 12), Card(D, 11)}, game->m_tableau[5], {}, true, 0},
        {{Card(C, 1)}, game->m_foundation[2], {}, true, 10},  // any foundation, any suit
        {{Card(H, 2)}, game->m_foundation[2], {Card(C, 1)}, false, 0},
        {{Card(C, 2)}, game->m_foundation[2], {Card(C, 1)}, true, 10},
        {{Card(C, 2)}, game->m_foundation[2], {}, false, 0},
        // A foundation takes one card at a time, though the run's first fits.
        {{Card(C, 2), Card(H, 1)}, game->m_foundation[2], {Card(C, 1)}, false, 0},
    };
    for (const Case& c : cases) {
        Empty();
        Lay(game->m_tableau[0], {Card(S, 5)});
        Lay(game->m_tableau[0], c.run);
        Lay(c.target, c.onto);
        Paint();
        const int score = game->Score();
        Drag(On(game->m_tableau[0], static_cast<int>(c.run.size()) - 1), On(c.target));
        EXPECT_EQ(game->m_tableau[0]->GetCount() == 1, c.moves) << c.run[0];
        EXPECT_EQ(game->Score() - score, c.points) << c.run[0];
    }
}

TEST_F(FreecellTest, ARunOfAnyLengthMovesWhateverTheCellsHold) {
    Empty();
    for (int i = 0; i < 4; ++i) Lay(game->m_freeCell[i], {Card(C, 2 + i)});
    Lay(game->m_tableau[0], {Card(H, 9), Card(S, 8), Card(D, 7)});
    Lay(game->m_tableau[1], {Card(C, 10)});
    Lay(game->m_tableau[2], {Card(H, 9), Card(D, 8)});
    Lay(game->m_tableau[3], {Card(S, 10)});
    Paint();
    Tap(On(game->m_tableau[0]));  // a tap alone moves nothing
    Drag(On(game->m_tableau[0], 2), On(game->m_tableau[1]));
    EXPECT_EQ(Indices(game->m_tableau[1]),
              (std::vector<int>{Card(C, 10), Card(H, 9), Card(S, 8), Card(D, 7)}));
    Drag(On(game->m_tableau[2], 1), On(game->m_tableau[3]));  // two reds: no run
    EXPECT_FALSE(game->IsDragging());
    EXPECT_EQ(game->m_tableau[2]->GetCount(), 2);
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_tableau[0]), (std::vector<int>{Card(H, 9), Card(S, 8), Card(D, 7)}));
    EXPECT_FALSE(UndoEnabled());
}

TEST_F(FreecellTest, ADoubleTapSendsACellsOrAColumnsTopCardHomeFromTheRight) {
    Empty();
    Lay(game->m_freeCell[2], {Card(D, 1)});
    Lay(game->m_tableau[4], {Card(C, 1), Card(H, 6)});
    Lay(game->m_tableau[5], {Card(C, 1)});
    Paint();
    DoubleTap(On(game->m_tableau[4], 1));  // not a top card
    DoubleTap(On(game->m_freeCell[2]));
    DoubleTap(On(game->m_tableau[5]));
    EXPECT_EQ(Indices(game->m_foundation[0]), std::vector<int>{Card(D, 1)});
    EXPECT_EQ(Indices(game->m_foundation[1]), std::vector<int>{Card(C, 1)});
    EXPECT_EQ(game->Score(), 20);
    frame.SendCommand(ID_UNDO_MOVE);  // and its points
    EXPECT_EQ(game->m_tableau[5]->GetCount(), 1);
    EXPECT_EQ(game->Score(), 10);
}

TEST_F(FreecellTest, TheGameIsWonWhenTheLastCardGoesHome) {
    FillTable();
    Empty();
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 1; rank <= (suit == H ? 12 : 13); ++rank)
            Lay(game->m_foundation[suit], {Card(suit, rank)});
    Lay(game->m_freeCell[3], {Card(H, 13)});
    Paint();
    EXPECT_FALSE(game->IsGameOver());
    Drag(On(game->m_freeCell[3]), On(game->m_foundation[2]));
    EXPECT_TRUE(game->IsGameOver());
    EXPECT_EQ(host.Modals().size(), 1u);
}

}  // namespace
