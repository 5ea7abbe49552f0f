// The moves of a card game at the level of piles and cards, which the stylus,
// the keys and anything that plays by itself all make the same way.
#include <algorithm>

#include "cards/cardgame.h"
#include "res/resource.h"

CCardPile* CCardgame::PileAt(int index) const {
    if (index < 0) return nullptr;
    for (const auto& pile : m_piles)
        if (index-- == 0) return pile.get();
    return nullptr;
}

CardPos CCardgame::CardAt(CCardPile* pile, int index) const {
    if (!pile || index < 0 || index >= pile->GetCount()) return {};
    return pile->FromTop(pile->GetCount() - 1 - index);
}

int CCardgame::CardIndex(CCardPile* pile, CardPos pos) const {
    return pos ? pile->GetCount() - pile->CountFrom(pos) : -1;
}

std::vector<int> CCardgame::FocusableCards(int pileIndex) {
    std::vector<int> cards;
    FocusableCards(PileAt(pileIndex), &cards);
    return cards;
}

void CCardgame::FocusableCards(const CCardPile* pile, std::vector<int>* out) {
    std::vector<int>& cards = *out;
    cards.clear();
    if (!pile || pile->IsEmpty()) return;
    if (pile->m_kind == PILE_TABLEAU) {
        // What a press can pick: a face-up card that shows above the next.
        int index = 0;
        const CCard* below = nullptr;
        for (const auto& card : pile->GetCards()) {
            if (below && !below->IsFaceDown() && below->m_rect.top < card->m_rect.top)
                cards.push_back(index - 1);
            below = card.get();
            ++index;
        }
    }
    cards.push_back(pile->GetCount() - 1);
}

void CCardgame::ShowTableAsPainted() {
    for (const auto& pile : m_piles) {
        if (pile->m_kind == PILE_TABLEAU && pile->TopCard() && pile->TopCard()->IsFaceDown()) {
            pile->TopCard()->m_state &= ~CARD_FACEDOWN;
            InvalidatePile(pile.get());
        }
        pile->LayoutCards();
    }
}

CString CCardgame::TurnedUpByLastMove() {
    if (m_undoList.empty()) return CString();
    const CUndoMove& last = *m_undoList.back();
    const CCard* top = last.m_from->TopCard();
    if (!top) return CString();
    const CString where = u" in " + PileName(PileIndex(last.m_from));
    if (last.m_uncoveredFaceDown) return u", turning up the " + CardName(*top) + where;
    // A column's card now on top in sight is told too: the focus is elsewhere.
    if (last.m_from->m_kind == PILE_TABLEAU && ShowsFace(*last.m_from, *top))
        return u", uncovering the " + CardName(*top) + where;
    return CString();
}

void CCardgame::TurnUpTop(CCardPile* pile, CardPos pos, int32_t points) {
    pos->m_state = CARD_FACEUP;
    InvalidatePile(pile);  // a fitted fan may open up
    AddUndo(std::make_unique<CUndoMove>(UNDO_FLIP, 1, pile, nullptr), points);
    UpdateStatus();
    if (!m_quiet) Announce(u"Turned up the " + CardName(*pos.Get()));
}

void CCardgame::SelectCard(CCardPile* pile, CardPos pos) {
    m_sel.m_pile = pile;
    m_sel.m_pos = pos ? pos : pile->Top();
    m_sel.m_card = m_sel.m_pos.Get();
    m_sel.m_count =
        pile->m_kind == PILE_TABLEAU ? pile->CountFrom(m_sel.m_pos) : (m_sel.m_card ? 1 : 0);
}

CCardPile* CCardgame::FoundationFor(const CCard& card) {
    // Walked by the list's own iterator: a position finds its node at each step.
    for (auto it = m_firstFoundationPos.NodeIn(m_piles); it != m_piles.end(); ++it) {
        CCardPile* pile = it->get();
        if (pile->m_kind != PILE_FOUNDATION) break;
        if (IsFoundationNext(card, pile->TopCard())) return pile;
    }
    return nullptr;
}

bool CCardgame::TopGoesHome(CCardPile* pile) {
    const CCard* top = pile->TopCard();
    return (pile->m_kind == PILE_WASTE || pile->m_kind == PILE_TABLEAU) && top &&
           FoundationFor(*top) != nullptr;
}

