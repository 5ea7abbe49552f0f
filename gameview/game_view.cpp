#include "gameview/game_view.h"

#include "hiscores/hiscores_dlg.h"
#include "platform/host.h"
#include "res/resource.h"

CGameView::~CGameView() = default;

bool CGameView::PreCreateWindow(CREATESTRUCT& cs) {
    if (!CView::PreCreateWindow(cs)) return false;
    m_bkBrush.CreateSolidBrush(m_bkColour);
    cs.style &= ~WS_BORDER;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.lpszClass =
        AfxRegisterWndClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, IDC_ARROW, &m_bkBrush, 0);
    return true;
}

void CGameView::OnSize(unsigned type, int cx, int cy) {
    CView::OnSize(type, cx, cy);
    if (CDocument* document = GetDocument()) document->SetTitle(m_title);
}

bool CGameView::OnCmdMsg(unsigned id, CCmdUI* update) {
    switch (id) {
        case ID_NEW_GAME:
            return HandleCommand(update, [this] { OnNewGame(); });
        case ID_HI_SCORES:
            return HandleCommand(update, [this] { OnHiScores(); });
    }
    return CView::OnCmdMsg(id, update);
}

void CGameView::OnHiScores() {
    if (m_hiScores) m_hiScores->DoModal();
}

void CGameView::StartClock() {
    if (m_startTick == 0) m_startTick = GetTickCount();
}

uint32_t CGameView::ElapsedSeconds() const {
    return m_startTick ? (GetTickCount() - m_startTick) / 1000 : 0;
}

void CGameView::SetStatus(const CString& text) {
    if (CFrameWnd* frame = GetParentFrame()) frame->SetStatusText(text);
}

void CGameView::ShowStatus() {
    SetStatus(FormatString("Time:%d  Score:%d", static_cast<int>(ElapsedSeconds()), m_score));
}

bool CGameView::AddHiScore(uint32_t seconds, int32_t score) {
    return m_hiScores && m_hiScores->AddHiScore(static_cast<int32_t>(seconds), score);
}
