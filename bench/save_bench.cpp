// Saving must stay linear in the deck: a 10,000-catchment deck is saved in well under 100 ms,
// and the time per catchment at 200,000 catchments stays within 1.5 times that at 10,000.
#include "deck/RecordSets.h"
#include "deck/modChangeSpread.h"
#include "fileio/DeckFindings.h"
#include "fileio/SaveFile.h"
#include "platform/RecordingPlatform.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

using namespace tovan;

namespace {

constexpr int kB2Storms = 98;
constexpr int kHyetographStorms = 99;
constexpr int kCardsPerStorm = 20;

void FillB2Storms(Grid& b2) {
    for (int storm = 1; storm <= kB2Storms; ++storm) {
        const int row = storm + 1;
        b2.setValue(1, row, std::to_string(storm));
        b2.setValue(2, row, "STORM" + std::to_string(storm));
        b2.setValue(3, row, std::to_string(storm % 5));
        b2.setValue(4, row, "1.25");
        b2.setValue(5, row, "0.9");
    }
}

// Every catchment fills every required field, the DCIA fields and its D1 card.
void FillCatchment(DeckGrids& grids, int row) {
    Grid& c = grids.fpCardC;
    const char* cValues[] = {"4", "0", "1", "98", "0.1", "BASIN", nullptr, "Generated catchment"};
    for (int col = 2; col <= 9; ++col) {
        if (cValues[col - 2]) c.setValue(col, row, cValues[col - 2]);
    }
    c.setValue(col::kCNumber, row, std::to_string(row % 998 + 1));
    Grid& d = grids.fpCardD;
    const char* dValues[] = {"1.25", "0.8",   "0.4", "45.5", "0.012", "22.5", "0.35", "0.1",
                             "4.5",  "0.002", "0.5", "2",    "0.5",   "0.25", "0.5",  "12",
                             "-1.5", "1",     "1.2", "0.6",  "40",    "25",   "0.35", "0.45"};
    for (int col = 2; col <= 25; ++col)
        d.setValue(col, row, dValues[col - 2]);
}

const DeckGrids& CatchmentDeck(int catchments) {
    static std::map<int, DeckGrids> decks;
    auto [it, added] = decks.try_emplace(catchments);
    if (!added) return it->second;
    DeckGrids& grids = it->second;
    RecordingPlatform ui;
    grids.fpCardA.setValue(1, 2, "1");
    grids.fpCardA.setValue(2, 2, "Generated deck");
    FillB2Storms(grids.fpCardB2);
    for (int row = 2; row <= catchments + 1; ++row) {
        if (row > 2) {
            AddRow(grids.fpCardC, ui);
            AddRow(grids.fpCardD, ui);
        }
        FillCatchment(grids, row);
    }
    return grids;
}

// Storms of 20 cards: 17 depths on each card but the last, which carries 13 and the factors.
const DeckGrids& HyetographDeck() {
    static DeckGrids grids = [] {
        DeckGrids deck;
        RecordingPlatform ui;
        deck.fpCardA.setValue(1, 2, "0");
        deck.fpCardA.setValue(2, 2, "Generated hyetographs");
        Grid& b1 = deck.fpCardB1;
        int row = 2;
        for (int storm = 1; storm <= kHyetographStorms; ++storm) {
            for (int card = 1; card <= kCardsPerStorm; ++card, ++row) {
                if (row > 2) AddRow(b1, ui);
                b1.setValue(1, row, std::to_string(storm));
                b1.setValue(2, row, "1999-05-17");
                const bool last = card == kCardsPerStorm;
                for (int col = 3; col <= (last ? 15 : 19); ++col)
                    b1.setValue(col, row, "0.125");
                for (int col = 20; last && col <= 23; ++col)
                    b1.setValue(col, row, "1.1");
            }
        }
        FillCatchment(deck, 2);
        return deck;
    }();
    return grids;
}

void Build(benchmark::State& state, const DeckGrids& grids, int items) {
    for (auto _ : state) {
        RecordingPlatform ui;
        DeckText deck = BuildDeckText(grids, ui);
        if (deck.fatal || deck.unusable) state.SkipWithError("the generated deck breaks a rule");
        benchmark::DoNotOptimize(deck.text.data());
    }
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_BuildDeckText(benchmark::State& state) {
    const int catchments = static_cast<int>(state.range(0));
    Build(state, CatchmentDeck(catchments), catchments);
}

void BM_BuildHyetographDeck(benchmark::State& state) {
    Build(state, HyetographDeck(), kHyetographStorms * kCardsPerStorm);
}

// The whole save, flushed to disk; items are catchments.
void BM_SaveFile(benchmark::State& state) {
    const int catchments = static_cast<int>(state.range(0));
    const DeckGrids& grids = CatchmentDeck(catchments);
    const auto path = std::filesystem::temp_directory_path() /
                      ("tovan-save-bench-" + std::to_string(::getpid()) + ".tvi");
    for (auto _ : state) {
        RecordingPlatform ui;
        if (SaveFile(grids, path.string(), ui) != 0) state.SkipWithError("the save failed");
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * catchments);
}

// The full check behind the Check Deck panel, run after each pause in typing: the save rules,
// the read-back of the written text and the engine's ranges. It runs on a worker thread.
void BM_ListFindings(benchmark::State& state) {
    const int catchments = static_cast<int>(state.range(0));
    const DeckGrids& grids = CatchmentDeck(catchments);
    for (auto _ : state)
        benchmark::DoNotOptimize(ListFindings(grids).size());
    state.SetItemsProcessed(state.iterations() * catchments);
}

// What the panel's check costs the UI thread: a copy of the grids, checked on a worker thread.
void BM_CopyGridsForCheck(benchmark::State& state) {
    const DeckGrids& grids = CatchmentDeck(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        DeckGrids copy = grids;
        benchmark::DoNotOptimize(copy.fpCardD.maxRows());
    }
}

} // namespace

BENCHMARK(BM_ListFindings)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyGridsForCheck)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildDeckText)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Arg(10000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildHyetographDeck)->Unit(benchmark::kMillisecond);
