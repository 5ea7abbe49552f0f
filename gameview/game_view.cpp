#include "gameview/game_view.h"

#include <algorithm>
#include <utility>

#include "gameview/deal_dlg.h"
#include "gameview/rules_dlg.h"
#include "hiscores/hiscores_dlg.h"
#include "hiscores/statistics_dlg.h"
#include "platform/host.h"
#include "platform/random.h"
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
    // The hint's outlines are where the table lay before.
    HideHint();
    if (CDocument* document = GetDocument()) document->SetTitle(m_title);
}

bool CGameView::OnCmdMsg(unsigned id, CCmdUI* update) {
    switch (id) {
        case ID_NEW_GAME:
            return HandleCommand(update, [this] { OnNewGame(); });
        case ID_HI_SCORES:
            return HandleCommand(update, [this] { OnHiScores(); });
        case ID_RESTART_DEAL:
            return HandleCommand(update, [this] { OnRestartDeal(); });
        case ID_CHOOSE_DEAL:
            return HandleCommand(update, [this] { OnChooseDeal(); });
        case ID_RULES:
            return HandleCommand(update, [this] { OnRules(); });
        case ID_STATISTICS:
            return HandleCommand(update, [this] { OnStatistics(); });
        case ID_HINT:
            return HandleCommand(update, [this] { OnHint(); });
    }
    return CView::OnCmdMsg(id, update);
}

void CGameView::OnHiScores() {
    if (m_hiScores) m_hiScores->Show();
}

void CGameView::PlayDeal(uint32_t deal) {
    runtime::ChooseNextDeal(deal);
    // Every deal starts the focus on the first pile, as New does.
    BeginFocusChange();
    MoveFocusToStart();
    // The deal asked for, never another: "Winnable deals" is for New.
    m_playingNamedDeal = true;
    DealAgain();
    m_playingNamedDeal = false;
    EndFocusChange();
}

void CGameView::OnChooseDeal() {
    CDealDlg dialog;
    dialog.m_deal = m_deal;
    // Closing the dialog any other way than OK keeps the game in progress.
    if (dialog.DoModal() == IDOK) PlayDeal(dialog.m_deal);
}

void CGameView::OnRules() {
    CRulesDlg dialog(m_title + u" rules", Rules());
    dialog.DoModal();
}

void CGameView::OnStatistics() {
    CStatisticsStore* store = StatisticsStore();
    if (!store) return;
    CStatisticsDlg dialog(*store, StatisticsName());
    dialog.DoModal();
}

void CGameView::OnDestroy() {
    LeaveGame();
    CView::OnDestroy();
}

void CGameView::StartClock() {
    if (m_startTick != 0) return;
    m_startTick = GetTickCount();
}

void CGameView::CountAsPlayed() {
    // Once a game; never for a move a hint or the stuck test only tries.
    if (!m_statisticsName.empty() || m_gameOver || m_quiet) return;
    if (CStatisticsStore* store = StatisticsStore()) {
        m_statisticsName = StatisticsName();
        store->Begin(m_statisticsName);
    }
}

void CGameView::FinishGame(bool won, uint32_t seconds, int32_t score) {
    if (m_statisticsName.empty()) return;
    if (CStatisticsStore* store = StatisticsStore())
        store->End(m_statisticsName, won, seconds, score);
    m_statisticsName.clear();
}

uint32_t CGameView::ElapsedSeconds() const {
    return m_startTick ? (GetTickCount() - m_startTick) / 1000 : 0;
}

void CGameView::SetStatus(const CString& text) {
    if (m_quiet) return;
    if (CFrameWnd* frame = GetParentFrame()) frame->SetStatusText(text);
}

