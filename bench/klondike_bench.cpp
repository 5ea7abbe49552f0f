// Klondike's table: what one frame of play costs in the core, painting
// included (the desktop then shows the region painted).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "bench/bench_program.h"
#include "cardgames/solitaire.h"

namespace {

CSolitaire& Table() {
    return dynamic_cast<CSolitaire&>(BenchProgram::Get().View());
}

CCardPile& FirstPile(PileKind kind) {
    for (const auto& pile : Table().GetPiles())
        if (pile->m_kind == kind) return *pile;
    std::abort();
}

CPoint Centre(const CRect& r) {
    return CPoint(r.left + r.Width() / 2, r.top + r.Height() / 2);
}

// The whole table painted, as after a new deal or an uncovered window.
void BM_KlondikeFullPaint(benchmark::State& state) {
    CSolitaire& table = Table();
    for (auto _ : state) {
        table.Invalidate(true);
        table.UpdateWindow();
    }
    const CRect client = table.ClientRect();
    state.counters["pixels"] = client.Width() * client.Height();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KlondikeFullPaint);

// One stylus move of a card being dragged over the table, and its repaint.
void BM_KlondikeDragStep(benchmark::State& state) {
    CSolitaire& table = Table();
    CCardPile& column = FirstPile(PILE_TABLEAU);
    const CPoint from = Centre(column.TopCard()->m_rect);
    table.SendStylusDown(from);
    BenchProgram::Get().Idle();
    int step = 0;
    for (auto _ : state) {
        // To and fro across the middle of the table, a few pixels a step.
        const int dx = (step % 40 < 20 ? step % 20 : 20 - step % 20) * 4;
        ++step;
        table.SendStylusMove(CPoint(from.x + dx, from.y + 60));
        BenchProgram::Get().Idle();
    }
    table.SendStylusUp(from);  // back where it came from
    BenchProgram::Get().Idle();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KlondikeDragStep);

// One tap on the stock: three cards turned onto the waste, or the waste
// turned back when the stock is empty; and the repaint.
void BM_KlondikeStockTurn(benchmark::State& state) {
    const CPoint stock = Centre(FirstPile(PILE_STOCK).m_rect);
    for (auto _ : state) BenchProgram::Get().Tap(stock);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KlondikeStockTurn);

}  // namespace
