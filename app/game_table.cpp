#include "app/game_table.h"

#include <iterator>

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
    {ID_GAME_KLONDIKE, "CSolitaire", u"HiScores: Solitaire", &Make<CSolitaire>},
    {ID_GAME_CRUEL, "CCruel", u"HiScores: Cruel", &Make<CCruel>},
    {ID_GAME_GOLF, "CGolf", u"HiScores: Golf", &Make<CGolf>},
    {ID_GAME_SPIDER, "CSpider", u"HiScores: Spider", &Make<CSpider>},
    {ID_GAME_FREECELL, "CFreecell", u"HiScores: Freecell", &Make<CFreecell>},
    {ID_GAME_GEMFIELD, "CGemfield", u"HiScores: Gemfield", &Make<CGemfield>},
    {ID_GAME_PAINTPOT, "CPaintpot", u"HiScores: Paintpot", &Make<CPaintpot>},
};
static_assert(std::size(kGames) == HISCORE_TABLE_COUNT, "one hi-score table per game");

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
