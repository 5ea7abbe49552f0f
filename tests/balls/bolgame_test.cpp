// The ball board: its cells, geometry, painting, group numbering, the drag
// and the "Bol setup" dialog.
#include <gtest/gtest.h>

#include "platform/random.h"
#include "res/resource.h"
#include "tests/balls/bol_fixture.h"

namespace {

constexpr uint32_t kBackground = 0xD4D0C8;  // RGB(212, 208, 200)

TEST_F(BolTest, NewBoardDrawsEveryCellFromTheTickColumnByColumn) {
    host.Wait(12345);
    view->SendCommand(ID_NEW_GAME);
    runtime::srand(static_cast<uint32_t>(host.Now()));
    for (const CBol* cell : view->Cells()) {  // column-major
        EXPECT_EQ(cell->m_color, static_cast<uint32_t>(runtime::rand() % 8 + 1));
        EXPECT_EQ(cell->m_region, 0);
    }
    EXPECT_EQ(view->Cells().size(), 7u * 8u);
    EXPECT_EQ(view->StartTick(), 0u);
}

TEST_F(BolTest, CellsAreMadeOnceAndKeptWhenTheBoardShrinksAndGrows) {
    view->SetBoard(Filler(7, 8));
    const std::vector<CBol*> before = view->Cells();
    view->SetBoard(Filler(3, 2));
    view->SetBoard(Filler(7, 8));
    EXPECT_EQ(view->Cells(), before);
    EXPECT_EQ(view->Cell(7, 0), nullptr);  // outside the board in play
    EXPECT_EQ(view->m_cells[7][0], nullptr);
}

struct GeometryCase {
    int width, height, cols, rows, cellWidth, cellHeight;
};

TEST_F(BolTest, CellsDivideTheClientAreaAndLeaveTheRestBackground) {
    const GeometryCase cases[] = {
        {240, 268, 7, 8, 34, 33}, {240, 268, 16, 16, 15, 16}, {100, 51, 3, 2, 33, 25}};
    for (const GeometryCase& c : cases) {
        SCOPED_TRACE(c.cols);
        Open(c.width, c.height);
        view->SetBoard(Filler(c.cols, c.rows));
        host.Idle();
        EXPECT_EQ(view->CellWidth(), c.cellWidth);
        EXPECT_EQ(view->CellHeight(), c.cellHeight);
        const CBol* last = view->Cell(c.cols - 1, c.rows - 1);
        EXPECT_EQ(last->m_rect, CRect((c.cols - 1) * c.cellWidth, (c.rows - 1) * c.cellHeight,
                                      c.cols * c.cellWidth, c.rows * c.cellHeight));
        const CImage& surface = view->Surface();
        for (int x = c.cols * c.cellWidth; x < c.width; ++x)
            EXPECT_EQ(surface.At(x, 0), kBackground) << x;
        for (int y = c.rows * c.cellHeight; y < c.height; ++y)
            EXPECT_EQ(surface.At(0, y), kBackground) << y;
        EXPECT_NE(surface.At(c.cellWidth / 2, c.cellHeight / 2), kBackground);
    }
}

TEST_F(BolTest, GroupsAreNumberedByTheirFirstCellColumnByColumn) {
    // Columns left to right, rows top to bottom. A word with a motion bit
    // never matches a resting ball of its colour.
    view->SetBoard({{3, 1, 1, 2}, {3, 2, 1, 2}, {4, 2, 1 | BOL_FROM_ABOVE, 1}, {4, 0, 0, 1}});
    view->LabelRegions();
    const Words expected = {{1, 2, 2, 3},  //
                            {1, 4, 2, 3},
                            {5, 4, 0, 6},
                            {5, 0, 0, 6}};
    Words regions(4, std::vector<uint32_t>(4));
    view->ForEachCell([&](int c, int r, CBol& cell) {
        regions[static_cast<size_t>(c)][static_cast<size_t>(r)] =
            static_cast<uint32_t>(cell.m_region);
    });
    EXPECT_EQ(regions, expected);

    struct NeighbourCase {
        int col, row;
        uint32_t word;
        bool colour;
        int32_t label;
        bool region;
    };
    const NeighbourCase cases[] = {
        {0, 0, 3, true, 2, true},   // right; below
        {0, 3, 2, true, 4, false},  // right
        {3, 0, 1, false, 5, true},  // left
        {2, 1, 1, false, 4, true},  // below moves: not a resting 1
        {2, 1, 1 | BOL_FROM_ABOVE, true, 3, false},
        {1, 1, 4, false, 5, false},  // diagonals do not count
        {3, 3, 0, true, 0, true},    // the empty cell above
    };
    for (const NeighbourCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.col << "," << c.row);
        EXPECT_EQ(view->HasNeighbourColour(c.col, c.row, c.word), c.colour);
        EXPECT_EQ(view->HasNeighbourRegion(c.col, c.row, c.label), c.region);
    }
}

