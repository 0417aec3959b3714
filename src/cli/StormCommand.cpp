// tovandeck storm: a design storm's depths for scripts, or placed as a new B1 storm in a copy
// of a deck with the rules and messages of the Design Storm dialog.
#include "cli/Commands.h"
#include "cli/OpenedDeck.h"
#include "fortranio/NumericText.h"
#include "platform/FilePath.h"
#include "storms/StormPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace tovan::cli {

namespace {

constexpr const char* kHelp =
    "usage: tovandeck storm METHOD [--depth IN] [--duration MIN] [--step MIN] [OPTIONS]\n"
    "                              [--into DECK OUT [--number N] [--ident TEXT] [--replace]]\n"
    "Builds a design storm and prints its unit-time depths as CSV ('time_min,depth_in', the\n"
    "time at the end of each step), as the deck's F4.3 fields write them: each depth carries\n"
    "the rounding of the ones before, so they add up to the total to the last digit. The total\n"
    "goes to standard error. With --into, the storm is placed as a new B1 storm (or replaces\n"
    "storm N with --replace) in a copy of DECK saved to OUT as File > Save does.\n"
    "\n"
    "methods:\n"
    "  nrcs-1, nrcs-1a, nrcs-2, nrcs-3   NRCS 24-hour distributions (--depth; duration 1440)\n"
    "  block     alternating block from a depth-duration table: --table MIN:IN,MIN:IN,...\n"
    "            [--peak FRACTION of the duration, default 0.5]\n"
    "  chicago   Keifer-Chu storm from i = a / (t + b)^c (in/h, t in minutes):\n"
    "            --idf-a A --idf-b B --idf-c C [--peak-ratio R, default 0.5]\n"
    "  observed  a CSV file of time and depth, intensity or cumulative depth: --file CSV\n"
    "            [--kind depth|intensity|cumulative]; the duration defaults to the record's\n"
    "  uniform   the same depth in every step\n"
    "For block, chicago and observed, --depth scales the storm to that total.\n"
    "--step defaults to the unit duration of the deck's catchments that process the storm\n"
    "(with --into); without a deck it is required. Exit status 0, 3 for a parameter that\n"
    "cannot be used (the message names it); with --into, the statuses of 'format'.\n";

int Refuse(const std::string& why) {
    std::fprintf(stderr, "tovandeck storm: %s\n", why.c_str());
    return kExitUsage;
}

std::string Text(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

struct Options {
    std::map<std::string, std::string, std::less<>> values;
    bool replace = false;
    std::string deck, out;
};

// Every option takes one value but --replace; --into takes two.
std::optional<std::string> ReadOptions(Arguments args, Options& options) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view a = args[i];
        if (a == "--replace") {
            options.replace = true;
        } else if (a == "--into") {
            if (i + 2 >= args.size()) return "--into needs a deck and an output file";
            options.deck = args[++i];
            options.out = args[++i];
        } else if (a.starts_with("--") && i + 1 < args.size()) {
            options.values[std::string(a.substr(2))] = args[++i];
        } else {
            return "'" + std::string(a) + "' is not an option of storm, or it lacks its value";
        }
    }
    return std::nullopt;
}

double NumberOption(const Options& options, const char* name, double otherwise) {
    const auto found = options.values.find(name);
    if (found == options.values.end()) return otherwise;
    const auto value = NumericValue(found->second);
    if (!value)
        throw StormInputError(name, "--" + std::string(name) + " '" + found->second +
                                        "' is not a number.");
    return *value;
}

