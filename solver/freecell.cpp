// Freecell's rules, as cardgames/freecell.cpp plays them: a run of any
// length moves as a unit, whatever the free cells hold.
#include <algorithm>
#include <array>

#include "solver/games.h"
#include "solver/search.h"

namespace solver {

namespace {
bool IsRun(const Pile& pile, int card) {
    for (size_t i = static_cast<size_t>(card) + 1; i < pile.cards.size(); ++i)
        if (!IsBelowAlternating(pile.cards[i], pile.cards[i - 1])) return false;
    return true;
}
}  // namespace

Press FreecellRules::PressAt(const TablePosition& table, int pile, int card) const {
    if (card < 0) return Press::Nothing;
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    switch (p.kind) {
        case WASTE:  // a free cell
            return Press::Lift;
        case TABLEAU:
            return IsRun(p, card) ? Press::Lift : Press::Nothing;
        default:
            return Press::Nothing;
    }
}

bool FreecellRules::CanDrop(const TablePosition& table, int from, int card, int to) const {
    const Pile& source = table.piles[static_cast<size_t>(from)];
    const uint8_t moving = source.cards[static_cast<size_t>(card)];
    const Pile& target = table.piles[static_cast<size_t>(to)];
    switch (target.kind) {
        case WASTE:
            return target.cards.empty() && card + 1 == static_cast<int>(source.cards.size());
        case TABLEAU:
            if (target.cards.empty()) return Rank(moving) == 12;
            return IsBelowAlternating(moving, target.cards.back());
        case FOUNDATION:
            return IsFoundationNext(moving, target);
        default:
            return false;
    }
}

std::vector<CardMove> FreecellRules::SearchMoves(TablePosition& table, bool&) const {
    std::vector<CardMove> legal = LegalMoves(table);
    std::vector<CardMove> moves;
    std::vector<int> scores;
    CardMove lastToCell, lastToEmpty;
    for (const CardMove& move : legal) {
        const Pile& from = table.piles[static_cast<size_t>(move.pile)];
        if (move.kind == MOVE_HOME) {
            if (IsSafeHome(table, from.cards.back())) return {move};
            moves.push_back(move);
            scores.push_back(100);
            continue;
        }
        const Pile& to = table.piles[static_cast<size_t>(move.to)];
        // A drop home is the double tap's move home; the free cells, and
        // the empty columns, are all alike.
        if (to.kind == FOUNDATION) continue;
        if (to.kind == WASTE) {
            if (from.kind == WASTE) continue;
            if (lastToCell.pile == move.pile) continue;
            lastToCell = move;
            moves.push_back(move);
            scores.push_back(10);
            continue;
        }
        if (to.cards.empty()) {
            if (from.kind == TABLEAU && move.card == 0) continue;
            if (lastToEmpty.pile == move.pile && lastToEmpty.card == move.card) continue;
            lastToEmpty = move;
        }
        int score = to.cards.empty() ? 30 : 50;
        if (from.kind == WASTE) score += 5;
        if (from.kind == TABLEAU && move.card == 0) score += 10;
        moves.push_back(move);
        scores.push_back(score);
    }
    SortByScore(moves, scores);
    return moves;
}

uint64_t FreecellRules::Key(const TablePosition& table) const {
    return Hash(table, true, true);
}

namespace {
constexpr size_t kColumns = 8, kCells = 4, kSuits = 4;
// The deepest a column can grow: 19 cards as dealt or found, and a run of
// twelve on top.
constexpr size_t kDealtDeepest = 19, kDeepest = 32;
constexpr uint8_t kNoCard = 0xFF;

// Freecell's own search, over a table of fixed arrays. A move names the
// table's piles: columns 0..7, cells 8..11, and kHome.
constexpr uint8_t kFirstCell = kColumns, kHome = kColumns + kCells;
struct Move {
    uint8_t from, at, to;  // at: where the run moved starts in its column
};
constexpr size_t kMostMoves = 160;

struct Table {
    std::array<std::array<uint8_t, kDeepest>, kColumns> column;
    std::array<uint8_t, kColumns> height;
    std::array<uint8_t, kCells> cell;  // kNoCard when free
    std::array<uint8_t, kSuits> home;  // cards home, by suit
    // Cards lying above a lower card of their column, which must move
    // before it goes home, by column.
    std::array<uint8_t, kColumns> blocking;

