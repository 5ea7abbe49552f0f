// Gemfield: the swap and its slide back, the runs and groups that vanish,
// their scores, the falls and the refill, the end of the game, and how long
// each animation holds the program.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "hiscores/hiscores_dlg.h"
#include "res/resource.h"
#include "tests/balls/bol_fixture.h"

namespace {

// Frames of one animation: ten steps and the rest frame.
std::vector<uint32_t> Frames(std::initializer_list<std::pair<int, uint32_t>> animations) {
    std::vector<uint32_t> sleeps;
    for (const auto& [count, delay] : animations)
        for (int i = 0; i < 11 * count; ++i) sleeps.push_back(delay);
    return sleeps;
}

class GemfieldTest : public BolTest {
protected:
    // The board as it is, with w at (col, row).
    static Words With(Words board, std::initializer_list<std::tuple<int, int, uint32_t>> cells) {
        for (const auto& [col, row, word] : cells)
            board[static_cast<size_t>(col)][static_cast<size_t>(row)] = word;
        return board;
    }
    void ExpectSettled() {
        EXPECT_FALSE(view->HasRun());
        for (const CBol* cell : view->Cells()) {
            EXPECT_GE(cell->m_color, 1u);
            EXPECT_LE(cell->m_color, 9u);
        }
        EXPECT_TRUE(host.Modals().empty());
    }
};

TEST_F(GemfieldTest, DropsThatMakeNoRunAreTakenBack) {
    struct DropCase {
        int toCol, toRow;
        bool slides;  // swapped, then slid back
    };
    const DropCase cases[] = {{2, 3, true},  {1, 2, true},  {2, 2, false},
                              {3, 3, false}, {1, 1, false}, {2, 0, false}};
    for (const DropCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.toCol << "," << c.toRow);
        view->SetBoard(Filler(5, 6));
        host.sleeps.clear();
        Drag(2, 2, c.toCol, c.toRow);
        EXPECT_EQ(view->Board(), Filler(5, 6));
        EXPECT_EQ(view->Score(), 0);
        // 11 frames of 25 ms over, 11 back.
        EXPECT_EQ(host.sleeps, c.slides ? Frames({{2, 25}}) : std::vector<uint32_t>());
    }
}

// A run made by the swap vanishes; the balls above fall into its place;
// the two runs they make there vanish in the next wave at triple value.
TEST_F(GemfieldTest, TwoGroupsInALaterWaveScoreThreeTimesTheirSum) {
    view->SetBoard(With(Filler(5, 6), {{0, 4, 1},
                                       {1, 3, 3},
                                       {1, 4, 1},
                                       {2, 1, 1},
                                       {2, 2, 2},
                                       {2, 3, 4},
                                       {2, 4, 3},
                                       {2, 5, 3},
                                       {3, 5, 2},
                                       {4, 5, 2}}));
    host.sleeps.clear();
    Drag(1, 3, 2, 3);
    EXPECT_EQ(view->Score(), 6 + 3 * (6 + 6));
    // Swap, vanish, three falls in column 2; vanish, two falls in column 2.
    EXPECT_EQ(host.sleeps, Frames({{1, 25}, {1, 40}, {3, 15}, {1, 40}, {2, 15}}));
    EXPECT_EQ(view->Cell(1, 4)->m_color, 4u);  // the swapped ball, one row down
    ExpectSettled();
}

// An L of five holding runs both ways vanishes whole for 5 x 4; its
// column of three holes is refilled in three passes, a new ball at the top
// in each, the balls above coming down three rows.
TEST_F(GemfieldTest, AnLOfFiveScoresTwentyAndThreeHolesTakeThreePasses) {
    const Words board =
        With(Filler(5, 6), {{0, 2, 1}, {0, 3, 1}, {0, 4, 2}, {0, 5, 1}, {1, 4, 1}, {2, 4, 1}});
    view->SetBoard(board);
    host.sleeps.clear();
    Drag(0, 5, 0, 4);
    EXPECT_EQ(view->Score(), 20);
    EXPECT_EQ(host.sleeps, Frames({{1, 25}, {1, 40}, {3, 15}}));
    EXPECT_EQ(view->Cell(0, 3)->m_color, board[0][0]);
    EXPECT_EQ(view->Cell(0, 4)->m_color, board[0][1]);
    EXPECT_EQ(view->Cell(0, 5)->m_color, 2u);
    EXPECT_EQ(view->Cell(1, 4)->m_color, board[1][3]);  // one hole: one row down
    ExpectSettled();
}

