// tovandeck report SOURCE OUT.pdf [options]: the desktop program's report, for batch work.
// Drawing a PDF with embedded fonts takes the desktop program's painter, so the command starts
// tovan2000 --report beside it, which needs no display, and passes its words and exit status on.
#include "cli/Commands.h"
#include "run/ChildProcess.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace tovan::cli {

namespace {

constexpr const char* kHelp =
    "usage: tovandeck report SOURCE OUT.pdf [--paper A4|Letter] [--landscape] [--cards]\n"
    "                        [--no-storms] [--no-inputs] [--no-summary] [--no-plots]\n"
    "                        [--no-notes] [--prepared-by NAME] [--checked-by NAME]\n"
    "Writes the report of a run (SOURCE a .results.json, its deck read beside it) or of a\n"
    "deck without results (SOURCE a .tvi: its inputs and what checking it finds) as PDF,\n"
    "whole or not at all. Starts tovan2000 --report, found beside tovandeck.\n";

std::filesystem::path DesktopProgram() {
#ifdef _WIN32
    return run::ProgramFolder() / "tovan2000.exe";
#else
    return run::ProgramFolder() / "tovan2000";
#endif
}

} // namespace

int ReportCommand(Arguments args) {
    if (WantsHelp(args, kHelp)) return kExitClean;
    if (args.size() < 2) return Usage(kHelp);
    const std::filesystem::path program = DesktopProgram();
    std::error_code error;
    if (!std::filesystem::exists(program, error)) {
        std::fprintf(stderr,
                     "tovandeck report: the report is drawn by tovan2000, which is not beside "
                     "tovandeck (%s)\n",
                     program.string().c_str());
        return kExitFailed;
    }
    std::vector<std::string> arguments{"--report"};
    arguments.insert(arguments.end(), args.begin(), args.end());
    const run::ChildResult result =
        run::RunChild(program, arguments, std::filesystem::current_path(error));
    std::fputs(result.standardError.c_str(), stderr);
    if (!result.started) {
        std::fprintf(stderr, "tovandeck report: %s could not be started: %s\n",
                     program.string().c_str(), result.startError.c_str());
        return kExitFailed;
    }
    return result.exited ? result.exitStatus : kExitFailed;
}

} // namespace tovan::cli
