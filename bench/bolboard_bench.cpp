// The ball board at its largest, 16 x 16 with nine colours: a full paint,
// one group numbering and one search for a possible move, in microseconds;
// and one Paintpot step on its own board, with what it repaints.
#include <benchmark/benchmark.h>

#include <memory>
#include <optional>
#include <vector>

#include "balls/gemfield.h"
#include "balls/paintpot.h"
#include "hosts/headless/headless_host.h"
#include "res/resource.h"

namespace {

class Board : public CGemfield {
public:
    explicit Board(bool movable) : CGemfield(nullptr) {
        m_cols = m_rows = 16;
        m_colors = 9;
        NewBoard();
        // Without a possible move every swap on the board is tried.
        if (!movable)
            ForEachCell([](int col, int row, CBol& cell) {
                cell.m_color = static_cast<uint32_t>(1 + (col + 2 * row) % 5);
            });
    }
};

struct Setup {
    explicit Setup(bool movable = true) {
        SetResources(ParlourResources());
        board = std::make_unique<Board>(movable);
        board->Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST);
        host.Idle();
    }
    HeadlessHost host;
    std::unique_ptr<Board> board;
};

void FullPaint(benchmark::State& state) {
    Setup s;
    for (auto _ : state) {
        s.board->Invalidate(true);
        s.board->UpdateWindow();
    }
}

void LabelRegions(benchmark::State& state) {
    Setup s;
    for (auto _ : state) s.board->LabelRegions();
}

void HasPossibleMove(benchmark::State& state) {
    Setup s(state.range(0) != 0);
    for (auto _ : state) benchmark::DoNotOptimize(s.board->HasPossibleMove());
    state.SetLabel(state.range(0) ? "random board" : "no move: every swap tried");
}

// A step of Paintpot's 14 x 14 board with six colours (the first ball in
// column order that touches the area is tapped) and its repaint. Counters:
// the view pixels repainted and the balls that changed colour, per step.
void PaintpotStep(benchmark::State& state) {
    SetResources(ParlourResources());
    HeadlessHost host;
    CPaintpot game(nullptr);
    game.Create(CRect(0, 0, 240, 268), AFX_IDW_PANE_FIRST);
    game.OnNewGame();
    host.Idle();
    double pixels = 0, changed = 0;
    for (auto _ : state) {
        if (game.IsGameOver()) {
            state.PauseTiming();
            host.ClearModals();
            game.OnNewGame();
            host.Idle();
            state.ResumeTiming();
        }
        std::optional<CPoint> tap;
        std::vector<uint32_t> before;
        game.ForEachCell([&](int col, int row, CBol& cell) {
            before.push_back(cell.m_color);
            if (!tap && cell.m_region != CPaintpot::kFlooded &&
                game.HasNeighbourRegion(col, row, CPaintpot::kFlooded))
                tap = CPoint(cell.m_rect.left + 1, cell.m_rect.top + 1);
        });
        if (!tap) continue;
        game.SendStylusDown(*tap);
        for (const CRect& r : game.InvalidRegion()) pixels += double(r.Width()) * r.Height();
        size_t i = 0;
        game.ForEachCell([&](int, int, CBol& cell) { changed += cell.m_color != before[i++]; });
        host.Idle();
    }
    state.counters["px/step"] = benchmark::Counter(pixels, benchmark::Counter::kAvgIterations);
    state.counters["balls/step"] = benchmark::Counter(changed, benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(PaintpotStep)->Unit(benchmark::kMicrosecond);
BENCHMARK(FullPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(LabelRegions)->Unit(benchmark::kMicrosecond);
BENCHMARK(HasPossibleMove)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
