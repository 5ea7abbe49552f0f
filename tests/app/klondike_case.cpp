// Klondike in the conformance suite.
#include <gtest/gtest.h>

#include "gameview/game_view.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

void CheckKlondike(CView& view) {
    CheckCards(view, 1);
    // The clock's decay stops at nought.
    ASSERT_GE(dynamic_cast<const CGameView&>(view).Score(), 0);
}

}  // namespace

const GameCase kKlondikeCase = {
    ID_GAME_KLONDIKE,
    u"Klondike",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, false}, {ID_AUTOFLIP, false}},
    // Stock, waste, the seven columns, the four foundations.
    {{42, 16, 50, 4, 17, 12, 32, 6, 18, 47, 46, 14, 49, 13, 38, 26, 34, 28, 31, 21, 11, 33, 25, 2},
     {},
     {30},
     {51, 22},
     {36, 41, 24},
     {9, 23, 5, 29},
     {0, 27, 43, 19, 7},
     {37, 8, 15, 20, 35, 44},
     {1, 3, 48, 45, 40, 39, 10},
     {},
     {},
     {},
     {}},
    &CardSnapshot,
    &CheckKlondike,
    true,
};
const JoinsConformance kKlondikeJoins(kKlondikeCase);
