// Playing a card game with the keys, and the words a screen reader gets.
#include <cstdlib>
#include <limits>
#include <string_view>

#include "cards/cardgame.h"

namespace {
constexpr std::u16string_view kRanks[] = {u"ace",   u"two",  u"three", u"four", u"five",
                                          u"six",   u"seven", u"eight", u"nine", u"ten",
                                          u"jack",  u"queen", u"king"};
constexpr std::u16string_view kSuits[] = {u"clubs", u"diamonds", u"hearts", u"spades"};
// Not a card of any pile: the focus goes to the pile's top card.
constexpr int32_t kTopCard = -2;

CPoint Centre(const CRect& rect) {
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}
}  // namespace

CString CCardgame::CardName(const CCard& card) {
    // Put together piece by piece: every stock turn names its cards.
    const std::u16string_view rank = kRanks[card.Rank()], suit = kSuits[card.Suit()];
    constexpr std::u16string_view kOf = u" of ";
    CString name;
    name.reserve(rank.size() + kOf.size() + suit.size());
    return name.append(rank).append(kOf).append(suit);
}

CString CCardgame::ShortCardName(const CCard& card) {
    static constexpr const char* kShortRanks[] = {"A", "2", "3",  "4", "5", "6", "7",
                                                  "8", "9", "10", "J", "Q", "K"};
    static constexpr char16_t kSuitSigns[] = {u'\u2663', u'\u2666', u'\u2665', u'\u2660'};
    return FromUtf8(kShortRanks[card.Rank()]) + kSuitSigns[card.Suit()];
}

CString CCardgame::PileName(int index) {
    const CCardPile* pile = PileAt(index);
    if (!pile) return CString();
    // Numbered among the piles of its kind, in list order.
    int number = 0;
    for (const auto& other : m_piles) {
        if (other->m_kind == pile->m_kind) ++number;
        if (other.get() == pile) break;
    }
    switch (pile->m_kind) {
        case PILE_STOCK:
            return u"Stock";
        case PILE_WASTE:
            return u"Waste";
        case PILE_TABLEAU:
            return FormatString("Column %d", number);
        default:
            return FormatString("Foundation %d", number);
    }
}

CString CCardgame::PlaceWords(int index) {
    // A game's own name for a pile wins: Freecell's free cells are wastes
    // to the table, and read as "Free cell 2".
    const CString name = PileName(index);
    if (name == u"Stock") return u"the stock";
    if (name == u"Waste") return u"the waste";
    return name;
}

CString CCardgame::TopCardsWords(const CCardPile& pile, int count) {
    // The lowest of the top count cards first.
    const auto from = LowestOfTop(pile, count);
    CString words;
    for (auto it = from; it != pile.GetCards().end(); ++it) {
        if (it != from) words += u", ";
        words += CardName(**it);
    }
    return words;
}

CString CCardgame::TopCardsOfEach(std::span<CCardPile* const> piles) {
    CString words;
    for (const CCardPile* pile : piles)
        if (const CCard* top = pile->TopCard())
            words += (words.empty() ? u"" : u", ") + CardName(*top);
    return words;
}

CString CCardgame::FocusText() {
    const CardPlace place = Focus();
    CCardPile* pile = PileAt(place.pile);
    if (!pile) return CString();
    CString text = PileName(place.pile) + u": ";
    if (pile->IsEmpty()) return text + u"empty";
    if (pile->m_kind == PILE_STOCK)
        return text + FormatString(pile->GetCount() == 1 ? "%d card" : "%d cards", pile->GetCount());
    const CCard& card = *CardAt(pile, place.card).Get();
    text += ShowsFace(*pile, card) ? CardName(card) : CString(u"a card face down");
    const int above = pile->GetCount() - 1 - place.card;
    if (above > 0) text += FormatString(above == 1 ? ", %d card on it" : ", %d cards on it", above);
    int faceDown = 0;
    for (const auto& other : pile->GetCards()) faceDown += other->IsFaceDown() ? 1 : 0;
    if (pile->m_kind == PILE_TABLEAU && faceDown > 0)
        text +=
            FormatString(faceDown == 1 ? ", %d card face down" : ", %d cards face down", faceDown);
    if (Picked() && m_pick->pile == place.pile) text += u", picked up";
    return text;
}

CString CCardgame::RunWords(const DraggedRun& run, const CCardPile* target) {
    CString words = u"Moved the " + CardName(*run.m_card);
    if (run.m_count > 1) words += FormatString(" and %d more", run.m_count - 1);
    if (target->m_kind == PILE_FOUNDATION) return words + u" home";
    if (const CCard* top = target->TopCard()) return words + u" onto the " + CardName(*top);
    return words + u" to " + PileName(PileIndex(target));
}

