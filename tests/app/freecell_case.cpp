// Freecell in the conformance suite.
#include <gtest/gtest.h>

#include "cardgames/freecell.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

void CheckFreecell(CView& view) {
    CheckCards(view, 1);
    const auto& game = dynamic_cast<const CFreecell&>(view);
    for (const CCardPile* cell : game.m_freeCell) ASSERT_LE(cell->GetCount(), 1);
    ASSERT_GE(game.Score(), 0);
}

}  // namespace

const GameCase kFreecellCase = {
    ID_GAME_FREECELL,
    u"Freecell",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, false}, {ID_AUTOFLIP, false}},
    // The eight columns, the four foundations, the four free cells.
    {{30, 51, 36, 9, 0, 37, 1},
     {22, 41, 23, 27, 8, 3, 24},
     {5, 43, 15, 48, 29, 19, 20},
     {45, 7, 35, 40, 44, 39, 10},
     {2, 25, 33, 11, 21, 31},
     {28, 34, 26, 38, 13, 49},
     {14, 46, 47, 18, 6, 32},
     {12, 17, 4, 50, 16, 42},
     {},
     {},
     {},
     {},
     {},
     {},
     {},
     {}},
    &CardSnapshot,
    &CheckFreecell,
    true,
};
const JoinsConformance kFreecellJoins(kFreecellCase);
