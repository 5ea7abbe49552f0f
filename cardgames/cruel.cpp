#include "cardgames/cruel.h"

#include <algorithm>

#include "cards/card_grid.h"

namespace {
constexpr int kPileSize = 4;
constexpr int kFlipPoints = 5;
// How the game is played, as the Rules dialog shows it.
constexpr const char16_t* kRules =
    u"Goal: build the four foundations up by suit from the aces, which start at home.\n\n"
    u"The deal: the other 48 cards lie in twelve squared piles of four, only the top card of "
    u"each face up.\n\n"
    u"Play: one top card at a time goes onto the next higher card of its suit, or home; only a"
    u" king goes onto an empty pile. A foundation's top card may be taken back. A face-down "
    u"card left on top of a pile turns up by itself. Tap DEAL (the stock) at any time: it "
    u"gathers the piles in order and deals them out again in fours, as often as you like, and "
    u"the moves before it can no longer be undone.\n\n"
    u"Score: 10 points for a card sent home; a card taken off a foundation gives its 10 "
    u"back.\n\n"
    u"The end: the game is won when all 52 cards are home.";
}  // namespace

CCruel::CCruel(CHiScoresDlg* hiScores) {
    m_title = u"Cruel";
    m_hiScores = hiScores;
    m_bkColour = RGB(127, 0, 0);
    m_stock = AddPile(PILE_STOCK);
    // Squared piles: only the top card shows.
    for (CCardPile*& pile : m_tableau) {
        pile = AddPile(PILE_TABLEAU);
        pile->m_faceDownStep = pile->m_faceUpStep = 0;
    }
    for (CCardPile*& foundation : m_foundation) {
        foundation = AddPile(PILE_FOUNDATION);
        foundation->m_faceDownStep = foundation->m_faceUpStep = 0;
    }
    m_firstFoundationPos = PilePosOf(m_foundation[0]);
}

void CCruel::OnNewGame() {
    ClearAllPiles();
    m_stock->BuildDeck(1, 15, 0);  // no aces: they start at home
    m_stock->SetAllStates(CARD_FACEUP);
    m_stock->Shuffle();
    m_stock->m_showDeal = 1;  // the empty stock is the redeal button
    for (size_t suit = 0; suit < m_foundation.size(); ++suit)
        m_foundation[suit]->AddCard(std::make_unique<CCard>(static_cast<int32_t>(13 * suit)));
    for (CCardPile* pile : m_tableau) {
        for (int i = 0; i < kPileSize; ++i)
            m_stock->MoveTopCards(pile, false, 1);  // dealing is not undone
        pile->TopCard()->m_state = CARD_FACEUP;
    }
    ResetGame();
}

void CCruel::OnSize(unsigned type, int cx, int cy) {
    CCardgame::OnSize(type, cx, cy);
    const CardGrid grid(ClientRect(), 6);
    const int rowStep = grid.gap + grid.H;
    // Top row: the stock, an empty column, the four foundations.
    m_stock->m_rect = grid.Place(grid.Column(0), grid.gap);
    for (size_t i = 0; i < m_foundation.size(); ++i)
        m_foundation[i]->m_rect = grid.Place(grid.Column(2 + static_cast<int>(i)), grid.gap);
    // Two rows of six piles below it.
    for (size_t i = 0; i < m_tableau.size(); ++i) {
        const int row = i < 6 ? 1 : 2;
        m_tableau[i]->m_rect =
            grid.Place(grid.Column(static_cast<int>(i % 6)), grid.gap + row * rowStep);
    }
}

PressKind CCruel::PressKindAt(CCardPile* pile, CardPos pos) {
    switch (pile->m_kind) {
        case PILE_STOCK:
            return PRESS_TAP;
        case PILE_TABLEAU:
            if (!pos) return PRESS_NOTHING;
            return pos->IsFaceDown() ? PRESS_TAP : PRESS_LIFT;
        case PILE_FOUNDATION:  // its top card may be taken back
            return pos ? PRESS_LIFT : PRESS_NOTHING;
        default:
            return PRESS_NOTHING;
    }
}

