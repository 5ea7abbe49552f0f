// A move of a card game at the level of piles and cards, as the stylus, the
// keys, the solvers and the driver all name it.
#pragma once

#include <cstdint>

// One move of a card game, at the level of piles and cards; piles are
// numbered in pile-list order, cards from the bottom of their pile.
enum CardMoveKind : int32_t {
    MOVE_TAP = 1,   // what a tap on the card does: deal, redeal, turn, play
    MOVE_RUN = 2,   // the run from the card to the top goes onto pile `to`
    MOVE_HOME = 3,  // what a double tap does: the card goes home
};
struct CardMove {
    CardMoveKind kind = MOVE_TAP;
    int32_t pile = -1;
    int32_t card = -1;  // -1: the pile is empty
    int32_t count = 0;  // cards in the run (MOVE_RUN), else 1 (0 on an empty pile)
    int32_t to = -1;    // MOVE_RUN's target pile, else -1
    friend bool operator==(const CardMove&, const CardMove&) = default;
};
