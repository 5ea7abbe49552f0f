#include "solver/search.h"

#include <unordered_set>

namespace solver {

namespace {
struct Frame {
    TablePosition table;
    std::vector<CardMove> moves;
    size_t next = 0;
};
}  // namespace

Result Solve(const TablePosition& start, uint64_t budget, const std::atomic<bool>& cancel) {
    const Rules& rules = RulesFor(start.game);
    if (budget == 0) budget = rules.Budget();
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
    seen.insert(rules.Key(stack.back().table));
    stack.back().moves = rules.SearchMoves(stack.back().table, lossy);
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
        child.moves = rules.SearchMoves(child.table, lossy);
        stack.push_back(std::move(child));
    }
    if (!lossy) result.verdict = Verdict::Unwinnable;
    return result;
}

}  // namespace solver
