// Paintpot in the conformance suite.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "balls/paintpot.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

// Every cell a resting ball of the colours in play; the flooded area exactly
// the top-left ball's group; the score nought until the end, then 25 less
// the steps, never below nought.
void CheckPaintpot(CView& view) {
    const auto* game = dynamic_cast<const CPaintpot*>(&view);
    ASSERT_NE(game, nullptr);
    std::set<std::pair<int, int>> group{{0, 0}}, todo{{0, 0}}, area;
    game->ForEachCell([&](int col, int row, const CBol& cell) {
        if (cell.m_region == CPaintpot::kFlooded) area.insert({col, row});
    });
    for (int col = 0; col < game->Cols(); ++col)
        for (int row = 0; row < game->Rows(); ++row) {
            const CBol* cell = game->Cell(col, row);
            ASSERT_NE(cell, nullptr) << col << "," << row;
            ASSERT_TRUE(cell->m_color >= 1 && cell->m_color <= unsigned(game->Colors()))
                << cell->m_color;
        }
    while (!todo.empty()) {
        const auto [col, row] = *todo.begin();
        todo.erase(todo.begin());
        for (const auto& [c, r] :
             {std::pair{col, row - 1}, {col - 1, row}, {col + 1, row}, {col, row + 1}}) {
            const CBol* next = game->Cell(c, r);
            if (next && next->m_color == game->Cell(0, 0)->m_color && group.insert({c, r}).second)
                todo.insert({c, r});
        }
    }
    ASSERT_EQ(area, group);
    ASSERT_GE(game->Steps(), 0);
    if (!game->IsGameOver()) {
        ASSERT_EQ(game->Score(), 0);
        return;
    }
    ASSERT_TRUE(game->AllInRegion(CPaintpot::kFlooded));
    ASSERT_EQ(game->Score(), std::max(0, CPaintpot::kParSteps - game->Steps()));
}

}  // namespace

const GameCase kPaintpotCase = {
    ID_GAME_PAINTPOT,
    u"Paintpot",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, true}, {ID_AUTOFLIP, false}},
    // 14 columns of 14 balls in 6 colours.
    {{5, 3, 3, 5, 2, 5, 4, 6, 6, 4, 3, 2, 2, 2},
     {5, 5, 1, 3, 5, 3, 5, 2, 4, 1, 4, 2, 5, 5},
     {2, 3, 3, 2, 5, 3, 4, 2, 5, 3, 3, 2, 2, 5},
     {1, 1, 5, 5, 5, 6, 1, 1, 2, 4, 2, 4, 1, 5},
     {5, 3, 1, 4, 2, 3, 2, 1, 6, 6, 3, 1, 4, 5},
     {1, 2, 6, 6, 6, 2, 3, 2, 6, 2, 6, 5, 2, 3},
     {2, 6, 2, 6, 1, 5, 5, 6, 5, 1, 4, 5, 2, 5},
     {1, 4, 6, 1, 5, 4, 4, 3, 1, 1, 4, 2, 3, 3},
     {1, 3, 3, 2, 6, 4, 1, 6, 2, 6, 1, 2, 3, 4},
     {6, 5, 3, 3, 1, 3, 4, 1, 5, 3, 2, 6, 5, 4},
     {5, 2, 5, 2, 4, 1, 4, 3, 5, 5, 5, 4, 1, 2},
     {4, 6, 6, 3, 1, 2, 4, 1, 1, 1, 5, 2, 5, 5},
     {1, 2, 5, 5, 5, 1, 5, 2, 2, 6, 5, 6, 5, 2},
     {6, 2, 4, 6, 3, 6, 2, 6, 3, 4, 5, 4, 4, 1}},
    &BolSnapshot,
    &CheckPaintpot,
    false,
};
const JoinsConformance kPaintpotJoins(kPaintpotCase);
