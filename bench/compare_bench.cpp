// Comparing alternatives at the sizes of a large study: two runs of 2,000 catchments x 10
// storms matched and written as CSV, and two decks of 10,000 catchments diffed cell by cell.
#include "DeckBuilder.h"
#include "compare/DeckDiff.h"
#include "compare/ResultsComparison.h"
#include "fileio/DeckSource.h"
#include "fileio/basFileRoutines.h"
#include "platform/RecordingPlatform.h"

#include <benchmark/benchmark.h>

using namespace tovan;
using namespace tovan::results;

namespace {

RunResults ManyResults(int catchments, int storms, double scale) {
    RunResults run;
    for (int c = 0; c < catchments; ++c) {
        CatchmentResult catchment;
        catchment.identification = "C" + std::to_string(c);
        for (int s = 1; s <= storms; ++s) {
            StormResult storm;
            storm.storm = s;
            storm.computed = true;
            storm.peakCfs = scale * (c + s);
            storm.timeToPeakHours = 1.5;
            storm.runoffAcreFeet = scale * s;
            catchment.storms.push_back(storm);
        }
        run.catchments.push_back(std::move(catchment));
    }
    return run;
}

void CompareTwoRuns(benchmark::State& state) {
    const RunResults a = ManyResults(2000, 10, 1.0), b = ManyResults(2000, 10, 1.1);
    for (auto _ : state) {
        const ResultsComparison comparison = CompareResults(a, b);
        benchmark::DoNotOptimize(ComparisonCsv(comparison, "a", "b").size());
    }
}
BENCHMARK(CompareTwoRuns)->Unit(benchmark::kMillisecond);

DeckGrids ReadGrids(const std::string& text) {
    DeckGrids grids;
    ReadingState state;
    ApplicationState app;
    RecordingPlatform quiet;
    ReadingContext context{grids, state, app, quiet};
    ReadDeck(context, DeckFromText(text));
    return grids;
}

void DiffTwoLargeDecks(benchmark::State& state) {
    testing::DeckCards cards = testing::ManyCatchments(10000, 10);
    const DeckGrids a = ReadGrids(testing::WriteDeck(cards));
    for (std::size_t i = 0; i < cards.catchments.size(); i += 10)
        cards.catchments[i].impervious += 5;
    const DeckGrids b = ReadGrids(testing::WriteDeck(cards));
    for (auto _ : state)
        benchmark::DoNotOptimize(DiffDecks(a, b).size());
}
BENCHMARK(DiffTwoLargeDecks)->Unit(benchmark::kMillisecond);

} // namespace
