// Growing a record grid row by row must cost the same at 100,000 rows as at 1,000.
#include "deck/RecordSets.h"
#include "deck/modChangeSpread.h"
#include "platform/RecordingPlatform.h"

#include <benchmark/benchmark.h>

using namespace tovan;

namespace {

void BM_AddRowAt(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    RecordingPlatform ui;
    Grid grid = MakeCardDGrid();
    while (grid.maxRows() < rows)
        AddRow(grid, ui);
    int added = 0;
    for (auto _ : state) {
        AddRow(grid, ui);
        grid.setValue(2, grid.maxRows() - 1, "1.5");
        if (++added == 1000) { // keep the size near `rows` without timing the trim
            state.PauseTiming();
            grid.deleteRows(rows - 1000, rows - 1);
            added = 0;
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(BM_AddRowAt)->Arg(1000)->Arg(100000);
