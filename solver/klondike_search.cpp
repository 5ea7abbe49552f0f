// Klondike's compact search: see klondike_search.h. Every cut below is one
// that cannot lose a win, so a search that runs out of tables has proved the
// deal lost.
#include "solver/klondike_search.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "solver/games.h"
#include "solver/seen_set.h"

namespace solver {

namespace {

constexpr int kColumns = 7;
constexpr int kSuits = 4;
constexpr int kRanks = 13;
constexpr int kColumnCapacity = 20;  // six face-down cards and a king's whole run
constexpr int kTalonCapacity = 24;
constexpr int kTurn = 3;  // cards turned from the stock at a time
constexpr int kKing = 12;
// Moves at one table: each column top takes one of two cards, an empty
// column a king, each foundation its next card: 14 + 4 + 4.
constexpr int kMaxSteps = 24;

constexpr int RankOf(int card) {
    return card % kRanks;
}
constexpr int SuitOf(int card) {
    return card / kRanks;
}
constexpr bool IsRedSuit(int suit) {
    return suit == 1 || suit == 2;
}

// The table, compact. The talon is the waste, bottom first, and then the
// stock, top first: the order its cards come to the waste's top in. A turn
// moves `waste` on by three, a redeal back to nought, and a card played off
// the waste leaves the others in their order.
struct Table {
    uint64_t code[kColumns];  // each column's hash, as ColumnCode gives it
    uint8_t cards[kColumns][kColumnCapacity];  // bottom first
    uint8_t size[kColumns];
    uint8_t down[kColumns];  // face-down cards at the bottom of the column
    uint8_t home[kSuits];    // cards home, by suit
    uint8_t talon[kTalonCapacity];
    uint8_t talonSize;
    uint8_t waste;     // how many of the talon's cards lie on the waste
    uint64_t inTalon;  // a bit per card index
};

enum StepKind : uint8_t { TALON_HOME, TALON_TO_COLUMN, COLUMN_HOME, COLUMN_TO_COLUMN, HOME_TO_COLUMN };

// One move of the search. A talon move plays the card that lies `at` cards
// into the talon, after as many turns of the stock as bring it to the top.
struct Step {
    StepKind kind;
    uint8_t from;  // column, or the suit for HOME_TO_COLUMN
    uint8_t at;    // the card's place in its column, or in the talon counted from 1
    uint8_t to;    // target column
    uint8_t card;
    uint8_t score;  // the higher, the sooner tried
};

bool CanGoHome(const Table& table, int card) {
    return table.home[SuitOf(card)] == RankOf(card);
}

// Whether every card that could ever be built on card, directly or in turn,
// is home: both cards of the other colour one rank lower, the other suit of
// card's colour two ranks lower (and so all below them). Then card is never
// wanted on the table: sent home it blocks nothing, and taken back from home
// it could hold only cards taken back too. Aces and twos hold at most aces,
// which go home as soon as they are free.
bool NeverNeeded(const Table& table, int card) {
    const int rank = RankOf(card);
    if (rank <= 1) return true;
    const bool red = IsRedSuit(SuitOf(card));
    for (int suit = 0; suit < kSuits; ++suit) {
        if (suit == SuitOf(card)) continue;
        const int below = IsRedSuit(suit) != red ? rank : rank - 1;
        if (table.home[suit] < below) return false;
    }
    return true;
}

bool IsWon(const Table& table) {
    // With the talon out and every card face up, each column descends in
    // alternating colours and its lowest card, on top, can always go home.
    if (table.talonSize > 0) return false;
    for (int column = 0; column < kColumns; ++column)
        if (table.down[column] > 0) return false;
    return true;
}

void TurnUpTop(Table& table, int column) {
    if (table.down[column] > 0 && table.down[column] == table.size[column]) --table.down[column];
}

uint64_t Mix(uint64_t hash) {
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    return hash ^ (hash >> 33);
}

// A column's hash: its face-down count and its face-up cards. The
// face-down cards themselves never change.
uint64_t ColumnCode(const Table& table, int column) {
    uint64_t code = table.down[column];
    for (int at = table.down[column]; at < table.size[column]; ++at)
        code = (code ^ (table.cards[column][at] + 1u)) * 0x100000001b3ull;
    return Mix(code);
}

void Apply(Table& table, const Step& step) {
    switch (step.kind) {
        case TALON_HOME:
        case TALON_TO_COLUMN:
            std::memmove(table.talon + step.at - 1, table.talon + step.at,
                         static_cast<size_t>(table.talonSize - step.at));
            --table.talonSize;
            table.waste = static_cast<uint8_t>(step.at - 1);
            table.inTalon &= ~(uint64_t{1} << step.card);
            if (step.kind == TALON_HOME)
                ++table.home[SuitOf(step.card)];
            else
                table.cards[step.to][table.size[step.to]++] = step.card;
            break;
        case COLUMN_HOME:
            --table.size[step.from];
            ++table.home[SuitOf(step.card)];
            TurnUpTop(table, step.from);
            break;
        case COLUMN_TO_COLUMN: {
            const int count = table.size[step.from] - step.at;
            std::memcpy(table.cards[step.to] + table.size[step.to], table.cards[step.from] + step.at,
                        static_cast<size_t>(count));
            table.size[step.to] = static_cast<uint8_t>(table.size[step.to] + count);
            table.size[step.from] = step.at;
            TurnUpTop(table, step.from);
            break;
        }
        case HOME_TO_COLUMN:
            --table.home[step.from];
            table.cards[step.to][table.size[step.to]++] = step.card;
            break;
    }
    if (step.kind == COLUMN_HOME || step.kind == COLUMN_TO_COLUMN)
        table.code[step.from] = ColumnCode(table, step.from);
    if (step.kind == TALON_TO_COLUMN || step.kind == COLUMN_TO_COLUMN || step.kind == HOME_TO_COLUMN)
        table.code[step.to] = ColumnCode(table, step.to);
}

// A hash of what decides the rest of the game. The face-down cards never
// change, so a column is its face-down count and its face-up cards; columns
// with no face-down card play alike in any order.
uint64_t Key(const Table& table) {
    uint64_t homes = 0;
    for (int suit = 0; suit < kSuits; ++suit) homes = (homes << 4) | table.home[suit];
    // From a waste of a multiple of three cards, or of the whole talon, the
    // turns reach the cards they reach from an empty waste.
    const bool aligned = table.waste % kTurn == 0 || table.waste == table.talonSize;
    const uint64_t waste = aligned ? 0 : table.waste;
    uint64_t hash = Mix(Mix(table.inTalon ^ (waste << 52)) ^ homes);
    // Summed, so that the columns with no face-down card count in any order.
    for (int column = 0; column < kColumns; ++column)
        hash += table.down[column] == 0 ? table.code[column]
                                        : table.code[column] * static_cast<uint64_t>(2 * column + 3);
    return Mix(hash);
}

struct Frame {
    Table table;
    Step steps[kMaxSteps];
    uint8_t count = 0;
    uint8_t next = 0;
};

class StepList {
public:
    explicit StepList(Frame& frame) : m_frame(frame) { m_frame.count = 0; }
    void Add(StepKind kind, int from, int at, int to, int card, int score) {
        if (m_frame.count == kMaxSteps) return;  // cannot happen: see kMaxSteps
        m_frame.steps[m_frame.count++] = {kind,
                                          static_cast<uint8_t>(from),
                                          static_cast<uint8_t>(at),
                                          static_cast<uint8_t>(to),
                                          static_cast<uint8_t>(card),
                                          static_cast<uint8_t>(score)};
    }
    // A single move that is always right, in place of all the others.
    void Only(StepKind kind, int from, int at, int card) {
        m_frame.count = 0;
        Add(kind, from, at, 0, card, 0);
    }

private:
    Frame& m_frame;
};

// The columns a card from elsewhere may go onto: the one whose top it fits
// (of either suit of the other colour), and for a king the first empty
// column (any other is the same).
class Targets {
public:
    explicit Targets(const Table& table) {
        std::memset(m_columnWithTop, -1, sizeof m_columnWithTop);
        for (int column = kColumns - 1; column >= 0; --column) {
            const int size = table.size[column];
            if (size > 0)
                m_columnWithTop[table.cards[column][size - 1]] = static_cast<int8_t>(column);
            else
                m_firstEmpty = column;
        }
    }
    template <typename AddTo>
    void ForEach(int card, int from, AddTo addTo) const {
        const int rank = RankOf(card);
        if (rank == kKing) {
            if (m_firstEmpty >= 0) addTo(m_firstEmpty);
            return;
        }
        const bool red = IsRedSuit(SuitOf(card));
        for (int suit = 0; suit < kSuits; ++suit) {
            const int column = IsRedSuit(suit) != red ? m_columnWithTop[suit * kRanks + rank + 1] : -1;
            if (column >= 0 && column != from) addTo(column);
        }
    }

private:
    int8_t m_columnWithTop[kSuits * kRanks];
    int m_firstEmpty = -1;
};

// Calls visit with each place in the talon (counted from 1) whose card some
// number of turns brings to the waste's top: the top itself, those the turns
// of this pass bring up, the last card, and after the redeal every third.
template <typename Visit>
void ForEachReachable(const Table& table, Visit visit) {
    const int count = table.talonSize;
    uint32_t seen = 0;
    const auto consider = [&](int at) {
        if (at < 1 || at > count || ((seen >> at) & 1)) return;
        seen |= 1u << at;
        visit(at);
    };
    consider(table.waste);
    for (int at = table.waste + kTurn; at < count; at += kTurn) consider(at);
    consider(count);
    for (int at = kTurn; at < count; at += kTurn) consider(at);
}

uint64_t Bit(int card) {
    return uint64_t{1} << card;
}

// The two cards that may lie on each card in a column.
constexpr std::array<uint64_t, kSuits * kRanks> kFitting = [] {
    std::array<uint64_t, kSuits * kRanks> fitting{};
    for (int card = 0; card < kSuits * kRanks; ++card)
        for (int suit = 0; suit < kSuits && RankOf(card) > 0; ++suit)
            if (IsRedSuit(suit) != IsRedSuit(SuitOf(card)))
                fitting[static_cast<size_t>(card)] |= uint64_t{1} << (suit * kRanks + RankOf(card) - 1);
    return fitting;
}();
uint64_t CardsFitting(int card) {
    return kFitting[static_cast<size_t>(card)];
}

// Whether a card taken back from home could at once take a card that can
// be picked up, or let the card under it come off home too for the same,
// and so on down: a win that takes it back can always take it back just
// before that.
bool WorthTakingBack(int card, uint64_t free, const Targets& targets) {
    for (;; --card) {
        if ((CardsFitting(card) & free) != 0) return true;
        bool under = false;
        if (RankOf(card) > 0) targets.ForEach(card - 1, -1, [&](int) { under = true; });
        if (!under) return false;
    }
}

void FindSteps(Frame& frame) {
    const Table& table = frame.table;
    StepList steps(frame);
    // A column's card no one needs goes home at once, and nothing else is
    // tried. Not so the waste's: a card played off the waste shifts the
    // cards after it, and later passes may then turn up other cards.
    for (int column = 0; column < kColumns; ++column) {
        if (table.size[column] == 0) continue;
        const int card = table.cards[column][table.size[column] - 1];
        if (CanGoHome(table, card) && NeverNeeded(table, card)) {
            steps.Only(COLUMN_HOME, column, table.size[column] - 1, card);
            return;
        }
    }
    const Targets targets(table);
    // The cards that can be picked up now, some turns of the stock allowed.
    uint64_t free = 0;
    for (int column = 0; column < kColumns; ++column)
        for (int at = table.down[column]; at < table.size[column]; ++at)
            free |= Bit(table.cards[column][at]);
    ForEachReachable(table, [&](int at) { free |= Bit(table.talon[at - 1]); });
    for (int suit = 0; suit < kSuits; ++suit)
        if (table.home[suit] > 0) free |= Bit(suit * kRanks + table.home[suit] - 1);
    // Kings that could go into an empty column: not those already at the
    // bottom of one.
    uint64_t freeKings = 0;
    for (int suit = 0; suit < kSuits; ++suit) freeKings |= Bit(suit * kRanks + kKing);
    for (int column = 0; column < kColumns; ++column)
        if (table.size[column] > 0) freeKings &= ~Bit(table.cards[column][0]);

    for (int column = 0; column < kColumns; ++column) {
        const int size = table.size[column];
        const int down = table.down[column];
        if (size == 0) continue;
        const int top = table.cards[column][size - 1];
        if (CanGoHome(table, top))
            steps.Add(COLUMN_HOME, column, size - 1, 0, top, down > 0 && size - 1 == down ? 95 : 90);
        for (int at = down; at < size; ++at) {
            const int card = table.cards[column][at];
            // A king with nothing under it stays where it is.
            if (at == 0 && RankOf(card) == kKing) continue;
            // A run taken off a face-up card only changes places with the
            // card it goes onto, unless the card it leaves can go home or
            // take another card at once: a win that takes the run across
            // can always take it across just then.
            if (at > down) {
                const int under = table.cards[column][at - 1];
                if (!CanGoHome(table, under) && (CardsFitting(under) & free & ~Bit(card)) == 0)
                    continue;
            }
            // Likewise a column emptied is only worth it for a king to go in.
            if (at == 0 && (free & freeKings) == 0) continue;
            const int score = at == down ? (down > 0 ? 80 + down : 60) : 10;
            targets.ForEach(card, column,
                          [&](int to) { steps.Add(COLUMN_TO_COLUMN, column, at, to, card, score); });
        }
    }
    ForEachReachable(table, [&](int at) {
        const int card = table.talon[at - 1];
        if (CanGoHome(table, card)) steps.Add(TALON_HOME, 0, at, 0, card, 70);
        targets.ForEach(card, -1,
                      [&](int to) { steps.Add(TALON_TO_COLUMN, 0, at, to, card, 50); });
    });
    for (int suit = 0; suit < kSuits; ++suit) {
        if (table.home[suit] == 0) continue;
        const int card = suit * kRanks + table.home[suit] - 1;
        if (NeverNeeded(table, card)) continue;
        if (!WorthTakingBack(card, free, targets)) continue;
        targets.ForEach(card, -1, [&](int to) { steps.Add(HOME_TO_COLUMN, suit, 0, to, card, 5); });
    }
    // Best first; insertion sort keeps the order among equals.
    for (int i = 1; i < frame.count; ++i)
        for (int j = i; j > 0 && frame.steps[j].score > frame.steps[j - 1].score; --j)
            std::swap(frame.steps[j], frame.steps[j - 1]);
}

// Where the game's piles lie in the pile list.
struct Layout {
    int stock = -1;
    int waste = -1;
    int columns[kColumns];
    int columnCount = 0;
    int foundationCount = 0;
};

std::optional<Layout> LayoutOf(const TablePosition& position) {
    Layout layout;
    for (int p = 0; p < static_cast<int>(position.piles.size()); ++p) {
        switch (position.piles[static_cast<size_t>(p)].kind) {
            case STOCK:
                if (layout.stock >= 0) return std::nullopt;
                layout.stock = p;
                break;
            case WASTE:
                if (layout.waste >= 0) return std::nullopt;
                layout.waste = p;
                break;
            case TABLEAU:
                if (layout.columnCount == kColumns) return std::nullopt;
                layout.columns[layout.columnCount++] = p;
                break;
            case FOUNDATION:
                ++layout.foundationCount;
                break;
        }
    }
    if (layout.stock < 0 || layout.waste < 0 || layout.columnCount != kColumns ||
        layout.foundationCount != kSuits)
        return std::nullopt;
    return layout;
}

std::optional<Table> CompactOf(const TablePosition& position, const Layout& layout) {
    Table table{};
    for (int column = 0; column < kColumns; ++column) {
        const auto& cards = position.piles[static_cast<size_t>(layout.columns[column])].cards;
        if (cards.size() > kColumnCapacity) return std::nullopt;
        for (uint8_t card : cards) {
            const int at = table.size[column]++;
            table.cards[column][at] = static_cast<uint8_t>(Index(card));
            if (IsDown(card)) {
                if (table.down[column] != at) return std::nullopt;  // face down above face up
                ++table.down[column];
            }
        }
    }
    for (const Pile& pile : position.piles) {
        if (pile.kind != FOUNDATION || pile.cards.empty()) continue;
        const int suit = Suit(pile.cards.front());
        if (table.home[suit] != 0) return std::nullopt;
        table.home[suit] = static_cast<uint8_t>(pile.cards.size());
    }
    const auto& waste = position.piles[static_cast<size_t>(layout.waste)].cards;
    const auto& stock = position.piles[static_cast<size_t>(layout.stock)].cards;
    if (waste.size() + stock.size() > kTalonCapacity) return std::nullopt;
    for (uint8_t card : waste) table.talon[table.talonSize++] = static_cast<uint8_t>(Index(card));
    for (auto it = stock.rbegin(); it != stock.rend(); ++it)
        table.talon[table.talonSize++] = static_cast<uint8_t>(Index(*it));
    table.waste = static_cast<uint8_t>(waste.size());
    for (int at = 0; at < table.talonSize; ++at) table.inTalon |= uint64_t{1} << table.talon[at];
    for (int column = 0; column < kColumns; ++column) table.code[column] = ColumnCode(table, column);
    return table;
}

// The steps as the game's own moves, each checked legal on the way: the
// stock tapped until a talon step's card is the waste's top, and at the end
// the cards sent home one by one.
std::optional<std::vector<CardMove>> GameMoves(TablePosition position, const Layout& layout,
                                               const std::vector<Step>& steps) {
    const Rules& rules = RulesFor(Game::Klondike);
    std::vector<CardMove> line;
    const auto play = [&](const CardMove& move) {
        const std::vector<CardMove> legal = rules.LegalMoves(position);
        if (std::find(legal.begin(), legal.end(), move) == legal.end()) return false;
        rules.Apply(position, move);
        line.push_back(move);
        return true;
    };
    const auto topOf = [&](int pile) {
        return static_cast<int>(position.piles[static_cast<size_t>(pile)].cards.size()) - 1;
    };
    const auto homeFrom = [&](int pile) { return CardMove{MOVE_HOME, pile, topOf(pile), 1, -1}; };
    for (const Step& step : steps) {
        bool played = false;
        switch (step.kind) {
            case TALON_HOME:
            case TALON_TO_COLUMN: {
                const auto& waste = position.piles[static_cast<size_t>(layout.waste)].cards;
                for (int taps = 0; waste.empty() || Index(waste.back()) != step.card; ++taps) {
                    const int top = topOf(layout.stock);
                    if (taps > 2 * kTalonCapacity ||
                        !play({MOVE_TAP, layout.stock, top, top < 0 ? 0 : 1, -1}))
                        return std::nullopt;
                }
                played = step.kind == TALON_HOME
                             ? play(homeFrom(layout.waste))
                             : play({MOVE_RUN, layout.waste, topOf(layout.waste), 1,
                                     layout.columns[step.to]});
                break;
            }
            case COLUMN_HOME:
                played = play(homeFrom(layout.columns[step.from]));
                break;
            case COLUMN_TO_COLUMN: {
                const int from = layout.columns[step.from];
                played = play({MOVE_RUN, from, step.at, topOf(from) + 1 - step.at,
                               layout.columns[step.to]});
                break;
            }
            case HOME_TO_COLUMN:
                for (int p = 0; p < static_cast<int>(position.piles.size()) && !played; ++p) {
                    const Pile& pile = position.piles[static_cast<size_t>(p)];
                    if (pile.kind == FOUNDATION && !pile.cards.empty() &&
                        Index(pile.cards.back()) == step.card)
                        played = play({MOVE_RUN, p, topOf(p), 1, layout.columns[step.to]});
                }
                break;
        }
        if (!played) return std::nullopt;
    }
    const auto goesHome = [&](int pile) {
        if (topOf(pile) < 0) return false;
        const int card = Index(position.piles[static_cast<size_t>(pile)].cards.back());
        return std::any_of(position.piles.begin(), position.piles.end(), [&](const Pile& home) {
            if (home.kind != FOUNDATION) return false;
            return home.cards.empty() ? RankOf(card) == 0 : Index(home.cards.back()) + 1 == card;
        });
    };
    while (!rules.IsWon(position)) {
        bool played = false;
        for (int column : layout.columns)
            if (!played && goesHome(column)) played = play(homeFrom(column));
        if (!played) return std::nullopt;
    }
    return line;
}

// One depth-first search from start, within budget nodes (counted on in
// nodes). With a width, it tries only that many of the best steps at each
// table: that finds most wins far sooner, but proves nothing. The winning
// steps go to line.
Verdict Search(const Table& start, uint64_t budget, int width, const std::atomic<bool>& cancel,
               uint64_t& nodes, std::vector<Step>& line) {
    SeenSet seen(1 << 16);
    std::vector<Frame> stack(1);
    stack.reserve(512);
    stack[0].table = start;
    seen.Insert(Key(start));
    bool narrowed = false;
    const auto findSteps = [&](Frame& frame) {
        FindSteps(frame);
        if (width > 0 && frame.count > width) {
            frame.count = static_cast<uint8_t>(width);
            narrowed = true;
        }
    };
    findSteps(stack[0]);
    while (!stack.empty()) {
        if (stack.back().next == stack.back().count) {
            stack.pop_back();
            continue;
        }
        if (nodes >= budget || cancel.load(std::memory_order_relaxed)) return Verdict::Unknown;
        stack.emplace_back();
        Frame& parent = stack[stack.size() - 2];
        Frame& child = stack.back();
        child.table = parent.table;
        Apply(child.table, parent.steps[parent.next++]);
        ++nodes;
        if (IsWon(child.table)) {
            stack.pop_back();
            for (const Frame& frame : stack) line.push_back(frame.steps[frame.next - 1]);
            return Verdict::Winnable;
        }
        if (!seen.Insert(Key(child.table))) {
            stack.pop_back();
            continue;
        }
        findSteps(child);
    }
    return narrowed ? Verdict::Unknown : Verdict::Unwinnable;
}

}  // namespace

std::optional<Result> SolveKlondike(const TablePosition& start, uint64_t budget,
                                    const std::atomic<bool>& cancel) {
    TablePosition position = start;
    Rules::ShowAsPainted(position);
    const std::optional<Layout> layout = LayoutOf(position);
    if (!layout) return std::nullopt;
    const std::optional<Table> compact = CompactOf(position, *layout);
    if (!compact) return std::nullopt;

    Result result;
    std::vector<Step> line;
    Verdict verdict = IsWon(*compact) ? Verdict::Winnable : Verdict::Unknown;
    // Narrow looks first, then the whole search with what is left.
    for (int width : {2, 3, 0}) {
        if (verdict != Verdict::Unknown) break;
        const uint64_t share = width ? budget / 4 : budget;
        verdict = Search(*compact, std::min(budget, result.nodes + share), width, cancel, result.nodes, line);
    }
    if (verdict == Verdict::Winnable) {
        // The steps as the game's moves; should that fail, nothing is known.
        std::optional<std::vector<CardMove>> moves = GameMoves(position, *layout, line);
        if (!moves) return result;
        result.line = std::move(*moves);
    }
    result.verdict = verdict;
    return result;
}

}  // namespace solver
