// Help at a card table: the hint's choice and words, how long it shows, and
// the cards going home by themselves.
#include <algorithm>
#include <functional>
#include <vector>

#include "cardgames/cruel.h"
#include "cardgames/freecell.h"
#include "cardgames/golf.h"
#include "cardgames/solitaire.h"
#include "platform/random.h"
#include "tests/cardgames/game_fixture.h"

namespace {

using KlondikeHelpTest = CardGameTest<CSolitaire, HISCORE_KLONDIKE>;
using FreecellHelpTest = CardGameTest<CFreecell, HISCORE_FREECELL>;
using GolfHelpTest = CardGameTest<CGolf, HISCORE_GOLF>;
using CruelHelpTest = CardGameTest<CCruel, HISCORE_CRUEL>;

TEST_F(KlondikeHelpTest, TheHintTakesHomeThenUncoveringThenTheWasteThenRunsThenTheStock) {
    CSolitaire& k = *game;
    struct Case {
        const char* what;
        std::function<void()> lay;
        const char16_t* said;   // to a screen reader
        const char16_t* shown;  // in the bar
    } cases[] = {
        {"home before anything",
         [&] {
             Lay(k.m_tableau[0], {Card(S, 9), Card(H, 1)}, 1);
             Lay(k.m_tableau[1], {Card(C, 10)});
             Lay(k.m_stock, {Card(D, 4)});
         },
         u"Hint: move the ace of hearts from Column 1 home", u"Hint: A\u2665 home"},
        {"a run that uncovers a card before the waste",
         [&] {
             Lay(k.m_tableau[0], {Card(S, 9), Card(H, 5)}, 1);
             Lay(k.m_tableau[1], {Card(C, 6)});
             Lay(k.m_waste, {Card(D, 5)});
         },
         u"Hint: move the five of hearts from Column 1 onto the six of clubs in Column 2",
         u"Hint: 5\u2665 onto 6\u2663"},
        {"the waste before a run off a card it fits",
         [&] {
             Lay(k.m_tableau[0], {Card(C, 7), Card(H, 6)});
             Lay(k.m_tableau[1], {Card(S, 7)});
             Lay(k.m_tableau[2], {Card(S, 6)});
             Lay(k.m_waste, {Card(D, 5)});
         },
         u"Hint: move the five of diamonds from the waste onto the six of spades in Column 3",
         u"Hint: 5\u2666 onto 6\u2660"},
        {"the stock before a run that only changes places",
         [&] {
             Lay(k.m_tableau[0], {Card(C, 7), Card(H, 6)});
             Lay(k.m_tableau[1], {Card(S, 7)});
             Lay(k.m_stock, {Card(D, 2)});
         },
         u"Hint: deal from the stock", u"Hint: deal from the stock"},
        {"the waste turned over", [&] { Lay(k.m_waste, {Card(D, 2)}); },
         u"Hint: turn the waste over", u"Hint: turn the waste over"},
        {"a card taken back from home for a card away from home to go onto",
         [&] {
             Lay(k.m_foundation[0], {Card(H, 1), Card(H, 2), Card(H, 3), Card(H, 4), Card(H, 5)});
             Lay(k.m_tableau[0], {Card(C, 6)});
             Lay(k.m_tableau[1], {Card(D, 9), Card(S, 4)}, 1);
         },
         u"Hint: move the five of hearts from Foundation 1 onto the six of clubs in Column 1",
         u"Hint: 5\u2665 onto 6\u2663"},
        {"but never when no card away from home could go onto it",
         [&] {
             Lay(k.m_foundation[0], {Card(H, 1), Card(H, 2), Card(H, 3), Card(H, 4), Card(H, 5)});
             Lay(k.m_tableau[0], {Card(C, 6)});
             Lay(k.m_tableau[1], {Card(D, 9), Card(D, 4)}, 1);
         },
         u"No moves left", u"No moves left"},
        {"a king alone is not moved to an empty column",
         [&] { Lay(k.m_tableau[3], {Card(H, 13)}); }, u"No moves left", u"No moves left"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Empty();
        c.lay();
        Paint();
        frame.SendCommand(ID_HINT);
        EXPECT_EQ(frame.StatusText(), c.shown);
        EXPECT_EQ(game->LastAnnouncement(), c.said);
        EXPECT_EQ(game->ShowsHint(), game->Hint().has_value());
        frame.SendCommand(ID_HINT);  // again: the same
        EXPECT_EQ(frame.StatusText(), c.shown);
    }
}

// Three cards a turn: an ace left fourth in the waste, with one card still
// in the stock, is never on top again once the stock is turned. The table
// before went on (the ace could go home); the one after is stuck.
TEST_F(KlondikeHelpTest, AWasteCardTheTurnsNeverBringBackKeepsNothingGoing) {
    CSolitaire& k = *game;
    Empty();
    for (int suit : {C, D, H}) {
        std::vector<int> all;
        for (int rank = 1; rank <= 13; ++rank) all.push_back(Card(suit, rank));
        Lay(k.m_foundation[static_cast<size_t>(suit)], all);
    }
    Lay(k.m_tableau[0], {Card(S, 8), Card(S, 2)});
    const int alone[] = {3, 4, 5, 6, 7, 13};
    for (size_t i = 0; i < 6; ++i) Lay(k.m_tableau[i + 1], {Card(S, alone[i])});
    Lay(k.m_waste, {Card(S, 9), Card(S, 10), Card(S, 11), Card(S, 1)});
    Lay(k.m_stock, {Card(S, 12)});
    Paint();
    EXPECT_FALSE(k.IsStuck());
    ASSERT_TRUE(k.DoMove({MOVE_TAP, k.PileIndex(k.m_stock), 0, 1, -1}));
    EXPECT_TRUE(k.IsCalledStuck());
}

TEST_F(KlondikeHelpTest, TheHintNeverTakesBackTheMoveBeforeAndPrefersTheWinningLine) {
    Empty();
    Lay(game->m_tableau[0], {Card(C, 8), Card(H, 7)});
    Lay(game->m_tableau[1], {Card(S, 8)});
    Paint();
    Drag(On(game->m_tableau[0]), On(game->m_tableau[1]));
    ASSERT_EQ(game->m_tableau[1]->GetCount(), 2);
    // Back onto the eight of clubs would undo it; nothing else is left.
    EXPECT_FALSE(game->SuggestedMove());
    // A line that wins says otherwise.
    const CardMove back{MOVE_RUN, 3, 1, 1, 2};
    game->SetWinningLine({back});
    EXPECT_EQ(game->SuggestedMove(), back);
}

// The stock ranks above a run that only changes places, but once its turns
// come round to a table the hint was asked on, the run is suggested instead;
// the tries leave the table, the score and the records as they were.
TEST_F(KlondikeHelpTest, FollowingTheHintsNeverGoesRoundInACircle) {
    CSolitaire& k = *game;
    Empty();
    Lay(k.m_tableau[0], {Card(C, 8), Card(H, 7)});
    Lay(k.m_tableau[1], {Card(S, 8)});
    Lay(k.m_stock, {Card(D, 2)});
    Paint();
    game->SendKeyDown(VK_TAB, 0);  // the focus shows, on the waste
    game->SendKeyDown(VK_LEFT, 0);
    game->SendKeyDown(VK_H, 0);
    EXPECT_EQ(frame.StatusText(), u"Hint: deal from the stock");
    // The outline lies round the card, clear of its corner; the focus on
    // the hinted card round the outline.
    host.Idle();
    const CRect stock = k.m_stock->TopCard()->m_rect;
    const int middle = (stock.top + stock.bottom) / 2;
    EXPECT_EQ(game->Surface().At(stock.left - 1, middle), PixelFromColorRef(RGB(255, 0, 200)));
    EXPECT_EQ(game->Surface().At(stock.left - 4, middle), PixelFromColorRef(RGB(255, 214, 0)));
    for (const COLORREF frame : {RGB(255, 0, 200), RGB(255, 214, 0)})
        EXPECT_NE(game->Surface().At(stock.left + 1, stock.top + 1), PixelFromColorRef(frame));
    ASSERT_TRUE(k.DoMove(*k.Hint()));
    frame.SendCommand(ID_HINT);  // turning the waste over would deal the first table again
    EXPECT_EQ(frame.StatusText(), u"Hint: 7\u2665 onto 8\u2660");
    EXPECT_EQ(k.m_waste->GetCount(), 1);
    EXPECT_EQ(k.m_tableau[0]->GetCount(), 2);
    ASSERT_TRUE(k.DoMove(*k.Hint()));
    frame.SendCommand(ID_HINT);  // this table is new: the stock again
    EXPECT_EQ(frame.StatusText(), u"Hint: turn the waste over");
    frame.SendCommand(ID_UNDO_MOVE);
    frame.SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(k.m_stock->GetCount(), 1);
    frame.SendCommand(ID_HINT);  // the stock's turn was hinted on
    EXPECT_EQ(frame.StatusText(), u"Hint: 7\u2665 onto 8\u2660");
    ASSERT_TRUE(k.DoMove(*k.Hint()));
    // So was the table it leads to, and every other: the hint looks
    // further and finds that no card can ever go home or turn up here.
    frame.SendCommand(ID_HINT);
    EXPECT_TRUE(k.IsCalledStuck());
    EXPECT_EQ(frame.StatusText(), u"Time:0  Score:0");
}

// Where a redeal leads is found by laying the piles out and back again.
TEST_F(CruelHelpTest, TheHintLeavesThePilesAsTheyLie) {
    CCruel& c = *game;
    Empty();
    Lay(c.m_tableau[0], {Card(S, 9), Card(S, 7), Card(H, 4), Card(D, 12), Card(C, 10)}, 2);
    Lay(c.m_tableau[1], {Card(H, 9)});
    Paint();
    const auto piles = [&] {
        std::vector<std::pair<int, bool>> cards;
        for (const CCardPile* pile : c.m_tableau)
            for (const auto& card : pile->GetCards()) cards.emplace_back(card->m_index, card->IsFaceDown());
        return std::make_pair(cards, std::vector{c.m_tableau[0]->GetCount(), c.m_tableau[1]->GetCount()});
    };
    const auto before = piles();
    frame.SendCommand(ID_HINT);
    EXPECT_EQ(frame.StatusText(), u"Hint: deal the piles again");
    EXPECT_EQ(piles(), before);
}

// The queen onto its king, and the redeal lays the piles out as they were:
// round and round, nothing ever goes home. The hint that finds every move
// leading back looks further, finds no way on and calls the game over.
TEST_F(CruelHelpTest, ARedealThatLeadsBackIsNoWayOn) {
    CCruel& c = *game;
    Empty();
    Lay(c.m_tableau[0], {Card(C, 5), Card(H, 9), Card(S, 7), Card(D, 13)});
    Lay(c.m_tableau[1], {Card(D, 12)});
    Paint();
    frame.SendCommand(ID_HINT);
    ASSERT_TRUE(c.DoMove({MOVE_RUN, 2, 0, 1, 1}));
    frame.SendCommand(ID_HINT);  // the redeal alone, back to the first table
    EXPECT_TRUE(c.IsCalledStuck());
}

// Deal 2: once its last cards are home, every redeal brings back the same
// table wherever its kings are moved, and no card can go home or turn up
// within the hint's search. Followed, the hints go round each way a few
// times and then say so, where they went round for ever.
TEST_F(CruelHelpTest, FollowingTheHintsEndsWhereEveryMoveLeadsBack) {
    runtime::ChooseNextDeal(2);
    game->OnNewGame();
    host.Idle();
    int hints = 0;
    for (; hints < 300; ++hints) {
        frame.SendCommand(ID_HINT);
        if (!game->Hint()) break;
        ASSERT_TRUE(game->DoMove(*game->Hint()));
        host.Idle();
    }
    EXPECT_LT(hints, 100);
    EXPECT_FALSE(game->IsCalledStuck());
    EXPECT_EQ(frame.StatusText(), u"No hint: every move leads back");
    EXPECT_EQ(game->LastAnnouncement(), u"No hint: every move leads back here");
}

TEST_F(KlondikeHelpTest, TheOutlineGoesAtTheNextInputOrAfterThreeSeconds) {
    const std::vector<std::function<void()>> inputs = {
        [&] { host.Wait(HINT_SHOWN_MS); },
        [&] { game->SendKeyDown(VK_TAB, 0); },
        [&] { game->SendStylusDown(CPoint(1, 1)); },
        [&] { frame.SendCommand(ID_NEW_GAME); },
        // The table laid out anew: the outline would lie beside the cards.
        [&] { game->SendSize(180, 200); },
    };
    for (const auto& input : inputs) {
        game->SendKeyDown(VK_H, 0);
        ASSERT_TRUE(game->ShowsHint());
        host.Idle();
        host.Wait(HINT_SHOWN_MS - 1);
        EXPECT_TRUE(game->ShowsHint());
        input();
        EXPECT_FALSE(game->ShowsHint());
        EXPECT_FALSE(game->Hint());
        EXPECT_NE(frame.StatusText().substr(0, 5), u"Hint:");
        game->SendStylusUp(CPoint(1, 1));
        host.Idle();
        const uint32_t outline = PixelFromColorRef(RGB(255, 0, 200));
        EXPECT_EQ(std::count(game->Surface().pixels.begin(), game->Surface().pixels.end(), outline),
                  0);
    }
}

// A Golf card is played by a tap: its hint outlines the card and the waste's
// top it goes onto, as a drag's hint outlines the run and its target.
TEST_F(GolfHelpTest, TheHintOutlinesTheCardAndTheWastesTop) {
    Empty();
    Lay(game->m_waste, {Card(S, 2), Card(H, 7)});
    Lay(game->m_tableau[2], {Card(C, 10), Card(C, 6)});
    Paint();
    frame.SendCommand(ID_HINT);
    const std::vector<CRect> outlines{game->m_tableau[2]->TopCard()->m_rect,
                                      game->m_waste->TopCard()->m_rect};
    EXPECT_EQ(game->HintOutlines(), outlines);
    EXPECT_EQ(frame.StatusText(), u"Hint: play 6\u2663 onto 7\u2665");
    EXPECT_EQ(game->LastAnnouncement(),
              u"Hint: play the six of clubs from Column 3 onto the seven of hearts");
}

TEST_F(FreecellHelpTest, AFreeCellIsCalledSoInTheHintAndInTheMovesWords) {
    FillTable();
    Empty();
    Lay(game->m_tableau[0], {Card(S, 9), Card(C, 7)});
    Lay(game->m_freeCell[1], {Card(H, 6)});
    Paint();
    frame.SendCommand(ID_HINT);
    EXPECT_EQ(game->LastAnnouncement(),
              u"Hint: move the six of hearts from Free cell 2 onto the seven of clubs in Column 1");
    Drag(On(game->m_tableau[0]), On(game->m_freeCell[0]));
    EXPECT_EQ(
        game->LastAnnouncement(),
        u"Moved the seven of clubs to Free cell 1, uncovering the nine of spades in Column 1");
}

TEST_F(FreecellHelpTest, ColumnsInOrderGoHomeByThemselvesAndWin) {
    // Every card home but the top three of each suit, in columns in order
    // but one and in free cells; one move starts the rest.
    FillTable();
    Empty();
    for (int suit = 0; suit < 4; ++suit)
        for (int rank = 1; rank <= 10; ++rank) Lay(game->m_foundation[suit], {Card(suit, rank)});
    Lay(game->m_tableau[0], {Card(C, 13), Card(D, 12), Card(S, 11)});
    Lay(game->m_tableau[1], {Card(H, 13), Card(C, 12), Card(D, 11)});
    Lay(game->m_tableau[2], {Card(S, 13), Card(H, 12)});
    Lay(game->m_freeCell[0], {Card(C, 11)});
    Lay(game->m_tableau[3], {Card(S, 12), Card(D, 13)});
    Lay(game->m_freeCell[1], {Card(H, 11)});
    Paint();
    game->ResetGame();  // this is the table as dealt
    EXPECT_FALSE(game->IsGameOver());
    const uint64_t before = host.Now();
    Drag(On(game->m_tableau[3]), On(game->m_tableau[4]));  // the king to an empty column
    EXPECT_TRUE(game->IsGameOver());
    for (int suit = 0; suit < 4; ++suit) EXPECT_EQ(game->m_foundation[suit]->GetCount(), 13);
    // One shown step per card; the win asks as always.
    EXPECT_EQ(host.Now() - before, 12u * CCardgame::kFinishStepMs);
    ASSERT_EQ(host.Modals().size(), 1u);
    EXPECT_EQ(game->LastAnnouncement(), u"Moved the king of diamonds home");
}

}  // namespace
