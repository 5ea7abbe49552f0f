#include "platform/window.h"
#include "res/resource.h"

// Menu 128: the one pop-up behind the "Menu" soft key.
std::vector<MenuResource> MenuResources() {
    const MenuItem separator{};
    return {{IDR_MAINFRAME,
             u"Menu",
             {
                 {ID_APP_ABOUT, u"About Parlour..."},
                 separator,
                 {ID_GAME_KLONDIKE, u"Klondike"},
                 {ID_GAME_CRUEL, u"Cruel"},
                 {ID_GAME_GOLF, u"Golf"},
                 {ID_GAME_SPIDER, u"Spider"},
                 {ID_GAME_FREECELL, u"Freecell"},
                 separator,
                 {ID_GAME_GEMFIELD, u"Gemfield"},
                 {ID_GAME_PAINTPOT, u"Paintpot"},
                 {ID_BOL_SETTINGS, u"Bol settings"},
                 separator,
                 {ID_UNDO_MOVE, u"Undo move"},
                 separator,
                 {ID_HI_SCORES, u"Hi scores"},
                 separator,
                 {ID_APP_EXIT, u"Exit"},
                 separator,
                 {ID_AUTOFLIP, u"AutoFlip cards"},
             }}};
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
// Undo move, Hi scores, About and Exit.
std::vector<Accelerator> AcceleratorResources() {
    return {
        {true, 'N', ID_FILE_NEW},         {true, 'Z', ID_UNDO_MOVE}, {true, 'H', ID_HI_SCORES},
        {false, '1', ID_APP_ABOUT, true}, {true, 'Q', ID_APP_EXIT},
    };
}

std::vector<StringResource> StringResources() {
    return {
        {IDR_MAINFRAME, u"Parlour\n\nParlour\n\n\nParlour.Document\nParlour.Document"},
        {IDS_NEW, u"New"},
        {IDS_MENU, u"Menu"},
    };
}