TEST_F(GemfieldTest, ARunOnTheNewBoardGoesWithTheFirstSwap) {
    view->SetBoard(With(Filler(5, 6), {{4, 0, 1}, {4, 1, 1}, {4, 2, 1}}));
    host.sleeps.clear();
    Drag(0, 5, 1, 5);  // makes nothing itself
    EXPECT_EQ(view->Score(), 6);
    EXPECT_EQ(view->Cell(0, 5)->m_color, Filler(5, 6)[1][5]);
    EXPECT_EQ(host.sleeps, Frames({{1, 25}, {1, 40}, {3, 15}}));
    ExpectSettled();
}

// Two colours on an 8 x 8 board: the new balls would make runs for ever.
TEST_F(GemfieldTest, ACascadeStopsAfterTwentyWavesWithItsRunsLeftStanding) {
    Open(8 * 8, 8 * 8);
    Words board(8, std::vector<uint32_t>(8));
    for (int c = 0; c < 8; ++c)
        for (int r = 0; r < 8; ++r)
            board[static_cast<size_t>(c)][static_cast<size_t>(r)] = (c + r / 2) % 2 + 1;
    view->SetBoard(board, 2);
    host.sleeps.clear();
    Drag(1, 1, 0, 1);  // column 0: 1 2 2 2
    EXPECT_EQ(std::count(host.sleeps.begin(), host.sleeps.end(), CGemfield::kVanishDelay),
              11 * CGemfield::kMaxWaves);
    EXPECT_TRUE(view->HasRun());
    for (const CBol* cell : view->Cells()) {
        EXPECT_GE(cell->m_color, 1u);
        EXPECT_LE(cell->m_color, 2u);
        EXPECT_EQ(cell->m_step, 0);
    }
    EXPECT_TRUE(view->HasPossibleMove());
}

// Every swap on the board, each followed by a test of the whole board: the
// plain search the quick one must agree with, in its answer and in the
// group numbers it leaves.
bool EverySwapTestedWhole(TestGemfield& view) {
    for (int col = 0; col < view.m_cols; ++col)
        for (int row = 0; row < view.m_rows; ++row)
            for (const auto& [dc, dr] : {std::pair{1, 0}, {-1, 0}, {0, -1}, {0, 1}}) {
                CBol* cell = view.Cell(col, row);
                CBol* other = view.Cell(col + dc, row + dr);
                if (!cell || !other) continue;
                std::swap(cell->m_color, other->m_color);
                const bool found = view.HasRun();
                std::swap(cell->m_color, other->m_color);
                if (found) return true;
            }
    return false;
}

// Random boards of every size, few colours (runs left standing) to many (no
// move), with the odd empty, vanishing or not yet made cell.
TEST_F(GemfieldTest, TheMoveSearchAgreesWithTestingEverySwapOnTheWholeBoard) {
    std::mt19937 rng(20);
    auto random = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    int answers[2] = {0, 0};
    for (int board = 0; board < 300; ++board) {
        const int cols = random(2, 16), rows = random(2, 16), colors = random(2, 9);
        Words words(static_cast<size_t>(cols), std::vector<uint32_t>(static_cast<size_t>(rows)));
        // Half the boards start from a pattern without a move, a few balls changed.
        const bool pattern = random(0, 1) == 1;
        for (int c = 0; c < cols; ++c)
            for (int r = 0; r < rows; ++r) {
                uint32_t& word = words[static_cast<size_t>(c)][static_cast<size_t>(r)];
                const int odd = random(0, pattern ? 39 : 99);
                word = static_cast<uint32_t>(pattern ? 1 + (c + 2 * r) % 5 : random(1, colors));
                if (odd == 0) word = 0;
                if (odd == 1) word |= BOL_VANISHING;
                if (odd == 2) word = static_cast<uint32_t>(random(1, colors));
            }
        view->SetBoard(words, colors);
        if (random(0, 9) == 0)
            view->m_cells[static_cast<size_t>(random(0, cols - 1))]
                         [static_cast<size_t>(random(0, rows - 1))]
                             .reset();
        SCOPED_TRACE(testing::Message() << "board " << board << ": " << cols << " x " << rows);
        const Words before = view->Board();
        const bool expected = EverySwapTestedWhole(*view);
        auto regions = [&] {
            std::vector<int32_t> labels;
            for (const CBol* cell : view->Cells()) labels.push_back(cell->m_region);
            return labels;
        };
        const std::vector<int32_t> numbered = regions();
        for (CBol* cell : view->Cells()) cell->m_region = -1;
        ASSERT_EQ(view->HasPossibleMove(), expected);
        EXPECT_EQ(view->Board(), before);
        ASSERT_EQ(regions(), numbered);
        ++answers[expected];
    }
    EXPECT_GT(answers[0], 75);
    EXPECT_GT(answers[1], 75);
}

