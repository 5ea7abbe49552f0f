// Paintpot: the first flooded area, which taps make a step and what one step
// swallows, the title, and the end: its score and what follows it.
#include "balls/paintpot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hiscores/hiscores_dlg.h"
#include "hosts/headless/headless_host.h"
#include "res/resource.h"

namespace {

// A board drawn row by row, one digit a colour, one character a column.
using Picture = std::vector<std::string>;

class TestPaintpot : public CPaintpot {
public:
    TestPaintpot() : CPaintpot(nullptr) {}
    using CPaintpot::m_hiScores;

    // Starts a game on this board instead of a random one.
    void SetBoard(const Picture& rows, int colors = 6) {
        m_cols = static_cast<int>(rows[0].size());
        m_rows = static_cast<int>(rows.size());
        m_colors = colors;
        OnNewGame();
        ForEachCell([&](int col, int row, CBol& cell) {
            cell.m_color = static_cast<uint32_t>(
                rows[static_cast<size_t>(row)][static_cast<size_t>(col)] - '0');
        });
        FloodCorner();
    }
    Picture Board() const {
        return Draw([](const CBol& cell) { return char('0' + cell.m_color); });
    }
    // The flooded area as 'x', the rest as '.'.
    Picture Area() const {
        return Draw([](const CBol& cell) { return cell.m_region == kFlooded ? 'x' : '.'; });
    }

private:
    template <class F>
    Picture Draw(F&& mark) const {
        Picture rows(static_cast<size_t>(m_rows), std::string(static_cast<size_t>(m_cols), ' '));
        ForEachCell([&](int col, int row, CBol& cell) {
            rows[static_cast<size_t>(row)][static_cast<size_t>(col)] = mark(cell);
        });
        return rows;
    }
};

// Two colours in a chequer: every step swallows the next diagonal, so the
// game takes cols + rows - 2 steps.
Picture Chequer(int cols, int rows) {
    Picture board;
    for (int r = 0; r < rows; ++r) {
        board.emplace_back();
        for (int c = 0; c < cols; ++c) board.back() += char('1' + (c + r) % 2);
    }
    return board;
}

class PaintpotTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetResources(ParlourResources());
        view = std::make_unique<TestPaintpot>();
        view->SetDocument(&document);
        ASSERT_TRUE(view->Create(CRect(0, 0, 7 * 35, 8 * 33), AFX_IDW_PANE_FIRST));
        view->OnNewGame();
    }
    void TapAt(CPoint point) {
        host.Idle();
        view->SendStylusDown(point);
        view->SendStylusUp(point);
        host.Idle();
    }
    CPoint Centre(int col, int row) const {
        return CPoint(col * view->CellWidth() + view->CellWidth() / 2,
                      row * view->CellHeight() + view->CellHeight() / 2);
    }
    void Tap(int col, int row) {
        host.Idle();  // the cells as painted
        TapAt(Centre(col, row));
    }
    // Plays the steps first..last of a chequer, each a diagonal further.
    void PlayChequer(int first, int last) {
        for (int k = first; k <= last; ++k) {
            const int col = std::min(k, view->Cols() - 1);
            Tap(col, k - col);
        }
    }
    CString Title() const { return document.GetTitle(); }

    HeadlessHost host;
    CDocument document;
    std::unique_ptr<TestPaintpot> view;
};

TEST_F(PaintpotTest, ANewGameFloodsTheCornersGroupOrTheCornerAlone) {
    EXPECT_EQ(view->Cols(), 14);
    EXPECT_EQ(view->Rows(), 14);
    EXPECT_EQ(view->Colors(), 6);
    struct AreaCase {
        Picture board, area;
    };
    const AreaCase cases[] = {
        {{"1123", "2133", "1113"}, {"xx..", ".x..", "xxx."}},
        // The 3s make group 1 of the numbering, yet they are not the area.
        {{"1233", "2133", "1212"}, {"x...", "....", "...."}},
        {{"22", "22"}, {"xx", "xx"}},
    };
    for (const AreaCase& c : cases) {
        view->SetBoard(c.board);
        EXPECT_EQ(view->Area(), c.area);
        EXPECT_EQ(view->Board(), c.board);
    }
    // A board of one colour is all area from the start and cannot be finished.
    for (int i = 0; i < 4; ++i) Tap(i / 2, i % 2);
    EXPECT_EQ(view->Steps(), 0);
    EXPECT_FALSE(view->IsGameOver());
    EXPECT_TRUE(host.Modals().empty());
}