// A ball coming from each side, at every step, and a vanishing one: drawn
// where it is at that step, and shown only inside its own cell.
TEST_F(BolTest, MovingBallsArePaintedAtTheirStepThroughTheClipRegion) {
    struct Motion {
        uint32_t bit;
        int dx, dy;  // where the ball is, per pixel of distance d
    };
    const Motion motions[] = {{BOL_FROM_ABOVE, 0, -1},
                              {BOL_FROM_LEFT, -1, 0},
                              {BOL_FROM_RIGHT, 1, 0},
                              {BOL_FROM_BELOW, 0, 1},
                              {BOL_VANISHING, 0, 0}};
    Open(3 * 35, 3 * 33);
    for (const Motion& m : motions) {
        for (int step = 1; step <= 10; ++step) {
            SCOPED_TRACE(testing::Message() << m.bit << " step " << step);
            view->SetBoard(Filler(3, 3));
            host.Idle();
            const CImage before = view->Surface();
            view->Cell(1, 1)->m_color |= m.bit;
            view->SetAnimationStep(step, true);
            view->UpdateWindow();
            const CImage& after = view->Surface();
            const uint32_t tile = view->Cell(1, 1)->Colour();
            const int d = 35 - 7 * step, k = 7 * step / 2;  // k >= 33: nothing left
            for (int y = 0; y < 99; ++y) {
                for (int x = 0; x < 105; ++x) {
                    const int cx = x - 35, cy = y - 33;  // within the moving cell
                    if (cx < 0 || cy < 0 || cx >= 35 || cy >= 33) {
                        ASSERT_EQ(after.At(x, y), before.At(x, y)) << x << "," << y;
                        continue;
                    }
                    if (m.bit == BOL_VANISHING) {
                        // Shrinks towards its bottom-right corner, which stays.
                        const bool drawn = cx >= k && cy >= k;
                        ASSERT_EQ(after.At(x, y) != kBackground, drawn) << x << "," << y;
                        continue;
                    }
                    uint32_t expected = kBackground;
                    const int tx = cx - m.dx * d, ty = cy - m.dy * d;
                    if (tx >= 0 && ty >= 0 && tx < 35 && ty < 33) expected = Tile(tile, tx, ty);
                    ASSERT_EQ(after.At(x, y), expected) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(BolTest, TheRestFrameSettlesEveryCellAndEmptiesTheVanished) {
    view->SetBoard({{1 | BOL_VANISHING, 2 | BOL_FROM_ABOVE}, {3, 4 | BOL_FROM_LEFT}});
    view->Animate(10, 25, true);
    EXPECT_EQ(view->Board(), (Words{{0, 2}, {3, 4}}));
    EXPECT_EQ(host.sleeps, std::vector<uint32_t>(11, 25));
    for (const CBol* cell : view->Cells()) EXPECT_EQ(cell->m_step, 0);
}

TEST_F(BolTest, TheDraggedBallIsDrawnWholeWhereTheStylusIs) {
    view->SetBoard(Filler(7, 8));
    host.Idle();
    const uint32_t tile = view->Cell(1, 1)->Colour();
    view->SendStylusDown(CPoint(50, 40));
    view->SendStylusMove(CPoint(60, 45));
    host.Idle();
    view->SendStylusMove(CPoint(160, 140));  // far, in one move
    const CRect old(45, 38, 80, 71), now(145, 133, 180, 166);
    const auto& region = view->InvalidRegion();
    EXPECT_NE(std::find(region.begin(), region.end(), old), region.end());
    EXPECT_NE(std::find(region.begin(), region.end(), now), region.end());
    host.Idle();
    for (int y = 0; y < 33; ++y)
        for (int x = 0; x < 35; ++x)
            ASSERT_EQ(view->Surface().At(now.left + x, now.top + y), Tile(tile, x, y));
    EXPECT_EQ(view->Surface().At(old.left + 2, old.top + 2), kBackground);
}

// Before the first new game, and after OK has made the board bigger but
// before the new game it posts, some cells are not made yet.
TEST_F(BolTest, MissingCellsAreLeftOutOfPaintsAndStylusEvents) {
    view->Invalidate(true);
    host.Idle();
    view->SendStylusDown(Centre(1, 1));
    view->SendStylusMove(Centre(2, 1));
    view->SendStylusUp(Centre(2, 1));
    host.QueueAnswer({ModalAnswer::Values, {}, 0, {u"16", u"16", u"9"}});
    view->SetBoard(Filler(3, 3));
    view->SendCommand(ID_BOL_SETTINGS);
    EXPECT_EQ(view->Cell(5, 5), nullptr);
    view->UpdateWindow();
    view->SendStylusDown(Centre(5, 5));
    view->SendStylusMove(Centre(5, 6));
    view->SendStylusUp(Centre(5, 6));
    view->UpdateWindow();
    EXPECT_EQ(view->FindMatches(), 0);
    view->HasPossibleMove();
    host.Idle();  // the posted new game makes them
    EXPECT_EQ(view->Cells().size(), 256u);
}

struct SettingsCase {
    std::vector<CString> values;
    const char16_t* refusal;  // nullptr: accepted
};

TEST_F(BolTest, SettingsTakeTypedValuesInRangeAndRefuseTheRest) {
    const SettingsCase cases[] = {
        {{u"3", u"2", u"2"}, nullptr},
        {{u"16", u"16", u"9"}, nullptr},
        {{u"17", u"8", u"8"}, u"Enter an integer between 2 and 16."},
        {{u"7", u"1", u"8"}, u"Enter an integer between 2 and 16."},
        {{u"7", u"8", u"10"}, u"Enter an integer between 2 and 9."},
        {{u"x", u"8", u"8"}, u"Enter an integer."},
        {{u"7", u"", u"8"}, u"Enter an integer."},
    };
    for (const SettingsCase& c : cases) {
        SCOPED_TRACE(testing::Message() << ToUtf8(c.values[0]) << " " << ToUtf8(c.values[1]) << " "
                                        << ToUtf8(c.values[2]));
        view->SetBoard(Filler(7, 8), 8);
        const Words board = view->Board();
        host.ClearModals();
        host.QueueAnswer({ModalAnswer::Values, {}, 0, c.values});
        if (c.refusal) host.QueueAnswer({ModalAnswer::Cancel, {}, 0, {}});
        view->SendCommand(ID_BOL_SETTINGS);
        host.Idle();
        const auto& modals = host.Modals();
        const ModalRecord& dialog = modals.back();
        EXPECT_EQ(dialog.templateId, IDD_BOLSETUP);
        EXPECT_EQ(dialog.caption, u"Bol setup");
        EXPECT_EQ(dialog.controls.at(IDC_BOL_HOR).text, u"7");
        EXPECT_EQ(dialog.controls.at(IDC_BOL_VER).text, u"8");
        EXPECT_EQ(dialog.controls.at(IDC_BOL_COLORS).text, u"8");
        // The arrows stop at 4.
        EXPECT_EQ(dialog.controls.at(IDC_BOL_SPIN_HOR).lower, 4);
        EXPECT_EQ(dialog.controls.at(IDC_BOL_SPIN_HOR).upper, 16);
        EXPECT_EQ(dialog.controls.at(IDC_BOL_SPIN_VER).upper, 16);
        EXPECT_EQ(dialog.controls.at(IDC_BOL_SPIN_COLORS).lower, 4);
        EXPECT_EQ(dialog.controls.at(IDC_BOL_SPIN_COLORS).upper, 9);
        if (!c.refusal) {
            ASSERT_EQ(modals.size(), 1u);
            EXPECT_EQ(view->Cols(), std::stoi(ToUtf8(c.values[0])));
            EXPECT_EQ(view->Rows(), std::stoi(ToUtf8(c.values[1])));
            EXPECT_EQ(view->Colors(), std::stoi(ToUtf8(c.values[2])));
            EXPECT_EQ(view->Cells().size(), static_cast<size_t>(view->Cols() * view->Rows()));
            continue;
        }
        // Refused, then closed without OK: the game in progress goes on.
        ASSERT_EQ(modals.size(), 2u);
        EXPECT_TRUE(modals[0].isMessageBox);
        EXPECT_EQ(modals[0].text, c.refusal);
        EXPECT_EQ(dialog.answer, "cancel");
        EXPECT_EQ(view->Board(), board);
        EXPECT_EQ(view->Colors(), 8);
    }
}

}  // namespace
