// Help at a card table: the hint, calling a stuck game over, and the cards
// going home by themselves at the end.
#include <algorithm>
#include <chrono>
#include <string_view>

#include "cards/cardgame.h"
#include "platform/host.h"
#include "res/resource.h"

namespace {
// The order a hint prefers its moves in; HINT_NEVER is never suggested.
enum HintRank : int {
    HINT_HOME,
    HINT_UNCOVER,
    HINT_ONTO_TABLE,
    HINT_RUN,
    HINT_FREE_CELL,
    HINT_STOCK,
    HINT_SHUTTLE,
    HINT_TAKE_BACK,
    HINT_NEVER,
};
// How long a hint waits for the search of the table to end: its winning
// line makes the best hint, and most searches end within it.
constexpr std::chrono::milliseconds kHintWaitForSearch{1000};
}  // namespace

bool CCardgame::UndoesLastMove(const CardMove& move) const {
    if (m_undoList.empty() || move.kind != MOVE_RUN) return false;
    const CUndoMove& last = *m_undoList.back();
    return last.m_kind != UNDO_FLIP && PileIndex(last.m_to) == move.pile &&
           PileIndex(last.m_from) == move.to && last.m_count == move.count;
}

int CCardgame::HintRank(const CardMove& move) {
    CCardPile* pile = PileAt(move.pile);
    const CardPos pos = CardAt(pile, move.card);
    switch (move.kind) {
        case MOVE_HOME:
            return HINT_HOME;
        case MOVE_TAP:
            if (pile->m_kind == PILE_STOCK) return HINT_STOCK;
            return pos && pos->IsFaceDown() ? HINT_UNCOVER : HINT_HOME;  // Golf plays a card
        case MOVE_RUN:
            break;
    }
    CCardPile* target = PileAt(move.to);
    if (UndoesLastMove(move)) return HINT_NEVER;
    if (pile->m_kind == PILE_FOUNDATION)
        return target->m_kind != PILE_FOUNDATION && CardAwayFromHomeGoesOnto(target, pos.Get())
                   ? HINT_TAKE_BACK
                   : HINT_NEVER;
    if (target->m_kind == PILE_FOUNDATION) return HINT_HOME;
    if (pile->m_kind != PILE_TABLEAU)
        return target->m_kind == PILE_TABLEAU ? HINT_ONTO_TABLE : HINT_NEVER;
    const CardPos below = pos.Prev();
    if (!below) {
        if (target->m_kind != PILE_TABLEAU) return HINT_FREE_CELL;
        return target->IsEmpty() ? HINT_NEVER : HINT_UNCOVER;
    }
    if (below->IsFaceDown() || FoundationFor(*below.Get())) return HINT_UNCOVER;
    if (target->m_kind != PILE_TABLEAU) return HINT_FREE_CELL;
    // A run that already lies on a card it may go onto only changes places.
    return CanDrop(pile, pos.Get(), pile, below.Get()) ? HINT_SHUTTLE : HINT_RUN;
}

bool CCardgame::CardAwayFromHomeGoesOnto(CCardPile* target, CCard* card) {
    // A card taken back from home helps only if a card that is not at home
    // may go onto it: in Cruel, built down in suit, the one that could is.
    for (const auto& pile : m_piles)
        if (pile->m_kind != PILE_FOUNDATION)
            for (const auto& other : pile->GetCards())
                if (CanDrop(pile.get(), other.get(), target, card) == DROP_PLACED) return true;
    return false;
}

class CCardgame::QuietTries {
public:
    explicit QuietTries(CCardgame& game)
        : m_game(game),
          m_pick(game.m_pick),
          m_sel(game.m_sel),
          m_startTick(game.m_startTick),
          m_decayTick(game.m_decayTick),
          m_redo(std::move(game.m_redoList)) {
        // An undo lays a waste's fan out its own way: the faces come back too.
        for (const auto& pile : game.m_piles)
            for (const auto& card : pile->GetCards()) m_states.push_back(card->m_state);
        game.m_redoList.clear();
        game.m_pick.reset();
        game.m_quiet = true;
    }
    ~QuietTries() {
        m_game.m_quiet = false;
        m_game.m_redoList = std::move(m_redo);
        auto state = m_states.begin();
        for (const auto& pile : m_game.m_piles)
            for (const auto& card : pile->GetCards()) card->m_state = *state++;
        m_game.m_pick = m_pick;
        m_game.m_sel = m_sel;
        m_game.m_startTick = m_startTick;  // a try is no first action
        m_game.m_decayTick = m_decayTick;
    }
    QuietTries(const QuietTries&) = delete;
    QuietTries& operator=(const QuietTries&) = delete;

private:
    CCardgame& m_game;
    const std::optional<CardMove> m_pick;
    const CardSelection m_sel;
    const uint32_t m_startTick, m_decayTick;
    std::vector<RedoStep> m_redo;  // what the player may redo stays theirs
    std::vector<uint32_t> m_states;
};