bool CCardgame::SendsHome(CCardPile* pile, CardPos pos) {
    return pos && pos.Get() == pile->TopCard() && TopGoesHome(pile);
}

bool CCardgame::DoubleTap(CCardPile* pile, CardPos pos) {
    if (!SendsHome(pile, pos)) return false;
    SelectCard(pile, pos);
    // The new deal comes after this handler has returned.
    if (AutoMoveToFoundation() == AUTOMOVE_NEW_GAME) PostCommand(ID_NEW_GAME);
    return true;
}

std::vector<CardMove> CCardgame::LegalMoves() {
    ShowTableAsPainted();
    std::vector<CardMove> moves;
    VisitLegalMoves([&moves](const CardMove& move) {
        moves.push_back(move);
        return false;
    });
    return moves;
}

template <typename Visit>
bool CCardgame::VisitLegalMoves(Visit&& visit) {
    if (m_gameOver) return false;
    std::vector<int> cards;
    int p = 0;
    for (const auto& owned : m_piles) {
        CCardPile* pile = owned.get();
        FocusableCards(pile, &cards);
        if (cards.empty()) cards.push_back(-1);
        for (int card : cards) {
            const CardPos pos = CardAt(pile, card);
            switch (PressKindAt(pile, pos)) {
                case PRESS_TAP:
                    if (visit(CardMove{MOVE_TAP, p, card, card < 0 ? 0 : 1, -1})) return true;
                    break;
                case PRESS_LIFT: {
                    // IsLegalRun's offer alone: the card is pickable and lifts.
                    const DraggedRun run{pile, pos.Get(), pos, pile->GetCount() - card};
                    int to = 0;
                    for (const auto& target : m_piles) {
                        if (target.get() != pile && OfferDrop(run, target.get()) != DROP_REFUSED &&
                            visit(CardMove{MOVE_RUN, p, card, run.m_count, to}))
                            return true;
                        ++to;
                    }
                    break;
                }
                default:
                    break;
            }
        }
        // The top found without a walk to a position.
        if (TopGoesHome(pile) && visit(CardMove{MOVE_HOME, p, pile->GetCount() - 1, 1, -1}))
            return true;
        ++p;
    }
    return false;
}

bool CCardgame::ListMovesUnlessOneGetsSomewhere(int root, std::vector<CardMove>* moves) {
    ShowTableAsPainted();
    moves->clear();
    const bool asFarOn = ProgressMeasure() == root;
    return VisitLegalMoves([this, moves, asFarOn](const CardMove& move) {
        if (asFarOn && GetsSomewhere(move)) return true;
        moves->push_back(move);
        return false;
    });
}

bool CCardgame::IsPickable(int pile, int card) {
    const std::vector<int> cards = FocusableCards(pile);
    if (cards.empty()) return card == -1;
    return std::find(cards.begin(), cards.end(), card) != cards.end();
}

bool CCardgame::IsLegalRun(const CardMove& move) {
    CCardPile* pile = PileAt(move.pile);
    CCardPile* target = PileAt(move.to);
    if (!pile || !target || target == pile || !IsPickable(move.pile, move.card)) return false;
    const CardPos pos = CardAt(pile, move.card);
    if (!pos || move.count != pile->CountFrom(pos) || PressKindAt(pile, pos) != PRESS_LIFT)
        return false;
    return OfferDrop(DraggedRun{pile, pos.Get(), pos, move.count}, target) != DROP_REFUSED;
}

bool CCardgame::DoMove(const CardMove& move) {
    HideHint();
    if (!MakePlayersMove(move)) return false;
    AfterMove();
    return true;
}

bool CCardgame::MakePlayersMove(const CardMove& move) {
    LineBeforeMove before = LineBefore(move);
    if (!MakeMove(move)) return false;
    KeepLineIfFollowed(std::move(before));
    return true;
}

