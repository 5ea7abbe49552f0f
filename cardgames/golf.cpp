#include "cardgames/golf.h"

#include "cards/card_grid.h"

namespace {
constexpr int kColumnSize = 5;
constexpr int kPlayPoints = 10;
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

void CGolf::OnLButtonDown(unsigned, CPoint point) {
    PlayAt(point);
}

void CGolf::OnLButtonDblClk(unsigned, CPoint point) {
    PlayAt(point);
}

void CGolf::PlayAt(CPoint point) {
    CCardPile* pile = PickAt(point);
    if (!pile) return;
    StartClock();
    switch (pile->m_kind) {
        case PILE_STOCK:
            DealToWaste();
            CheckWin();
            break;
        case PILE_TABLEAU:
            // Only the top card plays; a tap on a covered card does nothing.
            if (m_sel.m_count >= 1 && m_sel.m_card && m_sel.m_card == pile->TopCard())
                PlayToWaste(pile, m_sel.m_card);
            break;
        default:  // nothing is played from the waste
            break;
    }
}

void CGolf::DealToWaste() {
    if (!m_stock->IsEmpty()) AddUndo(m_stock->MoveTopCards(m_waste, true, 1));
    InvalidatePile(m_stock);
    InvalidatePile(m_waste);
}

void CGolf::PlayToWaste(CCardPile* column, CCard* card) {
    const CCard* top = m_waste->TopCard();
    // Nothing goes on a king, and ace and king are not neighbours.
    if (!top || top->IsKing()) return;
    const int diff = top->RankDiff(*card);
    if (diff != 1 && diff != -1) return;
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
