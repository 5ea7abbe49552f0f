#include "platform/window.h"
#include "res/resource.h"

namespace {

// Adds the items of one group of games of the game table, in table order.
enum class Group { Cards, Balls };
void AddGames(std::vector<MenuItem>& items, Group wanted) {
    struct Game {
        unsigned id;
        const char16_t* text;
        Group group;
    };
    const Game games[] = {
#define GAME(command, name, group, View, caption, what) {command, u"" name, Group::group},
#include "app/game_table.inc"
#undef GAME
    };
    for (const Game& game : games)
        if (game.group == wanted) items.push_back({game.id, game.text});
}

}  // namespace

// Menu 128: the one pop-up behind the "Menu" soft key.
std::vector<MenuResource> MenuResources() {
    const MenuItem separator{};
    std::vector<MenuItem> items = {{ID_APP_ABOUT, u"About Parlour..."}, separator};
    AddGames(items, Group::Cards);
    items.push_back(separator);
    AddGames(items, Group::Balls);
    items.insert(items.end(), {
                                  {ID_BOL_SETTINGS, u"Bol settings"},
                                  separator,
                                  {ID_UNDO_MOVE, u"Undo move"},
                                  {ID_REDO_MOVE, u"Redo move"},
                                  {ID_RESTART_DEAL, u"Restart deal"},
                                  {ID_CHOOSE_DEAL, u"Choose deal..."},
                                  {ID_HINT, u"Hint"},
                                  {ID_WINNABLE_DEALS, u"Winnable deals"},
                                  separator,
                                  {ID_HI_SCORES, u"Hi scores"},
                                  {ID_STATISTICS, u"Statistics"},
                                  {ID_RULES, u"Rules"},
                                  separator,
                                  {ID_APP_EXIT, u"Exit"},
                                  separator,
                                  {ID_AUTOFLIP, u"AutoFlip cards"},
                              });
    return {{IDR_MAINFRAME, u"Menu", std::move(items)}};
}

// Soft-key bar 128: image, command, state, style, string, sub-menu.
std::vector<SoftKeyBar> SoftKeyBarResources() {
    return {{IDR_MAINFRAME,
             {
                 {0xFFFE, ID_FILE_NEW, 4, 0x10, IDS_NEW, 0xFFFF},
                 {0xFFFE, ID_MENU_BUTTON, 4, 0x18, IDS_MENU, 0},
             }}};
}

// Accelerator table 128: New, and the desktop's usual keys for the menu's
// Undo move, Redo move (both of its usual keys), Restart deal, Hi scores,
// Rules and Exit. F1 is the desktop's help key: the rules of the game on the
// table; About stays in the menu.
std::vector<Accelerator> AcceleratorResources() {
    return {
        {true, 'N', ID_FILE_NEW},
        {true, 'Z', ID_UNDO_MOVE},
        {true, 'Z', ID_REDO_MOVE, false, true},
        {true, 'Y', ID_REDO_MOVE},
        {true, 'R', ID_RESTART_DEAL},
        {true, 'H', ID_HI_SCORES},
        {false, '1', ID_RULES, true},
        {true, 'Q', ID_APP_EXIT},
    };
}

std::vector<StringResource> StringResources() {
    return {
        {IDR_MAINFRAME, u"Parlour\n\nParlour\n\n\nParlour.Document\nParlour.Document"},
        {IDS_NEW, u"New"},
        {IDS_MENU, u"Menu"},
    };
}
