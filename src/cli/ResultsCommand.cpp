// tovandeck results FILE.results.json [--hydrograph CATCHMENT STORM]: what a run computed, as
// CSV for spreadsheets and scripts: the same summary and hydrographs the results window shows
// and exports. With --swmm, --long-csv or --hms it hands every computed hydrograph on to a
// routing model instead.
#include "cli/Commands.h"
#include "fileio/FileReplace.h"
#include "report/RoutingExport.h"
#include "results/RunResults.h"

#include <cstdio>
#include <map>
#include <optional>
#include <string>

namespace tovan::cli {

namespace {

constexpr const char* kHelp =
    "usage: tovandeck results FILE.results.json [--hydrograph CATCHMENT STORM]\n"
    "Prints the summary of a run (one line per catchment and storm: peak flow, time to peak,\n"
    "runoff volume, rational peak, notes) as CSV. With --hydrograph, prints the storm\n"
    "hydrograph of one catchment (its identification or number) and storm number instead.\n"
    "A file that is not a complete results file, or a pair the run does not hold, exits 2.\n"
    "\n"
    "usage: tovandeck results FILE.results.json [--swmm OUT.inp [--node CATCHMENT=NODE ...]]\n"
    "                                           [--long-csv OUT.csv] [--hms OUT.txt]\n"
    "Writes every computed hydrograph for a routing model: --swmm a SWMM 5 fragment\n"
    "([TIMESERIES] and [INFLOWS]; a catchment without --node flows to a node named after\n"
    "it), --long-csv catchment,storm,time_h,flow_cfs, --hms a paired time-flow table per\n"
    "hydrograph. A file that cannot be written is left as it was and exits 2.\n";

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

struct Exports {
    std::string swmm, longCsv, hms;
    std::map<std::string, std::string> nodes;
};

// The export options after the file; nothing when they are not all understood.
std::optional<Exports> ReadExports(Arguments args) {
    Exports exports;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view option = args[i];
        if (i + 1 >= args.size()) return std::nullopt;
        const std::string value(args[++i]);
        if (option == "--swmm") {
            exports.swmm = value;
        } else if (option == "--long-csv") {
            exports.longCsv = value;
        } else if (option == "--hms") {
            exports.hms = value;
        } else if (option == "--node" && value.find('=') != std::string::npos &&
                   value.find('=') > 0) {
            exports.nodes[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
        } else {
            return std::nullopt;
        }
    }
    if (exports.swmm.empty() && exports.longCsv.empty() && exports.hms.empty()) return std::nullopt;
    return exports;
}

int WriteExports(const results::RunResults& run, const Exports& exports) {
    const std::vector<results::SummaryRow> rows = results::SummaryRows(run);
    const std::pair<const std::string*, std::string> files[] = {
        {&exports.swmm, exports.swmm.empty() ? "" : report::SwmmFragment(run, rows, exports.nodes)},
        {&exports.longCsv, exports.longCsv.empty() ? "" : report::LongFormCsv(run, rows)},
        {&exports.hms, exports.hms.empty() ? "" : report::HecHmsTables(run, rows)}};
    for (const auto& [path, text] : files) {
        if (path->empty()) continue;
        if (const int error = ReplaceFileContents(*path, text))
            return Fail(*path + " could not be written: " + DescribeFileError(error));
    }
    return kExitClean;
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
    const std::optional<Exports> exports =
        args.size() > 1 && !hydrograph ? ReadExports(args) : std::nullopt;
    if (!(args.size() == 1 || hydrograph || exports) || args[0].starts_with("--") ||
        (hydrograph && !IsStormNumber(args[3]))) {
        std::fputs(kHelp, stderr);
        return kExitUsage;
    }
    try {
        const results::RunResults run = results::ReadResults(std::string(args[0]));
        if (exports) return WriteExports(run, *exports);
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
