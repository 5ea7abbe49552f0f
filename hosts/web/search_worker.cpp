// The browser's search worker: the solvers alone, built as a Web Worker
// (search_thread.cpp starts it). The page sends it a table as bytes and it
// answers with the search's result; to stop a search the page ends it.
#include <emscripten.h>

#include <atomic>

#include "solver/bytes.h"

extern "C" EMSCRIPTEN_KEEPALIVE void search_table(char* data, int size) {
    const std::atomic<bool> never{false};
    solver::Result result;
    if (const std::optional<solver::SearchRequest> request =
            solver::ReadRequest(std::string_view(data, static_cast<size_t>(size))))
        result = solver::Solve(request->table, request->budget, never);
    std::string bytes = solver::ResultBytes(result);
    emscripten_worker_respond(bytes.data(), static_cast<int>(bytes.size()));
}
