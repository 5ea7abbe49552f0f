// Klondike's own search, far leaner than the generic one: a compact table of
// fixed arrays, the stock and waste taken as the cards some number of turns
// brings to the waste's top (each one move, however many taps it takes), and
// only moves that can matter. Its line is still the game's own moves.
#pragma once

#include <atomic>
#include <optional>

#include "solver/search.h"

namespace solver {

// Nothing when the table is not one the compact search can hold (piles not
// laid out as the game lays them): the generic search takes it then.
std::optional<Result> SolveKlondike(const TablePosition& table, uint64_t budget,
                                    const std::atomic<bool>& cancel);

}  // namespace solver
