// Spider through the whole program: the settings dialog once per deal, the
// layout, the run and drop rules, complete suits leaving, row deals, a long
// column, the flip, the lost double tap and the win.
#include "cardgames/spider.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app/program_test.h"

namespace {

// Suits in index order: clubs, diamonds, hearts, spades; ranks 1 (ace) .. 13.
enum { C, D, H, S };
constexpr int Card(int suit, int rank) {
    return suit * 13 + rank - 1;
}

std::vector<int> Indices(const CCardPile* pile) {
    std::vector<int> out;
    for (const auto& card : pile->GetCards()) out.push_back(card->m_index);
    return out;
}

class SpiderTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        Start();
        host.Idle();
    }

    CSpider* Game() { return dynamic_cast<CSpider*>(Frame().GetActiveView()); }
    // Sends a command as the menu does, the dialog answered, and lets the
    // posted new game arrive.
    CSpider* Send(unsigned id, const std::string& answer = "") {
        if (!answer.empty()) Answer(answer);
        Frame().SendCommand(id);
        host.Idle();
        return Game();
    }
    // The settings dialogs shown so far, each with its chosen button.
    std::vector<int> SettingsShown() const {
        std::vector<int> shown;
        for (const ModalRecord& m : host.Modals()) {
            if (m.templateId != IDD_SPIDER_SETTINGS) continue;
            int checked = -1;
            for (unsigned id : {IDC_SPIDER_1TYPE, IDC_SPIDER_2TYPES, IDC_SPIDER_4TYPES})
                if (m.controls.at(id).checked) checked = static_cast<int>(id - IDC_SPIDER_1TYPE);
            shown.push_back(checked);
        }
        return shown;
    }
    // How many different cards the table holds: 13, 26 or 52.
    size_t Kinds() {
        std::set<int> kinds;
        for (const auto& pile : Game()->GetPiles())
            for (int index : Indices(pile.get())) kinds.insert(index);
        return kinds.size();
    }

    // An empty table, then cards laid on a pile bottom first, the lowest
    // faceDown of them face down.
    CSpider* Empty() {
        CSpider* game = Send(ID_GAME_SPIDER);
        game->ClearAllPiles();
        return game;
    }
    static void Lay(CCardPile* pile, std::vector<int> cards, size_t faceDown = 0) {
        for (size_t i = 0; i < cards.size(); ++i)
            pile->AddCard(std::make_unique<CCard>(cards[i]))->m_state =
                i < faceDown ? CARD_FACEDOWN : CARD_FACEUP;
    }
    // Suit s from the king down to rank `to`.
    static std::vector<int> Down(int s, int to) {
        std::vector<int> cards;
        for (int rank = 13; rank >= to; --rank) cards.push_back(Card(s, rank));
        return cards;
    }
    // A point on the n-th card from the top (its visible strip), or the
    // pile's own place when it is empty.
    static CPoint On(CCardPile* pile, int n = 0) {
        pile->LayoutCards();
        CardPos pos = pile->FromTop(n);
        const CRect r = pos ? pos->m_rect : pile->m_rect;
        return CPoint(r.left + 12, r.top + (n == 0 ? 17 : 3));
    }
    void Tap(CPoint p) {
        Game()->SendStylusDown(p);
        Game()->SendStylusUp(p);
    }
    void Drag(CPoint from, CPoint to) {
        Game()->SendStylusDown(from);
        Game()->SendStylusMove(to);
        Game()->SendStylusUp(to);
    }
    bool UndoEnabled() { return Query(ID_UNDO_MOVE).m_enabled; }
};

// ---- The dialog (the decks and the deal: the end-to-end script) -----------------

TEST_F(SpiderTest, TheDialogIsShownOnceForEveryDealWithOneTypeChosen) {
    // Picking the game: the view's own first deal asks nothing, the posted
    // new game asks once.
    CSpider* game = Send(ID_GAME_SPIDER, "choice 2");
    EXPECT_EQ(SettingsShown(), std::vector<int>{0});
    EXPECT_EQ(Kinds(), 52u);
    // "New" makes a new view and asks once again, from "1 Type".
    Send(ID_FILE_NEW, "choice 1");
    EXPECT_NE(Game(), game);
    EXPECT_EQ(SettingsShown(), (std::vector<int>{0, 0}));
    EXPECT_EQ(Kinds(), 26u);
}

