#include "cardgames/freecell.h"

#include "cards/card_grid.h"

namespace {
// From pos up to the top, each card one rank below the card beneath it and
// of the other colour.
bool IsRun(CardPos pos) {
    for (CardPos next = pos.Next(); next; pos = next, next = next.Next())
        if (!IsRankBelowAlternating(*next.Get(), *pos.Get())) return false;
    return true;
}
// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: build the four foundations up by suit, from the ace to the king.\n\n"
    u"The deal: all 52 cards face up in eight columns, seven cards in the first four and six "
    u"in the others; four free cells and four foundations above them.\n\n"
    u"Play: a free cell holds any one card. A column is built down in alternating colours. A "
    u"run in alternating colours moves as a whole, however long, whatever the free cells hold."
    u" An empty column takes only a king, with its run. Cards that are home stay home. A "
    u"double tap sends a card home.\n\n"
    u"Score: 10 points for a card sent home.\n\n"
    u"The end: the game is won when all 52 cards are home.";
}  // namespace

CFreecell::CFreecell(CHiScoresDlg* hiScores) {
    m_title = u"Freecell";
    m_hiScores = hiScores;
    m_bkColour = RGB(0, 127, 127);
    for (CCardPile*& column : m_tableau) column = AddPile(PILE_TABLEAU);
    for (CCardPile*& foundation : m_foundation) foundation = AddPile(PILE_FOUNDATION);
    m_firstFoundationPos = PilePosOf(m_foundation[0]);
    // A free cell never holds more than one card, so its fan never shows.
    for (CCardPile*& cell : m_freeCell) cell = AddPile(PILE_WASTE);
}

void CFreecell::OnNewGame() {
    ClearUndo();
    CCardPile deck(PILE_STOCK);
    deck.BuildDeck(1, 15, -1);
    deck.Shuffle();
    for (const auto& pile : GetPiles()) pile->Clear();
    // Seven cards in each of the first four columns, six in the others.
    for (size_t i = 0; i < m_tableau.size(); ++i)
        for (size_t n = i < 4 ? 7 : 6; n > 0; --n)
            deck.MoveTopCards(m_tableau[i], true, 1);  // dealing is not undone
    ResetGame();
}

void CFreecell::OnSize(unsigned type, int cx, int cy) {
    CCardgame::OnSize(type, cx, cy);
    const CRect client = ClientRect();
    const CardGrid grid(client, 8);
    for (size_t i = 0; i < m_tableau.size(); ++i) {
        const int x = grid.Column(static_cast<int>(i));
        // A column reaches to the bottom, so a drop anywhere below it counts.
        m_tableau[i]->m_rect = CRect(x, grid.H + 2 * grid.gap, x + grid.W, client.bottom);
    }
    // The free cells above the first four columns; the foundations from
    // above the last column leftwards, closer together.
    for (size_t i = 0; i < m_freeCell.size(); ++i)
        m_freeCell[i]->m_rect = grid.Place(grid.Column(static_cast<int>(i)), grid.gap);
    for (size_t i = 0; i < m_foundation.size(); ++i)
        m_foundation[i]->m_rect =
            grid.Place(grid.Column(7) - (grid.W + 2) * static_cast<int>(i), grid.gap);
}

PressKind CFreecell::PressKindAt(CCardPile* pile, CardPos pos) {
    if (!pos) return PRESS_NOTHING;
    switch (pile->m_kind) {
        case PILE_WASTE:  // a free cell
            return PRESS_LIFT;
        case PILE_TABLEAU:
            // However long the run, whatever the free cells hold.
            return IsRun(pos) ? PRESS_LIFT : PRESS_NOTHING;
        default:
            return PRESS_NOTHING;
    }
}

CString CFreecell::PileName(int pile) {
    for (size_t i = 0; i < m_freeCell.size(); ++i)
        if (pile == PileIndex(m_freeCell[i]))
            return FormatString("Free cell %d", static_cast<int>(i) + 1);
    // The foundations lie from the right leftwards: numbered as they lie,
    // from the left, as the columns and the free cells are.
    for (size_t i = 0; i < m_foundation.size(); ++i)
        if (pile == PileIndex(m_foundation[i]))
            return FormatString("Foundation %d", static_cast<int>(m_foundation.size() - i));
    return CCardgame::PileName(pile);
}

bool CFreecell::MightBeStuck() {
    for (const auto& pile : GetPiles())
        if (pile->IsEmpty() && pile->m_kind != PILE_FOUNDATION) return false;
    return true;
}

DropResult CFreecell::CanDrop(CCardPile* from, CCard* card, CCardPile* to, CCard* ref) {
    switch (to->m_kind) {
        case PILE_WASTE:  // a free cell: one card, when it is empty
            return to->IsEmpty() && card == from->TopCard() ? DROP_PLACED : DROP_REFUSED;
        case PILE_TABLEAU:
            // Down in alternating colours; only a king opens an empty column.
            if (ref) return IsRankBelowAlternating(*card, *ref) ? DROP_PLACED : DROP_REFUSED;
            return card->IsKing() ? DROP_PLACED : DROP_REFUSED;
        case PILE_FOUNDATION:  // any suit, decided by the ace put on it
            return IsFoundationNext(*card, ref) ? DROP_HOME : DROP_REFUSED;
        default:
            return DROP_REFUSED;
    }
}

CString CFreecell::Rules() const {
    return CString(kRules) + u"\n\n" + ClockRules();
}
