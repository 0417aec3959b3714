// tovandeck: the deck core of Tovan2000 for scripts and batch work.
#include "Version.h"
#include "cli/Commands.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#include "platform/FilePath.h"

#include <windows.h>
// shellapi.h needs the types of windows.h.
#include <shellapi.h>
#endif

namespace {

struct Command {
    std::string_view name;
    int (*run)(tovan::cli::Arguments);
    std::string_view summary;
};

constexpr Command kCommands[] = {
    {"check", tovan::cli::CheckCommand, "read a deck and apply the save rules, writing nothing"},
    {"format", tovan::cli::FormatCommand, "read a deck and save it again as File > Save does"},
    {"dump", tovan::cli::DumpCommand, "write the five grids of a deck as JSON"},
    {"save", tovan::cli::SaveCommand, "save grids given as JSON to a deck"},
    {"run", tovan::cli::RunCommand, "run the engine on a deck"},
    {"slope", tovan::cli::SlopeCommand, "compute a weighted composite slope"},
    {"results", tovan::cli::ResultsCommand, "print what a run computed as CSV"},
    {"compare", tovan::cli::CompareCommand, "compare two runs' results, catchment by catchment"},
    {"diff", tovan::cli::DiffCommand, "list the cells in which two decks differ"},
    {"report", tovan::cli::ReportCommand, "write the report of a run or a deck as PDF"},
    {"storm", tovan::cli::StormCommand, "build a design storm, or place it in a copy of a deck"},
    {"reference", tovan::cli::ReferenceCommand, "print the deck's fields as a Markdown reference"},
};

void PrintUsage(std::FILE* out) {
    std::fputs("usage: tovandeck COMMAND [ARGS...]\n\ncommands:\n", out);
    for (const Command& c : kCommands) {
        std::fprintf(out, "  %-7.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                     static_cast<int>(c.summary.size()), c.summary.data());
    }
    std::fputs("\n'tovandeck COMMAND --help' describes one command; 'tovandeck --version' "
               "names this version.\n",
               out);
}

// The arguments as text in the program's file-name encoding. Windows hands main() its
// arguments in the user's code page, which loses the letters outside it: there they are taken
// from the wide command line and kept as UTF-8.
std::vector<std::string> ArgumentsOf(int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(tovan::Utf8FromWide(wide[i]));
    ::LocalFree(wide);
    return arguments;
#else
    return std::vector<std::string>(argv, argv + argc);
#endif
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = ArgumentsOf(argc, argv);
    if (arguments.size() < 2) {
        PrintUsage(stderr);
        return tovan::cli::kExitUsage;
    }
    const std::string_view name = arguments[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return tovan::cli::kExitClean;
    }
    if (name == "--version") {
        std::printf("tovandeck %s\n", tovan::kVersionText);
        return tovan::cli::kExitClean;
    }
    const std::vector<std::string_view> args(arguments.begin() + 2, arguments.end());
    for (const Command& c : kCommands) {
        if (c.name == name) return c.run(args);
    }
    std::fprintf(stderr, "tovandeck: unknown command '%s'\n\n", arguments[1].c_str());
    PrintUsage(stderr);
    return tovan::cli::kExitUsage;
}
