#include "cards/cardgame.h"

#include <algorithm>
#include <vector>

#include "platform/host.h"
#include "platform/random.h"
#include "res/resource.h"

bool CardSelection::SelectAt(CCardPile* pile, std::optional<CPoint> point,
                             std::optional<CRect> rect) {
    m_count = 0;
    m_pos = CardPos();
    m_pile = nullptr;
    m_card = nullptr;
    if (!pile) return false;
    if (point) {
        if (std::optional<CardPos> hit = pile->HitTest(*point)) {
            m_pile = pile;
            if (pile->m_kind == PILE_TABLEAU) {
                m_pos = *hit;
                m_count = pile->CountFrom(m_pos);
            } else {
                m_pos = pile->Top();
                m_count = pile->IsEmpty() ? 0 : 1;
            }
            m_card = m_pos.Get();
            return true;
        }
    }
    CRect common;
    if (rect && common.IntersectRect(*rect, pile->m_rect)) {
        m_pile = pile;
        m_pos = pile->Top();
        m_card = m_pos.Get();
        m_count = m_card ? 1 : 0;
        return true;
    }
    return false;
}

CCardgame::CCardgame() = default;

CCardgame::~CCardgame() {
    // The records point at the piles, so they go first.
    m_undoList.clear();
    m_firstFoundationPos = PilePos();
    m_sel = CardSelection();
    m_piles.clear();
}

void CCardgame::OnDraw(CDC* dc) {
    if (!dc->DrawsPixels()) {
        // Pixels owed: only what the paint does to the table.
        for (const auto& pile : m_piles) {
            pile->LayoutCards();
            pile->ShowTopAsPainted();
        }
        m_fillAround = false;
        return;
    }
    PaintedArea& painted = m_painted;
    painted.Clear();
    for (const auto& pile : m_piles) {
        const CRect extent = pile->LayoutCards();
        pile->DrawPile(dc, &painted, &extent);
    }
    if (m_dragging && m_sel.m_pile) {
        const CPoint shift = DragShift();
        m_sel.m_pile->DrawDragged(dc, -shift.x, -shift.y, &painted);
    }
    // The cards are opaque and the table colour lies only around them, so
    // filling after them shows the same as filling first.
    if (m_fillAround) painted.FillAround(dc, BackgroundColour());
    m_fillAround = false;
    DrawFocusFrames(dc);
}

void CCardgame::OnPaintOwed(CDC& dc) {
    struct Kept {
        CCard* card;
        uint32_t state;
        CRect rect;
    };
    std::vector<Kept> cards;
    std::vector<int32_t> steps;
    for (const auto& pile : m_piles) {
        steps.push_back(pile->m_faceUpStep);
        for (const auto& card : pile->GetCards())
            cards.push_back({card.get(), card->m_state, card->m_rect});
    }
    OnPaint(dc);
    auto step = steps.begin();
    for (const auto& pile : m_piles) pile->m_faceUpStep = *step++;
    for (const Kept& kept : cards) {
        kept.card->m_state = kept.state;
        kept.card->m_rect = kept.rect;
    }
}

bool CCardgame::OnEraseBkgnd(CDC*) {
    m_fillAround = true;
    return true;
}

CPoint CCardgame::DragShift() const {
    if (!m_sel.m_card)
        return CPoint(m_dragPoint.x - m_pressPoint.x, m_dragPoint.y - m_pressPoint.y);
    const CRect& laid = m_sel.m_card->m_rect;
    return CPoint(m_dragPoint.x - m_pressPoint.x + m_liftedAt.x - laid.left,
                  m_dragPoint.y - m_pressPoint.y + m_liftedAt.y - laid.top);
}

CRect CCardgame::ComputeDragRect() const {
    if (!m_sel.m_card || !m_sel.m_pile) return CRect();
    CRect rect = m_sel.m_card->m_rect;
    const CPoint shift = DragShift();
    rect.OffsetRect(shift.x, shift.y);
    rect.bottom += (m_sel.m_count - 1) * m_sel.m_pile->m_faceUpStep;
    return rect;
}

