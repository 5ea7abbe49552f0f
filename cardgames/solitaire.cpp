#include "cardgames/solitaire.h"

#include "cards/card_grid.h"

namespace {
constexpr int kFlipPoints = 5;
constexpr int kWasteFan = 3;  // cards turned from the stock at a time, and fanned
// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: build the four foundations up by suit, from the ace to the king.\n\n"
    u"The deal: seven columns of one to seven cards, the top card face up; the other 24 cards "
    u"make the stock.\n\n"
    u"Play: a tap on the stock turns three cards onto the waste, and a tap on the empty stock "
    u"turns the waste back over, as often as you like. The top card of the waste, a run of "
    u"face-up cards of a column and the top card of a foundation may be moved. A column is "
    u"built down in alternating colours; only a king, with its run, goes onto an empty column."
    u" A face-down card left on top of a column turns up by itself. A double tap sends a card"
    u" home.\n\n"
    u"Score: 10 points for a card sent home; a card taken off a foundation gives its 10 "
    u"back.\n\n"
    u"The end: the game is won when all 52 cards are home.";
}  // namespace

CSolitaire::CSolitaire(CHiScoresDlg* hiScores) {
    m_title = u"Klondike";
    m_hiScores = hiScores;
    m_bkColour = RGB(0, 127, 0);
    m_stock = AddPile(PILE_STOCK);
    m_waste = AddPile(PILE_WASTE);
    for (CCardPile*& column : m_tableau) column = AddPile(PILE_TABLEAU);
    for (CCardPile*& foundation : m_foundation) foundation = AddPile(PILE_FOUNDATION);
    m_firstFoundationPos = PilePosOf(m_foundation[0]);
}

void CSolitaire::OnNewGame() {
    ClearAllPiles();
    m_stock->BuildDeck(1, 15, -1);
    m_stock->Shuffle();
    // Column c gets c + 1 cards, only the last one face up.
    for (size_t row = 0; row < m_tableau.size(); ++row)
        for (size_t column = row; column < m_tableau.size(); ++column)
            m_stock->MoveTopCards(m_tableau[column], column == row, 1);  // dealing is not undone
    ResetGame();
}

void CSolitaire::OnSize(unsigned type, int cx, int cy) {
    CCardgame::OnSize(type, cx, cy);
    const CRect client = ClientRect();
    const CardGrid grid(client, 7);
    m_stock->m_rect = grid.Place(grid.Column(0), grid.gap);
    // Wide enough for the three fanned cards.
    m_waste->m_rect = grid.Place(grid.Column(1), grid.gap);
    m_waste->m_rect.right += 3 * m_waste->m_faceUpStep;
    for (size_t i = 0; i < m_tableau.size(); ++i) {
        const int x = grid.Column(static_cast<int>(i));
        // A column reaches to the bottom, so a tap anywhere below it counts.
        m_tableau[i]->m_rect = CRect(x, grid.H + 2 * grid.gap, x + grid.W, client.bottom);
    }
    for (size_t i = 0; i < m_foundation.size(); ++i)
        m_foundation[i]->m_rect = grid.Place(grid.Column(3 + static_cast<int>(i)), grid.gap);
}

PressKind CSolitaire::PressKindAt(CCardPile* pile, CardPos pos) {
    switch (pile->m_kind) {
        case PILE_STOCK:
            return m_stock->IsEmpty() && m_waste->IsEmpty() ? PRESS_NOTHING : PRESS_TAP;
        case PILE_TABLEAU:
            if (!pos) return PRESS_NOTHING;
            return pos->IsFaceDown() ? PRESS_TAP : PRESS_LIFT;
        default:  // a waste's or a foundation's top card
            return pos ? PRESS_LIFT : PRESS_NOTHING;
    }
}

void CSolitaire::Tap(CCardPile* pile, CardPos pos) {
    if (pile == m_stock) {
        DrawFromStock();
        return;
    }
    TurnUpTop(pile, pos, kFlipPoints);
}

bool CSolitaire::DoubleTap(CCardPile* pile, CardPos pos) {
    if (pile == m_stock) DrawFromStock();
    return CCardgame::DoubleTap(pile, pos);
}

bool CSolitaire::StockComesRoundHere() const {
    // Three cards a turn, and the waste put back in its order: every turn of
    // the round from a full stock comes again, and only those.
    return m_stock->IsEmpty() || m_waste->GetCount() % kWasteFan == 0;
}

void CSolitaire::DrawFromStock() {
    std::unique_ptr<CUndoMove> move;
    if (!m_stock->IsEmpty()) {
        m_waste->SetAllStates(CARD_FACEDOWN);
        move = m_stock->MoveTopCards(m_waste, true, kWasteFan);
    } else {
        // The waste goes back face down, in the order the stock had.
        move = m_waste->MoveTopCards(m_stock, true, m_waste->GetCount());
    }
    AddUndo(std::move(move));
    InvalidatePile(m_stock);
    InvalidatePile(m_waste);
    if (m_quiet) return;  // a try of the stuck test: no words to make
    Announce(m_waste->IsEmpty() ? CString(u"Turned the waste over")
                                : u"Turned up " + TopCardsWords(*m_waste, kWasteFan));
}

DropResult CSolitaire::CanDrop(CCardPile*, CCard* card, CCardPile* to, CCard* ref) {
    switch (to->m_kind) {
        case PILE_TABLEAU:
            // Down in alternating colours; only a king opens an empty column.
            if (ref) return IsRankBelowAlternating(*card, *ref) ? DROP_PLACED : DROP_REFUSED;
            return card->IsKing() ? DROP_PLACED : DROP_REFUSED;
        case PILE_FOUNDATION:
            return IsFoundationNext(*card, ref) ? DROP_HOME : DROP_REFUSED;
        default:
            return DROP_REFUSED;
    }
}

void CSolitaire::OnUndo() {
    std::unique_ptr<CUndoMove> move = UndoLastMove();
    if (!move) return;
    // Cards that come back to the waste, by any move, leave its top three
    // fanned: a run dragged out and taken back would otherwise keep its fan
    // and spread the waste past its place.
    if (move->m_to == m_waste || move->m_from == m_waste) FanWasteTop();
    InvalidateUndone(*move);
}

void CSolitaire::FanWasteTop() {
    m_waste->SetAllStates(CARD_FACEDOWN);
    CardPos pos = m_waste->Top();
    for (int i = 0; i < kWasteFan && pos; ++i, pos = pos.Prev()) pos->m_state = CARD_FACEUP;
}

CString CSolitaire::Rules() const {
    return CString(kRules) + u"\n\n" + ClockRules();
}