CardPlace CCardgame::Focus() {
    // Worked out afresh each time and never written back, so that where the
    // focus goes never depends on whether a paint or a screen reader asked
    // for it in between: the top card stays the top card as the pile changes.
    const int piles = static_cast<int>(m_piles.size());
    if (piles == 0) return {};
    CardPlace focus = m_focus;
    focus.pile = std::clamp(focus.pile, 0, piles - 1);
    const std::vector<int> cards = FocusableCards(focus.pile);
    if (std::find(cards.begin(), cards.end(), focus.card) == cards.end())
        focus.card = cards.empty() ? -1 : cards.back();
    return focus;
}

std::optional<CardMove> CCardgame::Picked() {
    if (m_pick) {
        CCardPile* pile = PileAt(m_pick->pile);
        const CardPos pos = CardAt(pile, m_pick->card);
        if (!pos || pile->CountFrom(pos) != m_pick->count || PressKindAt(pile, pos) != PRESS_LIFT)
            m_pick.reset();
    }
    return m_pick;
}

CRect CCardgame::ShownRect(const CardPlace& place) {
    CCardPile* pile = PileAt(place.pile);
    if (!pile) return CRect();
    const CardPos pos = CardAt(pile, place.card);
    if (!pos) return pile->PlaceRect();
    CRect rect = pos->m_rect;
    if (pile->m_kind == PILE_TABLEAU && pos.Next())
        rect.bottom = std::min(rect.bottom, pos.Next()->m_rect.top);
    return rect;
}

CRect CCardgame::FocusRect() {
    // A pile that runs past the view's edge (Spider's completed suits on a
    // narrow table) has its frame moved in to the edge, round the last of
    // it in sight, so that it shows whole. It stays on its pile, which is
    // repainted whenever its cards change.
    const CardPlace focus = Focus();
    CRect rect = ShownRect(focus);
    CCardPile* pile = PileAt(focus.pile);
    CRect inSight;
    if (!pile || !inSight.IntersectRect(pile->Extent(), ClientRect())) return rect;
    rect.OffsetRect(std::max(std::min(0, inSight.right - rect.right), inSight.left - rect.left),
                    std::max(std::min(0, inSight.bottom - rect.bottom), inSight.top - rect.top));
    return rect;
}

CRect CCardgame::PickRect() {
    if (!Picked()) return CRect();
    CCardPile* pile = PileAt(m_pick->pile);
    CRect rect;
    for (CardPos pos = CardAt(pile, m_pick->card); pos; pos = pos.Next())
        rect.UnionRect(rect, pos->m_rect);
    return rect;
}

void CCardgame::MoveFocusTo(CardPlace place) {
    m_focus = place;
}

void CCardgame::MoveFocusToTopOf(const CCardPile* pile) {
    m_focus = {PileIndex(pile), kTopCard};
}

void CCardgame::MoveFocusToPoint(CPoint point) {
    for (const auto& pile : m_piles)
        if (const std::optional<CardPos> hit = pile->HitTest(point)) {
            const bool card = pile->m_kind == PILE_TABLEAU && *hit;
            m_focus = {PileIndex(pile.get()), card ? CardIndex(pile.get(), *hit) : kTopCard};
            return;
        }
}

void CCardgame::MoveFocusAcross(int dx, int dy) {
    const CardPlace focus = Focus();
    const CRect from = ShownRect(focus);
    const CRect fromExtent = PileAt(focus.pile)->Extent();
    const CPoint centre = Centre(from);
    const int piles = static_cast<int>(m_piles.size());
    int best = -1;
    std::pair<bool, long> bestCost{true, std::numeric_limits<long>::max()};
    for (int p = 0; p < piles; ++p) {
        if (p == focus.pile) continue;
        const std::vector<int> cards = FocusableCards(p);
        const CRect rect = ShownRect({p, cards.empty() ? -1 : cards.back()});
        const CRect extent = PileAt(p)->Extent();
        const CPoint to = Centre(rect);
        // Only a pile past the focused card lies that way (by no more than
        // a third of the card into it, as Spider's columns overlap on a
        // narrow table): a column that starts beside the focused card is
        // beside it, not below, however far down its top card lies.
        const bool past = dx > 0   ? rect.left >= from.right - from.Width() / 3
                          : dx < 0 ? rect.right <= from.left + from.Width() / 3
                          : dy > 0 ? extent.top >= from.bottom - from.Height() / 3
                                   : rect.bottom <= from.top + from.Height() / 3;
        if (!past) continue;
        // The nearest pile in line goes first: across, one in the same row
        // (the next column, longer or shorter, or the next pile of the top
        // row); up or down, one whose cards lie over or under the focused
        // card by a third of it or more (not the longest column beside it).
        // Else the nearest, straight ahead before aside.
        const long along = dx ? std::labs(to.x - centre.x) : std::labs(to.y - centre.y);
        const long aside = dx ? std::labs(to.y - centre.y) : std::labs(to.x - centre.x);
        const long overlap = std::min(extent.right, from.right) - std::max(extent.left, from.left);
        const bool inLine = dx ? extent.top < fromExtent.bottom && fromExtent.top < extent.bottom
                               : 3 * overlap >= from.Width();
        const std::pair<bool, long> cost{!inLine, inLine ? along : along + 2 * aside};
        if (cost < bestCost) {
            bestCost = cost;
            best = p;
        }
    }
    if (best >= 0) MoveFocusTo({best, kTopCard});
}

