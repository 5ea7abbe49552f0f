// The statistics of every game, kept in "Statistics.dat" beside Scores.dat
// (which never changes for them): for each game, and for each setting that
// makes it another game (Spider's suits, the ball board's size and colours),
// the games played and won, the streaks, and the best time and score.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/strings.h"

struct GameFigures {
    uint32_t played = 0;
    uint32_t won = 0;
    uint32_t streak = 0;                  // wins in a row, up to the last game
    uint32_t longest = 0;                 // the longest such run
    std::optional<uint32_t> bestSeconds;  // the fastest win
    std::optional<int32_t> bestScore;     // the highest score a finished game made
    friend bool operator==(const GameFigures&, const GameFigures&) = default;
};

// Figures by game, the key as the dialog names it ("Spider, 2 suits").
using StatisticsTable = std::map<std::string, GameFigures>;

// The file's text: a first line naming it, then one line a game, its name
// and six numbers parted by tabs (a best not yet made: "-").
std::vector<unsigned char> WriteStatistics(const StatisticsTable& table);
// False, with what was read before the damage, for anything that is not
// such a text.
bool ReadStatistics(const std::vector<unsigned char>& bytes, StatisticsTable* table);

class CStatisticsStore {
public:
    // A game counts as played from its first move; its end is a win or not
    // (a game left unfinished by a new deal, a switch or Exit is lost).
    void Begin(const CString& game);
    void End(const CString& game, bool won, uint32_t seconds, int32_t score);
    void Reset(const CString& game);
    // Reads the file as it stands now (a damaged one reads as empty).
    void Load();
    // The figures as the file held them after the last save, with what could
    // not be saved yet.
    GameFigures Figures(const CString& game) const;
    // Writes what is not saved yet, waiting as long as a slow save of
    // another program may take (the end of the run).
    void SaveBeforeExit();
    bool HasUnsaved() const { return !m_pending.empty(); }

    std::string Path() const { return m_dataDir + "Statistics.dat"; }
    std::string m_dataDir;  // UTF-8, with a trailing '/': the hi scores' folder

private:
    struct Event {
        enum Kind { begin, end, reset } kind;
        std::string game;
        bool won = false;
        uint32_t seconds = 0;
        int32_t score = 0;
    };
    static void Apply(const Event& event, StatisticsTable* table);
    // Each change is made to the file as it stands, under the lock, so that
    // two programs at once lose nothing; a change that finds the lock held
    // waits for the next one.
    void Save(uint32_t lockWaitMs);

    std::vector<Event> m_pending;
    bool m_swept = false;  // the folder cleared of dead saves' temporary files
    StatisticsTable m_table;  // the file as last read or written
};

// The store of the run, which the game views report to; none in a test that
// makes no application.
void SetStatisticsStore(CStatisticsStore* store);
CStatisticsStore* StatisticsStore();
