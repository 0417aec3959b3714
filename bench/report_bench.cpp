// The report of a large run (offscreen): 2,000 catchments x 10 storms, from the results file
// and the deck beside it to the PDF written, with the page count. The results are the engine's
// own, written once.
#include "LargeRun.h"
#include "report/ReportPainter.h"
#include "report/ReportSources.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <filesystem>

namespace fs = std::filesystem;
using namespace tovan;

namespace {

constexpr int kCatchments = 2000;
constexpr int kStorms = 10;

const fs::path& ResultsFile() {
    static const fs::path file = bench::LargeRunResults("tovan-report-bench", kCatchments, kStorms);
    return file;
}

// `with plots`: 1 for every part, a page of plots per catchment among them; 0 for the tables.
void BM_ReportOfALargeRun(benchmark::State& state) {
    report::ReportOptions options;
    options.plots = state.range(0) != 0;
    const QString pdf = QString::fromStdString((ResultsFile().parent_path() / "big.pdf").string());
    int pages = 0;
    for (auto _ : state) {
        const report::ReportDocument document =
            report::ReportOfResults(ResultsFile(), options, "2026-12-07", "bench");
        QString why;
        if (!report::WriteReportPdf(document, pdf, why, &pages))
            state.SkipWithError(why.toStdString().c_str());
    }
    state.counters["pages"] = pages;
    state.counters["PDF MB"] = static_cast<double>(fs::file_size(pdf.toStdString())) / 1e6;
}
BENCHMARK(BM_ReportOfALargeRun)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    ResultsFile(); // the engine run that makes the file is not part of any figure
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
