// The games the menu offers, in menu order, one line each: the command that
// picks it, the name of its view class, the caption of its hi-score table and
// how to make its view. The first game is the one the program opens with, and
// a game's place in the table is its hi-score table's place in the file. A
// game not built yet has no factory; picking it changes nothing.
#pragma once

#include <memory>
#include <span>

#include "platform/window.h"

class CHiScoresDlg;

struct GameClass {
    unsigned commandId;
    const char* className;
    const char16_t* hiScoreTitle;
    std::unique_ptr<CView> (*create)(CHiScoresDlg* hiScores);
};

std::span<const GameClass> GameClasses();
const GameClass* FindGameClass(unsigned commandId);
const GameClass& FirstGame();
// The game's hi-score table: its place in the table.
int HiScoreTableOf(const GameClass& game);