void CCardgame::OnMouseMove(unsigned, CPoint point) {
    if (!m_dragging) return;
    // Both the old and the new place, so the run is always seen whole.
    m_dragRect = ComputeDragRect();
    InvalidateRect(&m_dragRect, true);
    m_dragPoint = point;
    m_dragRect = ComputeDragRect();
    InvalidateRect(&m_dragRect, true);
}

void CCardgame::PreStylusDown(CPoint point) {
    CGameView::PreStylusDown(point);
    if (!m_dragging) return;
    // The lift was lost (the stylus left the window, the desktop swallowed
    // it). The run is put down where it was last seen, by the game's own lift
    // handler, before the new press picks anything: every card game's press
    // handler may reuse m_sel and move cards, which a run still held in the
    // air must not see.
    OnLButtonUp(0, m_dragPoint);
    DraggedRun run;
    EndDrag(&run);  // for a game whose lift handler left it open
}

CCardPile* CCardgame::PickAt(std::optional<CPoint> point, std::optional<CRect> rect,
                             const CCardPile* skip) {
    if (m_gameOver) {
        m_sel.SelectAt(nullptr, std::nullopt, std::nullopt);
        return nullptr;
    }
    for (const auto& pile : m_piles)
        if (pile.get() != skip && m_sel.SelectAt(pile.get(), point, rect)) return pile.get();
    return nullptr;
}

PilePos CCardgame::BeginDropSearch() {
    m_sel.m_searchPos = m_gameOver ? PilePos() : FirstPilePos();
    return m_sel.m_searchPos;
}

CCardPile* CCardgame::PointedDropTarget(CPoint point, const CCardPile* source) {
    // Where piles overlap (Spider's columns on a narrow table), the stylus
    // points at the one painted last there, not the first in the list.
    CCardPile* shown = nullptr;
    for (const auto& pile : m_piles)
        if (pile->ShowsAt(point)) shown = pile.get();
    if (shown && shown != source && m_sel.SelectAt(shown, point, std::nullopt))
        return OfferTopCard(shown);
    for (const auto& pile : m_piles)
        if (pile.get() != source && m_sel.SelectAt(pile.get(), point, std::nullopt))
            return OfferTopCard(pile.get());
    return nullptr;
}

CCardPile* CCardgame::NextDropTarget(CPoint point, const CRect& rect, const CCardPile* source) {
    while (m_sel.m_searchPos) {
        CCardPile* pile = m_sel.m_searchPos.Get();
        m_sel.m_searchPos = m_sel.m_searchPos.Next();
        if (pile != source && m_sel.SelectAt(pile, point, rect)) return OfferTopCard(pile);
    }
    return nullptr;
}

CCardPile* CCardgame::OfferTopCard(CCardPile* pile) {
    // The run lands on the top card, so that is what it must fit, even when
    // the stylus lifted over a covered card of a column.
    m_sel.m_pos = pile->Top();
    m_sel.m_card = m_sel.m_pos.Get();
    m_sel.m_count = m_sel.m_card ? 1 : 0;
    return pile;
}

AutoMoveResult CCardgame::AutoMoveToFoundation() {
    CCard* card = m_sel.m_card;
    CCardPile* source = m_sel.m_pile;
    if (!card || !source) return AUTOMOVE_NONE;
    CCardPile* target = FoundationFor(*card);
    if (!target) return AUTOMOVE_NONE;
    AddUndo(source->MoveTopCards(target, true, 1), HOME_POINTS);
    if (!m_quiet) Announce(u"Moved the " + CardName(*card) + u" home" + TurnedUpByLastMove());
    InvalidatePile(target);
    InvalidatePile(source);
    UpdateStatus();
    if (AllFoundationsFull(m_firstFoundationPos) && EndGame()) return AUTOMOVE_NEW_GAME;
    return AUTOMOVE_DONE;
}

