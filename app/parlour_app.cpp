#include "app/parlour_app.h"

#include "app/about_dlg.h"
#include "app/game_table.h"
#include "app/main_frame.h"
#include "app/parlour_doc.h"
#include "platform/doc_template.h"
#include "res/resource.h"

CParlourApp::CParlourApp() = default;

CParlourApp::~CParlourApp() {
    SetCardImages(nullptr);
}

CParlourApp& TheApp() {
    return *static_cast<CParlourApp*>(AfxGetApp());
}

bool CParlourApp::InitInstance() {
    SetRegistryKey(u"Vantorel productions");
    m_hiScores.m_dataDir = m_dataDirOverride.empty() ? DefaultDataDir() : m_dataDirOverride;
    for (const GameClass& game : GameClasses())
        m_hiScores.m_titles[static_cast<size_t>(HiScoreTableOf(game))] = game.hiScoreTitle;
    LoadHiScores();

    // The images are part of the program; if one is missing the build is
    // broken, and playing with blank cards would only mislead.
    if (!m_cardImages.Load()) {
        AfxMessageBox(u"The card images are missing from this build of Parlour.");
        return false;
    }
    SetCardImages(&m_cardImages);

    const GameClass* first = FindGameClass(m_firstGame);
    if (!first || !first->create) first = &FirstGame();
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CParlourDoc>(); },
        [] { return std::make_unique<CMainFrame>(); },
        [this, first] { return first->create(&HiScoreTable(HiScoreTableOf(*first))); }));
    if (!OnFileNew()) return false;
    if (first != &FirstGame()) {
        // Opened on another game: its view is the first one made, and it
        // deals as when the menu picks it.
        auto* frame = static_cast<CMainFrame*>(m_pMainWnd);
        frame->m_currentGame = first->commandId;
        frame->m_viewClassName = first->className;
        frame->GetActiveView()->PostCommand(ID_NEW_GAME);
    }
    m_pMainWnd->GetActiveView()->UpdateWindow();
    return true;
}

int CParlourApp::ExitInstance() {
    for (CHiScoresDlg& table : m_hiScores.m_hiScoreTables) table.DeleteAllEntries();
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
    CAboutDlg about(m_pMainWnd ? m_pMainWnd->ViewSize() : CFrameWnd::kDefaultViewSize);
    about.DoModal();
}
