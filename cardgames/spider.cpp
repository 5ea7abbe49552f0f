#include "cardgames/spider.h"

#include "cards/card_grid.h"
#include "res/resource.h"

namespace {
constexpr int kFlipPoints = 5;
// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: gather every card in complete suits, king down to ace, and empty the table.\n\n"
    u"The deal: every new deal first asks how many suits to play: 1 Type (spades only), 2 "
    u"Types (hearts and spades) or 4 Types, always 104 cards. Ten columns get six or five "
    u"cards, the top one face up; the other 50 make the stock.\n\n"
    u"Play: any card, or a run of one suit in order, goes onto a card one rank higher of any "
    u"suit, or onto an empty column. A face-down card left on top of a column turns up by "
    u"itself. A tap on the "
    u"stock deals one card onto every column; that deal cannot be undone, nor anything before "
    u"it. A complete suit from king down to ace at the top of a column moves to the completed "
    u"pile by itself.\n\n"
    u"Score: a move earns no points; the clock below makes the score.\n\n"
    u"The end: the game is won when the last suit leaves the table. Restart deal and Choose "
    u"deal keep the suits of the game on the table.";
}  // namespace

CSpiderSettingsDlg::CSpiderSettingsDlg() : CDialog(IDD_SPIDER_SETTINGS) {}

void CSpiderSettingsDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Radio(dx, IDC_SPIDER_1TYPE, m_suitChoice);
}

CSpider::CSpider(CHiScoresDlg* hiScores) {
    m_title = u"Spider";
    m_hiScores = hiScores;
    m_bkColour = RGB(127, 127, 0);
    m_stock = AddPile(PILE_STOCK);
    m_completed = AddPile(PILE_WASTE);
    m_completed->HalveFanStep();  // every removed suit stays in sight
    for (CCardPile*& column : m_tableau) column = AddPile(PILE_TABLEAU);
    // The frame posts a new game, which asks for the suits; until then the
    // view holds a one-suit deal, so the player is asked once, not twice.
    Deal(0);
}

void CSpider::OnNewGame() {
    // The choice is not kept: every deal starts from "1 Type", and closing
    // the dialog without OK deals that.
    CSpiderSettingsDlg dialog;
    dialog.DoModal();
    Deal(dialog.m_suitChoice);
}

void CSpider::Deal(int suitChoice) {
    m_suitChoice = suitChoice;
    ClearAllPiles();
    switch (suitChoice) {
        case 1:
            m_stock->BuildDeck(4, 12, -1);  // hearts and spades
            break;
        case 2:
            m_stock->BuildDeck(2, 15, -1);  // every suit
            break;
        default:
            m_stock->BuildDeck(8, 8, -1);  // spades only
            break;
    }
    m_stock->Shuffle();
    // Six cards on the first four columns, five on the rest, the last face up.
    for (size_t i = 0; i < m_tableau.size(); ++i) {
        const int cards = i < 4 ? 6 : 5;
        for (int n = 1; n <= cards; ++n)
            m_stock->MoveTopCards(m_tableau[i], n == cards, 1);  // dealing is not undone
    }
    ResetGame();
}

void CSpider::OnSize(unsigned type, int cx, int cy) {
    CCardgame::OnSize(type, cx, cy);
    const CRect client = ClientRect();
    const int columns = static_cast<int>(m_tableau.size());
    CardGrid grid(client, columns);
    // On a narrow table the last column would lie outside the view, out of
    // sight and reach: the columns close up instead, overlapping a little.
    if (grid.Column(columns - 1) + grid.W > client.right - 2) {
        grid.pitch = (client.right - client.left - 4 - grid.W) / (columns - 1);
        grid.left = 2;
    }
    const int bottomRow = client.bottom - (grid.gap + grid.H);

    m_stock->m_rect = grid.Place(grid.Column(0), bottomRow);
    m_completed->m_rect = CRect(grid.Column(1), bottomRow, client.right, bottomRow + grid.H);
    for (int i = 0; i < columns; ++i) {
        const int x = grid.Column(i);
        // A column reaches down to the bottom row, so a tap anywhere in it counts.
        m_tableau[static_cast<size_t>(i)]->m_rect = CRect(x, grid.gap, x + grid.W, bottomRow);
        // Otherwise its last cards would lie over the stock and the
        // completed pile, out of the column's reach: a tap there would deal
        // a row.
        m_tableau[static_cast<size_t>(i)]->m_fitBottom = bottomRow;
    }
}

PressKind CSpider::PressKindAt(CCardPile* pile, CardPos pos) {
    if (pile->m_kind == PILE_STOCK) return pos ? PRESS_TAP : PRESS_NOTHING;
    if (pile->m_kind != PILE_TABLEAU || !pos) return PRESS_NOTHING;
    if (pos->IsFaceDown()) return PRESS_TAP;
    return IsRun(pos) ? PRESS_LIFT : PRESS_NOTHING;
}

void CSpider::Tap(CCardPile* pile, CardPos pos) {
    if (pile == m_stock) {
        DealRow();
        // The cards that came up, column by column, as the stock's turn in
        // Klondike tells its three.
        Announce(u"Dealt a row: " + TopCardsOfEach(m_tableau));
        return;
    }
    TurnUpTop(pile, pos, kFlipPoints);
}

CString CSpider::StatisticsName() const {
    switch (m_suitChoice) {
        case 1:
            return u"Spider, 2 suits";
        case 2:
            return u"Spider, 4 suits";
        default:
            return u"Spider, 1 suit";
    }
}

CString CSpider::PileName(int pile) {
    if (pile == PileIndex(m_completed)) return u"Completed suits";
    return CCardgame::PileName(pile);
}

bool CSpider::IsRun(CardPos pos) {
    if (!pos) return false;
    for (CardPos next = pos.Next(); next; pos = next, next = next.Next())
        if (!IsRankBelowInSuit(*next.Get(), *pos.Get())) return false;
    return true;
}

DropResult CSpider::CanDrop(CCardPile*, CCard* card, CCardPile* to, CCard* ref) {
    if (to->m_kind != PILE_TABLEAU) return DROP_REFUSED;
    return !ref || IsRankBelow(*card, *ref) ? DROP_PLACED : DROP_REFUSED;
}

void CSpider::DealRow() {
    bool dealt = false;
    for (CCardPile* column : m_tableau) {
        dealt = m_stock->MoveTopCards(column, true, 1) != nullptr || dealt;
        InvalidatePile(column);
    }
    InvalidatePile(m_stock);
    InvalidatePile(m_completed);
    // A move taken back across a row deal would move the dealt cards, not
    // the player's: the deal cannot be undone, nor anything before it.
    if (!dealt) return;
    CountAsPlayed();
    ClearUndo();
}

void CSpider::RemoveCompleteSuits() {
    bool allEmpty = true;
    for (CCardPile* column : m_tableau) {
        if (CardPos king = column->FindCompleteSuit()) {
            AddUndo(column->MoveRun(m_completed, king));
            // The suit may leave a column the drop did not touch.
            InvalidatePile(column);
            InvalidatePile(m_completed);
        }
        allEmpty = allEmpty && column->IsEmpty();
    }
    if (allEmpty && EndGame()) OnNewGame();
}

CString CSpider::Rules() const {
    return CString(kRules) + u"\n\n" + ClockRules();
}
