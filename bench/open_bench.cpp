// Opening large decks: every reader, into the grids, as File > Open does (without the dialog).
#include "DeckBuilder.h"
#include "fileio/basFileRoutines.h"
#include "fortranio/QVFortranIO.h"
#include "platform/RecordingPlatform.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <string>

using namespace tovan;

namespace {

std::string Line(std::initializer_list<WriteValue> pairs) {
    return FortranWrite(pairs) + "\r\n";
}

// 98 B2 storms and `catchments` catchments, each with a D1 card.
std::string OneHourDeck(int catchments) {
    return testing::WriteDeck(testing::ManyCatchments(catchments, 98));
}

// 99 storms of 20 B1 cards each, the last card of each storm with correction factors.
std::string HyetographDeck() {
    std::string deck = Line({"A1", std::monostate{}, "I1", 1.0, "A72", std::string_view("B1")});
    for (int s = 1; s <= 99; ++s) {
        for (int card = 1; card <= 20; ++card) {
            std::vector<WriteValue> pairs{"I2", double(s), "A10", std::string_view("STORM")};
            for (int d = 0; d < 17; ++d) {
                pairs.emplace_back("F4.3");
                pairs.emplace_back(card == 20 && d >= 13 ? 1.0 : .05 * (d + 1));
            }
            deck += FortranWrite(pairs) + "\r\n";
        }
    }
    return deck + "\r\nE\r\n";
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Also the heap the grids of the read deck take, against the deck's size (target at most 2.5).
void Open(benchmark::State& state, const std::string& text) {
    double gridBytes = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        DeckGrids grids;
        ReadingState reading;
        ApplicationState app;
        RecordingPlatform platform;
        ReadingContext context{grids, reading, app, platform};
        const auto outcome = ReadDeck(context, DeckFromTextView(text));
        if (outcome != ReadOutcome::Read) state.SkipWithError("the deck did not read");
        benchmark::DoNotOptimize(grids);
        gridBytes = double(HeapInUse() - before);
    }
    state.counters["grids_per_deck_byte"] = gridBytes / double(text.size());
}

void BM_OpenCatchments(benchmark::State& state) {
    const int catchments = static_cast<int>(state.range(0));
    const std::string text = OneHourDeck(catchments);
    Open(state, text);
    state.counters["per_catchment"] =
        benchmark::Counter(double(catchments), benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
}

void BM_OpenHyetograph(benchmark::State& state) {
    Open(state, HyetographDeck());
}

} // namespace

BENCHMARK(BM_OpenCatchments)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenHyetograph)->Unit(benchmark::kMillisecond);