bool CCardgame::AllFoundationsFull(PilePos pos) const {
    for (; pos && pos->m_kind == PILE_FOUNDATION; pos = pos.Next())
        if (pos->GetCount() != 13) return false;
    return true;
}

void CCardgame::StartClock() {
    // A move the hint or the stuck test tries is no first move.
    if (m_startTick != 0 || m_quiet) return;
    CGameView::StartClock();
    m_decayTick = m_startTick;
    SetTimer(CLOCK_TIMER_ID, CLOCK_PERIOD);
}

namespace {
constexpr uint32_t kDecayPeriod = 10000;  // milliseconds of play per decay step
constexpr int32_t kDecayPoints = 2;
constexpr uint32_t kBonusSeconds = 625;  // a win before this earns 8 points a second
constexpr int32_t kBonusPerSecond = 8;
}  // namespace

void CCardgame::OnTimer(uintptr_t id) {
    if (id == SEARCH_TIMER_ID) {
        PollSearch();
        return;
    }
    if (id != CLOCK_TIMER_ID) {
        CGameView::OnTimer(id);
        return;
    }
    // A game being tried out keeps its clock's toll for real time.
    if (m_startTick == 0 || m_quiet) return;
    // Every ten seconds of the clock cost their points, counted from the
    // first action whenever the tick comes: a tick that comes late, or a
    // move's update between ticks, does not put the next step off.
    const uint32_t now = GetTickCount();
    while (now - m_decayTick >= kDecayPeriod) {
        m_score = m_score <= kDecayPoints ? 0 : m_score - kDecayPoints;
        m_decayTick += kDecayPeriod;
    }
    ShowStatus();
}

CString CCardgame::ClockRules() {
    return FormatString(
        "The clock: it starts at your first move. Every %u seconds of play cost %d points, never "
        "below 0; a win earns %d points for every second under %u. Undo takes a move back with "
        "its points, and Redo plays it again.",
        kDecayPeriod / 1000, kDecayPoints, kBonusPerSecond, kBonusSeconds);
}

void CCardgame::ResetGame() {
    LeaveGame();
    m_dragging = 0;
    m_startTick = 0;
    m_gameOver = 0;
    m_stuck = false;
    m_dealtCards = 0;
    for (const auto& pile : m_piles) m_dealtCards += pile->GetCount();
    m_score = 0;
    m_deal = runtime::LastDeal();
    m_pick.reset();
    HideHint();
    m_hintedTables.clear();
    m_wayOut.clear();
    m_verdictTold.clear();
    ForgetAnnouncement();  // the last deal's words are not this one's
    // The timer keeps running; its ticks are ignored until the next first action.
    if (IsWindow()) {
        Invalidate(true);
        // No clock, no status: the bar fills again at the first action.
        SetStatus(CString());
    }
    TableChanged();
    if (s_winnableDeals && !m_choosingDeal && !m_playingNamedDeal && IsWindow() && SolverGame())
        ChooseWinnableDeal();
}

void CCardgame::ClearUndo() {
    // Every game clears its records when the table changed under them.
    m_undoList.clear();
    m_redoList.clear();
    m_goesOnBesideStock.clear();  // another deal's stock
    TableChanged();
}

void CCardgame::ClearAllPiles() {
    ClearUndo();
    m_hintedTables.clear();
    m_wayOut.clear();
    for (const auto& pile : m_piles) pile->Clear();
}

bool CCardgame::EndGame() {
    if (m_gameOver || m_quiet) return false;
    ClearUndo();  // a finished game cannot be taken back
    m_gameOver = 1;
    KillTimer(CLOCK_TIMER_ID);
    const uint32_t seconds = ElapsedSeconds();
    if (seconds <= kBonusSeconds)
        m_score += kBonusPerSecond * static_cast<int32_t>(kBonusSeconds - seconds);
    ShowStatus();
    FinishGame(true, seconds, m_score);
    if (AddHiScore(seconds, m_score)) return false;
    const CString question = FormatString("You did it!\nin %d seconds\nScore:%d\n\nStart new game?",
                                          static_cast<int>(seconds), m_score);
    return AfxMessageBox(question, MB_YESNO) == IDYES;
}

