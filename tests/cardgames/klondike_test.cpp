// Klondike on the card table: the deal, the layout, the stock, the drop rule,
// scoring, the clock, undo and the end of a game.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cardgames/solitaire.h"
#include "tests/cardgames/game_fixture.h"

namespace {

// Klondike with its score within reach, to set up a position.
class TestSolitaire : public CSolitaire {
public:
    using CCardgame::m_score;
    using CSolitaire::CSolitaire;
};

class KlondikeTest : public CardGameTest<TestSolitaire, HISCORE_KLONDIKE> {
protected:
    // Three suits home, spades up to the queen, the king of spades on column 0.
    void OneMoveFromAWin() {
        Empty();
        game->ResetGame();
        for (int suit : {C, D, H})
            for (int rank = 1; rank <= 13; ++rank)
                Lay(game->m_foundation[suit], {Card(suit, rank)});
        for (int rank = 1; rank <= 12; ++rank) Lay(game->m_foundation[S], {Card(S, rank)});
        Lay(game->m_tableau[0], {Card(S, 13)});
        Paint();
    }
    static CString WinText(int seconds, int score) {
        return FormatString("You did it!\nin %d seconds\nScore:%d\n\nStart new game?", seconds,
                            score);
    }
};

// ---- The deal --------------------------------------------------------------

TEST_F(KlondikeTest, ADealLaysOneToSevenColumnsWithOnlyTheirTopCardsFaceUp) {
    std::vector<int32_t> kinds;
    for (const auto& pile : game->GetPiles()) kinds.push_back(pile->m_kind);
    std::vector<int32_t> expectedKinds{PILE_STOCK, PILE_WASTE};
    expectedKinds.insert(expectedKinds.end(), 7, PILE_TABLEAU);
    expectedKinds.insert(expectedKinds.end(), 4, PILE_FOUNDATION);
    EXPECT_EQ(kinds, expectedKinds);
    EXPECT_EQ(game->m_stock->GetCount(), 24);
    EXPECT_EQ(game->m_waste->GetCount(), 0);
    for (int c = 0; c < 7; ++c) {
        std::vector<uint32_t> expected(static_cast<size_t>(c), CARD_FACEDOWN);
        expected.push_back(0);
        EXPECT_EQ(States(game->m_tableau[c]), expected) << "column " << c;
    }
    for (CCardPile* f : game->m_foundation) EXPECT_TRUE(f->IsEmpty());
    std::vector<int> all;
    for (const auto& pile : game->GetPiles())
        for (int index : Indices(pile.get())) all.push_back(index);
    std::sort(all.begin(), all.end());
    std::vector<int> deck(52);
    for (int i = 0; i < 52; ++i) deck[static_cast<size_t>(i)] = i;
    EXPECT_EQ(all, deck);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(game->StartTick(), 0u);  // the clock waits for the first action
    EXPECT_TRUE(game->UndoList().empty());
    EXPECT_FALSE(game->IsGameOver());
    EXPECT_EQ(doc.GetTitle(), u"Klondike");
}

// ---- Layout ----------------------------------------------------------------

TEST_F(KlondikeTest, LayoutAt240By268) {
    // Cards 25 x 34: pitch trunc(240 x 0.13333333333333333) = 32 (the product
    // rounds to 32.0), margin (240 - 224) / 2 = 8, gap 34 / 5 = 6.
    EXPECT_EQ(game->m_stock->m_rect, CRect(8, 6, 33, 40));
    EXPECT_EQ(game->m_waste->m_rect, CRect(40, 6, 80, 40));  // three fan steps of 5 wider
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(game->m_tableau[i]->m_rect, CRect(8 + 32 * i, 46, 33 + 32 * i, 268)) << i;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(game->m_foundation[i]->m_rect, CRect(104 + 32 * i, 6, 129 + 32 * i, 40)) << i;
}

TEST_F(KlondikeTest, OnNarrowTablesThePitchAndTheMarginHaveTheirMinimums) {
    frame.SetViewSize(180, 200);  // pitch 24 -> 27; margin (180 - 189) / 2 = -4 -> 2
    EXPECT_EQ(game->m_stock->m_rect, CRect(2, 6, 27, 40));
    EXPECT_EQ(game->m_waste->m_rect, CRect(29, 6, 69, 40));
    EXPECT_EQ(game->m_tableau[6]->m_rect, CRect(164, 46, 189, 200));
    EXPECT_EQ(game->m_foundation[0]->m_rect, CRect(83, 6, 108, 40));
    frame.SetViewSize(203, 150);  // pitch 27 just fits; margin (203 - 189) / 2 = 7
    EXPECT_EQ(game->m_stock->m_rect, CRect(7, 6, 32, 40));
    EXPECT_EQ(game->m_tableau[1]->m_rect, CRect(34, 46, 59, 150));
    EXPECT_EQ(game->m_foundation[3]->m_rect, CRect(169, 6, 194, 40));
}

// ---- The stock ---------------------------------------------------------------

TEST_F(KlondikeTest, TheStockTurnsThreeThenWhatIsLeftThenTheWasteGoesBackInOrder) {
    Empty();
    Lay(game->m_stock, {1, 2, 3, 4, 5});  // 5 on top
    Paint();
    Tap(On(game->m_stock));
    EXPECT_EQ(Indices(game->m_waste), (std::vector<int>{5, 4, 3}));  // the stock's top lies lowest
    EXPECT_EQ(States(game->m_waste), (std::vector<uint32_t>{0, 0, 0}));
    EXPECT_EQ(game->StartTick(), 100000u);
    Tap(On(game->m_stock));  // two left: both turn, the older three leave the fan
    EXPECT_EQ(Indices(game->m_waste), (std::vector<int>{5, 4, 3, 2, 1}));
    EXPECT_EQ(States(game->m_waste),
              (std::vector<uint32_t>{CARD_FACEDOWN, CARD_FACEDOWN, CARD_FACEDOWN, 0, 0}));
    EXPECT_TRUE(game->m_stock->IsEmpty());
    Tap(On(game->m_stock));  // the turn back
    EXPECT_EQ(Indices(game->m_stock), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(game->m_waste->IsEmpty());
    ASSERT_EQ(game->UndoList().size(), 3u);
    std::vector<int> counts;
    for (const auto& move : game->UndoList()) {
        EXPECT_EQ(move->m_kind, UNDO_MOVE_TOP);
        counts.push_back(move->m_count);
    }
    EXPECT_EQ(counts, (std::vector<int>{3, 2, 5}));
    EXPECT_EQ(game->Score(), 0);

    Empty();
    Tap(On(game->m_stock));  // both empty: nothing moves, nothing is recorded
    EXPECT_TRUE(game->m_stock->IsEmpty());
    EXPECT_TRUE(game->m_waste->IsEmpty());
    EXPECT_TRUE(game->UndoList().empty());
    EXPECT_FALSE(UndoEnabled());
}

TEST_F(KlondikeTest, AQuickSecondTapOnTheStockTurnsThreeMore) {
    DoubleTap(On(game->m_stock));
    EXPECT_EQ(game->m_waste->GetCount(), 6);
    EXPECT_EQ(game->UndoList().size(), 2u);
}

// ---- The drop rule -------------------------------------------------------------

TEST_F(KlondikeTest, TheDropRuleBuildsDownInAlternateColoursAndHomeBySuit) {
    // Drags card from the waste onto target holding targetCards; true when it went.
    auto drop = [&](int card, CCardPile* target, std::vector<int> targetCards) {
        Empty();
        Lay(game->m_waste, {card});
        Lay(target, targetCards);
        Paint();
        Drag(On(game->m_waste), On(target));
        return target->TopCard() && target->TopCard()->m_index == card && game->m_waste->IsEmpty();
    };
    CCardPile* column = game->m_tableau[2];
    CCardPile* home = game->m_foundation[1];
    EXPECT_TRUE(drop(Card(C, 13), column, {}));
    EXPECT_FALSE(drop(Card(H, 12), column, {}));
    EXPECT_TRUE(drop(Card(H, 7), column, {Card(C, 8)}));
    EXPECT_TRUE(drop(Card(D, 7), column, {Card(S, 8)}));
    EXPECT_FALSE(drop(Card(H, 7), column, {Card(D, 8)}));
    EXPECT_FALSE(drop(Card(H, 7), column, {Card(S, 9)}));
    EXPECT_FALSE(drop(Card(H, 7), column, {Card(S, 6)}));
    EXPECT_TRUE(drop(Card(D, 1), home, {}));
    EXPECT_FALSE(drop(Card(D, 2), home, {}));
    EXPECT_FALSE(drop(Card(C, 2), home, {Card(D, 1)}));
    EXPECT_TRUE(drop(Card(D, 2), home, {Card(D, 1)}));
    EXPECT_FALSE(drop(Card(D, 1), home, {Card(C, 1)}));  // an ace only on an empty one
    EXPECT_FALSE(drop(Card(C, 13), game->m_stock, {}));
    // A waste takes nothing.
    Empty();
    Lay(game->m_tableau[0], {Card(C, 5)});
    Paint();
    EXPECT_EQ(
        game->CanDrop(game->m_tableau[0], game->m_tableau[0]->TopCard(), game->m_waste, nullptr),
        DROP_REFUSED);
}

TEST_F(KlondikeTest, FoundationsScoreTenPerDropAndTakeOneCardAtATime) {
    Empty();
    Lay(game->m_waste, {Card(C, 1)});
    Lay(game->m_tableau[0], {Card(D, 9), Card(C, 2), Card(H, 1)});  // a run from the two
    Lay(game->m_tableau[1], {Card(H, 3)});
    Paint();
    Drag(On(game->m_waste), On(game->m_foundation[0]));
    EXPECT_EQ(Indices(game->m_foundation[0]), (std::vector<int>{Card(C, 1)}));
    EXPECT_EQ(game->Score(), 10);
    Paint();
    // The run's first card fits, but a foundation takes one card at a time.
    Drag(On(game->m_tableau[0], 1), On(game->m_foundation[0]));
    EXPECT_EQ(Indices(game->m_foundation[0]), (std::vector<int>{Card(C, 1)}));
    EXPECT_EQ(Indices(game->m_tableau[0]), (std::vector<int>{Card(D, 9), Card(C, 2), Card(H, 1)}));
    EXPECT_EQ(game->Score(), 10);
    EXPECT_EQ(game->UndoList().size(), 1u);
    Paint();
    Drag(On(game->m_tableau[0]), On(game->m_foundation[1]));  // its top card alone goes home
    EXPECT_EQ(Indices(game->m_foundation[1]), (std::vector<int>{Card(H, 1)}));
    EXPECT_EQ(game->Score(), 20);

    // A card taken back from a foundation gives its 10 back; home again, 10 again.
    game->m_tableau[0]->Clear();
    Lay(game->m_foundation[0], {Card(C, 2)});
    Paint();
    Drag(On(game->m_foundation[0]), On(game->m_tableau[1]));
    EXPECT_EQ(Indices(game->m_tableau[1]), (std::vector<int>{Card(H, 3), Card(C, 2)}));
    EXPECT_EQ(game->Score(), 10);
    Paint();
    Drag(On(game->m_tableau[1]), On(game->m_foundation[0]));
    EXPECT_EQ(Indices(game->m_foundation[0]), (std::vector<int>{Card(C, 1), Card(C, 2)}));
    EXPECT_EQ(game->Score(), 20);
}

// Whatever a move scored, its undo takes back, never below 0: a move and its
// undo made over and over leave the score where it was.
TEST_F(KlondikeTest, UndoTakesBackWhatItsMoveScored) {
    struct Case {
        const char* move;
        std::function<void()> lay, make;
        int points;
    } cases[] = {
        {"an ace dragged home", [&] { Lay(game->m_waste, {Card(C, 1)}); },
         [&] { Drag(On(game->m_waste), On(game->m_foundation[2])); }, 10},
        {"an ace double-tapped home", [&] { Lay(game->m_tableau[2], {Card(H, 1)}); },
         [&] { DoubleTap(On(game->m_tableau[2])); }, 10},
        {"a column's unshown top card turned",
         [&] { Lay(game->m_tableau[4], {Card(S, 6)}, 1); },  // not painted: still face down
         [&] { Tap(On(game->m_tableau[4])); }, 5},
        {"a card taken off a foundation",
         [&] {
             Lay(game->m_foundation[0], {Card(C, 1), Card(C, 2)});
             Lay(game->m_tableau[1], {Card(H, 3)});
         },
         [&] { Drag(On(game->m_foundation[0]), On(game->m_tableau[1])); }, -10},
        {"a card off a foundation with less than its points left",
         [&] {
             game->m_score = 4;
             Lay(game->m_foundation[0], {Card(C, 1), Card(C, 2)});
             Lay(game->m_tableau[1], {Card(H, 3)});
         },
         [&] { Drag(On(game->m_foundation[0]), On(game->m_tableau[1])); }, -4},
    };
    for (const Case& c : cases) {
        game->m_score = 50;
        for (int round = 0; round < 5; ++round) {
            Empty();
            c.lay();
            const int before = game->Score();
            c.make();
            ASSERT_EQ(game->UndoList().size(), 1u) << c.move;
            EXPECT_EQ(game->Score(), before + c.points) << c.move;
            frame.SendCommand(ID_UNDO_MOVE);
            EXPECT_EQ(game->Score(), before) << c.move << ", round " << round;
        }
    }
    EXPECT_EQ(frame.StatusText(), u"Time:0  Score:4");  // shown at once
    // The clock's toll took 4 of an ace's 10 before the undo: a redo gives
    // back the 6 the undo took, and undo and redo over and over change nothing.
    Empty();
    Lay(game->m_waste, {Card(C, 1)});
    game->m_score = 0;
    Drag(On(game->m_waste), On(game->m_foundation[2]));
    game->m_score = 6;
    for (int round = 0; round < 3; ++round) {
        frame.SendCommand(ID_UNDO_MOVE);
        EXPECT_EQ(game->Score(), 0);
        frame.SendCommand(ID_REDO_MOVE);
        EXPECT_EQ(game->Score(), 6) << "round " << round;
    }
}

// A card's trips between a foundation and a column earn its 10 once, and
// undoing them all takes every point back.
TEST_F(KlondikeTest, ACardGoingHomeAgainAndAgainEarnsItsPointsOnce) {
    Empty();
    Lay(game->m_waste, {Card(C, 2), Card(C, 1)});
    Lay(game->m_tableau[1], {Card(H, 3)});
    Paint();
    Drag(On(game->m_waste), On(game->m_foundation[0]));
    Paint();
    Drag(On(game->m_waste), On(game->m_foundation[0]));
    EXPECT_EQ(game->Score(), 20);
    for (int trip = 0; trip < 5; ++trip) {
        Paint();
        Drag(On(game->m_foundation[0]), On(game->m_tableau[1]));
        EXPECT_EQ(game->Score(), 10);
        Paint();
        Drag(On(game->m_tableau[1]), On(game->m_foundation[0]));
        EXPECT_EQ(game->Score(), 20);
    }
    EXPECT_EQ(game->UndoList().size(), 12u);
    while (UndoEnabled()) frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(Indices(game->m_waste), (std::vector<int>{Card(C, 2), Card(C, 1)}));
}

TEST_F(KlondikeTest, ADoubleTapSendsATopCardHomeForTenPoints) {
    Empty();
    Lay(game->m_waste, {Card(S, 1)});
    Lay(game->m_tableau[3], {Card(H, 1), Card(D, 5)});
    Paint();
    DoubleTap(On(game->m_tableau[3], 1));  // not the top card: nothing
    EXPECT_TRUE(game->m_foundation[0]->IsEmpty());
    DoubleTap(On(game->m_waste));
    EXPECT_EQ(Indices(game->m_foundation[0]), (std::vector<int>{Card(S, 1)}));
    EXPECT_EQ(game->Score(), 10);
    ASSERT_EQ(game->UndoList().size(), 1u);
    EXPECT_EQ(game->UndoList()[0]->m_from, game->m_waste);
}

// ---- Flips, the clock and the score ----------------------------------------------

TEST_F(KlondikeTest, TurningAFaceDownTopCardScoresFiveAndCanBeTakenBack) {
    Empty();
    Lay(game->m_tableau[4], {Card(S, 6), Card(C, 1)}, 1);
    Paint();
    DoubleTap(On(game->m_tableau[4]));  // the ace goes home; the six is not shown yet
    ASSERT_TRUE(game->m_tableau[4]->TopCard()->IsFaceDown());
    Tap(On(game->m_tableau[4]));
    EXPECT_EQ(game->m_tableau[4]->TopCard()->m_state, 0u);
    EXPECT_EQ(game->Score(), 15);
    ASSERT_EQ(game->UndoList().size(), 2u);
    const CUndoMove& flip = *game->UndoList()[1];
    EXPECT_EQ(flip.m_kind, UNDO_FLIP);
    EXPECT_EQ(flip.m_count, 1);
    EXPECT_EQ(flip.m_from, game->m_tableau[4]);
    EXPECT_EQ(flip.m_to, nullptr);
    EXPECT_EQ(frame.StatusText(), u"Time:0  Score:15");
    game->OnUndo();
    EXPECT_EQ(game->m_tableau[4]->TopCard()->m_state, CARD_FACEDOWN);
    EXPECT_EQ(game->Score(), 10);
}

TEST_F(KlondikeTest, EveryTenSecondsOfPlayCostTwoPointsButNeverGoBelowNought) {
    host.Wait(5000);                 // the period starts at the first action, not at the deal
    Tap(On(game->m_foundation[0]));  // an empty pile: starts the clock, nothing else
    EXPECT_EQ(game->StartTick(), 105000u);
    game->m_score = 7;
    host.Wait(9999);
    EXPECT_EQ(game->Score(), 7);
    host.Wait(1);
    EXPECT_EQ(game->Score(), 5);
    EXPECT_EQ(frame.StatusText(), u"Time:10  Score:5");
    host.Wait(10000);
    EXPECT_EQ(game->Score(), 3);
    game->m_score = 2;
    host.Wait(10000);
    EXPECT_EQ(game->Score(), 0);
    host.Wait(30000);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(frame.StatusText(), u"Time:60  Score:0");

    // The steps keep to the clock: a move's update between ticks (at 70.5
    // seconds, the tick of 70 late behind a busy handler) does not put the
    // next step off, and time the program was busy for is paid at once.
    game->m_score = 100;
    host.Wait(9000);
    host.Sleep(1500);
    game->UpdateStatus();
    EXPECT_EQ(game->Score(), 98);
    host.Wait(9500);
    EXPECT_EQ(game->Score(), 96);
    EXPECT_EQ(frame.StatusText(), u"Time:80  Score:96");
    host.Sleep(25000);
    game->UpdateStatus();
    EXPECT_EQ(game->Score(), 92);

    game->OnNewGame();  // the timer runs on, but a stopped clock does not count
    game->m_score = 7;
    host.Wait(30000);
    EXPECT_EQ(game->Score(), 7);
    EXPECT_EQ(game->StartTick(), 0u);
}

// ---- Undo ---------------------------------------------------------------------------

TEST_F(KlondikeTest, MovesAreUndoneNewestFirst) {
    Empty();
    Lay(game->m_stock, {Card(H, 8), Card(D, 13), Card(C, 9)});
    Lay(game->m_tableau[0], {Card(S, 9)});
    Paint();
    Tap(On(game->m_stock));
    Paint();
    Drag(On(game->m_waste), On(game->m_tableau[0]));  // the red eight onto the black nine
    ASSERT_EQ(Indices(game->m_tableau[0]), (std::vector<int>{Card(S, 9), Card(H, 8)}));
    EXPECT_TRUE(UndoEnabled());
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_tableau[0]), (std::vector<int>{Card(S, 9)}));
    EXPECT_EQ(Indices(game->m_waste), (std::vector<int>{Card(C, 9), Card(D, 13), Card(H, 8)}));
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_stock), (std::vector<int>{Card(H, 8), Card(D, 13), Card(C, 9)}));
    EXPECT_TRUE(game->m_waste->IsEmpty());
    EXPECT_FALSE(UndoEnabled());
    frame.SendCommand(ID_UNDO_MOVE);  // nothing left: nothing happens
    EXPECT_EQ(game->m_stock->GetCount(), 3);
}

