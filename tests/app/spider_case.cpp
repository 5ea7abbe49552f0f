// Spider in the conformance suite, played with every choice of suits.
#include <gtest/gtest.h>

#include "cards/cardgame.h"
#include "res/resource.h"
#include "tests/app/conformance.h"

namespace {

// 104 cards: eight of each spade, four of each heart and spade, or two of
// every card, as the deal's choice was.
void CheckSpider(CView& view) {
    const auto* game = dynamic_cast<const CCardgame*>(&view);
    ASSERT_NE(game, nullptr);
    bool clubs = false, hearts = false;
    for (const auto& pile : game->GetPiles())
        for (const auto& card : pile->GetCards()) {
            clubs = clubs || card->Suit() == 0;
            hearts = hearts || card->Suit() == 2;
        }
    if (clubs)
        CheckCards(view, 2, 15);
    else if (hearts)
        CheckCards(view, 4, 4 | 8);
    else
        CheckCards(view, 8, 8);
    ASSERT_GE(game->Score(), 0);
}

}  // namespace

const GameCase kSpiderCase = {
    ID_GAME_SPIDER,
    u"Spider",
    {{ID_UNDO_MOVE, false}, {ID_BOL_SETTINGS, false}, {ID_AUTOFLIP, false}},
    // Stock, completed pile, the ten columns: the one-suit game, the dialog
    // closed without OK.
    {{46, 39, 42, 48, 51, 43, 50, 49, 43, 49, 48, 50, 51, 51, 49, 40, 39,
      42, 45, 46, 45, 44, 46, 49, 41, 39, 47, 45, 41, 42, 40, 39, 41, 50,
      47, 43, 49, 42, 48, 46, 50, 43, 42, 49, 50, 49, 47, 44, 39, 39},
     {},
     {45, 44, 51, 49, 48, 50},
     {39, 43, 51, 45, 40, 46},
     {47, 42, 42, 44, 40, 44},
     {46, 39, 43, 48, 41, 50},
     {44, 40, 47, 47, 51},
     {50, 44, 51, 41, 40},
     {46, 44, 41, 51, 40},
     {43, 48, 43, 48, 46},
     {45, 48, 47, 40, 47},
     {45, 41, 42, 45, 41}},
    &CardSnapshot,
    &CheckSpider,
    false,  // a row deal cannot be taken back, nor any move before it
    {"choice 0", "choice 1", "choice 2", "cancel"},
};
const JoinsConformance kSpiderJoins(kSpiderCase);