    bool Won() const {
        return std::all_of(home.begin(), home.end(), [](uint8_t n) { return n == 13; });
    }
    uint8_t Top(size_t pile) const {
        if (pile >= kFirstCell) return cell[pile - kFirstCell];
        return height[pile] ? column[pile][height[pile] - 1u] : kNoCard;
    }
    bool GoesHome(uint8_t card) const {
        return home[static_cast<size_t>(Suit(card))] == Rank(card);
    }
    // Home for good: both cards of the other colour one rank below are home,
    // so nothing is ever wanted on it.
    bool SafeHome(uint8_t card) const {
        if (!GoesHome(card)) return false;
        for (size_t suit = 0; suit < kSuits; ++suit)
            if ((suit == 1 || suit == 2) != IsRed(card) && home[suit] < Rank(card)) return false;
        return true;
    }
    void CountBlocking(size_t c) {
        int lowest = 13;
        blocking[c] = 0;
        for (size_t i = 0; i < height[c]; ++i) {
            const int rank = Rank(column[c][i]);
            blocking[c] = static_cast<uint8_t>(blocking[c] + (rank > lowest));
            lowest = std::min(lowest, rank);
        }
    }
    void Apply(const Move& move) {
        uint8_t moving[kDeepest] = {};
        size_t count = 1;
        if (move.from >= kFirstCell) {
            moving[0] = cell[move.from - kFirstCell];
            cell[move.from - kFirstCell] = kNoCard;
        } else {
            count = height[move.from] - size_t{move.at};
            std::copy_n(&column[move.from][move.at], count, moving);
            height[move.from] = move.at;
            CountBlocking(move.from);
        }
        if (move.to == kHome) {
            ++home[static_cast<size_t>(Suit(moving[0]))];
        } else if (move.to >= kFirstCell) {
            cell[move.to - kFirstCell] = moving[0];
        } else {
            std::copy_n(moving, count, &column[move.to][height[move.to]]);
            height[move.to] = static_cast<uint8_t>(height[move.to] + count);
            CountBlocking(move.to);
        }
    }
    // Sends home every card that is safe there, adding each move to moves.
    template <class Moves>
    void SafeMovesHome(Moves&& moves) {
        for (bool again = true; again;) {
            again = false;
            for (uint8_t pile = 0; pile < kHome; ++pile) {
                const uint8_t top = Top(pile);
                if (top == kNoCard || !SafeHome(top)) continue;
                const Move move{
                    pile, static_cast<uint8_t>(pile < kFirstCell ? height[pile] - 1 : 0), kHome};
                Apply(move);
                moves(move);
                again = true;
            }
        }
    }
    // Lower is closer to won: cards not home, cards blocking, cards over
    // the next card of each suit to go home, cells taken; an empty column
    // counts for the good.
    int Distance() const {
        int distance = 0;
        for (uint8_t n : home) distance += 4 * (13 - n);
        for (uint8_t n : blocking) distance += 2 * n;
        for (uint8_t card : cell) distance += card != kNoCard;
        for (size_t c = 0; c < kColumns; ++c) {
            if (height[c] == 0) distance -= 2;
            for (size_t i = 0; i < height[c]; ++i)
                if (GoesHome(column[c][i])) distance += height[c] - 1 - static_cast<int>(i);
        }
        return distance;
    }
};

// Every move that may help, in the order made: runs onto columns, to the
// first empty column (not a whole column), a top card to the first free
// cell, a card from a cell, and cards home. Cells alike and empty columns
// alike are tried once.
size_t MovesOf(const Table& table, std::array<Move, kMostMoves>& moves) {
    size_t count = 0;
    uint8_t freeCell = kNoCard, emptyColumn = kNoCard;
    for (uint8_t pile = 0; pile < kHome; ++pile)
        if (table.Top(pile) == kNoCard) {
            if (pile >= kFirstCell && freeCell == kNoCard) freeCell = pile;
            if (pile < kFirstCell && emptyColumn == kNoCard) emptyColumn = pile;
        }
    const auto runsOnto = [&](uint8_t from, uint8_t at, uint8_t card) {
        if (Rank(card) == 12 && emptyColumn != kNoCard && !(from < kFirstCell && at == 0))
            moves[count++] = {from, at, emptyColumn};
        for (uint8_t to = 0; to < kColumns; ++to)
            if (to != from && table.height[to] && IsBelowAlternating(card, table.Top(to)))
                moves[count++] = {from, at, to};
    };
    for (uint8_t from = 0; from < kFirstCell; ++from) {
        const size_t height = table.height[from];
        if (!height) continue;
        const auto& column = table.column[from];
        for (size_t at = height; at-- > 0;) {
            if (at + 1 < height && !IsBelowAlternating(column[at + 1], column[at])) break;
            runsOnto(from, static_cast<uint8_t>(at), column[at]);
        }
        const uint8_t top = column[height - 1];
        if (freeCell != kNoCard)
            moves[count++] = {from, static_cast<uint8_t>(height - 1), freeCell};
        if (table.GoesHome(top)) moves[count++] = {from, static_cast<uint8_t>(height - 1), kHome};
    }
    for (uint8_t from = kFirstCell; from < kHome; ++from) {
        const uint8_t card = table.Top(from);
        if (card == kNoCard) continue;
        runsOnto(from, 0, card);
        if (table.GoesHome(card)) moves[count++] = {from, 0, kHome};
    }
    return count;
}

// What a table is, the columns' and the cells' order aside, exactly, in
// three bits a card: home, in a cell, at the bottom of a column, on the card
// it lay on when the search began, or on one of the two cards it may be
// built on.
struct Key {
    std::array<uint64_t, 3> words{};
    friend bool operator==(const Key& a, const Key& b) {
        return a.words[0] == b.words[0] && a.words[1] == b.words[1] && a.words[2] == b.words[2];
    }
};
constexpr size_t kCardsAWord = 21;

class Seen {
public:
    // Whether key is met for the first time (and marks it).
    bool Insert(const Key& key) {
        if (2 * (m_count + 1) > m_slots.size()) Grow();
        for (size_t at = Slot(key);; at = (at + 1) & (m_slots.size() - 1)) {
            if (m_slots[at] == key) return false;
            if (m_slots[at] == Key{}) {
                m_slots[at] = key;
                ++m_count;
                return true;
            }
        }
    }

private:
    size_t Slot(const Key& key) const {
        uint64_t hash = key.words[0] * 0x9E3779B97F4A7C15ull;
        hash = (hash ^ (hash >> 29) ^ key.words[1]) * 0xC2B2AE3D27D4EB4Full;
        hash = (hash ^ (hash >> 32) ^ key.words[2]) * 0x9E3779B97F4A7C15ull;
        return static_cast<size_t>(hash >> 17) & (m_slots.size() - 1);
    }
    void Grow() {
        std::vector<Key> old = std::move(m_slots);
        m_slots.assign(std::max<size_t>(1024, 2 * old.size()), Key{});
        m_count = 0;
        for (const Key& key : old)
            if (key != Key{}) Insert(key);
    }
    std::vector<Key> m_slots;
    size_t m_count = 0;
};

class FreecellSearch {
public:
    // The search from table; nothing when it is not eight columns of up to
    // 19 cards, four cells and four foundations, the 52 cards face up.
    static std::optional<FreecellSearch> From(const TablePosition& table);
    // With a width, only that many of the best moves at each table: most
    // wins are found far sooner so, but a loss is not proved.
    Result Run(uint64_t budget, size_t width, const std::atomic<bool>& cancel) const;

private:
    struct Frame {
        Table table;
        std::array<Move, kMostMoves> moves;
        uint8_t count = 0, next = 0;
    };
    Key KeyOf(const Table& table) const;
    void Expand(Frame& frame, size_t width) const;
    // Whether moves, each one legal where it is made, win from the start.
    bool Wins(const std::vector<Move>& moves) const;
    // The moves of a won path without the round trips the search made on
    // its way: a card or run moved and later moved straight back, with
    // nothing between touching either place. Each pair dropped leaves a
    // line that still wins.
    std::vector<Move> WithoutRoundTrips(std::vector<Move> moves) const;
    std::vector<CardMove> Line(const std::vector<Frame>& path) const;

