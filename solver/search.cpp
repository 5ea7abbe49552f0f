#include "solver/search.h"

#include "solver/klondike_search.h"
#include "solver/seen_set.h"

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
    SeenSet seen;
    bool lossy = false;
    // An explicit stack (a line may be hundreds of moves long) whose frames
    // stay when the search backs up, so that a table copied into a frame
    // reuses the room the last one there had.
    std::vector<Frame> stack(1);
    size_t depth = 0;
    stack[0].table = start;
    Rules::ShowAsPainted(stack[0].table);
    if (rules.IsWon(stack[0].table)) {
        result.verdict = Verdict::Winnable;
        return result;
    }
    const auto findMoves = [&](Frame& frame) {
        frame.moves = rules.SearchMoves(frame.table, lossy);
        frame.next = 0;
        if (width && frame.moves.size() > width) {
            frame.moves.resize(width);
            lossy = true;
        }
    };
    seen.Insert(rules.Key(stack[0].table));
    findMoves(stack[0]);
    for (;;) {
        if (stack[depth].next == stack[depth].moves.size()) {
            if (depth == 0) break;
            --depth;
            continue;
        }
        if (result.nodes >= budget || cancel.load(std::memory_order_relaxed)) return result;
        if (depth + 1 == stack.size()) stack.emplace_back();
        Frame& top = stack[depth];
        Frame& child = stack[depth + 1];
        const CardMove move = top.moves[top.next++];
        child.table = top.table;
        rules.Apply(child.table, move);
        ++result.nodes;
        if (rules.IsWon(child.table)) {
            for (size_t at = 0; at <= depth; ++at)
                result.line.push_back(stack[at].moves[stack[at].next - 1]);
            result.verdict = Verdict::Winnable;
            return result;
        }
        if (!seen.Insert(rules.Key(child.table))) continue;
        findMoves(child);
        ++depth;
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
