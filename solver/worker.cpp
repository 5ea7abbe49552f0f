#include "solver/worker.h"

namespace solver {

#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
// The browser's build has no threads, and a search on the page's one thread
// would hold the page up: it searches nothing, and the verdict stays open.
void SearchThread::Start(const TablePosition&, uint64_t) {
    Cancel();
}
#else
void SearchThread::Start(const TablePosition& table, uint64_t budget) {
    Cancel();
    m_cancel = false;
    m_done = false;
    m_thread = std::thread([this, table, budget] {
        m_result = Solve(table, budget, m_cancel);
        m_done.store(true, std::memory_order_release);
    });
}
#endif

void SearchThread::Cancel() {
    if (!m_thread.joinable()) return;
    m_cancel = true;
    m_thread.join();
}

std::optional<Result> SearchThread::Poll() {
    if (!m_thread.joinable() || !m_done.load(std::memory_order_acquire)) return std::nullopt;
    return Wait();
}

std::optional<Result> SearchThread::Wait() {
    if (!m_thread.joinable()) return std::nullopt;
    m_thread.join();
    return std::move(m_result);
}

}  // namespace solver
