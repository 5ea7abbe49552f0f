// The games the menu offers, as the program reads them from the game table
// (app/game_table.inc): the command that picks each, its name, the name of its
// view class, the caption of its hi-score table and how to make its view.
#pragma once

#include <memory>
#include <span>

#include "platform/window.h"

class CHiScoresDlg;

struct GameClass {
    unsigned commandId;
    const char* name;  // the menu text
    const char* className;
    const char16_t* hiScoreTitle;
    std::unique_ptr<CView> (*create)(CHiScoresDlg* hiScores);
};

std::span<const GameClass> GameClasses();
const GameClass* FindGameClass(unsigned commandId);
const GameClass& FirstGame();
// The game's hi-score table: its place in the table. The first
// HISCORE_TABLE_COUNT are the tables of Scores.dat; a later game's table is
// kept for the run only.
int HiScoreTableOf(const GameClass& game);
