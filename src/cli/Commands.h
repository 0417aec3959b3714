// The commands of tovandeck. Each takes the arguments after the command name and returns the
// process exit status.
#pragma once

#include <span>
#include <string_view>

namespace tovan::cli {

using Arguments = std::span<const std::string_view>;

// Exit statuses shared by every command.
inline constexpr int kExitClean = 0;    // nothing was reported
inline constexpr int kExitWarnings = 1; // only warnings were reported
inline constexpr int kExitFailed = 2;   // reading failed or a fatal rule fired
inline constexpr int kExitUsage = 3;    // usage error, or a file that cannot be opened

// Shared by the commands: prints `help` on standard output when --help or -h is among the
// arguments; prints it on standard error and gives the usage status.
bool WantsHelp(Arguments args, const char* help);
int Usage(const char* help);

int CheckCommand(Arguments args);
int FormatCommand(Arguments args);
int DumpCommand(Arguments args);
int SaveCommand(Arguments args);
int RunCommand(Arguments args);
int SlopeCommand(Arguments args);
int ResultsCommand(Arguments args);
int ReferenceCommand(Arguments args);
int StormCommand(Arguments args);
int CompareCommand(Arguments args);
int DiffCommand(Arguments args);
int ReportCommand(Arguments args);

} // namespace tovan::cli
