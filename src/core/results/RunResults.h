// What one run of the engine computed, read from its results file (`<report base>.results.json`,
// docs/results-json.md): the catchments with their storms, hydrographs, peaks, volumes and
// messages. The results window and `tovandeck results` both read it through here, so that the
// table, the plot and the CSV files show the same numbers.
#pragma once

#include "results/Units.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tovan::results {

// A results file that cannot be read or is not one; what() says why, naming the file.
class ResultsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Message {
    bool problem = false; // PROBLEM (not computed); otherwise a NOTE (used as given)
    std::string text;
    std::string catchment; // empty for the deck and its storms
    std::optional<int> storm;
    int line = 0;
};

struct Rational {
    double c = 0, tcMinutes = 0, intensityInchesPerHour = 0, peakCfs = 0;
    bool tcFromKirpich = false;
};

struct StormResult {
    int storm = 0;
    std::string identification;
    bool computed = false;
    std::vector<Message> messages;
    std::optional<double> returnPeriodYears, oneHourDepthInches;
    double timeStepHours = 0;
    std::vector<double> rainfallInches, lossInches, excessInches;
    std::vector<double> hydrographTimesHours, hydrographFlowsCfs;
    double peakCfs = 0, timeToPeakHours = 0, runoffInches = 0, runoffAcreFeet = 0;
    std::optional<Rational> rational;
};

struct CatchmentResult {
    std::string identification; // as on card C, trailing blanks left out
    int number = 0;
    std::string description;
    int line = 0;
    bool computed = false;
    std::vector<Message> messages;
    double areaSquareMiles = 0, unitDurationHours = 0;
    double unitHydrographStepHours = 0;
    std::vector<double> unitHydrographCfs; // cfs per inch of excess at 0, dt, 2 dt, ...
    std::vector<StormResult> storms;
};

struct RunResults {
    std::filesystem::path file;             // the results file itself
    std::string input, report, drelm, peak; // the run's names, relative to the file's folder
    std::string title;
    int rainfallOption = 0;
    std::vector<Message> deckMessages;
    std::vector<CatchmentResult> catchments;

    // The report's full name, beside the results file.
    std::filesystem::path reportPath() const;
};

// Reads a complete results file, every series with it; throws ResultsError when it cannot be
// read, is not valid JSON, is not a results file or not of this version, was cut short, or has
// a field that is not what the format says (the error names the field's path).
RunResults ReadResults(const std::filesystem::path& file);
RunResults ParseResults(std::string_view json, const std::filesystem::path& file = {});

// One line of the summary: a catchment and one of its storms. A catchment stopped before any
// storm has one line without a storm (storm == kNoStorm).
inline constexpr std::size_t kNoStorm = static_cast<std::size_t>(-1);
struct SummaryRow {
    std::size_t catchment = 0;
    std::size_t storm = kNoStorm;
};
std::vector<SummaryRow> SummaryRows(const RunResults& results);

// The storm of a row, or nullptr for a catchment without storms.
const StormResult* StormOf(const RunResults& results, const SummaryRow& row);
// The notes of a row: its catchment's messages and its storm's, "NOTE: ..." / "PROBLEM: ...",
// separated by "; ".
std::string NotesOf(const RunResults& results, const SummaryRow& row);
bool HasProblem(const RunResults& results, const SummaryRow& row);

// What a run computed and what it did not: every catchment-storm computed is counted; every one
// not computed is a line "Catchment EAST, storm 2: not computed: <reason>" (a catchment stopped
// before its storms, "Catchment EAST: not computed: <reason>"), after the deck's own problems
// ("Deck, line 1: not computed: <reason>").
struct RunVerdict {
    std::size_t computed = 0;
    std::vector<std::string> notComputed;
    bool complete() const { return computed > 0 && notComputed.empty(); }
    bool nothingComputed() const { return computed == 0; }
};
RunVerdict VerdictOf(const RunResults& results);
// For the user, beside "Program Completed": "2 of 9 catchment-storms were not computed:" and the
// first lines of the verdict; empty when everything was computed or the engine wrote no results
// file. A results file that cannot be read says why instead.
std::string NotComputedText(const std::filesystem::path& resultsFile);

// The row of a catchment (by identification or number) and storm number, or nothing.
std::optional<SummaryRow> FindRow(const RunResults& results, std::string_view catchment, int storm);

// CSV with a header row naming the units; numbers with a dot whatever the locale, text quoted
// where it must be. An absent value is an empty field.
// Figures in the units chosen; column names end in the unit ("peak_cfs", "peak_m3s").
std::string SummaryCsvHeader(UnitSystem units = UnitSystem::USCustomary);
std::string SummaryCsvLine(const RunResults& results, const SummaryRow& row,
                           UnitSystem units = UnitSystem::USCustomary);
std::string SummaryCsv(const RunResults& results, UnitSystem units = UnitSystem::USCustomary);
std::string SummaryCsv(const RunResults& results, const std::vector<SummaryRow>& rows,
                       UnitSystem units = UnitSystem::USCustomary);
std::string HydrographCsv(const StormResult& storm);
// The hydrographs of the computed storms of `rows`, one after the other in long form: a header
// row "catchment,number,storm,time_h,rain_in,excess_in,flow_cfs", then a line per ordinate,
// with the rain and excess of the step that starts at its time (empty after the storm).
std::string HydrographsCsv(const RunResults& results, const std::vector<SummaryRow>& rows,
                           UnitSystem units = UnitSystem::USCustomary);

// A text as one CSV field: quoted, its quotes doubled, when it holds a comma, a quote or a
// line break.
std::string CsvField(const std::string& text);

// A number the shortest way that reads back to the same value, with a dot.
std::string NumberText(double value);

// The decimals figures are shown with in tables to read (the results window, the report):
// enough for the engine's figures, few enough to read at a glance.
inline constexpr int kFlowDecimals = 2, kTimeDecimals = 3, kDepthDecimals = 4,
                     kVolumeDecimals = 4;
// `value` with `decimals` decimals and a dot; empty when it is not finite.
std::string FixedText(double value, int decimals);

} // namespace tovan::results
