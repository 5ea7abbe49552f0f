#include "app/parlour_app.h"

#include "app/about_dlg.h"
#include "app/game_table.h"
#include "app/main_frame.h"
#include "app/parlour_doc.h"
#include "cards/cardgame.h"
#include "gameview/game_view.h"
#include "platform/doc_template.h"
#include "platform/random.h"
#include "res/resource.h"

CParlourApp::CParlourApp() = default;

CParlourApp::~CParlourApp() {
    SetCardImages(nullptr);
    if (StatisticsStore() == &m_statistics) SetStatisticsStore(nullptr);
}

CParlourApp& TheApp() {
    return *static_cast<CParlourApp*>(AfxGetApp());
}

bool CParlourApp::InitInstance() {
    CCardgame::s_winnableDeals = m_winnableDeals;  // a setting of the run, which starts here
    m_hiScores.m_dataDir = m_dataDirOverride.empty() ? DefaultDataDir() : m_dataDirOverride;
    m_runOnlyTables.clear();
    for (const GameClass& game : GameClasses()) {
        const auto table = static_cast<size_t>(HiScoreTableOf(game));
        if (table < HISCORE_TABLE_COUNT)
            m_hiScores.m_titles[table] = game.hiScoreTitle;
        else
            m_runOnlyTables.emplace_back().m_title = game.hiScoreTitle;
    }
    LoadHiScores();
    m_statistics.m_dataDir = m_hiScores.m_dataDir;
    m_statistics.Load();
    SetStatisticsStore(&m_statistics);

    // The images are part of the program; if one is missing the build is
    // broken, and playing with blank cards would only mislead.
    if (!m_cardImages.Load()) {
        AfxMessageBox(u"The card images are missing from this build of Parlour.");
        return false;
    }
    SetCardImages(&m_cardImages);

    const GameClass* first = FindGameClass(m_firstGame);
    if (!first) first = &FirstGame();
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CParlourDoc>(); },
        [] { return std::make_unique<CMainFrame>(); },
        [this, first] { return first->create(&HiScoreTable(HiScoreTableOf(*first))); }));
    if (!OnFileNew()) return false;
    auto* frame = static_cast<CMainFrame*>(m_pMainWnd);
    frame->m_currentGame = first->commandId;
    frame->m_viewClassName = first->className;
    // A view is dealt once it is shown: the first one here, before its first
    // paint; the frame deals the views that replace it. A game other than the
    // first deals as when the menu picks it, once the window shows, so that a
    // question it asks stands over its table.
    CView* view = frame->GetActiveView();
    if (m_firstDeal) runtime::ChooseNextDeal(*m_firstDeal);
    if (first == &FirstGame())
        view->SendCommand(ID_NEW_GAME);
    else
        view->PostCommand(ID_NEW_GAME);
    view->UpdateWindow();
    return true;
}

int CParlourApp::ExitInstance() {
    m_hiScores.SaveBeforeExit();
    m_statistics.SaveBeforeExit();
    for (CHiScoresDlg& table : m_hiScores.m_hiScoreTables) table.DeleteAllEntries();
    for (CHiScoresDlg& table : m_runOnlyTables) table.DeleteAllEntries();
    return CWinApp::ExitInstance();
}

bool CParlourApp::OnCmdMsg(unsigned id, CCmdUI* update) {
    switch (id) {
        case ID_APP_ABOUT:
            return HandleCommand(update, [this] { OnAppAbout(); });
        case ID_FILE_NEW:
            return HandleCommand(update, [this] { OnFileNew(); });
    }
    return CWinApp::OnCmdMsg(id, update);
}

void CParlourApp::OnAppAbout() {
    const auto* game = m_pMainWnd ? dynamic_cast<CGameView*>(m_pMainWnd->GetActiveView()) : nullptr;
    CAboutDlg about(m_pMainWnd ? m_pMainWnd->ViewSize() : CFrameWnd::kDefaultViewSize,
                    game ? game->DealNumber() : 0);
    about.DoModal();
}
