// Numbers of the program's resources and commands.
#pragma once

#include <vector>

#include "platform/resources.h"

// Commands of the program.
enum : unsigned {
    ID_NEW_GAME = 32776,
    ID_UNDO_MOVE = 32777,
    ID_GAME_KLONDIKE = 32778,
    ID_GAME_CRUEL = 32779,
    ID_GAME_GOLF = 32780,
    ID_GAME_SPIDER = 32781,
    ID_GAME_FREECELL = 32782,
    ID_GAME_GEMFIELD = 32783,
    ID_GAME_PAINTPOT = 32784,
    ID_HI_SCORES = 32788,
    ID_AUTOFLIP = 32791,
    ID_BOL_SETTINGS = 32793,
    // The desktop's own commands, numbered well above the handheld's.
    ID_RESTART_DEAL = 32840,
    ID_CHOOSE_DEAL = 32841,
    ID_REDO_MOVE = 32842,
    ID_RULES = 32843,
    ID_STATISTICS = 32844,
    ID_HINT = 32800,  // above the handheld's commands
    ID_WINNABLE_DEALS = 32797,
    ID_MENU_BUTTON = 402,  // the right soft key, which opens the menu
};

// Resources.
enum : unsigned {
    IDR_MAINFRAME = 128,      // menu, soft-key bar, accelerators, document string, icon
    IDD_ABOUTBOX = 100,       // portrait
    IDD_ABOUTBOX_WIDE = 200,  // landscape
    IDD_HISCORES = 131,
    IDD_HISCORE_NAME = 132,
    IDD_SPIDER_SETTINGS = 133,
    IDD_BOLSETUP = 134,
    IDD_CHOOSE_DEAL = 32850,
    IDD_RULES = 32851,
    IDD_STATISTICS = 32852,
    IDS_NEW = 301,
    IDS_MENU = 302,
};

// Controls.
enum : unsigned {
    IDC_HISCORE_PROMPT = 1000,
    IDC_HISCORE_NAME = 1001,
    IDC_HISCORE_LIST = 1002,
    IDC_HISCORE_RESET = 1003,
    IDC_SPIDER_1TYPE = 1004,  // the suit-count group: 1004 .. 1006
    IDC_SPIDER_2TYPES = 1005,
    IDC_SPIDER_4TYPES = 1006,
    IDC_ABOUT_ICON = 1010,
    IDC_ABOUT_VERSION = 1011,
    IDC_ABOUT_LINE = 1012,
    IDC_BOL_SPIN_HOR = 1001,
    IDC_BOL_VER = 1002,
    IDC_BOL_SPIN_VER = 1003,
    IDC_BOL_COLORS = 1004,
    IDC_BOL_SPIN_COLORS = 1005,
    IDC_BOL_HOR = 1007,
    IDC_DEAL_NUMBER = 1040,
    IDC_DEAL_PROMPT = 1041,
    IDC_RULES_TEXT = 1042,
    IDC_STATISTICS_LIST = 1043,
    IDC_STATISTICS_RESET = 1044,
    IDC_ABOUT_DEAL = 1045,
    IDC_STATIC = 0xFFFFFFFF,  // a label no code refers to
};

// The whole resource table of the program, handed to SetResources at start-up.
const ResourceTable& ParlourResources();

// The dialog templates, gathered by area.
std::vector<DialogTemplate> HiScoreDialogTemplates();
std::vector<DialogTemplate> ShellDialogTemplates();
std::vector<DialogTemplate> CardGameDialogTemplates();
std::vector<DialogTemplate> BolDialogTemplates();
std::vector<DialogTemplate> DealDialogTemplates();
std::vector<MenuResource> MenuResources();
std::vector<SoftKeyBar> SoftKeyBarResources();
std::vector<Accelerator> AcceleratorResources();
std::vector<StringResource> StringResources();
