// The application object: starts the program, and owns what every game
// shares for the whole run: the card images and the seven hi-score tables.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "cards/card_images.h"
#include "hiscores/hiscore_store.h"
#include "hiscores/statistics_store.h"
#include "platform/window.h"

// What the games point at for the whole run: the card images and metrics
// (m_bmCardBack .. m_cardFaceDownStep) and the seven tables with the folder of
// their file (m_hiScoreTables, m_dataDir). A base made before the application
// part, so it outlives the frame and the views the application part owns.
struct CParlourShared {
    CCardImages m_cardImages;
    CHiScoreStore m_hiScores;
    // The tables of games after the handheld's seven, which Scores.dat has no
    // place for: kept for the run only.
    std::deque<CHiScoresDlg> m_runOnlyTables;
    CStatisticsStore m_statistics;  // in the hi scores' folder
};

class CParlourApp : public CParlourShared, public CWinApp {
public:
    CParlourApp();
    ~CParlourApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    bool OnCmdMsg(unsigned id, CCmdUI* update) override;

    void OnAppAbout();
    void LoadHiScores() { m_hiScores.LoadHiScores(); }
    void SaveHiScores() { m_hiScores.SaveHiScores(); }
    CHiScoresDlg& HiScoreTable(int game) {
        const auto table = static_cast<size_t>(game);
        return table < HISCORE_TABLE_COUNT ? m_hiScores.m_hiScoreTables[table]
                                           : m_runOnlyTables[table - HISCORE_TABLE_COUNT];
    }
    CHiScoreStore& HiScores() { return m_hiScores; }

    // Where Scores.dat lives; the user's data folder unless set before start-up.
    void SetDataDir(const std::string& folder) { m_dataDirOverride = folder; }
    // The game the program opens with, by its command; the game table's
    // first unless set before start-up.
    void SetFirstGame(unsigned commandId) { m_firstGame = commandId; }
    // The deal the first game deals, by its number; a new one unless set.
    void SetFirstDeal(std::optional<uint32_t> deal) { m_firstDeal = deal; }
    // "Winnable deals" as the run starts (as a host kept it); off unless set.
    void SetWinnableDeals(bool on) { m_winnableDeals = on; }

private:
    std::string m_dataDirOverride;
    unsigned m_firstGame = 0;
    std::optional<uint32_t> m_firstDeal;
    bool m_winnableDeals = false;
};

// The one application object of the run.
CParlourApp& TheApp();