// ---- Layout --------------------------------------------------------------------

TEST_F(SpiderTest, TheTenColumnsStayInsideTheViewAtAnyWidth) {
    struct Case {
        int width, left, pitch;
    } cases[] = {
        {240, 2, 23},   // the columns close up to fit
        {320, 10, 30},  // as the table was laid out for
        {640, 20, 60},
    };
    CSpider* game = Send(ID_GAME_SPIDER);
    for (const Case& c : cases) {
        Frame().SetViewSize(c.width, 268);
        EXPECT_EQ(game->m_stock->m_rect, CRect(c.left, 228, c.left + 25, 262)) << c.width;
        EXPECT_EQ(game->m_completed->m_rect, CRect(c.left + c.pitch, 228, c.width, 262));
        for (int i = 0; i < 10; ++i) {
            const int x = c.left + i * c.pitch;
            EXPECT_EQ(game->m_tableau[static_cast<size_t>(i)]->m_rect, CRect(x, 6, x + 25, 228))
                << c.width << " column " << i;
        }
        EXPECT_LE(game->m_tableau[9]->m_rect.right, c.width - 2);
    }
}

// ---- Picking up a run and dropping it ----------------------------------------------

TEST_F(SpiderTest, OnlyARunOfOneSuitDescendingIsPickedUp) {
    struct Case {
        std::vector<int> column;
        int fromTop;  // the card tapped
        bool picked;
    } cases[] = {
        {{Card(H, 9), Card(H, 8), Card(H, 7)}, 2, true},
        {{Card(H, 9), Card(S, 8)}, 1, false},
        {{Card(H, 9), Card(S, 8)}, 0, true},
        {{Card(H, 1), Card(S, 13)}, 1, false},  // a king dealt onto an ace
        {{Card(H, 9), Card(H, 7)}, 1, false},
        {{Card(H, 7), Card(H, 8)}, 1, false},
    };
    for (const Case& c : cases) {
        CSpider* game = Empty();
        Lay(game->m_tableau[0], c.column);
        game->SendStylusDown(On(game->m_tableau[0], c.fromTop));
        EXPECT_EQ(game->IsDragging(), c.picked) << c.fromTop << " of " << c.column.size();
        game->SendStylusUp(CPoint(300, 300));
    }
}

TEST_F(SpiderTest, ARunGoesOntoACardOneRankHigherOfAnySuitOrAnEmptyColumn) {
    struct Case {
        std::vector<int> target;
        bool taken;
    } cases[] = {
        {{Card(H, 8)}, true},  {{Card(S, 8)}, true}, {{Card(H, 9)}, false},
        {{Card(D, 7)}, false}, {{}, true},
    };
    for (const Case& c : cases) {
        CSpider* game = Empty();
        Lay(game->m_tableau[0], {Card(S, 7), Card(S, 6)});
        Lay(game->m_tableau[1], c.target);
        // The neighbours refuse a seven: the run overlaps them a little.
        for (size_t i = 2; i < 10; ++i) Lay(game->m_tableau[i], {Card(C, 1)});
        Drag(On(game->m_tableau[0], 1), On(game->m_tableau[1]));
        EXPECT_EQ(game->m_tableau[1]->GetCount(),
                  static_cast<int>(c.target.size()) + (c.taken ? 2 : 0));
        EXPECT_EQ(game->UndoList().size(), c.taken ? 1u : 0u);
        EXPECT_EQ(game->Score(), 0);  // moves earn nothing
    }
    // Neither the stock nor the completed pile takes anything.
    CSpider* game = Empty();
    CCard six(Card(S, 6)), seven(Card(S, 7));
    EXPECT_EQ(game->CanDrop(game->m_tableau[0], &six, game->m_stock, &seven), DROP_REFUSED);
    EXPECT_EQ(game->CanDrop(game->m_tableau[0], &six, game->m_completed, &seven), DROP_REFUSED);
}

// ---- Complete suits, row deals and undo ---------------------------------------------

