#include "app/main_frame.h"

#include "app/game_table.h"
#include "app/parlour_app.h"
#include "gameview/game_view.h"
#include "platform/doc_template.h"
#include "res/resource.h"

bool CMainFrame::OnCreate() {
    if (!CFrameWnd::OnCreate()) return false;
    // The soft keys and their menu come from the frame's resource; without
    // them the program cannot be used, so the frame is not made.
    if (!FindSoftKeyBar(ResourceId()) || !FindMenu(ResourceId())) return false;
    m_currentGame = FirstGame().commandId;
    m_viewClassName = FirstGame().className;
    SetAppTitle(u"Parlour");
    return true;
}

bool CMainFrame::OnFrameCommand(unsigned id, CCmdUI* update) {
    if (FindGameClass(id))
        return HandleCommand(
            update, [this, id] { OnGame(id); }, [this](CCmdUI& ui) { OnUpdateGame(ui); });
    return CFrameWnd::OnFrameCommand(id, update);
}

void CMainFrame::OnUpdateGame(CCmdUI& update) const {
    update.SetCheck(update.m_nID == m_currentGame);
}

void CMainFrame::OnGame(unsigned id) {
    const GameClass* game = FindGameClass(id);
    if (!game) return;
    std::unique_ptr<CView> view = game->create(&TheApp().HiScoreTable(HiScoreTableOf(*game)));
    if (!view || !CreateViewInFrame(*this, GetActiveDocument(), *view)) return;
    CView* newView = view.get();
    std::unique_ptr<CView> previous = SetActiveView(std::move(view));
    if (auto* gameView = dynamic_cast<CGameView*>(newView)) gameView->KeepFramesOf(previous.get());
    RecalcLayout();
    m_currentGame = id;
    m_viewClassName = game->className;
    // The old game goes without a question.
    if (previous) previous->DestroyWindow();
    previous.reset();
    newView->PostCommand(ID_NEW_GAME);
}
