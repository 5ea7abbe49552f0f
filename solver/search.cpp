#include "solver/search.h"

#include <unordered_set>

#include "solver/klondike_search.h"

namespace solver {

namespace {
struct Frame {
    TablePosition table;
    std::vector<CardMove> moves;
    size_t next = 0;
};

// One depth-first search; with a width, only that many of the best moves at
// each table, which finds most wins far sooner but proves nothing.
Result Search(const TablePosition& start, uint64_t budget, size_t width,
              const std::atomic<bool>& cancel) {
    const Rules& rules = RulesFor(start.game);
    Result result;
    std::unordered_set<uint64_t> seen;
    bool lossy = false;
    // An explicit stack: a line may be hundreds of moves long.
    std::vector<Frame> stack;
    stack.push_back({start, {}, 0});
    Rules::ShowAsPainted(stack.back().table);
    if (rules.IsWon(stack.back().table)) {
        result.verdict = Verdict::Winnable;
        return result;
    }
    const auto movesOf = [&](TablePosition& table) {
        std::vector<CardMove> moves = rules.SearchMoves(table, lossy);
        if (width && moves.size() > width) {
            moves.resize(width);
            lossy = true;
        }
        return moves;
    };
    seen.insert(rules.Key(stack.back().table));
    stack.back().moves = movesOf(stack.back().table);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.moves.size()) {
            stack.pop_back();
            continue;
        }
        if (result.nodes >= budget || cancel.load(std::memory_order_relaxed)) return result;
        const CardMove move = top.moves[top.next++];
        Frame child{top.table, {}, 0};
        rules.Apply(child.table, move);
        ++result.nodes;
        if (rules.IsWon(child.table)) {
            for (const Frame& frame : stack) result.line.push_back(frame.moves[frame.next - 1]);
            result.verdict = Verdict::Winnable;
            return result;
        }
        if (!seen.insert(rules.Key(child.table)).second) continue;
        child.moves = movesOf(child.table);
        stack.push_back(std::move(child));
    }
    if (!lossy) result.verdict = Verdict::Unwinnable;
    return result;
}

}  // namespace

Result Solve(const TablePosition& start, uint64_t budget, const std::atomic<bool>& cancel) {
    if (budget == 0) budget = RulesFor(start.game).Budget();
    if (start.game == Game::Klondike)
        if (std::optional<Result> result = SolveKlondike(start, budget, cancel)) return *result;
    if (start.game == Game::Golf)
        if (std::optional<Result> result = SolveGolf(start, budget, cancel)) return *result;
    if (start.game == Game::Freecell)
        if (std::optional<Result> result = SolveFreecell(start, budget, cancel)) return *result;
    // A Spider deal is hardly ever proved lost within the budget: its narrow
    // looks take all of it.
    const uint64_t look = start.game == Game::Spider ? budget / 2 : budget / 4;
    return NarrowLooksFirst(budget, look, [&](uint64_t share, size_t width) {
        return Search(start, share, width, cancel);
    });
}

Result NarrowLooksFirst(uint64_t budget, uint64_t look,
                        const std::function<Result(uint64_t budget, size_t width)>& search) {
    uint64_t used = 0;
    for (size_t width : {2, 3}) {
        Result result = search(look, width);
        used += result.nodes;
        if (result.verdict == Verdict::Winnable) {
            result.nodes = used;
            return result;
        }
    }
    Result result = search(budget - used, 0);
    result.nodes += used;
    return result;
}

}  // namespace solver
