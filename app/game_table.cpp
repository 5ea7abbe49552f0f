#include "app/game_table.h"

#include <iterator>

// The games' views (a new game's header goes here too), and what the table needs.
#include "balls/gemfield.h"
#include "balls/paintpot.h"
#include "cardgames/cruel.h"
#include "cardgames/freecell.h"
#include "cardgames/golf.h"
#include "cardgames/solitaire.h"
#include "cardgames/spider.h"
#include "hiscores/hiscore_store.h"
#include "res/resource.h"

namespace {

template <class View>
std::unique_ptr<CView> Make(CHiScoresDlg* hiScores) {
    return std::make_unique<View>(hiScores);
}

const GameClass kGames[] = {
#define GAME(command, name, group, View, caption, what) \
    {command, name, #View, u"" caption, &Make<View>},
#include "app/game_table.inc"
#undef GAME
};
static_assert(std::size(kGames) >= HISCORE_TABLE_COUNT, "Scores.dat holds the first games' tables");

}  // namespace

std::span<const GameClass> GameClasses() {
    return kGames;
}

const GameClass* FindGameClass(unsigned commandId) {
    for (const GameClass& game : kGames)
        if (game.commandId == commandId) return &game;
    return nullptr;
}

const GameClass& FirstGame() {
    return kGames[0];
}

int HiScoreTableOf(const GameClass& game) {
    return static_cast<int>(&game - kGames);
}