TEST_F(KlondikeTest, UndoingAStockTurnFansTheThreeCardsThenOnTop) {
    for (int i = 0; i < 3; ++i) Tap(On(game->m_stock));
    const std::vector<int> stock = Indices(game->m_stock);
    const std::vector<int> waste = Indices(game->m_waste);
    Tap(On(game->m_stock));
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_stock), stock);
    EXPECT_EQ(Indices(game->m_waste), waste);
    std::vector<uint32_t> fan(9, CARD_FACEDOWN);
    fan[6] = fan[7] = fan[8] = 0;
    EXPECT_EQ(States(game->m_waste), fan);

    // The turn back, undone: the waste comes back fanned the same way.
    for (int i = 0; i < 5; ++i) Tap(On(game->m_stock));
    ASSERT_TRUE(game->m_stock->IsEmpty());
    const std::vector<int> full = Indices(game->m_waste);
    Tap(On(game->m_stock));
    ASSERT_EQ(game->m_stock->GetCount(), 24);
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_waste), full);
    const std::vector<uint32_t> states = States(game->m_waste);
    EXPECT_EQ(std::count(states.begin(), states.end(), 0u), 3);
    EXPECT_EQ(game->m_waste->TopCard()->m_state, 0u);
}

TEST_F(KlondikeTest, CardsTakenBackToTheWasteLeaveOnlyItsTopThreeFanned) {
    // Four unfanned cards under the three turned last.
    Empty();
    const std::vector<int> waste = {Card(H, 1), Card(C, 5), Card(D, 9), Card(C, 1),
                                    Card(D, 3), Card(S, 7), Card(H, 12)};
    Lay(game->m_waste, waste, 4);
    Lay(game->m_tableau[0], {Card(S, 13)});
    Lay(game->m_tableau[1], {Card(D, 8)});
    Lay(game->m_tableau[2], {Card(C, 4)});
    Paint();
    // The three fanned cards go onto columns, then the ace under them home.
    Drag(On(game->m_waste), On(game->m_tableau[0]));
    Drag(On(game->m_waste), On(game->m_tableau[1]));
    Drag(On(game->m_waste), On(game->m_tableau[2]));
    ASSERT_EQ(game->m_waste->GetCount(), 4);
    DoubleTap(On(game->m_waste));
    ASSERT_EQ(game->m_waste->GetCount(), 3);
    ASSERT_EQ(game->UndoList().size(), 4u);

    for (int i = 0; i < 4; ++i) frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_waste), waste);
    std::vector<uint32_t> fan(waste.size(), CARD_FACEDOWN);
    fan[4] = fan[5] = fan[6] = 0;
    EXPECT_EQ(States(game->m_waste), fan);
}