bool CCardgame::OnCmdMsg(unsigned id, CCmdUI* update) {
    if (!update && id != ID_HINT) HideHint();  // a command is input too
    if (id == ID_WINNABLE_DEALS && SolverGame())
        return HandleCommand(
            update, [] { s_winnableDeals = !s_winnableDeals; },
            [](CCmdUI& ui) { ui.SetCheck(s_winnableDeals); });
    if (id == ID_UNDO_MOVE)
        return HandleCommand(
            update,
            [this] {
                if (m_undoList.empty()) return;
                const CUndoMove taken = *m_undoList.back();
                OnUndo();
                Announce(u"Undid the move: " + CardsMovedWords(taken, taken.m_from, true));
            },
            [this](CCmdUI& ui) { OnUpdateUndo(ui); });
    if (id == ID_REDO_MOVE)
        return HandleCommand(
            update, [this] { OnRedo(); }, [this](CCmdUI& ui) { OnUpdateRedo(ui); });
    return CGameView::OnCmdMsg(id, update);
}

CString CCardgame::CardsMovedWords(const CUndoMove& move, const CCardPile* now, bool undone) {
    if (move.m_kind == UNDO_FLIP) {
        const CCard* top = move.m_from->TopCard();
        if (!top) return CString();
        return (undone ? u"the " : u"turned up the ") + CardName(*top) +
               (undone ? u" turned face down again in " : u" in ") +
               PlaceWords(PileIndex(move.m_from));
    }
    // The cards moved lie on top of the pile they are now on; one face
    // down (back in a stock) is not named.
    CString words;
    const int count = move.m_count;
    const auto first = LowestOfTop(*now, count);
    if (first == now->GetCards().end() || !ShowsFace(*now, **first))
        words = FormatString(count == 1 ? "%d card" : "%d cards", count);
    else
        words = u"the " + CardName(**first) +
                (count > 1 ? FormatString(" and %d more", count - 1) : CString());
    words += (undone ? u" back to " : u" to ") + PlaceWords(PileIndex(now));
    // Taken back, a move that left a card face down on top turns it down again.
    if (undone && move.m_uncoveredFaceDown && first != now->GetCards().begin()) {
        const CCard& under = **std::prev(first);
        if (under.IsFaceDown()) words += u", turning the " + CardName(under) + u" face down again";
    }
    return words;
}

std::unique_ptr<CUndoMove> CCardgame::UndoLastMove() {
    if (m_undoList.empty()) return nullptr;
    if (m_stuck) Reopen();
    // A run still held (Ctrl+Z with the button down) goes back to its pile
    // first: the move taken back may put cards on it, under a run that is
    // painted in the air.
    if (m_dragging) {
        DraggedRun run;
        EndDrag(&run);
    }
    if (m_pick) {  // the move taken back may be under it
        BeginFocusChange();
        m_pick.reset();
        EndFocusChange();
    }
    std::unique_ptr<CUndoMove> move = std::move(m_undoList.back());
    m_undoList.pop_back();
    // The record goes on to the caller, which repaints what it names; redo
    // keeps a copy of its own.
    auto kept = std::make_unique<CUndoMove>(move->m_kind, move->m_count, move->m_from, move->m_to);
    kept->m_points = move->m_points;
    kept->m_uncoveredFaceDown = move->m_uncoveredFaceDown;
    // The stuck test's tries leave no redo: it gives the player's back after.
    if (!m_quiet) m_redoList.push_back(RedoStep{SaveTable(), std::move(kept)});
    move->Undo();
    TableChanged();
    if (move->m_points != 0) {
        const int32_t before = m_score;
        m_score = std::max(0, m_score - move->m_points);
        // A redo gives back what was taken, no more: the clock's toll may
        // have taken some of the move's points since.
        if (!m_quiet) m_redoList.back().move->m_points = before - m_score;
        if (m_startTick) ShowStatus();  // the bar shows at once what was taken back
    }
    return move;
}

