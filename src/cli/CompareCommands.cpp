// compare and diff: two runs' results side by side, and two decks cell by cell, for scripted
// checks of a proposed design.
#include "cli/Commands.h"
#include "cli/OpenedDeck.h"
#include "compare/DeckDiff.h"
#include "compare/ResultsComparison.h"
#include "fortranio/NumericText.h"
#include "platform/FilePath.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tovan::cli {

namespace {

constexpr const char* kCompareHelp =
    "usage: tovandeck compare A.results.json B.results.json [--threshold PERCENT]\n"
    "Prints the two runs side by side as CSV, matched by catchment identification and storm\n"
    "number: peak flow, time to peak and runoff volume of A and B, their difference and its\n"
    "percentage; a catchment-storm found on one side only is listed as such. The count of the\n"
    "matched and unmatched goes to standard error.\n"
    "Exit status 0, 1 when a peak of B exceeds A's by more than PERCENT (default 0),\n"
    "3 for a usage error or a results file that cannot be read.\n";
constexpr const char* kDiffHelp =
    "usage: tovandeck diff A.tvi B.tvi\n"
    "Reads both decks as File > Open does and lists every differing cell as CSV: record set,\n"
    "record in A and in B, catchment, field, value in A, value in B. Catchments are matched by\n"
    "identification, then by position; storms by number.\n"
    "Exit status 0 when the decks hold the same, 1 when they differ, 2 when one cannot be\n"
    "read, 3 for a usage error or a file that cannot be opened.\n";

bool SameFile(std::string_view a, std::string_view b) {
    std::error_code error;
    return std::filesystem::equivalent(PathFromText(a), PathFromText(b), error);
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

} // namespace

int CompareCommand(Arguments args) {
    if (WantsHelp(args, kCompareHelp)) return kExitClean;
    std::vector<std::string_view> files;
    double threshold = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--threshold" && i + 1 < args.size()) {
            const auto value = NumericValue(args[++i]);
            if (!value) return Usage(kCompareHelp);
            threshold = *value;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return Usage(kCompareHelp);
    if (SameFile(files[0], files[1]))
        std::fputs("tovandeck compare: A and B are the same file; every difference is 0\n", stderr);
    try {
        const auto a = results::ReadResults(PathFromText(files[0]));
        const auto b = results::ReadResults(PathFromText(files[1]));
        const ResultsComparison comparison = CompareResults(a, b);
        Print(ComparisonCsv(comparison, std::string(files[0]), std::string(files[1])));
        std::fprintf(stderr, "%s\n", MatchCountText(comparison).c_str());
        std::size_t exceeding = 0;
        for (const ComparisonRow& row : comparison.rows)
            exceeding += PeakExceeds(row, threshold);
        if (exceeding == 0) return kExitClean;
        std::fprintf(stderr, "%zu peaks of B exceed A's by more than %s %%\n", exceeding,
                     results::NumberText(threshold).c_str());
        return kExitWarnings;
    } catch (const results::ResultsError& error) {
        std::fprintf(stderr, "tovandeck compare: %s\n", error.what());
        return kExitUsage;
    }
}

int DiffCommand(Arguments args) {
    if (WantsHelp(args, kDiffHelp)) return kExitClean;
    if (args.size() != 2) return Usage(kDiffHelp);
    if (SameFile(args[0], args[1]))
        std::fputs("tovandeck diff: A and B are the same file\n", stderr);
    ConsolePlatform platform;
    platform.collapseRepeats(true);
    OpenedDeck a, b;
    if (!ReadInto(a, args[0], platform) || !ReadInto(b, args[1], platform)) return kExitUsage;
    if (a.outcome != ReadOutcome::Read || b.outcome != ReadOutcome::Read) return kExitFailed;
    const auto differences = DiffDecks(a.grids, b.grids);
    Print(DifferencesCsv(differences));
    std::fprintf(stderr, "%zu cells differ\n", differences.size());
    return differences.empty() ? kExitClean : kExitWarnings;
}

} // namespace tovan::cli
