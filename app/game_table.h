// The games the menu offers, one line each: the command that picks it, the
// name of its view class, the hi-score table it plays for, and how to make
// its view. A game not built yet has no factory; picking it changes nothing.
#pragma once

#include <memory>
#include <span>

#include "platform/window.h"

class CHiScoresDlg;

struct GameClass {
    unsigned commandId;
    const char* className;
    int hiScoreTable;  // index into the application's tables
    std::unique_ptr<CView> (*create)(CHiScoresDlg* hiScores);
};

std::span<const GameClass> GameClasses();
const GameClass* FindGameClass(unsigned commandId);