std::vector<DepthDuration> TableOption(const Options& options) {
    std::vector<DepthDuration> table;
    const auto found = options.values.find("table");
    if (found == options.values.end()) return table;
    std::istringstream items(found->second);
    for (std::string item; std::getline(items, item, ',');) {
        const auto colon = item.find(':');
        const auto minutes = NumericValue(item.substr(0, colon));
        const auto inches =
            colon == std::string::npos ? std::nullopt : NumericValue(item.substr(colon + 1));
        if (!minutes || !inches)
            throw StormInputError("table", "--table item '" + item +
                                               "' is not MINUTES:INCHES, such as 60:1.8.");
        table.push_back({*minutes, *inches});
    }
    return table;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in{PathFromText(path), std::ios::binary};
    if (!in) throw StormInputError("file", "cannot open " + path + ".");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

StormRequest RequestFrom(StormMethod method, const Options& options) {
    StormRequest request;
    request.method = method;
    StormParameters& p = request.parameters;
    const bool nrcs = method == StormMethod::Nrcs1 || method == StormMethod::Nrcs1A ||
                      method == StormMethod::Nrcs2 || method == StormMethod::Nrcs3;
    p.depth = NumberOption(options, "depth", 0);
    p.duration = NumberOption(options, "duration", nrcs ? 1440 : 0);
    p.step = NumberOption(options, "step", 0);
    p.peakPosition = NumberOption(options, "peak", 0.5);
    p.table = TableOption(options);
    p.idfA = NumberOption(options, "idf-a", 0);
    p.idfB = NumberOption(options, "idf-b", 0);
    p.idfC = NumberOption(options, "idf-c", 0);
    p.peakRatio = NumberOption(options, "peak-ratio", 0.5);
    if (method == StormMethod::Observed) {
        const auto file = options.values.find("file");
        if (file == options.values.end())
            throw StormInputError("file", "the observed method needs --file CSV.");
        p.observedCsv = ReadWholeFile(file->second);
        if (const auto kind = options.values.find("kind"); kind != options.values.end()) {
            if (kind->second == "depth")
                p.observedKind = ObservedKind::Depth;
            else if (kind->second == "intensity")
                p.observedKind = ObservedKind::Intensity;
            else if (kind->second == "cumulative")
                p.observedKind = ObservedKind::Cumulative;
            else
                throw StormInputError("kind", "--kind is depth, intensity or cumulative.");
        }
    }
    request.number = static_cast<int>(NumberOption(options, "number", 0));
    if (const auto ident = options.values.find("ident"); ident != options.values.end())
        request.ident = ident->second;
    request.replace = options.replace;
    return request;
}

void PrintDepths(const PreparedStorm& storm) {
    std::puts("time_min,depth_in");
    for (std::size_t k = 0; k < storm.written.thousandths.size(); ++k)
        std::printf("%s,%s\n", Text(static_cast<double>(k + 1) * storm.step).c_str(),
                    ThousandthsText(storm.written.thousandths[k]).c_str());
}

void TellTotal(const PreparedStorm& storm) {
    const auto& t = storm.written.thousandths;
    const auto peak = std::max_element(t.begin(), t.end());
    std::fprintf(stderr, "total %s in in %zu steps of %s min; peak %s in at %s min\n",
                 ThousandthsText(storm.written.totalThousandths).c_str(), t.size(),
                 Text(storm.step).c_str(), ThousandthsText(peak == t.end() ? 0 : *peak).c_str(),
                 Text(static_cast<double>(peak - t.begin() + 1) * storm.step).c_str());
    if (!storm.depths.note.empty()) std::fprintf(stderr, "%s\n", storm.depths.note.c_str());
}

// A deck without --into: a B1 deck with no catchments, so that PrepareStorm has its rules.
DeckGrids EmptyB1Deck() {
    DeckGrids grids;
    grids.fpCardA.setValue(col::kAOption, kTemplateRow, "0");
    return grids;
}

} // namespace

int StormCommand(Arguments args) {
    if (WantsHelp(args, kHelp)) return kExitClean;
    if (args.empty()) return Usage(kHelp);
    const auto method = MethodNamed(args[0]);
    if (!method) return Refuse("'" + std::string(args[0]) + "' is no method; see --help");
    Options options;
    if (const auto wrong = ReadOptions(args, options)) return Refuse(*wrong);
    ConsolePlatform platform;
    OpenedDeck deck;
    if (!options.deck.empty()) {
        if (!ReadInto(deck, options.deck, platform)) return kExitUsage;
        if (deck.outcome != ReadOutcome::Read) return kExitFailed;
    } else {
        deck.grids = EmptyB1Deck();
    }
    try {
        StormRequest request = RequestFrom(*method, options);
        if (options.deck.empty() && request.parameters.step <= 0)
            throw StormInputError("step", "--step is required without a deck to take it from.");
        const PreparedStorm storm = PrepareStorm(deck.grids, request);
        TellTotal(storm);
        for (const std::string& note : storm.notes)
            std::fprintf(stderr, "%s\n", note.c_str());
        if (options.deck.empty()) {
            PrintDepths(storm);
            return kExitClean;
        }
        PlaceStorm(deck.grids, storm);
        return SaveAs(deck.grids, options.out, platform, false);
    } catch (const StormInputError& error) {
        return Refuse(std::string(error.what()) + " [" + error.parameter() + "]");
    }
}

} // namespace tovan::cli
