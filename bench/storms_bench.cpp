// Design storms: building a 24-hour storm at a 1-minute step (1,440 depths) and placing it in
// record set B1 (85 cards), as Edit > Design Storm and `tovandeck storm --into` do. The
// counters give the largest error of rounding each depth on its own, which carrying the
// residual avoids, over a table of depths and steps.
#include "storms/StormPlacement.h"

#include <benchmark/benchmark.h>

using namespace tovan;

namespace {

DeckGrids B1Deck() {
    DeckGrids grids;
    grids.fpCardA.setValue(col::kAOption, kTemplateRow, "0");
    return grids;
}

StormRequest DayAtOneMinute() {
    StormRequest request;
    request.parameters.depth = 5;
    request.parameters.duration = 1440;
    request.parameters.step = 1;
    return request;
}

void BuildAndPlaceADayAtOneMinute(benchmark::State& state) {
    const DeckGrids empty = B1Deck();
    for (auto _ : state) {
        DeckGrids grids = empty;
        PlaceStorm(grids, PrepareStorm(grids, DayAtOneMinute()));
        benchmark::DoNotOptimize(grids.fpCardB1.maxRows());
    }
    double largest = 0;
    for (StormMethod method :
         {StormMethod::Nrcs1, StormMethod::Nrcs1A, StormMethod::Nrcs2, StormMethod::Nrcs3}) {
        for (double depth : {0.5, 1.37, 2.5, 5.0, 7.77, 11.3}) {
            for (double step : {1.0, 2.0, 5.0, 10.0, 15.0}) {
                StormRequest request = DayAtOneMinute();
                request.method = method;
                request.parameters.depth = depth;
                request.parameters.step = step;
                largest = std::max(largest, PrepareStorm(empty, request).written.uncarriedError);
            }
        }
    }
    state.counters["largest_uncarried_error_in"] = largest;
}
BENCHMARK(BuildAndPlaceADayAtOneMinute)->Unit(benchmark::kMillisecond);

} // namespace