TEST_F(PaintpotTest, TapsThatMakeNoStep) {
    const Picture board = {"1123", "2133", "1113", "4444"};
    view->SetBoard(board);
    host.Idle();
    const CPoint onArea = Centre(1, 1);
    const CPoint besideBoard(4 * view->CellWidth(), 10);
    // (3, 0) is a 3 as is (2, 1) next to the area, but it touches no ball of the area.
    const CPoint farAway = Centre(3, 0);
    for (const CPoint point : {onArea, besideBoard, farAway}) {
        SCOPED_TRACE(testing::Message() << point.x << "," << point.y);
        view->SetBoard(board);
        host.Wait(1000);
        host.Idle();
        TapAt(point);
        EXPECT_EQ(view->Steps(), 0);
        EXPECT_EQ(view->Board(), board);
        EXPECT_EQ(view->Area(), (Picture{"xx..", ".x..", "xxx.", "...."}));
        EXPECT_EQ(view->StartTick(), host.Now());  // the clock runs all the same
        EXPECT_EQ(Title(), u"Paintpot");
    }
}

TEST_F(PaintpotTest, AStepSwallowsEveryTouchingBallOfTheTappedColour) {
    view->SetBoard({"11232", "21332", "11136", "44444"});
    Tap(2, 1);  // a 3: its neighbours (3, 1) and (2, 2), and (3, 0) behind them, come along
    EXPECT_EQ(view->Steps(), 1);
    EXPECT_EQ(view->Board(), (Picture{"33232", "23332", "33336", "44444"}));
    EXPECT_EQ(view->Area(), (Picture{"xx.x.", ".xxx.", "xxxx.", "....."}));
    EXPECT_EQ(Title(), u"Paintpot Steps done:1");
    EXPECT_FALSE(view->IsGameOver());

    view->SendSize(7 * 35, 8 * 33);  // the next size message names the game alone
    EXPECT_EQ(Title(), u"Paintpot");
    Tap(0, 3);
    EXPECT_EQ(view->Area(), (Picture{"xx.x.", ".xxx.", "xxxx.", "xxxxx"}));
    EXPECT_EQ(Title(), u"Paintpot Steps done:2");
}

// A step repaints the balls that change colour and nothing else: the area
// that was flooded, while the rest of the board and the tapped ball stay.
TEST_F(PaintpotTest, AStepRepaintsOnlyTheBallsThatChangeColour) {
    view->SetBoard({"11232", "21332", "11136", "44444"});
    // The last of them leaves the game one step from its end.
    const CPoint taps[] = {{2, 1}, {0, 3}, {4, 0}};
    for (const auto& tap : taps) {
        host.Idle();
        const Picture before = view->Board();
        view->SendStylusDown(Centre(tap.x, tap.y));
        const Picture after = view->Board();
        int changed = 0;
        for (int row = 0; row < view->Rows(); ++row)
            for (int col = 0; col < view->Cols(); ++col) {
                const size_t r = static_cast<size_t>(row), c = static_cast<size_t>(col);
                const bool recoloured = before[r][c] != after[r][c];
                changed += recoloured;
                const auto& region = view->InvalidRegion();
                EXPECT_EQ(std::any_of(region.begin(), region.end(),
                                      [&](const CRect& r) { return r.PtInRect(Centre(col, row)); }),
                          recoloured)
                    << col << "," << row;
            }
        int area = 0;
        for (const CRect& r : view->InvalidRegion()) area += r.Width() * r.Height();
        EXPECT_GT(changed, 0);
        EXPECT_EQ(area, changed * view->CellWidth() * view->CellHeight());
    }
}

