// The engine on a large deck: 10,000 catchments with 10 storms each, read, computed and written
// to all its outputs, the results file included. Target: under 2 s per run for either rainfall
// input.
#include "DeckBuilder.h"
#include "Engine.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <string>

using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

constexpr int kCatchments = 10000;
constexpr int kStorms = 10;

std::vector<StormCards> Storms(int rainfallOption) {
    std::vector<StormCards> storms;
    for (int s = 1; s <= kStorms; ++s) {
        StormCards storm;
        storm.number = s;
        storm.identification = "STORM " + std::to_string(s);
        storm.returnPeriod = s <= 5 ? 2 : 100;
        storm.oneHourDepth = 0.5 + 0.2 * s;
        if (rainfallOption == 1) {
            for (int i = 0; i < 20; ++i)
                storm.depths.push_back(0.01 * ((i * 7 + s) % 13 + 1));
            if (s % 2 == 0) storm.factors = std::array{1.1, 0.9, 1.0, 0.8};
        }
        storms.push_back(std::move(storm));
    }
    return storms;
}

// Catchments of varied size and make-up; most print peaks only, every tenth also writes its
// hydrographs for DRELM and every hundredth prints everything.
CatchmentCards Catchment(int i) {
    CatchmentCards c;
    c.number = i % 1000;
    c.identification = "C" + std::to_string(i % 100000);
    c.lastStorm = kStorms;
    c.printOption = i % 100 == 0 ? 8 : i % 10 == 0 ? 3 : 2;
    c.rational = i % 7 == 0 ? 1 : 0;
    c.area = 0.05 + 0.01 * (i % 300);
    c.length = 0.3 + 0.005 * (i % 400);
    c.centroid = 0.5 * c.length;
    c.impervious = i % 95;
    c.slope = 0.005 + 0.0005 * (i % 60);
    c.dciaLevel = i % 4;
    if (i % 5 == 0) {
        c.useD1 = true;
        c.cp = 0.7;
        c.wqcv = 0.2;
    }
    return c;
}

fs::path WriteBenchDeck(int rainfallOption) {
    DeckCards deck;
    deck.rainfallOption = rainfallOption;
    deck.title = "Benchmark deck";
    deck.storms = Storms(rainfallOption);
    for (int i = 0; i < kCatchments; ++i)
        deck.catchments.push_back(Catchment(i));
    const fs::path path = fs::temp_directory_path() /
                          ("tovan-engine-bench-" + std::to_string(rainfallOption) + ".tvi");
    WriteDeckFile(path.string(), deck);
    return path;
}

void RunEngine(benchmark::State& state, int rainfallOption) {
    const fs::path deck = WriteBenchDeck(rainfallOption);
    const std::string base = (deck.parent_path() / deck.stem()).string();
    for (auto _ : state) {
        const auto run = tovan::engine::RunDeck({deck.string(), base + ".tvo", base + ".tvd",
                                                 base + "Peak.tvi", base + ".results.json"});
        if (run.status != tovan::engine::RunStatus::Done) state.SkipWithError(run.message.c_str());
    }
    state.counters["report MB"] = static_cast<double>(fs::file_size(base + ".tvo")) / 1e6;
    state.counters["drelm MB"] = static_cast<double>(fs::file_size(base + ".tvd")) / 1e6;
    state.counters["results MB"] = static_cast<double>(fs::file_size(base + ".results.json")) / 1e6;
    state.SetItemsProcessed(state.iterations() * kCatchments * kStorms);
    for (const std::string& name :
         {deck.string(), base + ".tvo", base + ".tvd", base + "Peak.tvi", base + ".results.json"}) {
        fs::remove(name);
    }
}

void BM_EngineOneHourDepths(benchmark::State& state) {
    RunEngine(state, 2);
}
void BM_EngineHyetographs(benchmark::State& state) {
    RunEngine(state, 1);
}

} // namespace

BENCHMARK(BM_EngineOneHourDepths)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EngineHyetographs)->Unit(benchmark::kMillisecond)->UseRealTime();