void CCardgame::OnUndo() {
    if (std::unique_ptr<CUndoMove> move = UndoLastMove()) InvalidateUndone(*move);
}

void CCardgame::InvalidateUndone(const CUndoMove& move) {
    InvalidatePile(move.m_from);
    if (move.m_to) InvalidatePile(move.m_to);
}

void CCardgame::OnUpdateUndo(CCmdUI& update) const {
    update.Enable(!m_undoList.empty());
}

void CCardgame::OnRedo() {
    if (m_redoList.empty() || m_gameOver) return;
    if (m_dragging) {  // as for undo: the held run goes back first
        DraggedRun run;
        EndDrag(&run);
    }
    if (m_pick) {
        BeginFocusChange();
        m_pick.reset();
        EndFocusChange();
    }
    RedoStep step = std::move(m_redoList.back());
    m_redoList.pop_back();
    RestoreTable(step.table);
    TableChanged(true);
    // The points as the score stands now, never below 0, so that undoing
    // it again takes back exactly what it gave.
    const int32_t before = m_score;
    m_score = std::max(0, m_score + step.move->m_points);
    step.move->m_points = m_score - before;
    m_undoList.push_back(std::move(step.move));
    if (m_startTick) ShowStatus();
    Announce(u"Redid the move: " +
             CardsMovedWords(*m_undoList.back(), m_undoList.back()->m_to, false));
    AfterMove();  // a move again: a table with nowhere to go is called over again
}

void CCardgame::OnUpdateRedo(CCmdUI& update) const {
    update.Enable(!m_redoList.empty() && !m_gameOver);
}

CCardgame::TableCards CCardgame::SaveTable() const {
    TableCards table;
    for (const auto& pile : m_piles) {
        auto& cards = table.emplace_back();
        for (const auto& card : pile->GetCards())
            cards.emplace_back(card->m_index, card->m_state & ~uint32_t{CARD_DRAGGED});
    }
    return table;
}

void CCardgame::RestoreTable(const TableCards& table) {
    // The cards are made anew, so nothing may point at the old ones.
    m_sel = CardSelection();
    auto cards = table.begin();
    for (const auto& pile : m_piles) {
        if (cards == table.end()) break;
        InvalidatePile(pile.get());  // where its cards lay
        pile->Clear();
        for (const auto& [index, state] : *cards++)
            pile->AddCard(std::make_unique<CCard>(index))->m_state = state;
        InvalidatePile(pile.get());
    }
}

DropResult CCardgame::CanDrop(CCardPile*, CCard*, CCardPile*, CCard*) {
    return DROP_REFUSED;
}

PilePos CCardgame::PilePosOf(const CCardPile* pile) {
    for (PilePos pos = FirstPilePos(); pos; pos = pos.Next())
        if (pos.Get() == pile) return pos;
    return {};
}

int CCardgame::PileIndex(const CCardPile* pile) const {
    int index = 0;
    for (const auto& p : m_piles) {
        if (p.get() == pile) return index;
        ++index;
    }
    return -1;
}

void CCardgame::InvalidatePile(CCardPile* pile) {
    // The stuck test's tries put every card back where it lay: nothing of
    // them is ever seen, nothing to repaint.
    if (m_quiet) {
        pile->LayoutCards();
        return;
    }
    CRect area = pile->Extent();
    InvalidateRect(&area, true);
    pile->LayoutCards();
    area = pile->Extent();
    InvalidateRect(&area, true);
}