    std::array<int, kHome> m_pile{};  // the view's pile of each of ours
    Table m_start{};
};

std::optional<FreecellSearch> FreecellSearch::From(const TablePosition& table) {
    FreecellSearch search;
    Table& start = search.m_start;
    start.cell.fill(kNoCard);
    size_t columns = 0, cells = 0, foundations = 0, cards = 0;
    for (size_t p = 0; p < table.piles.size(); ++p) {
        const auto& pileCards = table.piles[p].cards;
        cards += pileCards.size();
        if (std::any_of(pileCards.begin(), pileCards.end(), IsDown)) return std::nullopt;
        switch (table.piles[p].kind) {
            case TABLEAU:
                if (columns == kColumns || pileCards.size() > kDealtDeepest) return std::nullopt;
                search.m_pile[columns] = static_cast<int>(p);
                std::copy(pileCards.begin(), pileCards.end(), start.column[columns].begin());
                start.height[columns] = static_cast<uint8_t>(pileCards.size());
                start.CountBlocking(columns++);
                break;
            case WASTE:
                if (cells == kCells || pileCards.size() > 1) return std::nullopt;
                search.m_pile[kFirstCell + cells] = static_cast<int>(p);
                if (!pileCards.empty()) start.cell[cells] = pileCards[0];
                ++cells;
                break;
            case FOUNDATION:
                if (++foundations > kSuits) return std::nullopt;
                if (!pileCards.empty())
                    start.home[static_cast<size_t>(Suit(pileCards[0]))] =
                        static_cast<uint8_t>(pileCards.size());
                break;
            default:
                return std::nullopt;
        }
    }
    if (columns != kColumns || cells != kCells || foundations != kSuits || cards != 52)
        return std::nullopt;
    return search;
}

Key FreecellSearch::KeyOf(const Table& table) const {
    Key key;
    const auto put = [&key](size_t card, uint64_t code) {
        key.words[card / kCardsAWord] |= code << (3 * (card % kCardsAWord));
    };
    for (size_t suit = 0; suit < kSuits; ++suit)
        for (size_t rank = 0; rank < table.home[suit]; ++rank) put(13 * suit + rank, 1);
    for (uint8_t card : table.cell)
        if (card != kNoCard) put(card, 2);
    for (size_t c = 0; c < kColumns; ++c) {
        uint8_t on = kNoCard;
        for (size_t i = 0; i < table.height[c]; ++i) {
            const uint8_t card = table.column[c][i];
            if (on == kNoCard)
                put(card, 3);
            else if (IsBelowAlternating(card, on))
                put(card, Suit(on) < 2 ? 4 : 5);
            else  // as it lay at the start: moves keep to the rules
                put(card, 6);
            on = card;
        }
    }
    return key;
}

void FreecellSearch::Expand(Frame& frame, size_t width) const {
    // Best first: the moves whose table, its safe cards sent home, is
    // closest to won.
    frame.next = 0;
    frame.count = static_cast<uint8_t>(MovesOf(frame.table, frame.moves));
    std::array<int, kMostMoves> distance;
    for (size_t i = 0; i < frame.count; ++i) {
        Table after = frame.table;
        after.Apply(frame.moves[i]);
        after.SafeMovesHome([](const Move&) {});
        distance[i] = after.Distance();
    }
    for (size_t i = 1; i < frame.count; ++i)
        for (size_t j = i; j > 0 && distance[j] < distance[j - 1]; --j) {
            std::swap(distance[j], distance[j - 1]);
            std::swap(frame.moves[j], frame.moves[j - 1]);
        }
    if (width) frame.count = static_cast<uint8_t>(std::min<size_t>(frame.count, width));
}

bool FreecellSearch::Wins(const std::vector<Move>& moves) const {
    Table table = m_start;
    table.SafeMovesHome([](const Move&) {});
    std::array<Move, kMostMoves> legal;
    for (const Move& move : moves) {
        const size_t count = MovesOf(table, legal);
        if (std::none_of(legal.begin(), legal.begin() + static_cast<ptrdiff_t>(count),
                         [&](const Move& m) {
                             return m.from == move.from && m.at == move.at && m.to == move.to;
                         }))
            return false;
        table.Apply(move);
        table.SafeMovesHome([](const Move&) {});
    }
    return table.Won();
}

std::vector<Move> FreecellSearch::WithoutRoundTrips(std::vector<Move> moves) const {
    const auto touches = [](const Move& move, uint8_t pile) {
        return move.from == pile || move.to == pile;
    };
    for (bool dropped = true; dropped;) {
        dropped = false;
        for (size_t i = 0; i < moves.size() && !dropped; ++i) {
            const Move there = moves[i];
            if (there.to == kHome) continue;
            for (size_t j = i + 1; j < moves.size(); ++j) {
                const Move& back = moves[j];
                if (back.from == there.to && back.to == there.from) {
                    std::vector<Move> shorter = moves;
                    shorter.erase(shorter.begin() + static_cast<ptrdiff_t>(j));
                    shorter.erase(shorter.begin() + static_cast<ptrdiff_t>(i));
                    if (Wins(shorter)) {
                        moves = std::move(shorter);
                        dropped = true;
                    }
                    break;
                }
                if (touches(back, there.from) || touches(back, there.to)) break;
            }
        }
    }
    return moves;
}

std::vector<CardMove> FreecellSearch::Line(const std::vector<Frame>& path) const {
    std::vector<Move> moves;
    for (const Frame& frame : path) moves.push_back(frame.moves[frame.next - 1u]);
    moves = WithoutRoundTrips(std::move(moves));
    // Played again from the start, to name each move by the view's piles,
    // with the safe moves home after each.
    std::vector<CardMove> line;
    Table table = m_start;
    const auto homeMade = [&](const Move& move) {
        line.push_back({MOVE_HOME, m_pile[move.from], move.at, 1, -1});
    };
    table.SafeMovesHome(homeMade);
    for (const Move& move : moves) {
        const int from = m_pile[move.from];
        if (move.to == kHome)
            line.push_back({MOVE_HOME, from, move.at, 1, -1});
        else
            line.push_back({MOVE_RUN, from, move.at,
                            move.from >= kFirstCell ? 1 : table.height[move.from] - move.at,
                            m_pile[move.to]});
        table.Apply(move);
        table.SafeMovesHome(homeMade);
    }
    return line;
}

Result FreecellSearch::Run(uint64_t budget, size_t width, const std::atomic<bool>& cancel) const {
    Result result;
    Seen seen;
    std::vector<Frame> path(1);
    path[0].table = m_start;
    path[0].table.SafeMovesHome([](const Move&) {});
    if (path[0].table.Won()) {
        result.verdict = Verdict::Winnable;
        result.line = Line({});
        return result;
    }
    seen.Insert(KeyOf(path[0].table));
    Expand(path[0], width);
    while (!path.empty()) {
        Frame& frame = path.back();
        if (frame.next == frame.count) {
            path.pop_back();
            continue;
        }
        if (result.nodes >= budget || cancel.load(std::memory_order_relaxed)) return result;
        const Move move = frame.moves[frame.next++];
        Table next = frame.table;
        next.Apply(move);
        next.SafeMovesHome([](const Move&) {});
        ++result.nodes;
        if (next.Won()) {
            result.verdict = Verdict::Winnable;
            result.line = Line(path);
            return result;
        }
        if (!seen.Insert(KeyOf(next))) continue;
        path.emplace_back();
        path.back().table = next;
        Expand(path.back(), width);
    }
    // Without a width only moves that cannot help were left out: every
    // table reachable was tried.
    if (!width) result.verdict = Verdict::Unwinnable;
    return result;
}
}  // namespace

std::optional<Result> SolveFreecell(const TablePosition& table, uint64_t budget,
                                    const std::atomic<bool>& cancel) {
    const std::optional<FreecellSearch> search = FreecellSearch::From(table);
    if (!search) return std::nullopt;
    return NarrowLooksFirst(budget, budget / 4, [&](uint64_t share, size_t width) {
        return search->Run(share, width, cancel);
    });
}

}  // namespace solver
