#include "solver/worker.h"

namespace solver {

SearchThread::~SearchThread() {
    Cancel();
}

void SearchThread::Start(const TablePosition& table, uint64_t budget) {
    Cancel();
    m_cancel = false;
    m_done = false;
    m_thread = std::thread([this, table, budget] {
        m_result = Solve(table, budget, m_cancel);
        m_done.store(true, std::memory_order_release);
    });
}

bool SearchThread::Running() const {
    return m_thread.joinable();
}

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

std::optional<Result> SearchThread::WaitFor(std::chrono::milliseconds most) {
    const auto until = std::chrono::steady_clock::now() + most;
    while (m_thread.joinable() && !m_done.load(std::memory_order_acquire) &&
           std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return Poll();
}

}  // namespace solver
