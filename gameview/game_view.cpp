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
    CString text = FormatString("Time:%d  Score:%d", static_cast<int>(ElapsedSeconds()), m_score);
    const CString verdict = VerdictWords();
    if (!verdict.empty()) {
        text += u"  ";
        text += verdict;
    }
    SetStatus(text);
}

bool CGameView::AddHiScore(uint32_t seconds, int32_t score) {
    return m_hiScores && m_hiScores->AddHiScore(static_cast<int32_t>(seconds), score);
}

void CGameView::PreStylusDown(CPoint) {
    if (!m_showFocus && PickRect().IsRectEmpty()) return;
    BeginFocusChange();
    m_showFocus = false;
    DropPick();
    EndFocusChange();
}

void CGameView::ShowFocus() {
    if (m_showFocus) return;
    m_showFocus = true;
    const CRect focus = FocusRect();
    InvalidateRect(&focus, false);
}

void CGameView::BeginFocusChange() {
    m_focusShown = m_showFocus ? FocusRect() : CRect();
    m_pickShown = PickRect();
}

void CGameView::EndFocusChange() {
    // Without an erase: what lies under a frame paints every pixel of it.
    for (const CRect& rect :
         {m_focusShown, m_pickShown, m_showFocus ? FocusRect() : CRect(), PickRect()})
        if (!rect.IsRectEmpty()) InvalidateRect(&rect, false);
    if (IsWindow() && HasHost()) GetHost().AccessibleFocusChanged(*this);
}

namespace {
// A ring of width one just inside rect.
void FrameRect(CDC* dc, const CRect& rect, COLORREF colour) {
    dc->FillSolidRect(CRect(rect.left, rect.top, rect.right, rect.top + 1), colour);
    dc->FillSolidRect(CRect(rect.left, rect.bottom - 1, rect.right, rect.bottom), colour);
    dc->FillSolidRect(CRect(rect.left, rect.top, rect.left + 1, rect.bottom), colour);
    dc->FillSolidRect(CRect(rect.right - 1, rect.top, rect.right, rect.bottom), colour);
}

// Black outside and a bright colour two pixels wide inside: one of the two
// shows on every table, card and ball.
void DrawFrame(CDC* dc, CRect rect, COLORREF inner) {
    if (rect.Width() < 6 || rect.Height() < 6) return;
    FrameRect(dc, rect, RGB(0, 0, 0));
    for (int ring = 0; ring < 2; ++ring) {
        rect.DeflateRect(1, 1);
        FrameRect(dc, rect, inner);
    }
}
}  // namespace

void CGameView::DrawFocusFrames(CDC* dc) {
    const CRect pick = PickRect();
    DrawFrame(dc, pick, RGB(0, 144, 255));
    if (!m_showFocus) return;
    // On what is picked up, the focus shows inside its frame.
    CRect focus = FocusRect(), common;
    if (common.IntersectRect(focus, pick)) focus.DeflateRect(3, 3);
    DrawFrame(dc, focus, RGB(255, 214, 0));
}

void CGameView::Announce(const CString& text) {
    m_announcement = text;
    if (IsWindow() && HasHost()) GetHost().Announce(*this, text);
}
