// The application object: starts the program, and owns what every game
// shares for the whole run: the card images and the seven hi-score tables.
#pragma once

#include <memory>
#include <string>

#include "cards/card_images.h"
#include "hiscores/hiscore_store.h"
#include "platform/window.h"

class CParlourApp : public CWinApp {
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
        return m_hiScores.m_hiScoreTables[static_cast<size_t>(game)];
    }
    CHiScoreStore& HiScores() { return m_hiScores; }

    // Where Scores.dat lives; the user's data folder unless set before start-up.
    void SetDataDir(const std::string& folder) { m_dataDirOverride = folder; }

    // Card images and metrics (m_bmCardBack .. m_cardFaceDownStep).
    CCardImages m_cardImages;
    // The seven tables and the folder of their file (m_hiScoreTables, m_dataDir).
    CHiScoreStore m_hiScores;

private:
    std::string m_dataDirOverride;
};

// The one application object of the run.
CParlourApp& TheApp();
