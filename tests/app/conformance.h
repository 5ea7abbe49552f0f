// What a game tells the conformance suite about itself (see
// conformance_test.cpp for how a game joins).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/window.h"

// A table as plain numbers: for a card game the card indices of each pile in
// pile-list order, bottom first; a ball game gives its own (its columns of
// colour words, say).
using Snapshot = std::vector<std::vector<int>>;

struct GameCase {
    unsigned commandId;     // the game's line in the game table
    const char16_t* title;  // the document title, also in the caption
    // Menu items whose state is the game's own, as a fresh deal shows them:
    // (command, enabled). Every game has New, Hi scores, the game picks,
    // About and Exit enabled, and only its own pick checked.
    std::vector<std::pair<unsigned, bool>> menu;
    // The table just after the game is picked at the golden tick.
    Snapshot golden;
    Snapshot (*snapshot)(CView& view);
    // Fails the running test (gtest assertions) when a thing of the game is
    // lost, duplicated or broken; called after every step of random play.
    void (*check)(CView& view);
    // Undoing every move of a game in progress gives its deal back.
    bool undoRestoresDeal = false;
    // How random play answers the settings dialog a game shows at every new
    // deal, in turn, as the driver writes answers; none when it asks nothing.
    std::vector<std::string> newGameAnswers = {};
};

// The tick at which the golden deals are dealt.
constexpr uint64_t kGoldenTick = 100000;

// For card games.
Snapshot CardSnapshot(CView& view);
// Every card of decks whole decks (each index 0..51 of the suits in
// suitMask, 1 clubs .. 8 spades, decks times) in exactly one pile, none left marked as dragged
// unless a drag is on, every undo record between the view's own piles, and no undo once the game is
// over.
void CheckCards(CView& view, int decks, int suitMask = 15);

// For ball games: the board's colour words, column by column (-1 for a cell
// not made).
Snapshot BolSnapshot(CView& view);

// A game's own case joins the suite from its file, after the case:
//   const JoinsConformance kGolfJoins(kGolfCase);
struct JoinsConformance {
    explicit JoinsConformance(const GameCase& gameCase);
};
