// Golf in the conformance suite.
#include <gtest/gtest.h>

#include "cardgames/golf.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

void CheckGolf(CView& view) {
    CheckCards(view, 1);
    const auto& game = dynamic_cast<const CGolf&>(view);
    ASSERT_FALSE(game.m_waste->IsEmpty());  // neither play nor undo takes the dealt card
    ASSERT_GE(game.Score(), 0);
}

}  // namespace

const GameCase kGolfCase = {
    ID_GAME_GOLF,
    u"Golf",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, false}, {ID_AUTOFLIP, false}},
    // The stock, the waste, the seven columns.
    {{42, 16, 50, 4, 17, 12, 32, 6, 18, 47, 46, 14, 49, 13, 38, 26},
     {34},
     {30, 51, 36, 9, 0},
     {37, 1, 22, 41, 23},
     {27, 8, 3, 24, 5},
     {43, 15, 48, 29, 19},
     {20, 45, 7, 35, 40},
     {44, 39, 10, 2, 25},
     {33, 11, 21, 31, 28}},
    &CardSnapshot,
    &CheckGolf,
    true,
};
const JoinsConformance kGolfJoins(kGolfCase);
