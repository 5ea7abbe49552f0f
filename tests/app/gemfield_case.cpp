// Gemfield in the conformance suite.
#include <gtest/gtest.h>

#include "balls/gemfield.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

// At rest every cell of the board is made and holds a colour in play, or
// nothing, and nothing moves.
void CheckBolBoard(CView& view) {
    const auto* board = dynamic_cast<const CBolGame*>(&view);
    ASSERT_NE(board, nullptr);
    for (int col = 0; col < board->Cols(); ++col) {
        for (int row = 0; row < board->Rows(); ++row) {
            const CBol* cell = board->Cell(col, row);
            ASSERT_NE(cell, nullptr) << col << "," << row;
            ASSERT_LE(cell->m_color, static_cast<uint32_t>(board->Colors())) << col << "," << row;
            ASSERT_EQ(cell->m_step, 0);
        }
    }
    ASSERT_GE(board->Score(), 0);
}

}  // namespace

const GameCase kGemfieldCase = {
    ID_GAME_GEMFIELD,
    u"Gemfield",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, true}, {ID_AUTOFLIP, false}},
    // Seven columns of eight, top to bottom.
    {{5, 7, 1, 3, 2, 1, 2, 6},
     {8, 8, 5, 6, 8, 8, 5, 5},
     {1, 7, 1, 3, 5, 8, 2, 1},
     {2, 6, 3, 3, 2, 3, 1, 6},
     {5, 1, 2, 6, 5, 1, 3, 4},
     {2, 3, 5, 5, 7, 5, 7, 6},
     {5, 7, 2, 6, 6, 6, 1, 5}},
    &BolSnapshot,
    &CheckBolBoard,
    false,  // a swap is never taken back
};
const JoinsConformance kGemfieldJoins(kGemfieldCase);
