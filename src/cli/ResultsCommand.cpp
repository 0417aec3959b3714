// tovandeck results FILE.results.json [--hydrograph CATCHMENT STORM]: what a run computed, as
// CSV for spreadsheets and scripts: the same summary and hydrographs the results window shows
// and exports.
#include "cli/Commands.h"
#include "results/RunResults.h"

#include <cstdio>
#include <string>

namespace tovan::cli {

namespace {

constexpr const char* kHelp =
    "usage: tovandeck results FILE.results.json [--hydrograph CATCHMENT STORM]\n"
    "Prints the summary of a run (one line per catchment and storm: peak flow, time to peak,\n"
    "runoff volume, rational peak, notes) as CSV. With --hydrograph, prints the storm\n"
    "hydrograph of one catchment (its identification or number) and storm number instead.\n"
    "A file that is not a complete results file, or a pair the run does not hold, exits 2.\n";

int Fail(const std::string& why) {
    std::fprintf(stderr, "tovandeck results: %s\n", why.c_str());
    return kExitFailed;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

bool IsStormNumber(std::string_view text) {
    return !text.empty() && text.size() < 6 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

int ResultsCommand(Arguments args) {
    for (std::string_view a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return kExitClean;
        }
    }
    const bool hydrograph = args.size() == 4 && args[1] == "--hydrograph";
    if (!(args.size() == 1 || hydrograph) || args[0].starts_with("--") ||
        (hydrograph && !IsStormNumber(args[3]))) {
        std::fputs(kHelp, stderr);
        return kExitUsage;
    }
    try {
        const results::RunResults run = results::ReadResults(std::string(args[0]));
        if (!hydrograph) {
            Print(results::SummaryCsv(run));
            return kExitClean;
        }
        const std::string catchment(args[2]);
        const std::string storm(args[3]);
        const auto row = results::FindRow(run, catchment, std::stoi(storm));
        if (!row) return Fail("the run holds no storm " + storm + " of catchment " + catchment);
        const results::StormResult* computed = results::StormOf(run, *row);
        if (!computed->computed)
            return Fail("storm " + storm + " of catchment " + catchment + " was not computed");
        Print(results::HydrographCsv(*computed));
        return kExitClean;
    } catch (const results::ResultsError& e) {
        return Fail(e.what());
    }
}

} // namespace tovan::cli