int CCardgame::TimesHintedAfter(const CardMove& move) {
    const auto times = [this] {
        const auto hinted = m_hintedTables.find(TableKey());
        return hinted == m_hintedTables.end() ? 0 : hinted->second;
    };
    if (const std::optional<bool> untried = ProgressUntried(move)) {
        if (!*untried) return times();
        int hinted = 0;
        WithUntriedLaidOut(move, [&] { hinted = times(); });
        return hinted;
    }
    const size_t records = m_undoList.size();
    if (!MakeMove(move)) return 0;
    const int hinted = times();
    while (m_undoList.size() > records) OnUndo();
    return hinted;
}

std::optional<CardMove> CCardgame::SuggestedMove() {
    const std::vector<CardMove> moves = LegalMoves();
    if (const std::optional<CardMove> winning = WinningMove())
        if (std::find(moves.begin(), moves.end(), *winning) != moves.end()) return winning;
    // On along the way out of a circle the last hint found, while the
    // tables are those it went through.
    if (!m_wayOut.empty()) {
        const LineStep step = m_wayOut.front();
        m_wayOut.erase(m_wayOut.begin());
        if (step.table == TableKey() &&
            std::find(moves.begin(), moves.end(), step.move) != moves.end())
            return step.move;
        m_wayOut.clear();
    }
    std::vector<std::pair<int, CardMove>> ranked;
    for (const CardMove& move : moves)
        if (const int rank = HintRank(move); rank < HINT_NEVER) ranked.emplace_back(rank, move);
    if (ranked.empty()) return std::nullopt;
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QuietTries quiet(*this);
    std::vector<int> timesHinted;
    for (const auto& [rank, move] : ranked) {
        timesHinted.push_back(TimesHintedAfter(move));
        if (timesHinted.back() == 0) return move;
    }
    // Every move leads back to a table hinted on: the first, best first,
    // from which the stuck test's search, given longer, finds a card home
    // or turned up, so that the hints lead out of the circle. When it
    // tries every table there is and finds none, the game is stuck.
    const int root = ProgressMeasure();
    std::set<std::string> seen{TableKey()};
    int budget = kHintSearchBudget;
    for (const auto& [rank, move] : ranked) {
        std::vector<LineStep> line;
        if (FindsProgress(root, {move}, seen, budget, &line)) {
            m_wayOut.assign(line.begin() + 1, line.end());
            return move;
        }
    }
    m_hintFoundStuck = budget > 0;
    // None found within the search's reach: the move to the table hinted on
    // least, so that the hints go round every way there is, until each has
    // come round kHintRounds times.
    const size_t least =
        std::min_element(timesHinted.begin(), timesHinted.end()) - timesHinted.begin();
    if (!m_hintFoundStuck && timesHinted[least] >= kHintRounds) {
        m_hintGoesRound = true;
        return std::nullopt;
    }
    return ranked[least].second;
}

