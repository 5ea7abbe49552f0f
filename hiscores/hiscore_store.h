// The seven hi-score tables of the run and the file "Scores.dat" they are
// kept in between runs.
#pragma once

#include <array>
#include <string>

#include "hiscores/hiscores_dlg.h"

// Tables by game, in menu order; also their order in the file.
enum : int {
    HISCORE_KLONDIKE,
    HISCORE_CRUEL,
    HISCORE_GOLF,
    HISCORE_SPIDER,
    HISCORE_FREECELL,
    HISCORE_GEMFIELD,
    HISCORE_PAINTPOT,
    HISCORE_TABLE_COUNT
};

// The folder the file lives in, with a trailing '/': $XDG_DATA_HOME/parlour/,
// else $HOME/.local/share/parlour/, else parlour/ in the current folder.
std::string DefaultDataDir();

class CHiScoreStore {
public:
    CHiScoreStore();
    CHiScoreStore(const CHiScoreStore&) = delete;
    CHiScoreStore& operator=(const CHiScoreStore&) = delete;

    // Reads m_dataDir + "Scores.dat" into the tables. A missing file leaves
    // them empty under "Hi Scores"; a damaged one keeps the tables read whole
    // before the damage and is kept as "Scores.dat.bad" by the next save.
    void LoadHiScores();
    // Writes all seven tables, replacing the file in one step; on any failure
    // says "can't write scores!", leaves the old file alone and returns false.
    bool SaveHiScores();
    // Empties every table (the end of the run).
    void DeleteAllEntries();

    std::string ScoresPath() const { return m_dataDir + "Scores.dat"; }

    std::array<CHiScoresDlg, HISCORE_TABLE_COUNT> m_hiScoreTables;
    // The captions the tables get once the file has been opened (null: "Hi
    // Scores" stays); the application gives them from its game table.
    std::array<const char16_t*, HISCORE_TABLE_COUNT> m_titles{};
    std::string m_dataDir;  // UTF-8, with a trailing '/'

private:
    bool WriteTables(const std::string& path);
    bool KeepDamagedFile();

    // The file read at start-up was damaged and has not been replaced yet.
    bool m_fileDamaged = false;
};
