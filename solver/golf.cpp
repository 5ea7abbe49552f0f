// Golf's rules, as cardgames/golf.cpp plays them.
#include <algorithm>
#include <array>

#include "solver/games.h"
#include "solver/search.h"

namespace solver {

namespace {
constexpr int kStock = 0, kWaste = 1;
constexpr size_t kCards = 52;

bool FitsWaste(const TablePosition& table, uint8_t card) {
    const auto& waste = table.piles[kWaste].cards;
    if (waste.empty() || Rank(waste.back()) == 12) return false;
    const int diff = Rank(waste.back()) - Rank(card);
    return diff == 1 || diff == -1;
}
}  // namespace

bool GolfRules::IsWon(const TablePosition& table) const {
    return table.piles[kWaste].cards.size() == kCards;
}

Press GolfRules::PressAt(const TablePosition& table, int pile, int card) const {
    const Pile& p = table.piles[static_cast<size_t>(pile)];
    switch (p.kind) {
        case STOCK:
            return card >= 0 ? Press::Tap : Press::Nothing;
        case TABLEAU:
            return card >= 0 && card + 1 == static_cast<int>(p.cards.size()) &&
                           FitsWaste(table, p.cards.back())
                       ? Press::Tap
                       : Press::Nothing;
        default:
            return Press::Nothing;
    }
}

void GolfRules::Tap(TablePosition& table, int pile, int) const {
    MoveTop(table, pile, kWaste, 1);
}

namespace {
// Whether some column card can never be played: no card of a neighbouring
// rank is left to lie under it (the waste's top, the stock, the columns but
// the cards under it in its own), nothing being played on a king, and ace
// and king not being neighbours.
bool HasDeadCard(const TablePosition& table) {
    int left[13] = {};
    for (const Pile& pile : table.piles)
        if (pile.kind != WASTE)
            for (uint8_t card : pile.cards) ++left[Rank(card)];
    const auto& waste = table.piles[kWaste].cards;
    if (!waste.empty()) ++left[Rank(waste.back())];
    for (const Pile& pile : table.piles) {
        if (pile.kind != TABLEAU) continue;
        int under[13] = {};
        for (uint8_t card : pile.cards) {
            const int rank = Rank(card);
            // A king lies only on a queen; anything else on its neighbours,
            // but not on a king.
            const int below = rank > 0 ? left[rank - 1] - under[rank - 1] : 0;
            const int above = rank < 11 ? left[rank + 1] - under[rank + 1] : 0;
            if (below + above == 0) return true;
            ++under[rank];
        }
    }
    return false;
}
}  // namespace

std::vector<CardMove> GolfRules::SearchMoves(TablePosition& table, bool&) const {
    if (HasDeadCard(table)) return {};
    std::vector<CardMove> moves = LegalMoves(table);
    // Plays before the stock; among plays, the longer column first.
    std::vector<int> scores;
    for (const CardMove& move : moves) scores.push_back(move.pile == kStock ? -1 : move.card);
    SortByScore(moves, scores);
    return moves;
}

uint64_t GolfRules::Key(const TablePosition& table) const {
    // Of the waste only its top card's rank plays a part; the stock's size
    // tells what is left in it.
    const auto& waste = table.piles[kWaste].cards;
    const uint64_t top = waste.empty() ? 0xFF : static_cast<uint64_t>(Rank(waste.back()));
    return Hash(table, true, false, WASTE) ^ ((top + 1) * 0x9E3779B97F4A7C15ull);
}

namespace {
constexpr size_t kColumns = 7;
constexpr int kKing = 12;

// How many cards of each rank, four bits a rank: there are four of each, so
// sums never carry.
using RankCounts = uint64_t;
constexpr RankCounts OneOf(int rank) {
    return RankCounts{1} << (4 * rank);
}
constexpr int CountOf(RankCounts counts, int rank) {
    return static_cast<int>((counts >> (4 * rank)) & 15);
}

// Golf's own search. Of a table only the columns' heights, the cards turned
// from the stock and the rank on top of the waste decide the rest of the
// game, so each table is a number of its own (in mixed radix), and a bitmap
// marks those met: exact, and nothing allocated per table.
class GolfSearch {
public:
    // The search from table; nothing when it is not seven columns, a stock
    // and a waste with a card on it, the 52 cards all face up.
    static std::optional<GolfSearch> From(const TablePosition& table);
    Result Run(uint64_t budget, const std::atomic<bool>& cancel) const;

private:
    struct State {
        std::array<uint8_t, kColumns> height;
        uint8_t turned;  // cards turned from the stock
        uint8_t top;     // the rank on top of the waste
    };
    // A move is a column's number, or kTurn for the stock.
    static constexpr uint8_t kTurn = kColumns;
    struct Frame {
        State state;
        std::array<uint8_t, kColumns + 1> moves;
        uint8_t count = 0, next = 0;
    };