void CGameView::ShowStatus() {
    // The clock's tick leaves a hint in the bar while it shows.
    if (m_hintShown) return;
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

void CGameView::PreStylusDown(CPoint point) {
    HideHint();
    const bool framed = m_showFocus || !PickRect().IsRectEmpty();
    if (framed) BeginFocusChange();
    if (m_keysUsed) MoveFocusToPoint(point);
    if (!framed) return;
    m_showFocus = false;
    DropPick();
    EndFocusChange();
}

void CGameView::ShowFocus() {
    m_keysUsed = true;
    if (m_showFocus) return;
    m_showFocus = true;
    InvalidateFrames(Frames(), false);
}

void CGameView::KeepFramesOf(const CView* previous) {
    const auto* view = dynamic_cast<const CGameView*>(previous);
    if (!view) return;
    m_keysUsed = view->m_keysUsed;
    if (view->m_showFocus) ShowFocus();
}

void CGameView::BeginFocusChange() {
    m_framesBefore = Frames();
    m_announcedInChange = false;
}

void CGameView::EndFocusChange() {
    // Without an erase: what lies under a frame paints every pixel of it.
    InvalidateFrames(m_framesBefore, false);
    InvalidateFrames(Frames(), false);
    if (!IsWindow() || !HasHost()) return;
    // What the last move did is not read again with every pile the focus
    // passes.
    if (!m_announcedInChange) ForgetAnnouncement();
    m_toldFocusWords = FocusText();
    GetHost().AccessibleFocusChanged(*this);
}

void CGameView::ForgetAnnouncement() {
    m_announcement.clear();
    if (!m_toldAnnouncement || !IsWindow() || !HasHost()) return;
    m_toldAnnouncement = false;
    GetHost().Announce(*this, m_announcement);
}

void CGameView::TellReaderOfChanges() {
    if (!IsWindow() || !HasHost() || m_quiet) return;
    CString words = FocusText();
    if (words == m_toldFocusWords) return;
    m_toldFocusWords = std::move(words);
    GetHost().AccessibleFocusChanged(*this);
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

CRect CGameView::Framed(CRect rect) const {
    if (rect.IsRectEmpty()) return rect;
    const int outset = FrameOutset();
    rect.DeflateRect(-outset, -outset);
    // Whole in sight where the table has room: a pile at its edge is framed
    // over its own border instead.
    const CRect client = ClientRect();
    rect.OffsetRect(std::max(std::min(0, client.right - rect.right), client.left - rect.left),
                    std::max(std::min(0, client.bottom - rect.bottom), client.top - rect.top));
    return rect;
}

std::vector<CGameView::Frame> CGameView::Frames() {
    std::vector<Frame> frames;
    if (m_hintShown)
        for (const CRect& outline : m_hintOutlines)
            frames.push_back({Framed(outline), RGB(255, 0, 200)});
    const CRect pick = Framed(PickRect());
    if (!pick.IsRectEmpty()) frames.push_back({pick, RGB(0, 144, 255)});
    if (!m_showFocus) return frames;
    // On what is picked up, or on a card the hint outlines, the focus shows
    // beside the other frame: round it where the frames lie outside, inside
    // it where they lie within.
    CRect focus = Framed(FocusRect()), common;
    const bool onOutline =
        m_hintShown && std::any_of(m_hintOutlines.begin(), m_hintOutlines.end(),
                                   [&](const CRect& outline) { return Framed(outline) == focus; });
    if (onOutline || common.IntersectRect(focus, pick)) {
        const int step = FrameOutset() > 0 ? -3 : 3;
        focus.DeflateRect(step, step);
    }
    frames.push_back({focus, RGB(255, 214, 0)});
    return frames;
}

void CGameView::InvalidateFrames(const std::vector<Frame>& frames, bool erase) {
    // A frame round a card lies partly on the bare table, which only an
    // erase paints.
    erase = erase || FrameOutset() > 0;
    for (const Frame& frame : frames)
        if (!frame.rect.IsRectEmpty()) InvalidateRect(&frame.rect, erase);
}

void CGameView::BeforePaint() {
    // A frame follows its card wherever a move, an undo or a new layout
    // takes it; where it lay and where it now lies are painted again.
    if (m_framesDrawn.empty() && !m_showFocus && !m_hintShown && PickRect().IsRectEmpty()) return;
    LayOutForFrames();
    const std::vector<Frame> frames = Frames();
    if (frames == m_framesDrawn) return;
    InvalidateFrames(m_framesDrawn, false);
    InvalidateFrames(frames, false);
}

void CGameView::DrawFocusFrames(CDC* dc) {
    // Over everything else.
    m_framesDrawn = Frames();
    for (const Frame& frame : m_framesDrawn) DrawFrame(dc, frame.rect, frame.colour);
}

void CGameView::Announce(const CString& text) {
    if (m_quiet) return;
    m_announcement = text;
    m_announcedInChange = true;
    if (IsWindow() && HasHost()) {
        m_toldAnnouncement = !text.empty();
        GetHost().Announce(*this, text);
    }
}

void CGameView::OnHint() {
    HideHint();
    std::vector<CRect> outlines;
    HintText words;
    const CFrameWnd* frame = GetParentFrame();
    m_statusBeforeHint = frame ? frame->StatusText() : CString();
    if (!PrepareHint(&words, &outlines)) {
        if (std::exchange(m_hintAskedItself, false)) return;
        // The game may say why it has none.
        SetStatus(words.shown.empty() ? CString(u"No moves left") : u"No hint: " + words.shown);
        Announce(words.said.empty() ? CString(u"No moves left") : u"No hint: " + words.said);
        return;
    }
    m_hintText = u"Hint: " + words.shown;
    SetStatus(m_hintText);
    Announce(u"Hint: " + words.said);
    m_hintShown = true;
    m_hintOutlines = outlines;
    // Without an erase, as the focus frames: what lies there paints under them.
    InvalidateFrames(Frames(), false);
    SetTimer(HINT_TIMER_ID, HINT_SHOWN_MS);
}

void CGameView::HideHint() {
    if (!m_hintShown) return;
    // With an erase: the table may have been laid out anew since (the
    // window sized), and the frames then lie where no card paints over them.
    InvalidateFrames(Frames(), true);
    m_hintShown = false;
    KillTimer(HINT_TIMER_ID);
    m_hintOutlines.clear();
    ForgetHint();
    // The bar as it was, unless something has been said there since.
    const CFrameWnd* frame = GetParentFrame();
    if (frame && frame->StatusText() == m_hintText) SetStatus(m_statusBeforeHint);
}

void CGameView::OnTimer(uintptr_t id) {
    if (id == HINT_TIMER_ID) HideHint();
}