// ---- The end of a game -----------------------------------------------------------------

TEST_F(KlondikeTest, AWinStopsTheClockAndAddsEightPointsForEverySecondBelow625) {
    FillTable();
    struct Case {
        uint64_t seconds;
        int score;
    };
    // Ten for the last card home, then the bonus.
    for (Case c : {Case{0, 5010}, Case{600, 210}, Case{625, 10}, Case{700, 10}}) {
        OneMoveFromAWin();
        host.ClearModals();
        if (c.seconds) Tap(On(game->m_tableau[1]));  // starts the clock
        host.Wait(c.seconds * 1000);
        DoubleTap(On(game->m_tableau[0]));
        EXPECT_TRUE(game->IsGameOver());
        EXPECT_EQ(game->Score(), c.score) << c.seconds;
        ASSERT_EQ(host.Modals().size(), 1u);
        EXPECT_TRUE(host.Modals()[0].isMessageBox);
        EXPECT_EQ(host.Modals()[0].type, MB_YESNO);
        EXPECT_EQ(host.Modals()[0].text, WinText(static_cast<int>(c.seconds), c.score));
        DueTimer timer;
        EXPECT_FALSE(NextTimer(&timer));  // the clock is stopped for good
        host.Wait(20000);
        EXPECT_EQ(game->Score(), c.score);
        host.Idle();
        EXPECT_TRUE(game->IsGameOver());  // answered No: the table stays
    }
    EXPECT_EQ(Table().m_entries.size(), 10u);
}