    uint64_t Tables() const;
    uint64_t Number(const State& state) const;
    bool HasDeadCard(const State& state) const;
    void Expand(Frame& frame) const;
    State After(State state, uint8_t move) const;
    std::vector<CardMove> Line(const std::vector<Frame>& path, const State& last) const;
    static bool Cleared(const State& state) {
        return std::all_of(state.height.begin(), state.height.end(),
                           [](uint8_t height) { return height == 0; });
    }

    void CountRanks();

    int m_stockPile = -1;
    std::array<int, kColumns> m_columnPile{};
    std::array<std::vector<uint8_t>, kColumns> m_columns;  // ranks, bottom first
    std::vector<uint8_t> m_stock;                          // ranks, in the order turned
    State m_start{};
    // For the dead cards: the ranks of each column's first cards, by how
    // many, and of the stock's cards from each on; and of each column card,
    // how many of the cards under it have each neighbouring rank.
    struct ColumnCard {
        int rank, belowUnder, aboveUnder;
    };
    std::array<std::vector<RankCounts>, kColumns> m_columnCounts;
    std::vector<RankCounts> m_stockCounts;
    std::array<std::vector<ColumnCard>, kColumns> m_cards;
};

std::optional<GolfSearch> GolfSearch::From(const TablePosition& table) {
    GolfSearch search;
    size_t columns = 0, cards = 0;
    int waste = -1;
    for (size_t p = 0; p < table.piles.size(); ++p) {
        const Pile& pile = table.piles[p];
        cards += pile.cards.size();
        if (std::any_of(pile.cards.begin(), pile.cards.end(), IsDown)) return std::nullopt;
        std::vector<uint8_t> ranks;
        for (uint8_t card : pile.cards) ranks.push_back(static_cast<uint8_t>(Rank(card)));
        if (pile.kind == STOCK && search.m_stockPile < 0) {
            search.m_stockPile = static_cast<int>(p);
            search.m_stock.assign(ranks.rbegin(), ranks.rend());
        } else if (pile.kind == WASTE && waste < 0 && !ranks.empty()) {
            waste = static_cast<int>(p);
            search.m_start.top = ranks.back();
        } else if (pile.kind == TABLEAU && columns < kColumns) {
            search.m_columnPile[columns] = static_cast<int>(p);
            search.m_start.height[columns] = static_cast<uint8_t>(ranks.size());
            search.m_columns[columns++] = std::move(ranks);
        } else {
            return std::nullopt;
        }
    }
    if (search.m_stockPile < 0 || waste < 0 || columns != kColumns || cards != kCards ||
        search.Tables() > (uint64_t{1} << 30))
        return std::nullopt;
    search.CountRanks();
    return search;
}

void GolfSearch::CountRanks() {
    m_stockCounts.assign(m_stock.size() + 1, 0);
    for (size_t i = m_stock.size(); i-- > 0;)
        m_stockCounts[i] = m_stockCounts[i + 1] + OneOf(m_stock[i]);
    for (size_t c = 0; c < kColumns; ++c) {
        m_columnCounts[c] = {0};
        for (uint8_t rank : m_columns[c]) {
            const RankCounts under = m_columnCounts[c].back();
            m_cards[c].push_back({rank, rank > 0 ? CountOf(under, rank - 1) : 0,
                                  rank < kKing ? CountOf(under, rank + 1) : 0});
            m_columnCounts[c].push_back(under + OneOf(rank));
        }
    }
}

uint64_t GolfSearch::Tables() const {
    uint64_t tables = 13 * (m_stock.size() + 1);
    for (const auto& column : m_columns) tables *= column.size() + 1;
    return tables;
}

uint64_t GolfSearch::Number(const State& state) const {
    uint64_t number = state.top * (m_stock.size() + 1) + state.turned;
    for (size_t c = 0; c < kColumns; ++c)
        number = number * (m_columns[c].size() + 1) + state.height[c];
    return number;
}

bool GolfSearch::HasDeadCard(const State& state) const {
    // As HasDeadCard above: a column card with no card of a neighbouring
    // rank left to lie under it (the waste's top, the stock, the columns but
    // the cards under it in its own) can never be played.
    RankCounts left = OneOf(state.top) + m_stockCounts[state.turned];
    for (size_t c = 0; c < kColumns; ++c) left += m_columnCounts[c][state.height[c]];
    for (size_t c = 0; c < kColumns; ++c)
        for (size_t i = 0; i < state.height[c]; ++i) {
            const ColumnCard& card = m_cards[c][i];
            const int below = card.rank > 0 ? CountOf(left, card.rank - 1) - card.belowUnder : 0;
            const int above =
                card.rank < kKing - 1 ? CountOf(left, card.rank + 1) - card.aboveUnder : 0;
            if (below + above == 0) return true;
        }
    return false;
}

void GolfSearch::Expand(Frame& frame) const {
    // Plays before the stock; among plays, the taller column first.
    const State& state = frame.state;
    frame.count = frame.next = 0;
    if (state.top != kKing)
        for (uint8_t c = 0; c < kColumns; ++c) {
            if (state.height[c] == 0) continue;
            const int diff = m_columns[c][state.height[c] - 1u] - state.top;
            if (diff != 1 && diff != -1) continue;
            uint8_t at = frame.count++;
            for (; at > 0 && state.height[frame.moves[at - 1u]] < state.height[c]; --at)
                frame.moves[at] = frame.moves[at - 1u];
            frame.moves[at] = c;
        }
    if (state.turned < m_stock.size()) frame.moves[frame.count++] = kTurn;
}

GolfSearch::State GolfSearch::After(State state, uint8_t move) const {
    if (move == kTurn) {
        state.top = m_stock[state.turned++];
    } else {
        state.top = m_columns[move][--state.height[move]];
    }
    return state;
}

std::vector<CardMove> GolfSearch::Line(const std::vector<Frame>& path, const State& last) const {
    // The taps on the view's piles; once the columns are clear, the stock is
    // turned out.
    const int stock = static_cast<int>(m_stock.size());
    const auto turn = [&](int turned) {
        return CardMove{MOVE_TAP, m_stockPile, stock - 1 - turned, 1, -1};
    };
    std::vector<CardMove> line;
    for (const Frame& frame : path) {
        const uint8_t move = frame.moves[frame.next - 1u];
        if (move == kTurn)
            line.push_back(turn(frame.state.turned));
        else
            line.push_back({MOVE_TAP, m_columnPile[move], frame.state.height[move] - 1, 1, -1});
    }
    for (int turned = last.turned; turned < stock; ++turned) line.push_back(turn(turned));
    return line;
}

Result GolfSearch::Run(uint64_t budget, const std::atomic<bool>& cancel) const {
    Result result;
    std::vector<uint64_t> seen(Tables() / 64 + 1);
    const auto firstMeeting = [&](const State& state) {
        const uint64_t number = Number(state);
        uint64_t& word = seen[number / 64];
        const uint64_t bit = uint64_t{1} << (number % 64);
        const bool first = (word & bit) == 0;
        word |= bit;
        return first;
    };
    std::vector<Frame> path;
    const auto won = [&](const State& last) {
        result.verdict = Verdict::Winnable;
        result.line = Line(path, last);
        return result;
    };
    firstMeeting(m_start);
    if (Cleared(m_start)) return won(m_start);
    if (!HasDeadCard(m_start)) {
        path.push_back({m_start, {}});
        Expand(path.back());
    }
    while (!path.empty()) {
        Frame& frame = path.back();
        if (frame.next == frame.count) {
            path.pop_back();
            continue;
        }
        if (result.nodes >= budget || cancel.load(std::memory_order_relaxed)) return result;
        const State next = After(frame.state, frame.moves[frame.next++]);
        ++result.nodes;
        if (!firstMeeting(next)) continue;
        if (Cleared(next)) return won(next);
        if (HasDeadCard(next)) continue;
        path.push_back({next, {}});
        Expand(path.back());
    }
    // Every table reachable was met, or has a card that can never be played.
    result.verdict = Verdict::Unwinnable;
    return result;
}
}  // namespace

std::optional<Result> SolveGolf(const TablePosition& table, uint64_t budget,
                                const std::atomic<bool>& cancel) {
    const std::optional<GolfSearch> search = GolfSearch::From(table);
    if (!search) return std::nullopt;
    return search->Run(budget, cancel);
}

}  // namespace solver
