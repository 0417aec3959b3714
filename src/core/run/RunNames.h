// The file names of an engine run: the fixed scratch names of the preliminary call and the
// output names derived from the chosen deck and the three optional boxes of the run form.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovan::run {

// The four names handed to the engine, in the order of its argument list.
struct EngineFiles {
    std::string input;
    std::string report;
    std::string drelm;
    std::string peak;
    friend bool operator==(const EngineFiles&, const EngineFiles&) = default;
};

// The preliminary call always uses these, relative to the working folder.
inline const EngineFiles kScratchFiles{"Killz__1.tvi", "Killz__1.tvo", "Killz__1.tvd",
                                       "Killz__1.tvp"};
// Every file whose name is this prefix plus exactly one more character is a scratch file.
inline constexpr std::string_view kScratchPrefix = "Killz__1.tv";

inline constexpr std::string_view kReportExtension = ".tvo";
inline constexpr std::string_view kDrelmExtension = ".tvd";
// The peak file takes the deck's own extension behind an infix, so that with the default
// names it can never overwrite the deck it was computed from.
inline constexpr std::string_view kPeakInfix = "Peak";
inline constexpr std::string_view kDeckExtension = ".tvi";

// Leading and trailing blanks removed (blanks only: a tab is part of a name).
std::string TrimBlanks(std::string_view text);

// The deck name without a three-letter extension: when the fourth character from the end is
// a point, the last four characters go; otherwise (also for names shorter than four) the whole
// name is the base name. "storm.tvi" -> "storm", "storm.data" -> "storm.data", ".tvi" -> "".
std::string BaseName(std::string_view inputFile);

// The names of the real call. An empty (or all-blank) box takes the base name; every output
// name then gets its extension appended, after any extension the user typed.
EngineFiles DeriveEngineFiles(std::string_view inputFile, std::string_view reportBox,
                              std::string_view drelmBox, std::string_view peakBox);

// True for "Killz__1.tv" followed by exactly one character.
bool IsScratchFileName(std::string_view name);

// Why a run with these names would destroy a file it needs, or nothing when it would not: an
// output (the results file included) named like the input deck or like another output, or a deck or
// output named like a scratch file (the clean-up after the run deletes those). Names resolve
// against `folder`; two names of one existing file (a hard link, a case-insensitive file system)
// count as the same.
std::optional<std::string> FindNameClash(const std::filesystem::path& folder,
                                         const EngineFiles& files);

// The engine's results file, `<report base>.results.json` beside the report: the report's name
// without its extension ("run.tvo" and "run" give "run.results.json").
std::string ResultsFileName(std::string_view report);
// That file's full name, for a run in `folder` whose report is named `report`.
std::filesystem::path ResultsFileOf(const std::filesystem::path& folder, std::string_view report);

// Every file a run writes besides the scratch files, with its role for messages.
struct RunOutput {
    const char* role; // "report", "DRELM", "peak", "results"
    std::string name;
};
std::vector<RunOutput> OutputsOf(const EngineFiles& files);

// What a run may not write over, as a save would not: an output name that is a folder, pipe,
// device or socket; one that is a symbolic link (the engine puts its complete file in the
// link's place); an existing file the user may not write. Nothing when every output may be
// written.
std::optional<std::string> FindUnwritableOutput(const std::filesystem::path& folder,
                                                const EngineFiles& files);
// The outputs that exist already and that the run will replace, as their names.
std::vector<std::string> ReplacedOutputs(const std::filesystem::path& folder,
                                         const EngineFiles& files);
// "The run replaces storm.tvo and storm.results.json." or nothing when it replaces nothing.
std::string ReplacedOutputsText(const std::vector<std::string>& names);

// The folder part of a dialog's full file name: the full name cut before the separator that
// precedes the file title ("/data/storm.tvi", "storm.tvi" -> "/data").
std::string FolderOfChosenFile(std::string_view fullName, std::string_view fileTitle);

} // namespace tovan::run