TEST_F(KlondikeTest, AWinThatQualifiesAsksForTheNameAndShowsTheList) {
    OneMoveFromAWin();
    ModalAnswer name;
    ModalAnswer::Parse("name Alice", &name);
    host.QueueAnswer(name);
    Drag(On(game->m_tableau[0]), On(game->m_foundation[3]));
    ASSERT_EQ(host.Modals().size(), 2u);
    EXPECT_EQ(host.Modals()[0].templateId, IDD_HISCORE_NAME);
    EXPECT_EQ(host.Modals()[1].templateId, IDD_HISCORES);
    ASSERT_EQ(Table().m_entries.size(), 1u);
    EXPECT_EQ(Table().m_entries[0]->m_name, u"Alice");
    EXPECT_EQ(Table().m_entries[0]->m_score, 5010);
    EXPECT_EQ(Table().m_entries[0]->m_seconds, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "Scores.dat"));
    host.Idle();
    EXPECT_TRUE(game->IsGameOver());  // no question: the finished table stays
    EXPECT_EQ(game->m_foundation[3]->GetCount(), 13);
}

TEST_F(KlondikeTest, YesDealsANewGameAtOnceAfterADropAndByPostAfterADoubleTap) {
    FillTable();
    OneMoveFromAWin();
    Answer(ModalAnswer::Yes);
    Drag(On(game->m_tableau[0]), On(game->m_foundation[3]));
    EXPECT_FALSE(game->IsGameOver());
    EXPECT_EQ(game->m_stock->GetCount(), 24);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(game->StartTick(), 0u);

    OneMoveFromAWin();
    Answer(ModalAnswer::Yes);
    DoubleTap(On(game->m_tableau[0]));
    EXPECT_TRUE(game->IsGameOver());
    EXPECT_TRUE(HasPostedMessages());
    host.Idle();
    EXPECT_FALSE(game->IsGameOver());
    EXPECT_EQ(game->m_stock->GetCount(), 24);
    EXPECT_EQ(host.Modals().size(), 2u);
}

