// A search on a thread of its own, so that play goes on meanwhile. Its owner
// starts it, looks for its result when it likes, and cancels it; the thread
// never outlives its owner. The browser's build, which has no threads, runs
// it in a Web Worker instead (hosts/web/search_thread.cpp).
#pragma once

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "solver/bytes.h"
#include "solver/search.h"

namespace solver {

class SearchThread {
public:
    SearchThread() = default;
    ~SearchThread();
    SearchThread(const SearchThread&) = delete;
    SearchThread& operator=(const SearchThread&) = delete;

    // Cancels any search still running and starts one from table.
    void Start(const TablePosition& table, uint64_t budget = 0);
    // Stops the search at once and waits for its thread; its result is lost.
    void Cancel();
    bool Running() const;
    // The result once the search has ended, else nothing; the thread is
    // joined on the way.
    std::optional<Result> Poll();
    // Waits for the search to end and gives its result (nothing when none
    // was started).
    std::optional<Result> Wait();
    // Waits at most that long for the search to end: its result when it
    // has, else nothing, and it runs on.
    std::optional<Result> WaitFor(std::chrono::milliseconds most);

private:
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    friend struct SearchAnswer;
    int m_worker = 0;     // the Web Worker, kept between searches; 0: none yet
    uint64_t m_call = 0;  // the search whose answer is awaited; 0: none
    SearchRequest m_request;
    std::optional<Result> m_result;  // its answer, once it came
#else
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    Result m_result;  // written by the thread before m_done is set
#endif
};

}  // namespace solver