TEST_F(SpiderTest, ACompleteSuitLeavesAfterTheDropThatCompletesItAndUndoBringsItBack) {
    CSpider* game = Empty();
    Lay(game->m_tableau[0], {Card(D, 4)});
    Lay(game->m_tableau[0], Down(H, 2));
    Lay(game->m_tableau[1], {Card(S, 9), Card(H, 1)}, 1);
    Drag(On(game->m_tableau[1]), On(game->m_tableau[0]));
    // The nine, uncovered and not yet painted, is turned: 5 points; the suit
    // earned none. Undoing the turn takes the 5 back; the rest takes nothing.
    Tap(On(game->m_tableau[1]));
    EXPECT_EQ(game->Score(), 5);
    Frame().SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_EQ(Indices(game->m_completed), Down(H, 1));
    // Fanned at half the waste step, so that all eight suits fit.
    game->m_completed->LayoutCards();
    EXPECT_EQ(game->m_completed->Top()->m_rect.left - game->m_completed->m_rect.left, 24);
    EXPECT_EQ(Indices(game->m_tableau[0]), std::vector<int>{Card(D, 4)});
    ASSERT_EQ(game->UndoList().size(), 2u);
    Frame().SendCommand(ID_UNDO_MOVE);
    EXPECT_TRUE(game->m_completed->IsEmpty());
    EXPECT_EQ(game->m_tableau[0]->GetCount(), 14);
    Frame().SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(Indices(game->m_tableau[1]), (std::vector<int>{Card(S, 9), Card(H, 1)}));
    EXPECT_EQ(game->m_tableau[0]->GetCount(), 13);
    EXPECT_EQ(game->Score(), 0);
    EXPECT_FALSE(UndoEnabled());
}

TEST_F(SpiderTest, RowDealsFillEveryColumnUntilTheStockIsEmptyAndCannotBeUndone) {
    CSpider* game = Empty();
    // A suit short of its ace; the first row gives it the ace, and a three
    // to column 1.
    Lay(game->m_tableau[0], Down(S, 2));
    Lay(game->m_tableau[2], {Card(S, 5), Card(S, 4)});
    for (int i = 0; i < 50; ++i)
        Lay(game->m_stock, {i == 49 ? Card(S, 1) : i == 48 ? Card(D, 3) : Card(C, 2)});
    Drag(On(game->m_tableau[2]), On(game->m_tableau[1]));
    ASSERT_TRUE(UndoEnabled());
    Tap(On(game->m_stock));
    // Taking back the move before the deal would move the dealt card.
    EXPECT_FALSE(UndoEnabled());
    // The deal made a complete suit: it stays until the next drop.
    EXPECT_EQ(game->m_tableau[0]->GetCount(), 13);
    Drag(On(game->m_tableau[2]), On(game->m_tableau[4]));  // a two on a two: no drop
    EXPECT_TRUE(game->m_completed->IsEmpty());
    host.Idle();
    Drag(On(game->m_tableau[2]), On(game->m_tableau[1]));
    EXPECT_EQ(game->m_completed->GetCount(), 13);
    EXPECT_TRUE(game->m_tableau[0]->IsEmpty());
    host.Idle();  // the suit left a column the drop did not touch: it is seen gone
    EXPECT_EQ(game->Surface().At(14, 100), 0x7F7F00u);
    for (int row = 2; row <= 5; ++row) {
        Tap(On(game->m_stock));
        EXPECT_EQ(game->m_stock->GetCount(), 50 - 10 * row);
        EXPECT_EQ(game->m_tableau[3]->GetCount(), row);
        EXPECT_EQ(game->m_tableau[3]->TopCard()->m_state, 0u);
    }
    Tap(On(game->m_stock));  // the sixth: nothing left
    EXPECT_EQ(game->m_tableau[3]->GetCount(), 5);
    EXPECT_EQ(game->Score(), 0);
}

