// The solvers at the table: a deal's winning line played through the view
// wins it, a lost Golf deal is called lost while the stock still holds
// cards, and a search never outlives its table.
#include <chrono>
#include <filesystem>
#include <thread>

#include "cardgames/spider.h"
#include "cards/cardgame.h"
#include "platform/random.h"
#include "res/resource.h"
#include "solver/search.h"
#include "tests/app/forwarding_host.h"
#include "tests/app/program_test.h"

namespace {

constexpr uint32_t kQuickGolfWin = 110866;

struct WonDeal {
    const char* name;
    unsigned game;
    int suits;  // Spider's choice of suits; -1 for the other games
    uint32_t deal;
};

// Deals each game's solver wins (found with bench/solve_deals ... list); of
// four-suit Spider it wins none within its budget.
const WonDeal kWonDeals[] = {
    {"Klondike", ID_GAME_KLONDIKE, -1, 31676}, {"Cruel", ID_GAME_CRUEL, -1, 7919},
    {"Golf", ID_GAME_GOLF, -1, kQuickGolfWin}, {"Spider1", ID_GAME_SPIDER, 0, 39595},
    {"Spider2", ID_GAME_SPIDER, 1, 55433},     {"Freecell", ID_GAME_FREECELL, -1, 15838},
};
// A Golf deal no play wins.
constexpr uint32_t kLostGolfDeal = 182137;

// The desktop's clock, on the test host: real time, so the view's own timer
// starts its searches and takes their verdicts.
class DesktopClock : public ForwardingHost {
public:
    using ForwardingHost::ForwardingHost;
    void FrameChanged(CFrameWnd& frame) override { m_host.FrameChanged(frame); }
    void Announce(CWnd& window, const CString& text) override { m_host.Announce(window, text); }
};

size_t Threads() {
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// The threads of the process once a thread just joined has left the
// kernel's list: a join returns when the thread has stopped running, a
// moment before the kernel takes it off the list. A thread left running is
// still counted after the wait (a quarter of a second, well short of a
// search).
size_t ThreadsAfterJoins(size_t expected) {
    size_t count = Threads();
    for (int i = 0; i < 250 && count != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        count = Threads();
    }
    return count;
}

}  // namespace

class SolverTest : public ProgramTest {
protected:
    CCardgame& View() { return dynamic_cast<CCardgame&>(*Frame().GetActiveView()); }
    // The game picked, then the deal of that number dealt on its view.
    CCardgame& Deal(unsigned game, int suits, uint32_t deal) {
        if (!app) Start();
        Command(game);
        host.Idle();
        runtime::ChooseNextDeal(deal);
        if (auto* spider = dynamic_cast<CSpider*>(&View()))
            spider->Deal(suits);
        else
            View().OnNewGame();
        host.Idle();
        EXPECT_EQ(View().DealNumber(), deal);
        return View();
    }
};

class SolverWins : public SolverTest, public ::testing::WithParamInterface<WonDeal> {
protected:
    // The move made as a player makes it with the stylus: a tap on the card
    // (or the empty pile), a drag onto the target's top, a double tap.
    void ByStylus(CCardgame& view, const CardMove& move) {
        // A point on the card (the top card when none is named) or the empty pile.
        const auto at = [&](int pileIndex, std::optional<int> card) {
            const CCardPile& pile = **std::next(view.GetPiles().begin(), pileIndex);
            if (pile.IsEmpty() || (card && *card < 0))
                return CPoint(pile.m_rect.left + 12, pile.m_rect.top + 17);
            const CCard& shown =
                card ? **std::next(pile.GetCards().begin(), *card) : *pile.TopCard();
            const bool top = &shown == pile.TopCard();
            return CPoint(shown.m_rect.left + 12, shown.m_rect.top + (top ? 17 : 3));
        };
        const CPoint from = at(move.pile, move.card);
        view.SendStylusDown(from);
        if (move.kind == MOVE_RUN) view.SendStylusMove(at(move.to, std::nullopt));
        view.SendStylusUp(move.kind == MOVE_RUN ? at(move.to, std::nullopt) : from);
        if (move.kind == MOVE_HOME) {
            view.SendStylusDown(from, true);
            view.SendStylusUp(from);
        }
    }
};

// Every other move by the stylus: a move along the line keeps the rest of
// it however it is made, so following the hints plays one line to its end.
TEST_P(SolverWins, PlayingTheWinningLineWins) {
    CCardgame& view = Deal(GetParam().game, GetParam().suits, GetParam().deal);
    EXPECT_EQ(view.Verdict(), DealVerdict::Searching);
    view.WaitForVerdict();
    ASSERT_EQ(view.Verdict(), DealVerdict::Winnable);
    int moves = 0;
    for (; moves < 3000 && !view.IsGameOver(); ++moves) {
        const std::optional<CardMove> move = view.WinningMove();
        ASSERT_TRUE(move) << "after " << moves << " moves";
        if (moves % 2) {
            ByStylus(view, *move);
        } else {
            ASSERT_TRUE(view.DoMove(*move)) << "move " << moves;
        }
        host.Idle();
    }
    EXPECT_TRUE(view.IsGameOver()) << moves << " moves";
}

// The search wanders on its way to a win; the line it gives the hints
// moves no card somewhere and straight back.
TEST_F(SolverTest, FreecellsWinningLineMakesNoRoundTrips) {
    const std::atomic<bool> never{false};
    const solver::Result result =
        solver::Solve(Deal(ID_GAME_FREECELL, -1, 7919).Position(), 0, never);
    ASSERT_EQ(result.verdict, solver::Verdict::Winnable);
    const std::vector<CardMove>& line = result.line;
    for (size_t i = 0; i < line.size(); ++i) {
        const CardMove& there = line[i];
        if (there.kind != MOVE_RUN) continue;
        for (size_t j = i + 1; j < line.size(); ++j) {
            const CardMove& back = line[j];
            EXPECT_FALSE(back.kind == MOVE_RUN && back.pile == there.to && back.to == there.pile &&
                         back.count == there.count)
                << "moves " << i << " and " << j;
            if (back.pile == there.pile || back.pile == there.to || back.to == there.pile ||
                back.to == there.to)
                break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Games, SolverWins, ::testing::ValuesIn(kWonDeals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SolverTest, LostGolfDealIsCalledWhileTheStockLasts) {
    CCardgame& view = Deal(ID_GAME_GOLF, -1, kLostGolfDeal);
    // The first card from the stock starts the clock, and so the bar.
    ASSERT_TRUE(view.DoMove({MOVE_TAP, 0, 15, 1, -1}));
    view.WaitForVerdict();
    EXPECT_EQ(view.Verdict(), DealVerdict::Unwinnable);
    EXPECT_FALSE(view.GetPiles().front()->IsEmpty());
    EXPECT_EQ(Frame().StatusText(), u"Time:0  Score:0  Cannot be won from here");
    // Told after the move's words, which it does not replace.
    EXPECT_EQ(view.LastAnnouncement(), u"Turned up the two of spades. Cannot be won from here");
    // Played on, a lost deal stays lost: no new search.
    ASSERT_TRUE(view.DoMove({MOVE_TAP, 0, 14, 1, -1}));
    EXPECT_EQ(view.Verdict(), DealVerdict::Unwinnable);
    EXPECT_FALSE(view.SearchRunning());
    EXPECT_FALSE(view.WinningMove());
}

// An undo, and the redo after it, each give a table of its own to judge:
// never the verdict and line of the one before.
TEST_F(SolverTest, UndoAndRedoMakeTheVerdictAQuestionAgain) {
    CCardgame& view = Deal(ID_GAME_KLONDIKE, -1, 31676);
    ASSERT_TRUE(view.DoMove({MOVE_TAP, 0, 23, 1, -1}));
    view.WaitForVerdict();
    Command(ID_UNDO_MOVE);
    EXPECT_EQ(view.Verdict(), DealVerdict::Searching);
    view.WaitForVerdict();
    ASSERT_EQ(view.Verdict(), DealVerdict::Winnable);
    // The same verdict again is no news: the reader keeps the move's words.
    EXPECT_EQ(view.LastAnnouncement(), u"Undid the move: 3 cards back to the stock");
    Command(ID_REDO_MOVE);
    EXPECT_EQ(view.Verdict(), DealVerdict::Searching);
    view.WaitForVerdict();
    const std::optional<CardMove> move = view.WinningMove();
    ASSERT_TRUE(move);
    EXPECT_TRUE(view.DoMove(*move));
}

TEST_F(SolverTest, OnTheDesktopTheViewsTimerTakesTheVerdict) {
    CCardgame& view = Deal(ID_GAME_KLONDIKE, -1, 31676);
    DesktopClock desktop(host);
    ASSERT_TRUE(view.DoMove({MOVE_TAP, 0, 23, 1, -1}));
    // The search runs on while the clock ticks; waited for, not timed.
    for (int i = 0; i < 6000 && view.Verdict() == DealVerdict::Searching; ++i) {
        host.Wait(SEARCH_POLL_PERIOD);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(view.Verdict(), DealVerdict::Winnable);
    EXPECT_TRUE(view.WinningMove());
    EXPECT_TRUE(Frame().StatusText().ends_with(u"  Can be won"));
    EXPECT_FALSE(view.SearchRunning());
}

// A hint asked for at once after a move follows the search's winning line,
// not the quick hints, which may lead a deal that can be won astray.
TEST_F(SolverTest, OnTheDesktopAHintWaitsForTheSearch) {
    CCardgame& view = Deal(ID_GAME_FREECELL, -1, 7919);
    DesktopClock desktop(host);
    ASSERT_EQ(view.Verdict(), DealVerdict::Searching);
    Command(ID_HINT);
    EXPECT_EQ(view.Verdict(), DealVerdict::Winnable);
    ASSERT_TRUE(view.Hint());
    EXPECT_EQ(view.Hint(), view.WinningMove());
}

TEST_F(SolverTest, NewAndAGameSwitchLeaveNoSearchBehind) {
    Start();
    host.Idle();
    const size_t threads = Threads();
    // Four suits of Spider: a search that runs long.
    Deal(ID_GAME_SPIDER, 2, 7919).StartSearch();
    EXPECT_TRUE(View().SearchRunning());
    Answer("choice 2");
    Command(ID_FILE_NEW);
    host.Idle();
    EXPECT_FALSE(View().SearchRunning());
    EXPECT_EQ(ThreadsAfterJoins(threads), threads);
    View().StartSearch();
    EXPECT_TRUE(View().SearchRunning());
    Command(ID_GAME_KLONDIKE);
    host.Idle();
    EXPECT_EQ(ThreadsAfterJoins(threads), threads);
    View().StartSearch();
    Stop();
    EXPECT_EQ(ThreadsAfterJoins(threads), threads);
}

TEST_F(SolverTest, WinnableDealsDealsAWonDeal) {
    Start();
    Command(ID_GAME_GOLF);
    host.Idle();
    EXPECT_FALSE(Query(ID_WINNABLE_DEALS).m_checked);
    Command(ID_WINNABLE_DEALS);
    EXPECT_TRUE(Query(ID_WINNABLE_DEALS).m_checked);
    // The deal before one the solver wins at once.
    runtime::ChooseNextDeal(kQuickGolfWin - 1);
    View().OnNewGame();
    host.Idle();
    EXPECT_GE(View().DealNumber(), kQuickGolfWin - 1);
    EXPECT_LE(View().DealNumber(), kQuickGolfWin);
    EXPECT_EQ(View().Verdict(), DealVerdict::Winnable);
    EXPECT_TRUE(View().WinningMove());
    // A deal chosen by its number, or restarted, is that deal, won or not.
    View().PlayDeal(kLostGolfDeal);
    EXPECT_EQ(View().DealNumber(), kLostGolfDeal);
    Command(ID_RESTART_DEAL);
    EXPECT_EQ(View().DealNumber(), kLostGolfDeal);
    // Kept across a game switch, for the run.
    Command(ID_GAME_FREECELL);
    host.Idle();
    EXPECT_TRUE(Query(ID_WINNABLE_DEALS).m_checked);
    Command(ID_WINNABLE_DEALS);
}
