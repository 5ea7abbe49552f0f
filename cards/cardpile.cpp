#include "cards/cardpile.h"

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

#include "cards/card_images.h"
#include "platform/host.h"
#include "platform/random.h"

const CBitmap& CCard::Image() const {
    const CCardImages& images = CardImages();
    return IsFaceDown() ? images.m_bmCardBack : images.Face(m_index);
}

void CCard::DrawCard(CDC* dc, PaintedArea* painted, const CCard* next) const {
    if (!dc->RectVisible(m_rect)) return;  // nothing of it to paint
    if (!next) {
        DrawCardImage(dc, Image(), m_rect.left, m_rect.top, painted);
        return;
    }
    const CSize shown = ShownUnder(m_rect, next->m_rect, next->Image());
    DrawCardImage(dc, Image(), m_rect.left, m_rect.top, painted, &shown);
}

void CUndoMove::Undo() {
    switch (m_kind) {
        case UNDO_MOVE_RUN:
            if (!m_from || !m_to || m_count <= 0) break;
            CoverAgain();
            m_to->MoveRun(m_from, m_to->FromTop(m_count - 1));
            break;
        case UNDO_FLIP:
            if (m_from && m_from->TopCard()) m_from->TopCard()->m_state = CARD_FACEDOWN;
            break;
        case UNDO_MOVE_TOP:
            // Moving them one by one again restores their order.
            if (!m_from || !m_to) break;
            CoverAgain();
            m_to->MoveTopCards(m_from, true, m_count);
            break;
        default:
            break;
    }
}

CCardPile::CCardPile(PileKind kind)
    : m_kind(kind),
      m_faceDownStep(CardImages().m_cardFaceDownStep),
      m_faceUpStep(kind == PILE_WASTE ? CardImages().m_cardWasteStep
                                      : CardImages().m_cardFaceUpStep) {}

CardPos CCardPile::FromTop(int n) {
    CardPos pos = Top();
    for (int i = 0; i < n && pos; ++i) pos = pos.Prev();
    return n < 0 ? CardPos() : pos;
}

int CCardPile::CountFrom(CardPos pos) const {
    if (!pos.In(m_cards)) return 0;
    int count = 0;
    for (; pos; pos = pos.Next()) ++count;
    return count;
}

CCard* CCardPile::AddCard(std::unique_ptr<CCard> card) {
    if (!card) return nullptr;
    m_cards.push_back(std::move(card));
    return m_cards.back().get();
}

void CCardPile::BuildDeck(int decks, int suitMask, int excludedRank) {
    Clear();
    for (int deck = 0; deck < decks; ++deck) {
        for (int index = 0; index < CARD_COUNT; ++index) {
            if (index % 13 == excludedRank) continue;
            if (!(suitMask & (1 << (index / 13)))) continue;
            m_cards.push_back(std::make_unique<CCard>(index));
        }
    }
}

void CCardPile::Shuffle() {
    runtime::SeedNewDeal();
    const int passes = runtime::rand() % 7 + 1;
    // The cards stay in their nodes; only the pointers change places.
    std::vector<Cards::iterator> nodes;
    for (auto it = m_cards.begin(); it != m_cards.end(); ++it) nodes.push_back(it);
    const int count = static_cast<int>(nodes.size());
    if (count == 0) return;
    for (int pass = 0; pass < passes; ++pass) {
        for (int p = 0; p < count; ++p) {
            const int r = runtime::rand() % count;
            std::swap(*nodes[static_cast<size_t>(p)], *nodes[static_cast<size_t>(r)]);
        }
    }
}

void CCardPile::Clear() {
    while (!m_cards.empty()) m_cards.pop_back();
}

void CUndoMove::CoverAgain() {
    if (m_uncoveredFaceDown && m_from->TopCard()) m_from->TopCard()->m_state |= CARD_FACEDOWN;
}

std::unique_ptr<CUndoMove> CCardPile::Moved(UndoKind kind, int count, CCardPile* dest) {
    auto move = std::make_unique<CUndoMove>(kind, count, this, dest);
    move->m_uncoveredFaceDown = m_kind == PILE_TABLEAU && TopCard() && TopCard()->IsFaceDown();
    return move;
}

