// tovandeck: the deck core of Tovan2000 for scripts and batch work.
#include "cli/Commands.h"

#include <cstdio>
#include <string_view>
#include <vector>

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
};

void PrintUsage(std::FILE* out) {
    std::fputs("usage: tovandeck COMMAND [ARGS...]\n\ncommands:\n", out);
    for (const Command& c : kCommands) {
        std::fprintf(out, "  %-7.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                     static_cast<int>(c.summary.size()), c.summary.data());
    }
    std::fputs("\n'tovandeck COMMAND --help' describes one command.\n", out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return tovan::cli::kExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintUsage(stdout);
        return tovan::cli::kExitClean;
    }
    const std::vector<std::string_view> args(argv + 2, argv + argc);
    for (const Command& c : kCommands) {
        if (c.name == name) return c.run(args);
    }
    std::fprintf(stderr, "tovandeck: unknown command '%s'\n\n", argv[1]);
    PrintUsage(stderr);
    return tovan::cli::kExitUsage;
}