void CCardgame::OnKeyDown(unsigned key, unsigned flags) {
    if (m_dragging) {
        // The stylus has the table; Escape puts what it holds back.
        DraggedRun run;
        if (key == VK_ESCAPE && EndDrag(&run))
            Announce(u"Put back " + RunNamed(*run.m_card, run.m_count));
        return;
    }
    if (key == VK_H) {
        OnHint();
        return;
    }
    HideHint();
    ShowTableAsPainted();
    BeginFocusChange();
    ShowFocus();
    const int piles = static_cast<int>(m_piles.size());
    const CardPlace focus = Focus();
    const std::vector<int> cards = FocusableCards(focus.pile);
    const auto at = std::find(cards.begin(), cards.end(), focus.card);
    const bool holding = Picked().has_value();
    switch (key) {
        case VK_TAB: {
            const int step = flags & MK_SHIFT ? piles - 1 : 1;
            MoveFocusTo({(focus.pile + step) % piles, kTopCard});
            break;
        }
        case VK_LEFT:
            MoveFocusAcross(-1, 0);
            break;
        case VK_RIGHT:
            MoveFocusAcross(1, 0);
            break;
        case VK_UP:
            // Up a column's cards first, then to the pile above. A run picked
            // up goes onto a pile as a whole, so then (and for Down) straight
            // to the next pile.
            if (!holding && at != cards.end() && at != cards.begin())
                MoveFocusTo({focus.pile, *(at - 1)});
            else
                MoveFocusAcross(0, -1);
            break;
        case VK_DOWN:
            if (!holding && at != cards.end() && at + 1 != cards.end())
                MoveFocusTo({focus.pile, *(at + 1)});
            else
                MoveFocusAcross(0, 1);
            break;
        case VK_RETURN:
        case VK_SPACE:
            PressFocused(key == VK_RETURN && (flags & MK_SHIFT));
            // A card the move uncovers is turned up now, not at the paint, so
            // that the focus is told once, with the card it now shows.
            ShowTableAsPainted();
            EndFocusChange();
            AfterMove();
            return;
        case VK_ESCAPE:
            if (Picked()) Announce(u"Put back " + PickedWords());
            m_pick.reset();
            break;
        default:
            break;
    }
    EndFocusChange();
}

CString CCardgame::RunNamed(const CCard& card, int count) {
    return u"the " + CardName(card) +
           (count > 1 ? FormatString(" and %d more", count - 1) : CString());
}

CString CCardgame::PickedWords() {
    return RunNamed(*CardAt(PileAt(m_pick->pile), m_pick->card).Get(), m_pick->count);
}

void CCardgame::PressFocused(bool doubleTap) {
    if (m_gameOver) return;
    const CardPlace focus = Focus();
    CCardPile* pile = PileAt(focus.pile);
    const CardPos pos = CardAt(pile, focus.card);
    if (doubleTap) {
        m_pick.reset();
        if (SendsHome(pile, pos)) {
            MakePlayersMove({MOVE_HOME, focus.pile, focus.card, 1, -1});
            return;
        }
        StartClock();
        SelectCard(pile, pos);
        if (!DoubleTap(pile, pos) && pos && ShowsFace(*pile, *pos.Get()))
            Announce(u"The " + CardName(*pos.Get()) + u" cannot go home");
        return;
    }
    if (Picked()) {
        if (m_pick->pile == focus.pile) {
            Announce(u"Put back " + PickedWords());
            m_pick.reset();
            return;
        }
        CardMove drop = *m_pick;
        drop.to = focus.pile;
        if (MakePlayersMove(drop)) {
            m_pick.reset();
            m_focus = {drop.to, kTopCard};  // on the cards that moved
        } else {
            Announce(u"The " + CardName(*CardAt(PileAt(drop.pile), drop.card).Get()) +
                     u" cannot go there");
        }
        return;
    }
    StartClock();
    switch (PressKindAt(pile, pos)) {
        case PRESS_TAP:
            MakePlayersMove({MOVE_TAP, focus.pile, focus.card, pos ? 1 : 0, -1});
            break;
        case PRESS_LIFT:
            m_pick = CardMove{MOVE_RUN, focus.pile, focus.card, pile->GetCount() - focus.card, -1};
            Announce(u"Picked up " + PickedWords());
            break;
        default:
            if (pos && ShowsFace(*pile, *pos.Get())) Announce(WhyNotPressed(pile, pos));
            break;
    }
}
