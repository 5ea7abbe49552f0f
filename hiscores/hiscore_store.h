// The seven hi-score tables of the run and the file "Scores.dat" they are
// kept in between runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hiscores/hiscores_dlg.h"

// The file holds the handheld's seven tables: those of the first seven games
// of the game table (app/game_table.inc), in its order.
enum : int { HISCORE_TABLE_COUNT = 7 };

// The folder the file lives in, with a trailing '/': $XDG_DATA_HOME/parlour/,
// else $HOME/.local/share/parlour/, else parlour/ in the current folder.
std::string DefaultDataDir();

class CHiScoreStore {
public:
    CHiScoreStore();
    ~CHiScoreStore();
    CHiScoreStore(const CHiScoreStore&) = delete;
    CHiScoreStore& operator=(const CHiScoreStore&) = delete;

    // Reads m_dataDir + "Scores.dat" into the tables. A missing file leaves
    // them empty under "Hi Scores"; a damaged one keeps the tables read whole
    // before the damage and is kept as "Scores.dat.bad" (or .bad.1, .bad.2,
    // ... when that name is taken) by the next save. So is a file that cannot
    // be read, is no plain file, or is far too large to be ours; reading
    // never blocks.
    void LoadHiScores();
    // Whether the file at path is a sound hi-score file with its tables (not
    // empty, not damaged): one the player may put in the place of Scores.dat.
    static bool HoldsHiScores(const std::string& path);
    // Writes all seven tables, replacing the file in one step; on any failure
    // says "can't write scores!", leaves the old file alone and returns false.
    // Saves of several programs take turns, and each adds its own new results
    // to the tables as the file holds them then, so none is lost; a table the
    // player cleared is written cleared. The tables then show what was written.
    // A link to a file is saved through, next to the file it leads to, and the
    // file keeps its permissions.
    // When another program's save still runs after a moment, this one does
    // not wait for it: its results stay unsaved, quietly, and a retry every
    // second, the next save or SaveBeforeExit writes them. Returns false then.
    bool SaveHiScores();
    // Brings the tables up to the file as it stands now, saves of other
    // programs included, with this run's unsaved results in their places; a
    // missing, unreadable or damaged file leaves them as they are. The list
    // and a new result's place are counted on what it gives.
    void Refresh();
    // Whether results entered (or a table cleared) in this run are not in the
    // file yet.
    bool HasUnsaved() const;
    // The end of the run: writes what is unsaved, waiting as long as a slow
    // save of another program may take; says "can't write scores!" when it
    // cannot.
    void SaveBeforeExit();
    // Empties every table (the end of the run).
    void DeleteAllEntries();

    std::string ScoresPath() const { return m_dataDir + "Scores.dat"; }

    std::array<CHiScoresDlg, HISCORE_TABLE_COUNT> m_hiScoreTables;
    // The captions the tables get once the file has been opened (null: "Hi
    // Scores" stays); the application gives them from its game table.
    std::array<const char16_t*, HISCORE_TABLE_COUNT> m_titles{};
    std::string m_dataDir;  // UTF-8, with a trailing '/'

    // Runs between writing a save's new file and putting it in place; tests
    // hold a save there to race another one against it.
    std::function<void()> m_beforeReplace;

private:
    struct FileTables;
    class RetryWindow;
    enum class Saved { yes, busy, failed };
    // Each table's last name and rows, best first, as the file holds them
    // with this run's unsaved results added (ours alone where the file is
    // not sound or the player cleared the table).
    struct Merged {
        std::array<CString, HISCORE_TABLE_COUNT> lastNames;
        std::array<std::vector<const HiScoreEntry*>, HISCORE_TABLE_COUNT> rows;
    };
    Merged MergeWith(const FileTables& file) const;
    // Makes the merged rows the tables' entries, each taken from the table
    // or from the file that holds it. The name a table offers for the next
    // result stays this run's: the last one entered here, or read at start.
    void TakeRows(FileTables* file, const Merged& merged);
    Saved Save(uint32_t lockWaitMs);
    void RetrySave();
    void RemoveStaleTemporaries() const;

    std::unique_ptr<RetryWindow> m_retry;  // made on the first deferred save
};
