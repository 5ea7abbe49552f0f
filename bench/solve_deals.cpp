// The solvers on 200 fixed deals of each card game, each searched from its
// first table with the game's own budget, as the table's search runs it:
// how many are decided (won or proved lost), how many won, and the median
// and 95th-percentile time a search takes. Run an optimised build:
//   build/bench/bench/solve_deals [DEALS [GAME [BUDGET]]]
// GAME, when given, picks the games whose name starts with it; BUDGET puts
// another node budget in place of the games' own (0: theirs); a fourth
// argument lists every deal's number (its seed), verdict, nodes and a digest
// of its line, so that two builds' lists tell whether they search alike.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "bench/bench_program.h"
#include "cardgames/spider.h"
#include "cards/cardgame.h"
#include "platform/random.h"
#include "res/resource.h"
#include "solver/search.h"

namespace {

struct Subject {
    const char* name;
    unsigned command;
    int spiderSuits;  // the settings dialog's choice; -1 for the other games
};

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const size_t at = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[at];
}

// FNV-1a over the line's moves.
uint64_t LineDigest(const std::vector<CardMove>& line) {
    uint64_t digest = 1469598103934665603ull;
    for (const CardMove& move : line)
        for (int field : {int{move.kind}, move.pile, move.card, move.count, move.to})
            digest = (digest ^ static_cast<uint32_t>(field)) * 1099511628211ull;
    return digest;
}

}  // namespace

int main(int argc, char** argv) {
    const int deals = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const Subject subjects[] = {
        {"Klondike", ID_GAME_KLONDIKE, -1}, {"Cruel", ID_GAME_CRUEL, -1},
        {"Golf", ID_GAME_GOLF, -1},         {"Spider 1 suit", ID_GAME_SPIDER, 0},
        {"Spider 2 suits", ID_GAME_SPIDER, 1}, {"Spider 4 suits", ID_GAME_SPIDER, 2},
        {"Freecell", ID_GAME_FREECELL, -1},
    };
    BenchProgram& program = BenchProgram::Get();
    const std::atomic<bool> never{false};
    std::printf("%-15s %8s %8s %8s %10s %10s %12s\n", "game", "deals", "decided", "won",
                "median ms", "95% ms", "nodes/s");
    const std::string_view only = argc > 2 ? argv[2] : "";
    const uint64_t budget = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 0;
    const bool list = argc > 4;
    for (const Subject& subject : subjects) {
        if (!std::string_view(subject.name).starts_with(only)) continue;
        program.Command(subject.command);
        auto& view = dynamic_cast<CCardgame&>(program.View());
        int decided = 0, won = 0;
        uint64_t nodes = 0;
        double seconds = 0;
        std::vector<double> times;
        for (int deal = 1; deal <= deals; ++deal) {
            const uint32_t seed = static_cast<uint32_t>(deal) * 7919u;
            runtime::ChooseNextDeal(seed);
            if (subject.spiderSuits >= 0)
                dynamic_cast<CSpider&>(view).Deal(subject.spiderSuits);
            else
                view.OnNewGame();
            const TablePosition table = view.Position();
            const auto start = std::chrono::steady_clock::now();
            const solver::Result result = solver::Solve(table, budget, never);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            times.push_back(took.count() * 1000);
            seconds += took.count();
            nodes += result.nodes;
            decided += result.verdict != solver::Verdict::Unknown;
            won += result.verdict == solver::Verdict::Winnable;
            if (list)
                std::printf(
                    "  deal %u: %s in %llu nodes, %.0f ms, a line of %zu moves (%016llx)\n", seed,
                    result.verdict == solver::Verdict::Winnable     ? "won"
                    : result.verdict == solver::Verdict::Unwinnable ? "lost"
                                                                    : "unknown",
                    static_cast<unsigned long long>(result.nodes), times.back(), result.line.size(),
                    static_cast<unsigned long long>(LineDigest(result.line)));
        }
        std::printf("%-15s %8d %7.1f%% %7.1f%% %10.1f %10.1f %12.0f\n", subject.name, deals,
                    100.0 * decided / deals, 100.0 * won / deals, Percentile(times, 0.5),
                    Percentile(times, 0.95), static_cast<double>(nodes) / seconds);
        std::fflush(stdout);
    }
    return 0;
}