// The end: 25 less the steps, never below 0; a score of 0 goes to no table;
// Yes in the box starts a game in this view on the board's own settings.
TEST_F(PaintpotTest, TheEndScoresTwentyFiveLessTheSteps) {
    struct EndCase {
        int cols, rows;  // a chequer of cols + rows - 2 steps
        bool tableFull;
        const char* answer;
        int score;
        const char16_t* box;  // null: the name dialog and the list instead
    };
    const EndCase cases[] = {
        {11, 11, false, "name Ann", 5, nullptr},
        {12, 11, true, "no", 4,
         u"Game over! 21 steps done.\nin 7 seconds\nScore:4\n\nStart new game?"},
        {13, 14, false, "no", 0,
         u"Game over! 25 steps done.\nin 7 seconds\nScore:0\n\nStart new game?"},
        {15, 13, false, "yes", 0,
         u"Game over! 26 steps done.\nin 7 seconds\nScore:0\n\nStart new game?"},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.answer);
        CHiScoresDlg table;
        for (int i = 0; c.tableFull && i < 10; ++i)
            table.m_entries.push_back(std::make_unique<HiScoreEntry>(HiScoreEntry{u"Bob", 24, 1}));
        view->m_hiScores = &table;
        const Picture board = Chequer(c.cols, c.rows);
        view->SetBoard(board, 2);
        host.ClearModals();
        ModalAnswer answer;
        ASSERT_TRUE(ModalAnswer::Parse(c.answer, &answer));
        host.QueueAnswer(answer);
        const int steps = c.cols + c.rows - 2;
        PlayChequer(1, 1);
        host.Wait(7000);
        PlayChequer(2, steps - 1);
        EXPECT_TRUE(host.Modals().empty());
        EXPECT_EQ(Title(), CString(u"Paintpot Steps done:") + FormatString("%d", steps - 1));
        PlayChequer(steps, steps);

        const auto& modals = host.Modals();
        ASSERT_EQ(modals.size(), c.box ? 1u : 2u);
        if (c.box) {
            EXPECT_EQ(modals[0].text, c.box);
            EXPECT_EQ(table.m_entries.size(), c.tableFull ? 10u : 0u);
        } else {
            EXPECT_EQ(modals[0].templateId, IDD_HISCORE_NAME);
            ASSERT_EQ(table.m_entries.size(), 1u);
            EXPECT_EQ(table.m_entries[0]->m_name, u"Ann");
            EXPECT_EQ(table.m_entries[0]->m_score, 5);
            EXPECT_EQ(table.m_entries[0]->m_seconds, 7);
        }
        if (std::string(c.answer) == "yes") {
            // A new game in this view, on this board's size and colours.
            EXPECT_EQ((std::vector<int>{view->IsGameOver(), view->Steps(), view->Score(),
                                        int(view->StartTick()), view->Cols(), view->Rows(),
                                        view->Colors()}),
                      (std::vector<int>{0, 0, 0, 0, c.cols, c.rows, 2}));
            EXPECT_EQ(Title(), u"Paintpot");
            EXPECT_NE(view->Board(), board);
        } else {
            EXPECT_TRUE(view->IsGameOver());
            EXPECT_EQ(view->Score(), c.score);
            EXPECT_EQ(view->Steps(), steps);
            // Even a ball that would make a step again is not taken: the game is over.
            CBol* last = view->Cell(c.cols - 1, c.rows - 1);
            last->m_color = 1;
            last->m_region = 0;
            Tap(c.cols - 1, c.rows - 1);
            EXPECT_EQ(view->Steps(), steps);
            EXPECT_EQ(modals.size(), c.box ? 1u : 2u);
        }
        view->m_hiScores = nullptr;
    }
}

}  // namespace
