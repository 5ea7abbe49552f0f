// Cruel in the conformance suite. Its stock is the redeal button, so the
// random player's taps on the stock redeal; a redeal cannot be taken back,
// so undo does not lead back to the deal.
#include <gtest/gtest.h>

#include "cardgames/cruel.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

void CheckCruel(CView& view) {
    CheckCards(view, 1);
    const auto& game = dynamic_cast<const CCruel&>(view);
    ASSERT_TRUE(game.m_stock->IsEmpty());  // it holds the deck only while dealing
    ASSERT_GE(game.Score(), 0);
}

}  // namespace

const GameCase kCruelCase = {
    ID_GAME_CRUEL,
    u"Cruel",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, false}, {ID_AUTOFLIP, false}},
    // The stock, the twelve piles, the four foundations with their aces.
    {{},
     {24, 2, 9, 30},
     {47, 15, 11, 16},
     {43, 29, 32, 50},
     {33, 41, 44, 45},
     {42, 25, 21, 6},
     {40, 38, 22, 37},
     {8, 19, 3, 35},
     {4, 36, 18, 31},
     {14, 46, 10, 20},
     {5, 7, 23, 51},
     {27, 49, 17, 12},
     {1, 28, 34, 48},
     {0},
     {13},
     {26},
     {39}},
    &CardSnapshot,
    &CheckCruel,
    false,
};
const JoinsConformance kCruelJoins(kCruelCase);