std::unique_ptr<CUndoMove> CCardPile::MoveTopCards(CCardPile* dest, bool faceUp, int n) {
    if (m_cards.empty() || !dest || dest == this) return nullptr;
    int moved = 0;
    while (!m_cards.empty() && moved < n) {
        std::unique_ptr<CCard> card = std::move(m_cards.back());
        m_cards.pop_back();
        card->m_state = faceUp ? CARD_FACEUP : CARD_FACEDOWN;
        dest->m_cards.push_back(std::move(card));
        ++moved;
    }
    // A record of no move would make an undo step that does nothing.
    if (moved == 0) return nullptr;
    if (!m_cards.empty() && m_kind == PILE_WASTE) m_cards.back()->m_state = CARD_FACEUP;
    return Moved(UNDO_MOVE_TOP, moved, dest);
}

std::unique_ptr<CUndoMove> CCardPile::MoveRun(CCardPile* dest, CardPos pos) {
    if (m_cards.empty() || !pos.In(m_cards) || !dest || dest == this) return nullptr;
    int moved = 0;
    for (auto it = pos.Node(); it != m_cards.end();) {
        dest->m_cards.push_back(std::move(*it));
        it = m_cards.erase(it);
        ++moved;
    }
    return Moved(UNDO_MOVE_RUN, moved, dest);
}

void CCardPile::FitFan(int bottom) {
    const CCardImages& images = CardImages();
    int faceUp = 0, faceDown = 0;  // below the top card, whose own step is not used
    for (auto it = m_cards.begin(); it != m_cards.end() && std::next(it) != m_cards.end(); ++it)
        ++((*it)->IsFaceDown() ? faceDown : faceUp);
    m_faceUpStep = images.m_cardFaceUpStep;
    if (faceUp == 0) return;
    const int room = bottom - m_rect.top - images.m_cardHeight - faceDown * m_faceDownStep;
    m_faceUpStep = std::clamp(room / faceUp, std::min(m_faceDownStep, m_faceUpStep), m_faceUpStep);
}

void CCardPile::SetAllStates(uint32_t state) {
    for (const auto& card : m_cards) card->m_state = state;
}

CardPos CCardPile::FindCompleteSuit() {
    const CCard* top = TopCard();
    if (!top || !top->IsAce()) return {};
    int expected = top->m_index;
    for (CardPos pos = Top(); pos; pos = pos.Prev()) {
        if (pos->IsFaceDown() || pos->m_index != expected) return {};
        if (expected == top->m_index + 12) return pos;
        ++expected;
    }
    return {};
}

std::optional<CardPos> CCardPile::HitTest(CPoint point) {
    if (!m_rect.PtInRect(point)) return std::nullopt;
    if (m_kind != PILE_TABLEAU) return Top();
    // The topmost face-up card under the point; over face-down cards or
    // below the cards, the top card.
    bool found = false;
    CardPos previous;
    for (CardPos pos = Bottom(); pos; pos = pos.Next()) {
        const bool under = pos->m_rect.PtInRect(point);
        if (found && !under) return previous;
        if (under && !pos->IsFaceDown()) found = true;
        previous = pos;
    }
    return Top();
}

CRect CCardPile::PlaceRect() const {
    const CCardImages& images = CardImages();
    return CRect(m_rect.left, m_rect.top, m_rect.left + images.m_cardWidth,
                 m_rect.top + images.m_cardHeight);
}

bool CCardPile::ShowsAt(CPoint point) const {
    if (PlaceRect().PtInRect(point)) return true;
    for (const auto& card : m_cards) {
        if (card->m_state & CARD_DRAGGED) break;
        if (card->m_rect.PtInRect(point)) return true;
    }
    return false;
}

CRect CCardPile::LayoutCards() {
    if (m_fitBottom) FitFan(m_fitBottom);
    const CCardImages& images = CardImages();
    int x = m_rect.left, y = m_rect.top;
    for (const auto& card : m_cards) {
        card->m_rect = CRect(x, y, x + images.m_cardWidth, y + images.m_cardHeight);
        if (m_kind == PILE_WASTE) {
            x += card->IsFaceDown() ? 0 : m_faceUpStep;
        } else if (m_kind == PILE_TABLEAU) {
            y += card->IsFaceDown() ? m_faceDownStep : m_faceUpStep;
        }
    }
    CRect extent = PlaceRect();
    if (!m_cards.empty()) extent.UnionRect(extent, m_cards.back()->m_rect);
    return extent;
}

CRect CCardPile::Extent() const {
    CRect extent = PlaceRect();
    for (const auto& card : m_cards) extent.UnionRect(extent, card->m_rect);
    return extent;
}

