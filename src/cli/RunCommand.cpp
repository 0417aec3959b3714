// tovandeck run DECK [--report NAME] [--drelm NAME] [--peak NAME] [--timeout SECONDS]
//
// The run of the run form without its window: the preliminary call with the scratch names,
// the real call with the derived names in the deck's folder, and the removal of the scratch
// files. The error boxes become lines on standard error.
#include "cli/Commands.h"
#include "platform/FilePath.h"
#include "platform/RecordingPlatform.h"
#include "results/RunResults.h"
#include "run/HostEngineCaller.h"
#include "run/RunNames.h"
#include "run/RunSequence.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tovan::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: tovandeck run DECK [--report NAME] [--drelm NAME] [--peak NAME] [--timeout SECONDS]\n"
    "Runs the engine on DECK in the deck's folder and prints the names of its report,\n"
    "routing-model (DRELM) and peak-flow files. A NAME is given without extension.\n"
    "Names that would overwrite the deck, each other or the run's scratch files, and outputs\n"
    "that are links, folders, pipes, devices or files you may not write, are refused before\n"
    "the engine starts; existing outputs it replaces are named on standard error.\n"
    "With --timeout, an engine still running after SECONDS is stopped and all its outputs\n"
    "are removed, the results file included (exit status 2).\n"
    "Each catchment and storm the engine could not compute is named on standard error:\n"
    "  Catchment EAST, storm 2: not computed: <reason>\n"
    "Exit status: 0 when every catchment and storm was computed, 1 when some were not,\n"
    "2 when none was or the run failed, 3 for a usage error.\n";

// Shows the run's messages on standard error instead of in boxes.
class ConsolePlatform : public RecordingPlatform {
  public:
    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override {
        RecordingPlatform::showMessage(text, icon, title);
        std::fprintf(stderr, "tovandeck run: %.*s %.*s\n", static_cast<int>(title.size()),
                     title.data(), static_cast<int>(text.size()), text.data());
    }
};

struct RunArguments {
    std::string deck;
    std::string report, drelm, peak;
    std::string timeout;
};

// Seconds as a positive number, fractions allowed; nothing for anything else.
std::optional<std::chrono::milliseconds> TimeoutOf(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(seconds > 0) || seconds > 1e7) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
}

std::optional<RunArguments> Parse(Arguments args) {
    RunArguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view a = args[i];
        std::string* target = a == "--report"    ? &parsed.report
                              : a == "--drelm"   ? &parsed.drelm
                              : a == "--peak"    ? &parsed.peak
                              : a == "--timeout" ? &parsed.timeout
                                                 : nullptr;
        if (target != nullptr && i + 1 < args.size()) {
            *target = std::string(args[++i]);
        } else if (target == nullptr && !a.starts_with("--") && parsed.deck.empty()) {
            parsed.deck = std::string(a);
        } else {
            return std::nullopt;
        }
    }
    if (parsed.deck.empty()) return std::nullopt;
    if (!parsed.timeout.empty() && !TimeoutOf(parsed.timeout)) return std::nullopt;
    return parsed;
}

void PrintOutputs(const fs::path& folder, const run::EngineFiles& files) {
    for (const std::string* name : {&files.report, &files.drelm, &files.peak}) {
        std::printf("%s\n", TextFromPath(folder / *name).c_str());
    }
}

// Names on standard error each catchment-storm the run did not compute. The exit status: clean
// when every one was computed, warnings when some were not, failed when none was (an empty deck,
// a card A the engine cannot use, every catchment a PROBLEM) or the results cannot be read. An
// engine without the results file (one with only the old entry point) cannot be judged: that is
// said, and the run counts as done.
int SayWhatWasNotComputed(const fs::path& report) {
    const fs::path file = run::ResultsFileOf(report.parent_path(), TextFromPath(report.filename()));
    std::error_code absent;
    if (!fs::exists(file, absent)) {
        std::fprintf(stderr,
                     "tovandeck run: the engine wrote no results file (%s); what it computed "
                     "is not judged\n",
                     TextFromPath(file).c_str());
        return kExitClean;
    }
    results::RunVerdict verdict;
    try {
        verdict = results::VerdictOf(results::ReadResults(file));
    } catch (const results::ResultsError& error) {
        std::fprintf(stderr, "tovandeck run: %s\n", error.what());
        return kExitFailed;
    }
    for (const std::string& line : verdict.notComputed)
        std::fprintf(stderr, "%s\n", line.c_str());
    if (verdict.nothingComputed()) {
        std::fputs("tovandeck run: nothing was computed\n", stderr);
        return kExitFailed;
    }
    return verdict.complete() ? kExitClean : kExitWarnings;
}

} // namespace

int RunCommand(Arguments args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return kExitClean;
    }
    const std::optional<RunArguments> parsed = Parse(args);
    if (!parsed) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    const fs::path deck = PathFromText(parsed->deck);
    std::error_code ec;
    if (!fs::is_regular_file(deck, ec)) {
        std::fprintf(stderr, "tovandeck run: %s: no such deck file\n", parsed->deck.c_str());
        return kExitUsage;
    }
    run::RunRequest request{deck.parent_path(),
                            TextFromPath(deck.filename()),
                            parsed->report,
                            parsed->drelm,
                            parsed->peak,
                            [](const std::string& replaced) {
                                std::fprintf(stderr, "tovandeck run: %s\n", replaced.c_str());
                            }};
    ConsolePlatform platform;
    run::ChildOptions options;
    options.timeout = TimeoutOf(parsed->timeout);
    run::HostEngineCaller engine(run::HostEngineCaller::DefaultHost(), options);
    const run::RunResult result = run::RunEngine(platform, engine, request);
    if (!result.completed) return kExitFailed;
    PrintOutputs(deck.parent_path(), result.files);
    const int verdict = SayWhatWasNotComputed(deck.parent_path() / result.files.report);
    // A failed preliminary call that the real call did not meet again still deserves a status.
    return std::max(verdict, platform.messages.empty() ? kExitClean : kExitWarnings);
}

} // namespace tovan::cli