TEST_F(KlondikeTest, AfterAWinNothingMovesAndASecondEndGameDoesNothing) {
    FillTable();
    OneMoveFromAWin();
    Drag(On(game->m_tableau[0]), On(game->m_tableau[1]));  // a record the end must clear
    ASSERT_EQ(game->UndoList().size(), 1u);
    DoubleTap(On(game->m_tableau[1]));
    ASSERT_TRUE(game->IsGameOver());
    EXPECT_TRUE(game->UndoList().empty());
    EXPECT_FALSE(UndoEnabled());
    const int score = game->Score();

    EXPECT_FALSE(game->EndGame());
    EXPECT_EQ(game->Score(), score);
    EXPECT_EQ(host.Modals().size(), 1u);

    Paint();
    Drag(On(game->m_foundation[0]), On(game->m_tableau[1]));
    Tap(On(game->m_tableau[2]));
    DoubleTap(On(game->m_foundation[1]));
    EXPECT_FALSE(game->IsDragging());
    EXPECT_TRUE(game->m_tableau[1]->IsEmpty());
    for (CCardPile* f : game->m_foundation) EXPECT_EQ(f->GetCount(), 13);
    EXPECT_TRUE(game->UndoList().empty());
    EXPECT_EQ(host.Modals().size(), 1u);

    frame.SendCommand(ID_NEW_GAME);  // "New" is the way on
    EXPECT_FALSE(game->IsGameOver());
    Tap(On(game->m_stock));
    EXPECT_TRUE(UndoEnabled());
}

}  // namespace
