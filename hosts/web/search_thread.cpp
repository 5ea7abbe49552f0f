// The search beside the game in the browser, which has no threads: a Web
// Worker built from the solvers alone (search_worker.cpp) searches the table
// sent to it as bytes and sends the result back, while the page plays on.
// Cancelling a search that is still running ends its worker at once; the
// next search starts a new one.
#include <emscripten.h>

#include <map>

#include "solver/worker.h"

namespace solver {

namespace {
constexpr const char* kWorkerScript = "parlour_search.js";

// The searches whose answers are awaited, by call: the answer to a search
// since cancelled, or whose owner has gone, finds none.
std::map<uintptr_t, SearchThread*>& Awaited() {
    static std::map<uintptr_t, SearchThread*> awaited;
    return awaited;
}
uintptr_t g_lastCall = 0;
}  // namespace

struct SearchAnswer {
    static void Take(char* data, int size, void* call) {
        const auto found = Awaited().find(reinterpret_cast<uintptr_t>(call));
        if (found == Awaited().end()) return;
        SearchThread& search = *found->second;
        Awaited().erase(found);
        search.m_result =
            ReadResult(std::string_view(data, static_cast<size_t>(size))).value_or(Result{});
    }
};

SearchThread::~SearchThread() {
    Cancel();
    if (m_worker) emscripten_destroy_worker(m_worker);
}

void SearchThread::Start(const TablePosition& table, uint64_t budget) {
    Cancel();
    if (!m_worker) m_worker = emscripten_create_worker(kWorkerScript);
    m_request = {table, budget};
    std::string bytes = RequestBytes(m_request);
    const uintptr_t call = ++g_lastCall;
    Awaited()[call] = this;
    m_call = call;
    emscripten_call_worker(m_worker, "search_table", bytes.data(), static_cast<int>(bytes.size()),
                           &SearchAnswer::Take, reinterpret_cast<void*>(call));
}

bool SearchThread::Running() const {
    return m_call != 0;
}

void SearchThread::Cancel() {
    if (!m_call) return;
    Awaited().erase(static_cast<uintptr_t>(m_call));
    m_call = 0;
    // A worker still searching is ended: the next search needs it now.
    if (!m_result && m_worker) {
        emscripten_destroy_worker(m_worker);
        m_worker = 0;
    }
    m_result.reset();
}

std::optional<Result> SearchThread::Poll() {
    if (!m_call || !m_result) return std::nullopt;
    std::optional<Result> result = std::move(m_result);
    m_result.reset();
    m_call = 0;
    return result;
}

std::optional<Result> SearchThread::Wait() {
    if (!m_call) return std::nullopt;
    if (m_result) return Poll();
    // Nothing here can wait for the worker: the search is done again on the
    // page's own thread, within the same budget.
    const std::atomic<bool> never{false};
    Result result = Solve(m_request.table, m_request.budget, never);
    Cancel();
    return result;
}

std::optional<Result> SearchThread::WaitFor(std::chrono::milliseconds most) {
    // The worker's answer comes through the page's event loop, which runs
    // while the program sleeps.
    const double until = emscripten_get_now() + static_cast<double>(most.count());
    while (m_call && !m_result && emscripten_get_now() < until) emscripten_sleep(5);
    return Poll();
}

}  // namespace solver
