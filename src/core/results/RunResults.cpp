#include "results/RunResults.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tovan::results {

namespace fs = std::filesystem;

namespace {

std::string OptionalText(const std::optional<double>& value) {
    return value ? NumberText(*value) : std::string();
}

} // namespace

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

namespace {

std::string MessageText(const Message& m) {
    return std::string(m.problem ? "PROBLEM: " : "NOTE: ") + m.text;
}

} // namespace

fs::path RunResults::reportPath() const {
    return report.empty() ? fs::path() : file.parent_path() / report;
}

std::vector<SummaryRow> SummaryRows(const RunResults& results) {
    std::vector<SummaryRow> rows;
    for (std::size_t c = 0; c < results.catchments.size(); ++c) {
        const auto& storms = results.catchments[c].storms;
        if (storms.empty()) rows.push_back({c, kNoStorm});
        for (std::size_t s = 0; s < storms.size(); ++s)
            rows.push_back({c, s});
    }
    return rows;
}

const StormResult* StormOf(const RunResults& results, const SummaryRow& row) {
    if (row.storm == kNoStorm) return nullptr;
    return &results.catchments[row.catchment].storms[row.storm];
}

std::string NotesOf(const RunResults& results, const SummaryRow& row) {
    std::string notes;
    auto add = [&notes](const Message& m) {
        if (!notes.empty()) notes += "; ";
        notes += MessageText(m);
    };
    for (const Message& m : results.catchments[row.catchment].messages)
        add(m);
    if (const StormResult* storm = StormOf(results, row))
        for (const Message& m : storm->messages)
            add(m);
    return notes;
}

bool HasProblem(const RunResults& results, const SummaryRow& row) {
    const auto problem = [](const Message& m) { return m.problem; };
    const auto& catchment = results.catchments[row.catchment];
    const StormResult* storm = StormOf(results, row);
    return !catchment.computed || std::ranges::any_of(catchment.messages, problem) ||
           (storm != nullptr &&
            (!storm->computed || std::ranges::any_of(storm->messages, problem)));
}

namespace {

// The problems' texts, "; " between them; "no reason given" when the file names none.
std::string ProblemsOf(const std::vector<Message>& messages) {
    std::string reasons;
    for (const Message& m : messages) {
        if (!m.problem) continue;
        if (!reasons.empty()) reasons += "; ";
        reasons += m.text;
    }
    return reasons.empty() ? "no reason given" : reasons;
}

} // namespace

RunVerdict VerdictOf(const RunResults& results) {
    RunVerdict verdict;
    for (const Message& m : results.deckMessages) {
        if (m.problem)
            verdict.notComputed.push_back("Deck, line " + std::to_string(m.line) +
                                          ": not computed: " + m.text);
    }
    for (const CatchmentResult& catchment : results.catchments) {
        const std::string name = "Catchment " + catchment.identification;
        if (!catchment.computed) {
            verdict.notComputed.push_back(name +
                                          ": not computed: " + ProblemsOf(catchment.messages));
            continue;
        }
        for (const StormResult& storm : catchment.storms) {
            if (storm.computed) {
                ++verdict.computed;
                continue;
            }
            verdict.notComputed.push_back(name + ", storm " + std::to_string(storm.storm) +
                                          ": not computed: " + ProblemsOf(storm.messages));
        }
    }
    return verdict;
}

std::string NotComputedText(const std::filesystem::path& resultsFile) {
    std::error_code absent;
    if (!std::filesystem::exists(resultsFile, absent)) return {}; // an engine that writes none
    RunVerdict verdict;
    try {
        verdict = VerdictOf(ReadResults(resultsFile));
    } catch (const ResultsError& error) {
        return error.what();
    }
    if (verdict.complete()) return {};
    constexpr std::size_t kLinesShown = 10;
    const std::size_t all = verdict.computed + verdict.notComputed.size();
    std::string text = std::to_string(verdict.notComputed.size()) + " of " + std::to_string(all) +
                       (all == 1 ? " catchment-storm was" : " catchment-storms were") +
                       " not computed:";
    if (verdict.notComputed.empty()) text = "Nothing was computed.";
    for (std::size_t i = 0; i < std::min(kLinesShown, verdict.notComputed.size()); ++i)
        text += "\n" + verdict.notComputed[i];
    if (verdict.notComputed.size() > kLinesShown)
        text += "\n... and " + std::to_string(verdict.notComputed.size() - kLinesShown) +
                " more, in the report.";
    return text;
}

std::optional<SummaryRow> FindRow(const RunResults& results, std::string_view catchment,
                                  int storm) {
    for (std::size_t c = 0; c < results.catchments.size(); ++c) {
        const CatchmentResult& candidate = results.catchments[c];
        if (candidate.identification != catchment && std::to_string(candidate.number) != catchment)
            continue;
        for (std::size_t s = 0; s < candidate.storms.size(); ++s)
            if (candidate.storms[s].storm == storm) return SummaryRow{c, s};
    }
    return std::nullopt;
}

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals).ptr;
    return std::string(buffer, end);
}

