// The handheld's Scores.dat, pinned here for the tests, once: its tables by
// game, in file order, and the caption each table gets once the file is read.
// The program has them from its game table (app/game_table.inc).
#pragma once

#include <array>

#include "hiscores/hiscore_store.h"

enum : int {
    HISCORE_KLONDIKE,
    HISCORE_CRUEL,
    HISCORE_GOLF,
    HISCORE_SPIDER,
    HISCORE_FREECELL,
    HISCORE_GEMFIELD,
    HISCORE_PAINTPOT,
};

inline constexpr std::array<const char16_t*, HISCORE_TABLE_COUNT> kHandheldHiScoreTitles = {
    u"HiScores: Solitaire", u"HiScores: Cruel",    u"HiScores: Golf",    u"HiScores: Spider",
    u"HiScores: Freecell",  u"HiScores: Gemfield", u"HiScores: Paintpot"};