CGameView::HintText CCardgame::MoveWords(const CardMove& move) {
    CCardPile* pile = PileAt(move.pile);
    const CardPos pos = CardAt(pile, move.card);
    if (move.kind == MOVE_TAP) {
        if (pile->m_kind != PILE_STOCK) {
            if (pos->IsFaceDown())
                return {u"turn up the top card of " + PileName(move.pile),
                        u"turn up " + PileName(move.pile)};
            HintText words{u"play the " + CardName(*pos.Get()) + u" from " + PlaceWords(move.pile),
                           u"play " + ShortCardName(*pos.Get())};
            const CCardPile* target = TapTarget(pile);
            if (const CCard* onto = target ? target->TopCard() : nullptr) {
                words.said += u" onto the " + CardName(*onto);
                words.shown += u" onto " + ShortCardName(*onto);
            }
            return words;
        }
        if (!pile->IsEmpty()) return {u"deal from the stock", u"deal from the stock"};
        // An empty stock that still taps turns the waste over, or redeals.
        for (const auto& other : m_piles)
            if (other->m_kind == PILE_WASTE && !other->IsEmpty())
                return {u"turn the waste over", u"turn the waste over"};
        return {u"deal the piles again", u"deal the piles again"};
    }
    HintText words{u"move the " + CardName(*pos.Get()), ShortCardName(*pos.Get())};
    if (move.count > 1) {
        const CString more = FormatString(" and %d more", move.count - 1);
        words.said += more;
        words.shown += more;
    }
    // A screen reader hears where the cards lie, which the bar's outlines show.
    words.said += u" from " + PlaceWords(move.pile);
    const CCardPile* target = PileAt(move.to);
    if (target->m_kind == PILE_FOUNDATION) {
        words.said += u" home";
        words.shown += u" home";
    } else if (const CCard* top = target->TopCard()) {
        words.said += u" onto the " + CardName(*top) + u" in " + PlaceWords(move.to);
        words.shown += u" onto " + ShortCardName(*top);
    } else {
        words.said += u" to " + PileName(move.to);
        words.shown += u" to " + PileName(move.to);
    }
    return words;
}

bool CCardgame::PrepareHint(HintText* words, std::vector<CRect>* outlines) {
    if (m_dragging) return false;
    // The quick hints may lead a deal that can be won astray. The driver's
    // clock waits for the search only when a script says so.
    if (Verdict() == DealVerdict::Searching && IsWindow() && HasHost() && !GetHost().VirtualClock())
        WaitForVerdict(kHintWaitForSearch);
    ++m_hintedTables[TableKey()];
    std::optional<CardMove> move = SuggestedMove();
    if (m_hintFoundStuck) {
        m_hintFoundStuck = false;
        m_hintAskedItself = true;
        CallStuck();
        return false;
    }
    if (std::exchange(m_hintGoesRound, false)) {
        *words = {u"every move leads back here", u"every move leads back"};
        return false;
    }
    if (!move) return false;
    CCardPile* pile = PileAt(move->pile);
    if (move->kind == MOVE_HOME)
        move->to = PileIndex(FoundationFor(*CardAt(pile, move->card).Get()));
    *words = MoveWords(*move);
    if (move->kind == MOVE_TAP) {
        outlines->push_back(ShownRect({move->pile, move->card}));
        // A card a tap plays, and the card it goes onto.
        if (const CCardPile* target = TapTarget(pile); target && !target->IsEmpty())
            outlines->push_back(ShownRect({PileIndex(target), target->GetCount() - 1}));
    } else {
        CRect run;
        for (CardPos pos = CardAt(pile, move->card); pos; pos = pos.Next())
            run.UnionRect(run, pos->m_rect);
        outlines->push_back(run);
        const CCardPile* target = PileAt(move->to);
        outlines->push_back(ShownRect({move->to, target->GetCount() - 1}));
    }
    m_hint = move;
    return true;
}

// ---------------------------------------------------------------------------

int CCardgame::ProgressMeasure() const {
    int measure = 0;
    for (const auto& pile : m_piles) {
        if (pile->m_kind == PILE_FOUNDATION) measure += pile->GetCount();
        if (pile->m_kind != PILE_TABLEAU) continue;
        for (const auto& card : pile->GetCards())
            if (card->IsFaceDown() && card.get() != pile->TopCard()) --measure;
    }
    return measure;
}

namespace {
// A pile in a table key: its kind's digit, then each card's index and 'd'
// or 'u'. Returns the end of what it wrote.
char* WritePileKey(const CCardPile& pile, char* out) {
    *out++ = static_cast<char>('0' + pile.m_kind);
    // A waste's faces only show how many of its top cards are fanned.
    const bool faces = pile.m_kind != PILE_WASTE;
    for (const auto& card : pile.GetCards()) {
        *out++ = static_cast<char>(card->m_index);
        *out++ = faces && card->IsFaceDown() ? 'd' : 'u';
    }
    return out;
}
}  // namespace