CCardgame::LineBeforeMove CCardgame::LineBefore(const CardMove& move) {
    LineBeforeMove before{m_winningLine, move};
    // A card dragged onto the foundation a double tap would send it to is
    // the line's move home.
    const std::vector<CardMove>& line = before.line;
    if (!line.empty() && line.front().kind == MOVE_HOME && move.kind == MOVE_RUN &&
        move.count == 1) {
        const CardPos pos = CardAt(PileAt(move.pile), move.card);
        const CCardPile* home = pos ? FoundationFor(*pos.Get()) : nullptr;
        if (home && PileIndex(home) == move.to) before.move = {MOVE_HOME, move.pile, move.card, 1, -1};
    }
    return before;
}

void CCardgame::KeepLineIfFollowed(LineBeforeMove before) {
    // A move made asks for a search; one that was the line's next needs none.
    std::vector<CardMove>& line = before.line;
    if (line.empty() || !(line.front() == before.move) || !m_searchDue || m_gameOver) return;
    line.erase(line.begin());
    m_winningLine = std::move(line);
    m_searchDue = false;
    m_verdict = DealVerdict::Winnable;
    if (m_startTick) ShowStatus();  // the verdict stays in the bar
}

bool CCardgame::MakeMove(const CardMove& move) {
    ShowTableAsPainted();
    CCardPile* pile = PileAt(move.pile);
    if (m_gameOver || m_dragging || !pile || !IsPickable(move.pile, move.card)) return false;
    const CardPos pos = CardAt(pile, move.card);
    switch (move.kind) {
        case MOVE_TAP:
            if (move.to != -1 || move.count != (pos ? 1 : 0) || PressKindAt(pile, pos) != PRESS_TAP)
                return false;
            StartClock();
            Tap(pile, pos);
            return true;
        case MOVE_RUN: {
            if (!IsLegalRun(move)) return false;
            StartClock();
            CCardPile* target = PileAt(move.to);
            const DraggedRun run{pile, pos.Get(), pos, move.count};
            MakeDrop(run, target, OfferDrop(run, target));
            return true;
        }
        case MOVE_HOME:
            if (move.to != -1 || move.count != 1 || !SendsHome(pile, pos)) return false;
            StartClock();
            return DoubleTap(pile, pos);
    }
    return false;
}

void CCardgame::OnLButtonDown(unsigned, CPoint point) {
    CCardPile* pile = PickAt(point);
    if (!pile) return;
    StartClock();
    switch (PressKindAt(pile, m_sel.m_pos)) {
        case PRESS_TAP: {
            const CardPos pos = m_sel.m_pos;
            LineBeforeMove before =
                LineBefore({MOVE_TAP, PileIndex(pile), CardIndex(pile, pos), pos ? 1 : 0, -1});
            Tap(pile, pos);
            KeepLineIfFollowed(std::move(before));
            AfterMove();
            break;
        }
        case PRESS_LIFT:
            StartDrag(point);
            break;
        default:
            break;
    }
}

void CCardgame::OnLButtonUp(unsigned, CPoint point) {
    DraggedRun run;
    if (!EndDrag(&run)) return;
    DropResult result = DROP_REFUSED;
    if (CCardPile* target = FindDropTarget(point, run, &result)) {
        LineBeforeMove before =
            LineBefore({MOVE_RUN, PileIndex(run.m_pile), CardIndex(run.m_pile, run.m_pos),
                        run.m_count, PileIndex(target)});
        MakeDrop(run, target, result);
        // As after a drop by the keys: on the cards that moved.
        if (KeysUsed()) MoveFocusToTopOf(target);
        KeepLineIfFollowed(std::move(before));
        AfterMove();
    }
}

void CCardgame::OnLButtonDblClk(unsigned, CPoint point) {
    CCardPile* pile = PickAt(point);
    if (!pile) return;
    StartClock();
    const CardPos pos = m_sel.m_pos;
    LineBeforeMove before = LineBefore({MOVE_HOME, PileIndex(pile), CardIndex(pile, pos), 1, -1});
    if (!DoubleTap(pile, pos)) return;
    KeepLineIfFollowed(std::move(before));
    AfterMove();
}

void CCardgame::MakeDrop(const DraggedRun& run, CCardPile* target, DropResult result) {
    const CString words = m_quiet ? CString() : RunWords(run, target);  // only for a hearer
    AcceptDrop(run, target, result);
    if (!m_quiet) Announce(words + TurnedUpByLastMove());
    UpdateStatus();
    AfterDrop();
}
