#include "app/game_table.h"

#include "balls/gemfield.h"
#include "balls/paintpot.h"
#include "cardgames/solitaire.h"
#include "res/resource.h"

namespace {

template <class View>
std::unique_ptr<CView> Make(CHiScoresDlg* hiScores) {
    return std::make_unique<View>(hiScores);
}

const GameClass kGames[] = {
    {ID_GAME_KLONDIKE, "CSolitaire", 0, &Make<CSolitaire>},
    {ID_GAME_CRUEL, "CCruel", 1, nullptr},
    {ID_GAME_GOLF, "CGolf", 2, nullptr},
    {ID_GAME_SPIDER, "CSpider", 3, nullptr},
    {ID_GAME_FREECELL, "CFreecell", 4, nullptr},
    {ID_GAME_GEMFIELD, "CGemfield", 5, &Make<CGemfield>},
    {ID_GAME_PAINTPOT, "CPaintpot", 6, &Make<CPaintpot>},
};

}  // namespace

std::span<const GameClass> GameClasses() {
    return kGames;
}

const GameClass* FindGameClass(unsigned commandId) {
    for (const GameClass& game : kGames)
        if (game.commandId == commandId) return &game;
    return nullptr;
}