std::string CCardgame::TableKey() const {
    // Each pile as its kind's digit, then each card's index and 'd' or 'u',
    // then '|'. Where columns are alike, the columns and then the wastes
    // come last, each group sorted, so tables that differ only in which
    // column is which share a key. Written in place into a string of its
    // final length, the piles to sort first into a scratch string kept from
    // key to key: the stuck test makes a key for every table it tries.
    const bool alike = ColumnsInterchangeable();
    size_t cards = 0;
    for (const auto& pile : m_piles) cards += static_cast<size_t>(pile->GetCount());
    const size_t length = 2 * cards + 2 * m_piles.size();
    std::string key(length, '|');
    m_keyScratch.resize(alike ? length : 0);  // views into it stay good until the next key
    m_keyColumns.clear();
    m_keyCells.clear();
    char* fixed = key.data();
    char* moved = m_keyScratch.data();
    for (const auto& pile : m_piles) {
        const bool sorted = alike && (pile->m_kind == PILE_TABLEAU || pile->m_kind == PILE_WASTE);
        char* const start = sorted ? moved : fixed;
        char* out = WritePileKey(*pile, start);
        if (!sorted) {
            *out++ = '|';
            fixed = out;
            continue;
        }
        moved = out;  // sorted without its '|'
        (pile->m_kind == PILE_TABLEAU ? m_keyColumns : m_keyCells)
            .emplace_back(start, static_cast<size_t>(out - start));
    }
    std::sort(m_keyColumns.begin(), m_keyColumns.end());
    std::sort(m_keyCells.begin(), m_keyCells.end());
    for (const auto* part : {&m_keyColumns, &m_keyCells})
        for (const std::string_view pile : *part)
            fixed = std::copy(pile.begin(), pile.end(), fixed) + 1;  // the '|' is there
    return key;
}

std::string CCardgame::KeyBesideStock() const {
    size_t length = 0;
    for (const auto& pile : m_piles)
        if (pile->m_kind != PILE_STOCK && pile->m_kind != PILE_WASTE)
            length += 2 * static_cast<size_t>(pile->GetCount()) + 2;
    std::string key(length, '|');
    char* out = key.data();
    for (const auto& pile : m_piles)
        if (pile->m_kind != PILE_STOCK && pile->m_kind != PILE_WASTE)
            out = WritePileKey(*pile, out) + 1;  // the '|' is there
    return key;
}

bool CCardgame::GetsSomewhere(const CardMove& move) {
    CCardPile* pile = PileAt(move.pile);
    if (move.kind == MOVE_HOME || (move.kind == MOVE_TAP && pile->m_kind != PILE_STOCK))
        return true;
    // One that the search can lay out is tried as the others are.
    if (const std::optional<bool> untried = ProgressUntried(move))
        return *untried && !WithUntriedLaidOut(move, nullptr);
    if (move.kind != MOVE_RUN || pile->m_kind == PILE_FOUNDATION) return false;
    if (PileAt(move.to)->m_kind == PILE_FOUNDATION) return true;
    const CardPos below = CardAt(pile, move.card).Prev();
    return below && below->IsFaceDown();
}

bool CCardgame::FindsProgress(int root, const std::vector<CardMove>& moves,
                              std::set<std::string>& seen, int& budget,
                              std::vector<LineStep>* line) {
    std::vector<CardMove> next;
    const auto foundBy = [&](const CardMove& move) {
        if (line) line->insert(line->begin(), LineStep{move, TableKey()});
        return true;
    };
    for (const CardMove& move : moves) {
        if (--budget <= 0) return false;
        const CCardPile* pile = PileAt(move.pile);
        // Turning a card up, or Golf's play, gets somewhere by itself.
        if (move.kind == MOVE_TAP && pile->m_kind != PILE_STOCK) return foundBy(move);
        if (const std::optional<bool> untried = ProgressUntried(move)) {
            if (!*untried) continue;
            // Cruel's redeal: on from the table it lays out, unless that
            // was met already (a redeal can lead back, too).
            bool found = false;
            const bool laidOut = WithUntriedLaidOut(move, [&] {
                found = ProgressMeasure() > root ||
                        (seen.insert(TableKey()).second &&
                         (ListMovesUnlessOneGetsSomewhere(root, &next) ||
                          FindsProgress(root, next, seen, budget, line)));
            });
            if (!laidOut || found) return foundBy(move);
            continue;
        }
        const size_t records = m_undoList.size();
        if (!MakeMove(move)) continue;
        bool found = ProgressMeasure() > root;
        // Most tables have a move that plainly gets somewhere: nothing to try.
        if (!found && seen.insert(TableKey()).second)
            found = ListMovesUnlessOneGetsSomewhere(root, &next) ||
                    FindsProgress(root, next, seen, budget, line);
        while (m_undoList.size() > records) OnUndo();
        if (found) return foundBy(move);
    }
    return false;
}