std::string NumberText(double value) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

namespace {

// A figure's CSV column names and fields in the systems the reader chose: "peak_cfs",
// "peak_m3s" or both, side by side.
std::string AmountHeader(const char* name, Quantity quantity, UnitSystem units) {
    std::string header;
    for (const bool si : SiColumns(units))
        header += std::string(",") + name + '_' + UnitSuffix(quantity, si);
    return header;
}

std::string AmountFields(std::optional<double> value, Quantity quantity, UnitSystem units) {
    std::string fields;
    for (const bool si : SiColumns(units))
        fields += ',' + (value ? NumberText(InSystem(*value, quantity, si)) : std::string());
    return fields;
}

} // namespace

std::string SummaryCsvHeader(UnitSystem units) {
    return "catchment,number,storm,storm_identification,return_period_years" +
           AmountHeader("peak", Quantity::Flow, units) + ",time_to_peak_h" +
           AmountHeader("runoff", Quantity::Depth, units) +
           AmountHeader("runoff", Quantity::Volume, units) +
           AmountHeader("rational_peak", Quantity::Flow, units) + ",notes\n";
}

std::string SummaryCsvLine(const RunResults& results, const SummaryRow& row, UnitSystem units) {
    const CatchmentResult& c = results.catchments[row.catchment];
    std::string line = CsvField(c.identification) + ',' + std::to_string(c.number) + ',';
    const StormResult* s = StormOf(results, row);
    std::optional<double> peak, timeToPeak, depth, volume, rational;
    if (s == nullptr) {
        line += ",,";
    } else {
        line += std::to_string(s->storm) + ',' + CsvField(s->identification) + ',' +
                OptionalText(s->returnPeriodYears);
        if (s->computed) {
            peak = s->peakCfs, timeToPeak = s->timeToPeakHours, depth = s->runoffInches;
            volume = s->runoffAcreFeet;
            if (s->rational) rational = s->rational->peakCfs;
        }
    }
    line += AmountFields(peak, Quantity::Flow, units) + ',' +
            (timeToPeak ? NumberText(*timeToPeak) : std::string()) +
            AmountFields(depth, Quantity::Depth, units) +
            AmountFields(volume, Quantity::Volume, units) +
            AmountFields(rational, Quantity::Flow, units);
    return line + ',' + CsvField(NotesOf(results, row)) + '\n';
}

std::string SummaryCsv(const RunResults& results, const std::vector<SummaryRow>& rows,
                       UnitSystem units) {
    std::string csv = SummaryCsvHeader(units);
    for (const SummaryRow& row : rows)
        csv += SummaryCsvLine(results, row, units);
    return csv;
}

std::string SummaryCsv(const RunResults& results, UnitSystem units) {
    return SummaryCsv(results, SummaryRows(results), units);
}

std::string HydrographCsv(const StormResult& storm) {
    std::string csv = "time_h,flow_cfs\n";
    const std::size_t n =
        std::min(storm.hydrographTimesHours.size(), storm.hydrographFlowsCfs.size());
    for (std::size_t i = 0; i < n; ++i)
        csv += NumberText(storm.hydrographTimesHours[i]) + ',' +
               NumberText(storm.hydrographFlowsCfs[i]) + '\n';
    return csv;
}

std::string HydrographsCsv(const RunResults& results, const std::vector<SummaryRow>& rows,
                           UnitSystem units) {
    std::string csv = "catchment,number,storm,time_h" +
                      AmountHeader("rain", Quantity::Depth, units) +
                      AmountHeader("excess", Quantity::Depth, units) +
                      AmountHeader("flow", Quantity::Flow, units) + '\n';
    const auto at = [](const std::vector<double>& values, std::size_t i) {
        return i < values.size() ? std::optional<double>(values[i]) : std::nullopt;
    };
    for (const SummaryRow& row : rows) {
        const StormResult* s = StormOf(results, row);
        if (s == nullptr || !s->computed) continue;
        const CatchmentResult& c = results.catchments[row.catchment];
        const std::string start = CsvField(c.identification) + ',' + std::to_string(c.number) +
                                  ',' + std::to_string(s->storm) + ',';
        const std::size_t n =
            std::min(s->hydrographTimesHours.size(), s->hydrographFlowsCfs.size());
        for (std::size_t i = 0; i < n; ++i)
            csv += start + NumberText(s->hydrographTimesHours[i]) +
                   AmountFields(at(s->rainfallInches, i), Quantity::Depth, units) +
                   AmountFields(at(s->excessInches, i), Quantity::Depth, units) +
                   AmountFields(s->hydrographFlowsCfs[i], Quantity::Flow, units) + '\n';
    }
    return csv;
}

} // namespace tovan::results
