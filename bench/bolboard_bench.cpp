// The ball board at its largest, 16 x 16 with nine colours: a full paint,
// one group numbering and one search for a possible move, in microseconds.
#include <benchmark/benchmark.h>

#include <memory>

#include "balls/gemfield.h"
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

}  // namespace

BENCHMARK(FullPaint)->Unit(benchmark::kMicrosecond);
BENCHMARK(LabelRegions)->Unit(benchmark::kMicrosecond);
BENCHMARK(HasPossibleMove)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
