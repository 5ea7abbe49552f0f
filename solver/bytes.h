// A table to search and a search's result as plain bytes, for a search that
// runs where only bytes reach it (the browser's Web Worker).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "solver/search.h"

namespace solver {

struct SearchRequest {
    TablePosition table;
    uint64_t budget = 0;  // 0: the game's own
};

std::string RequestBytes(const SearchRequest& request);
// Nothing when the bytes are not a whole request.
std::optional<SearchRequest> ReadRequest(std::string_view bytes);

std::string ResultBytes(const Result& result);
std::optional<Result> ReadResult(std::string_view bytes);

}  // namespace solver