CCardPile* CCardgame::AddPile(PileKind kind) {
    m_piles.push_back(std::make_unique<CCardPile>(kind));
    return m_piles.back().get();
}

void CCardgame::AddUndo(std::unique_ptr<CUndoMove> move, int32_t points) {
    if (!move) return;
    CountAsPlayed();
    m_redoList.clear();  // a new move: what was undone is gone for good
    TableChanged(true);
    const int32_t before = m_score;
    m_score = std::max(0, m_score + points);
    move->m_points = m_score - before;  // what it really took off, at 0
    m_undoList.push_back(std::move(move));
}

void CCardgame::StartDrag(CPoint point) {
    if (!m_sel.m_card) return;
    m_pressPoint = m_dragPoint = point;
    m_liftedAt = CPoint(m_sel.m_card->m_rect.left, m_sel.m_card->m_rect.top);
    m_dragRect = ComputeDragRect();
    // Lifting the run repaints nothing: it shows as it lay until it moves,
    // though held it is drawn over the piles after its own. Where one of
    // those lies under it, what earlier paints owe is drawn first, with the
    // run still down.
    const auto own = std::find_if(m_piles.begin(), m_piles.end(),
                                  [&](const auto& pile) { return pile.get() == m_sel.m_pile; });
    if (std::any_of(own == m_piles.end() ? own : std::next(own), m_piles.end(),
                    [&](const auto& pile) {
                        CRect common;
                        return common.IntersectRect(pile->Extent(), m_dragRect);
                    }))
        PaintOwedPixels(&m_dragRect);
    m_liftedWhilePixelsOwed = HasHost() && GetHost().PixelsOnDemand();
    m_sel.m_card->m_state |= CARD_DRAGGED;
    m_dragging = 1;
}

bool CCardgame::EndDrag(DraggedRun* run) {
    if (!m_dragging) return false;
    m_dragging = 0;
    *run = DraggedRun{m_sel.m_pile, m_sel.m_card, m_sel.m_pos, m_sel.m_count};
    if (!run->m_pile || !run->m_card) return false;
    run->m_card->m_state &= ~CARD_DRAGGED;
    InvalidatePile(run->m_pile);
    InvalidateRect(&m_dragRect, true);
    // Should the held cards ever have left their pile meanwhile, where they
    // show now is not known here.
    if (!run->m_pos) Invalidate(true);
    return true;
}

CCardPile* CCardgame::FindDropTarget(CPoint point, const DraggedRun& run, DropResult* result) {
    *result = DROP_REFUSED;
    if (!BeginDropSearch()) return nullptr;
    // The pile under the stylus is where the player put the run, whatever
    // else the run's image touches; the others get their turn, in list
    // order, only when it refuses or the stylus is over no pile.
    CCardPile* pointed = PointedDropTarget(point, run.m_pile);
    if (pointed) {
        *result = OfferDrop(run, pointed);
        if (*result) return pointed;
    }
    while (CCardPile* target = NextDropTarget(point, m_dragRect, run.m_pile)) {
        if (target == pointed) continue;
        *result = OfferDrop(run, target);
        if (*result) return target;
    }
    return nullptr;
}

DropResult CCardgame::OfferDrop(const DraggedRun& run, CCardPile* target) {
    if (target->m_kind == PILE_FOUNDATION && run.m_count > 1) return DROP_REFUSED;
    return CanDrop(run.m_pile, run.m_card, target, target->TopCard());
}

void CCardgame::AcceptDrop(const DraggedRun& run, CCardPile* target, DropResult result) {
    int32_t points = DropPoints(result);
    if (run.m_pile->m_kind == PILE_FOUNDATION) points -= HOME_POINTS;
    AddUndo(run.m_pile->MoveRun(target, run.m_pos), points);
    InvalidatePile(target);
    InvalidatePile(run.m_pile);
}

void CCardgame::CheckFoundationsWin() {
    if (AllFoundationsFull(m_firstFoundationPos) && EndGame()) OnNewGame();
}
