#include "results/RunResults.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tovan::results {

namespace fs = std::filesystem;

namespace {

// A CSV field: quoted when it holds a separator, a quote or a line break.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string OptionalText(const std::optional<double>& value) {
    return value ? NumberText(*value) : std::string();
}

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

std::string NumberText(double value) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

std::string SummaryCsvHeader() {
    return "catchment,number,storm,storm_identification,return_period_years,peak_cfs,"
           "time_to_peak_h,runoff_in,runoff_acre_ft,rational_peak_cfs,notes\n";
}

std::string SummaryCsvLine(const RunResults& results, const SummaryRow& row) {
    const CatchmentResult& c = results.catchments[row.catchment];
    std::string line = Field(c.identification) + ',' + std::to_string(c.number) + ',';
    const StormResult* s = StormOf(results, row);
    if (s == nullptr) {
        line += ",,,,,,,,";
    } else {
        line += std::to_string(s->storm) + ',' + Field(s->identification) + ',' +
                OptionalText(s->returnPeriodYears) + ',';
        if (s->computed) {
            line += NumberText(s->peakCfs) + ',' + NumberText(s->timeToPeakHours) + ',' +
                    NumberText(s->runoffInches) + ',' + NumberText(s->runoffAcreFeet) + ',' +
                    (s->rational ? NumberText(s->rational->peakCfs) : std::string()) + ',';
        } else {
            line += ",,,,,";
        }
    }
    return line + Field(NotesOf(results, row)) + '\n';
}

std::string SummaryCsv(const RunResults& results, const std::vector<SummaryRow>& rows) {
    std::string csv = SummaryCsvHeader();
    for (const SummaryRow& row : rows)
        csv += SummaryCsvLine(results, row);
    return csv;
}

std::string SummaryCsv(const RunResults& results) {
    return SummaryCsv(results, SummaryRows(results));
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

} // namespace tovan::results