TEST_F(SpiderTest, ALongColumnClosesUpItsFanAboveTheBottomRow) {
    CSpider* game = Empty();
    CCardPile* longColumn = game->m_tableau[0];
    Lay(longColumn, std::vector<int>(5, Card(C, 2)), 5);
    for (int n = 0; n < 25; ++n) Lay(longColumn, {Card(H, 13 - n % 13)});
    Lay(game->m_tableau[1], {Card(S, 9), Card(S, 8), Card(S, 7)});
    Lay(game->m_stock, std::vector<int>(10, Card(C, 2)));
    game->Invalidate();
    host.Idle();
    const CRect top = longColumn->TopCard()->m_rect;
    EXPECT_LE(top.bottom, longColumn->m_rect.bottom);            // clear of the stock
    EXPECT_GE(top.top - longColumn->FromTop(1)->m_rect.top, 2);  // every card still shows
    // Its top card is picked up, where otherwise a row would be dealt.
    game->SendStylusDown(CPoint(top.left + 12, top.bottom - 2));
    EXPECT_TRUE(game->IsDragging());
    game->SendStylusUp(CPoint(300, 300));
    EXPECT_EQ(game->m_stock->GetCount(), 10);
    // A short column keeps the usual fan.
    const auto& cards = game->m_tableau[1]->GetCards();
    EXPECT_EQ(cards.back()->m_rect.top - cards.front()->m_rect.top, 18);
}

TEST_F(SpiderTest, TurningAFaceDownTopCardScoresFiveAndIsOneUndoStep) {
    CSpider* game = Empty();
    Lay(game->m_tableau[0], {Card(S, 3), Card(S, 9)}, 2);
    Tap(On(game->m_tableau[0]));
    EXPECT_EQ(game->m_tableau[0]->TopCard()->m_state, 0u);
    EXPECT_EQ(game->Score(), 5);
    EXPECT_FALSE(game->IsDragging());
    ASSERT_EQ(game->UndoList().size(), 1u);
    EXPECT_EQ(game->UndoList()[0]->m_kind, UNDO_FLIP);
    Frame().SendCommand(ID_UNDO_MOVE);
    EXPECT_EQ(game->m_tableau[0]->TopCard()->m_state, CARD_FACEDOWN);
    EXPECT_EQ(game->Score(), 0);
}

TEST_F(SpiderTest, AQuickSecondTapIsLost) {
    CSpider* game = Send(ID_GAME_SPIDER);
    host.Idle();
    const CPoint stock = On(game->m_stock);
    Tap(stock);
    game->SendStylusDown(stock, true);
    game->SendStylusUp(stock);
    EXPECT_EQ(game->m_stock->GetCount(), 40);  // one row, not two
    const CPoint card = On(game->m_tableau[0]);
    Tap(card);
    game->SendStylusDown(card, true);
    EXPECT_FALSE(game->IsDragging());
    game->SendStylusUp(card);
}

// ---- The win ------------------------------------------------------------------------

TEST_F(SpiderTest, TheLastSuitLeavingWinsAndYesAsksOnceForTheNextDeal) {
    // Ten results no game can beat, so the win asks whether to play again.
    for (int i = 0; i < 10; ++i) {
        auto entry = std::make_unique<HiScoreEntry>();
        entry->m_name = u"Best";
        entry->m_score = 100000;
        entry->m_seconds = 1;
        app->HiScoreTable(HISCORE_SPIDER).m_entries.push_back(std::move(entry));
    }
    CSpider* game = Empty();
    for (int suit = 0; suit < 7; ++suit) Lay(game->m_completed, Down(S, 1));
    Lay(game->m_tableau[0], Down(S, 2));
    Lay(game->m_tableau[9], {Card(S, 1)});
    host.ClearModals();
    Answer("yes");
    Answer("choice 1");
    host.Wait(10000);
    Drag(On(game->m_tableau[9]), On(game->m_tableau[0]));
    ASSERT_EQ(host.Modals().size(), 2u);
    EXPECT_EQ(host.Modals()[0].text, u"You did it!\nin 0 seconds\nScore:5000\n\nStart new game?");
    EXPECT_EQ(SettingsShown(), std::vector<int>{0});
    EXPECT_EQ(Game(), game);
    EXPECT_EQ(Kinds(), 26u);  // two suits
    EXPECT_EQ(game->m_stock->GetCount(), 50);
    EXPECT_FALSE(game->IsGameOver());
}

}  // namespace