bool CCardgame::IsStuck() {
    if (m_gameOver || m_dragging || !MightBeStuck()) return false;
    // A card to turn up gets somewhere; the table is left for the paint,
    // or the tap, to turn it.
    for (const auto& pile : m_piles)
        if (pile->m_kind == PILE_TABLEAU && pile->TopCard() && pile->TopCard()->IsFaceDown())
            return false;
    const std::string key = TableKey();
    // A key, a pick-up or a tap that changed nothing: judged already.
    if (key == m_goesOnKey) return false;
    // Turns of the stock alone lead back to a table proved to go on, the
    // same but for the stock and waste (Klondike's stock comes round).
    const bool roundHere = StockComesRoundHere();
    const std::string besideStock =
        roundHere || !m_goesOnBesideStock.empty() ? KeyBesideStock() : std::string();
    if (!besideStock.empty() && besideStock == m_goesOnBesideStock) {
        m_goesOnKey = key;
        return false;
    }
    // Most tables have a move that plainly gets somewhere: nothing to try,
    // nothing to save and put back.
    const int root = ProgressMeasure();
    std::vector<CardMove> moves;
    if (ListMovesUnlessOneGetsSomewhere(root, &moves)) {
        m_goesOnKey = key;
        if (roundHere) m_goesOnBesideStock = besideStock;
        return false;
    }
    // Every move is tried and taken back, quietly.
    std::set<std::string> seen{key};
    int budget = kStuckSearchBudget;
    bool found;
    {
        QuietTries quiet(*this);
        found = FindsProgress(root, moves, seen, budget);
    }
    const bool stuck = !found && budget > 0;
    m_goesOnKey = stuck ? std::string() : key;
    if (found && roundHere) m_goesOnBesideStock = besideStock;
    return stuck;
}

void CCardgame::CallStuck() {
    KillTimer(CLOCK_TIMER_ID);
    m_stuck = true;
    m_gameOver = true;
    m_stuckTick = GetTickCount();
    ShowStatus();
    UpdateWindow();  // the last move shows behind the question
    const CString question =
        FormatString("No more moves.\nin %d seconds\nScore:%d\n\nStart new game?",
                     static_cast<int>(ElapsedSeconds()), m_score);
    if (AfxMessageBox(question, MB_YESNO) == IDYES) OnNewGame();
}

void CCardgame::Reopen() {
    // The clock goes on from where it stopped, its toll too.
    const uint32_t paused = GetTickCount() - m_stuckTick;
    m_startTick += paused;
    m_decayTick += paused;
    m_stuck = false;
    m_gameOver = false;
    SetTimer(CLOCK_TIMER_ID, CLOCK_PERIOD);
}

void CCardgame::AfterMove() {
    if (m_gameOver || m_quiet || m_dragging) return;
    // Only a table that holds its whole deal is judged: one laid card by
    // card is no game the program dealt, and may lack the cards that would
    // let it go on.
    int cards = 0;
    for (const auto& pile : m_piles) cards += pile->GetCount();
    if (cards != m_dealtCards) return;
    if (ReadyToFinish())
        AutoFinish();
    else if (IsStuck())
        CallStuck();
}

// ---------------------------------------------------------------------------

bool CCardgame::ColumnsDescend() const {
    for (const auto& pile : m_piles) {
        if (pile->m_kind != PILE_TABLEAU) continue;
        const CCard* below = nullptr;
        for (const auto& card : pile->GetCards()) {
            // A face-down top card is as good as turned: the paint turns it.
            if ((card->IsFaceDown() && card.get() != pile->TopCard()) ||
                (below && card->Rank() >= below->Rank()))
                return false;
            below = card.get();
        }
    }
    return true;
}

void CCardgame::AutoFinish() {
    ShowTableAsPainted();
    while (!m_gameOver) {
        CCardPile* lowest = nullptr;
        for (const auto& pile : m_piles) {
            const CCard* top = pile->TopCard();
            if ((pile->m_kind == PILE_TABLEAU || pile->m_kind == PILE_WASTE) && top &&
                FoundationFor(*top) && (!lowest || top->Rank() < lowest->TopCard()->Rank()))
                lowest = pile.get();
        }
        if (!lowest) return;
        // Each card is seen going home.
        UpdateWindow();
        Sleep(kFinishStepMs);
        SelectCard(lowest, lowest->Top());
        if (AutoMoveToFoundation() == AUTOMOVE_NEW_GAME) {
            PostCommand(ID_NEW_GAME);
            return;
        }
    }
}