// A 3 x 2 board: the swap clears the bottom row, and the three balls that
// fall there, all different, leave no swap that could make a run.
TEST_F(GemfieldTest, TheLastRunEndsTheGameWithTheHiScoresOrTheQuestion) {
    struct EndCase {
        bool tableFull;
        ModalAnswer answer;
        bool newGame;
    };
    const EndCase cases[] = {
        {false, {ModalAnswer::Name, u"Alice", 0, {}}, false},
        {true, {ModalAnswer::No, {}, 0, {}}, false},
        {true, {ModalAnswer::Yes, {}, 0, {}}, true},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.answer.ToString());
        CHiScoresDlg table;
        for (int i = 0; c.tableFull && i < 10; ++i)
            table.m_entries.push_back(std::make_unique<HiScoreEntry>(HiScoreEntry{u"Bob", 100, 1}));
        Open(245, 264);
        view->m_hiScores = &table;
        view->SetBoard({{5, 1}, {6, 1}, {1, 7}});
        host.ClearModals();
        host.QueueAnswer(c.answer);
        view->SendStylusDown(CPoint(244, 10));  // beside the board: the clock starts
        host.Wait(7000);
        Drag(2, 0, 2, 1);
        const auto& modals = host.Modals();
        if (!c.tableFull) {
            ASSERT_EQ(modals.size(), 2u);  // the name, then the list
            EXPECT_EQ(modals[0].templateId, IDD_HISCORE_NAME);
            ASSERT_EQ(table.m_entries.size(), 1u);
            EXPECT_EQ(table.m_entries[0]->m_name, u"Alice");
            EXPECT_EQ(table.m_entries[0]->m_score, 6);
            EXPECT_EQ(table.m_entries[0]->m_seconds, 7);
        } else {
            // The new 3 x 2 board has no run to make either: it is called
            // over as soon as it is dealt.
            ASSERT_EQ(modals.size(), c.newGame ? 2u : 1u);
            EXPECT_EQ(modals[0].text, u"Game over!\nin 7 seconds\nScore:6\n\nStart new game?");
            if (c.newGame) {
                EXPECT_EQ(modals[1].text,
                          u"No more moves.\nin 0 seconds\nScore:0\n\nStart new game?");
            }
            EXPECT_EQ(table.m_entries.size(), 10u);
        }
        EXPECT_EQ(view->IsGameOver(), !c.newGame || modals.size() == 2);
        EXPECT_EQ(view->Score(), c.newGame ? 0 : 6);
        if (!c.newGame) {
            EXPECT_EQ(view->Cell(0, 1)->m_color, 5u);  // the board stays as it ended
            EXPECT_EQ(view->Cell(2, 1)->m_color, 7u);
            EXPECT_FALSE(view->HasPossibleMove());
        }
        view.reset();
    }
}

// The hint: the swap that scores most now, outlined on both balls.
TEST_F(GemfieldTest, TheHintSwapsForTheMostPoints) {
    Open(245, 264);
    const Words filler = Filler(7, 8);
    struct HintCase {
        Words board;
        std::optional<BallMove> hint;
        int points;
    } cases[] = {
        {filler, std::nullopt, 0},
        // Row 0: 1 1 _ 1 (three), row 7: 2 2 _ 2 2 (five), each for a swap
        // from below.
        {With(filler, {{0, 0, 1},
                       {1, 0, 1},
                       {2, 1, 1},
                       {3, 0, 1},
                       {0, 7, 2},
                       {1, 7, 2},
                       {2, 6, 2},
                       {3, 7, 2},
                       {4, 7, 2}}),
         BallMove{2, 6, 2, 7}, 20},
        // Two swaps make the same group of four: the first found.
        {With(filler, {{0, 0, 1}, {1, 0, 1}, {2, 1, 1}, {3, 0, 1}}), BallMove{2, 0, 3, 0}, 12},
    };
    for (const HintCase& c : cases) {
        view->SetBoard(c.board);
        const std::optional<BallMove> hint = view->SuggestedMove();
        EXPECT_EQ(hint, c.hint);
        if (hint) {
            EXPECT_EQ(view->SwapScore(*hint), c.points);
        }
        view->SendKeyDown(VK_H, 0);
        EXPECT_EQ(view->Hint(), c.hint);
        EXPECT_EQ(view->Board(), c.board);  // nothing moved
    }
}

}  // namespace
