// The results of a large run in the desktop application (offscreen): reading the results file
// of 10,000 catchments x 10 storms and showing the results window with its table, and choosing
// a row and drawing its plot. The results file is the engine's own, written once.
#include "LargeRun.h"
#include "platform/RecordingPlatform.h"
#include "results/HydrographChart.h"
#include "results/ResultsWindow.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace fs = std::filesystem;
using namespace tovan;

namespace {

constexpr int kCatchments = 10000;
constexpr int kStorms = 10;

// The engine's results of the benchmark deck, written on first use.
const fs::path& ResultsFile() {
    static const fs::path file =
        bench::LargeRunResults("tovan-results-bench", kCatchments, kStorms);
    return file;
}

void BM_OpenResultsWindow(benchmark::State& state) {
    RecordingPlatform platform;
    const fs::path& file = ResultsFile();
    for (auto _ : state) {
        auto window =
            std::make_unique<results::ResultsWindow>(results::ReadResults(file), platform);
        window->show();
        QApplication::processEvents();
        if (window->table()->model()->rowCount() != kCatchments * kStorms)
            state.SkipWithError("the table does not hold every row");
    }
    state.counters["results MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}
BENCHMARK(BM_OpenResultsWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ChooseARowAndDrawItsPlot(benchmark::State& state) {
    RecordingPlatform platform;
    results::ResultsWindow window(results::ReadResults(ResultsFile()), platform);
    window.show();
    QApplication::processEvents();
    int row = 0;
    for (auto _ : state) {
        row = (row + 7919) % (kCatchments * kStorms);
        window.table()->selectRow(row);
        window.chart()->repaint();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ChooseARowAndDrawItsPlot)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading alone, the series left in the file.
void BM_ReadResultsFile(benchmark::State& state) {
    for (auto _ : state) {
        auto r = results::ReadResults(ResultsFile());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ReadResultsFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ResultsFile(); // the engine run that makes the file is not part of any figure
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