void CCruel::Tap(CCardPile* pile, CardPos pos) {
    if (pile == m_stock) {
        Redeal();
        Announce(u"Dealt the piles again: " + TopCardsOfEach(m_tableau));
        return;
    }
    TurnUpTop(pile, pos, kFlipPoints);
}

CString CCruel::FocusText() {
    if (Focus().pile == PileIndex(m_stock)) return u"Redeal";
    return CCardgame::FocusText();
}

CString CCruel::PileName(int pile) {
    if (pile == PileIndex(m_stock)) return u"Redeal";
    const int first = PileIndex(m_tableau[0]);
    if (pile >= first && pile < first + static_cast<int>(m_tableau.size()))
        return FormatString("Pile %d", pile - first + 1);
    return CCardgame::PileName(pile);
}

void CCruel::Redeal() {
    CountAsPlayed();
    LayOut(CountsAfterRedeal());
    // The records name piles whose cards have all moved: taking one back now
    // would move some other card.
    ClearUndo();
}

CCruel::PileCounts CCruel::CountsNow() const {
    PileCounts counts{};
    for (size_t i = 0; i < m_tableau.size(); ++i) counts[i] = m_tableau[i]->GetCount();
    return counts;
}

CCruel::PileCounts CCruel::CountsAfterRedeal() const {
    // The cards keep their order through a redeal, so the piles' sizes
    // alone tell how it lays them out.
    int left = 0;
    for (const CCardPile* pile : m_tableau) left += pile->GetCount();
    PileCounts counts{};
    for (size_t i = 0; i < counts.size(); ++i) {
        counts[i] = i + 1 == counts.size() ? left : std::min(kPileSize, left);
        left -= counts[i];
    }
    return counts;
}

void CCruel::LayOut(const PileCounts& counts) {
    // Gathered pile by pile, bottom to top, keeping every card's state.
    CCardPile gathered(PILE_STOCK);
    for (CCardPile* pile : m_tableau) pile->MoveRun(&gathered, pile->Bottom());
    // Dealt back from the last pile: handing out from the back keeps the
    // order whole.
    for (size_t i = m_tableau.size(); i-- > 0;) {
        if (counts[i] > 0) gathered.MoveRun(m_tableau[i], gathered.FromTop(counts[i] - 1));
        InvalidatePile(m_tableau[i]);
    }
}

bool CCruel::IsRedeal(const CardMove& move) const {
    return move.kind == MOVE_TAP && move.pile == PileIndex(m_stock);
}

std::optional<bool> CCruel::ProgressUntried(const CardMove& move) {
    if (IsRedeal(move)) return RedealChanges();
    return std::nullopt;
}

bool CCruel::WithUntriedLaidOut(const CardMove& move, const std::function<void()>& laidOut) {
    if (!IsRedeal(move)) return false;
    if (!laidOut) return true;
    const PileCounts lying = CountsNow();
    LayOut(CountsAfterRedeal());
    laidOut();
    LayOut(lying);
    return true;
}

DropResult CCruel::CanDrop(CCardPile*, CCard* card, CCardPile* to, CCard* ref) {
    switch (to->m_kind) {
        case PILE_TABLEAU:
            // Down in suit; only a king opens an empty pile.
            if (ref) return IsRankBelowInSuit(*card, *ref) ? DROP_PLACED : DROP_REFUSED;
            return card->IsKing() ? DROP_PLACED : DROP_REFUSED;
        case PILE_FOUNDATION:
            return IsFoundationNext(*card, ref) ? DROP_HOME : DROP_REFUSED;
        default:
            return DROP_REFUSED;
    }
}

CString CCruel::Rules() const {
    return CString(kRules) + u"\n\n" + ClockRules();
}
