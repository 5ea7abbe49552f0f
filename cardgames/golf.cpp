#include "cardgames/golf.h"

#include "cards/card_grid.h"

namespace {
constexpr int kColumnSize = 5;
constexpr int kPlayPoints = 10;
// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: play every card onto the waste.\n\n"
    u"The deal: seven columns of five cards, all face up; one card starts the waste and the "
    u"other 16 make the stock.\n\n"
    u"Play: a tap on a column's top card plays it onto the waste when it is one rank above or "
    u"below the waste's top card, whatever its suit. An ace and a king are not neighbours, and"
    u" nothing goes onto a king. A tap on the stock turns its next card onto the waste.\n\n"
    u"Score: 10 points for every card played from a column.\n\n"
    u"The end: clearing the columns is not enough; the game is won only once the stock is "
    u"turned out too and every card lies on the waste.";
}  // namespace

CGolf::CGolf(CHiScoresDlg* hiScores) {
    m_title = u"Golf";
    m_hiScores = hiScores;
    m_bkColour = RGB(0, 0, 127);
    m_stock = AddPile(PILE_STOCK);
    m_waste = AddPile(PILE_WASTE);
    // Every card ever played stays in view, so the fan is half as wide.
    m_waste->m_faceUpStep >>= 1;
    for (CCardPile*& column : m_tableau) column = AddPile(PILE_TABLEAU);
}

void CGolf::OnNewGame() {
    ClearAllPiles();
    m_stock->BuildDeck(1, 15, -1);
    m_stock->Shuffle();
    for (CCardPile* column : m_tableau)
        m_stock->MoveTopCards(column, true, kColumnSize);  // dealing is not undone
    m_stock->MoveTopCards(m_waste, true, 1);
    ResetGame();
}

void CGolf::OnSize(unsigned type, int cx, int cy) {
    CCardgame::OnSize(type, cx, cy);
    const CRect client = ClientRect();
    const CardGrid grid(client, 7);
    // The columns at the top; the stock row below a full column.
    for (size_t i = 0; i < m_tableau.size(); ++i) {
        const int x = grid.Column(static_cast<int>(i));
        m_tableau[i]->m_rect = CRect(x, grid.gap, x + grid.W, client.bottom - (grid.gap + grid.H));
    }
    const int row = 3 * grid.gap + 2 * grid.H;
    m_stock->m_rect = grid.Place(grid.Column(0), row);
    // The waste fans out to the right as far as the table goes.
    m_waste->m_rect = CRect(grid.Column(1), row, client.right, row + grid.H);
}

PressKind CGolf::PressKindAt(CCardPile* pile, CardPos pos) {
    switch (pile->m_kind) {
        case PILE_STOCK:
            return pos ? PRESS_TAP : PRESS_NOTHING;
        case PILE_TABLEAU:
            // Only the top card plays; a tap on a covered card does nothing.
            return pos && pos.Get() == pile->TopCard() && FitsWaste(*pos.Get()) ? PRESS_TAP
                                                                                : PRESS_NOTHING;
        default:  // nothing is played from the waste
            return PRESS_NOTHING;
    }
}

CString CGolf::WhyNotPressed(CCardPile* pile, CardPos pos) {
    const CString card = CardName(*pos.Get());
    const CCard* top = m_waste->TopCard();
    if (pile == m_waste) return u"The waste's cards stay there";
    if (pos.Get() != pile->TopCard()) return u"The " + card + u" is covered";
    if (!top) return u"The " + card + u" waits for a card on the waste";
    if (top->IsKing()) return u"Nothing goes on the " + CardName(*top);
    return u"The " + card + u" does not go on the " + CardName(*top);
}

void CGolf::Tap(CCardPile* pile, CardPos pos) {
    if (pile == m_stock) {
        DealToWaste();
        CheckWin();
    } else {
        PlayToWaste(pile, pos.Get());
    }
}

bool CGolf::DoubleTap(CCardPile* pile, CardPos pos) {
    if (PressKindAt(pile, pos) != PRESS_TAP) return false;
    Tap(pile, pos);
    return true;
}

bool CGolf::FitsWaste(const CCard& card) const {
    const CCard* top = m_waste->TopCard();
    // Nothing goes on a king, and ace and king are not neighbours.
    if (!top || top->IsKing()) return false;
    const int diff = top->RankDiff(card);
    return diff == 1 || diff == -1;
}

void CGolf::DealToWaste() {
    if (!m_stock->IsEmpty()) AddUndo(m_stock->MoveTopCards(m_waste, true, 1));
    InvalidatePile(m_stock);
    InvalidatePile(m_waste);
    if (const CCard* top = m_waste->TopCard(); top && !m_quiet)
        Announce(u"Turned up the " + CardName(*top));
}

void CGolf::PlayToWaste(CCardPile* column, CCard* card) {
    if (!FitsWaste(*card)) return;
    if (!m_quiet) Announce(u"Played the " + CardName(*card));
    AddUndo(column->MoveTopCards(m_waste, true, 1), kPlayPoints);
    InvalidatePile(column);
    InvalidatePile(m_waste);
    UpdateStatus();
    CheckWin();
}

void CGolf::CheckWin() {
    // Clearing the columns is not enough: the stock must be turned out too.
    if (m_waste->GetCount() == CARD_COUNT && EndGame()) OnNewGame();
}

CString CGolf::Rules() const {
    return CString(kRules) + u"\n\n" + ClockRules();
}