const CBitmap& CCardPile::PlaceImage() const {
    return m_showDeal ? CardImages().m_bmCardDeal : CardImages().m_bmCardEmpty;
}

void CCardPile::DrawPile(CDC* dc, PaintedArea* painted, const CRect* extent) {
    const CCardImages& images = CardImages();
    const int x = m_rect.left, y = m_rect.top;
    if (m_cards.empty()) {
        DrawCardImage(dc, PlaceImage(), x, y, painted);
        return;
    }
    const bool bottomDragged = (m_cards.front()->m_state & CARD_DRAGGED) != 0;
    ShowTopAsPainted();
    // A pile wholly outside the clip region has nothing to paint.
    if (!dc->RectVisible(extent ? *extent : Extent())) return;
    switch (m_kind) {
        case PILE_STOCK:
            DrawCardImage(dc, images.m_bmCardBack, x, y, painted);
            break;
        case PILE_WASTE:
            if (bottomDragged) {
                DrawCardImage(dc, PlaceImage(), x, y, painted);
                break;
            }
            // Faces always: face down only keeps a waste card out of the fan.
            // Each card shows only where the next one painted leaves it.
            for (auto it = m_cards.begin(); it != m_cards.end(); ++it) {
                const CCard& card = **it;
                if (card.m_state & CARD_DRAGGED) continue;
                auto next = std::next(it);
                while (next != m_cards.end() && ((*next)->m_state & CARD_DRAGGED)) ++next;
                const CBitmap& face = images.Face(card.m_index);
                if (next == m_cards.end()) {
                    DrawCardImage(dc, face, card.m_rect.left, card.m_rect.top, painted);
                    continue;
                }
                const CSize shown =
                    ShownUnder(card.m_rect, (*next)->m_rect, images.Face((*next)->m_index));
                DrawCardImage(dc, face, card.m_rect.left, card.m_rect.top, painted, &shown);
            }
            break;
        case PILE_TABLEAU:
            if (bottomDragged) {
                DrawCardImage(dc, PlaceImage(), x, y, painted);
                break;
            }
            for (auto it = m_cards.begin(); it != m_cards.end(); ++it) {
                if ((*it)->m_state & CARD_DRAGGED) break;
                // The next card, unless it is out with the run being dragged.
                const auto next = std::next(it);
                const bool covered = next != m_cards.end() && !((*next)->m_state & CARD_DRAGGED);
                (*it)->DrawCard(dc, painted, covered ? next->get() : nullptr);
            }
            break;
        case PILE_FOUNDATION: {
            const CCard* top = m_cards.back().get();
            if (!(top->m_state & CARD_DRAGGED)) {
                DrawCardImage(dc, images.Face(top->m_index), x, y, painted);
            } else if (m_cards.size() > 1) {
                DrawCardImage(dc, images.Face(std::prev(m_cards.end(), 2)->get()->m_index), x, y,
                              painted);
            } else {
                DrawCardImage(dc, PlaceImage(), x, y, painted);
            }
            break;
        }
        default:
            break;
    }
}

void CCardPile::ShowTopAsPainted() {
    // The top card of a column always lies face up, painted or not (in
    // sight or not).
    if (m_kind == PILE_TABLEAU && !m_cards.empty() && !(m_cards.front()->m_state & CARD_DRAGGED))
        m_cards.back()->m_state &= ~CARD_FACEDOWN;
}

void CCardPile::DrawDragged(CDC* dc, int dx, int dy, PaintedArea* painted) const {
    const CCardImages& images = CardImages();
    bool inRun = false;
    for (auto it = m_cards.begin(); it != m_cards.end(); ++it) {
        const CCard& card = **it;
        inRun = inRun || (card.m_state & CARD_DRAGGED);
        if (!inRun) continue;
        const CBitmap& face = images.Face(card.m_index);
        const auto next = std::next(it);
        if (next == m_cards.end()) {
            DrawCardImage(dc, face, card.m_rect.left - dx, card.m_rect.top - dy, painted);
            continue;
        }
        // The run moves as a whole, so the next card covers this one as in the pile.
        const CSize shown = ShownUnder(card.m_rect, (*next)->m_rect, images.Face((*next)->m_index));
        DrawCardImage(dc, face, card.m_rect.left - dx, card.m_rect.top - dy, painted, &shown);
    }
}
