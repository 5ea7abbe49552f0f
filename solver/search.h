// The search for a line that wins a card game from a table, depth first over
// the game's moves, each table met once, within a budget of tables visited.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "solver/table.h"

namespace solver {

enum class Verdict : uint8_t {
    Unknown,     // the budget ran out, or the search was cancelled
    Winnable,    // line wins the game
    Unwinnable,  // every table reachable was tried
};

struct Result {
    Verdict verdict = Verdict::Unknown;
    std::vector<CardMove> line;  // the winning moves, first move first
    uint64_t nodes = 0;          // tables visited
};

// Searches from table for at most budget tables (0: the game's own budget),
// giving up as soon as cancel is set.
Result Solve(const TablePosition& table, uint64_t budget, const std::atomic<bool>& cancel);

// Narrow looks first: search(look, 2), then search(look, 3), trying only the
// best two or three moves at each table, which find most wins far sooner but
// prove nothing; then the whole search, search(what is left, 0).
Result NarrowLooksFirst(uint64_t budget, uint64_t look,
                        const std::function<Result(uint64_t budget, size_t width)>& search);

// Golf's and Freecell's own searches over compact tables (solver/golf.cpp,
// solver/freecell.cpp), which Solve runs for those games; nothing when the
// table is not one they take.
std::optional<Result> SolveGolf(const TablePosition& table, uint64_t budget,
                                const std::atomic<bool>& cancel);
std::optional<Result> SolveFreecell(const TablePosition& table, uint64_t budget,
                                    const std::atomic<bool>& cancel);

}  // namespace solver
