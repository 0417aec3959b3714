#include "results/RunResults.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tovan::results {

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();

// Numbers that were not finite are written as null; they read back as NaN.
double Number(const json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_number() ? it->get<double>() : kAbsent;
}

std::optional<double> OptionalNumber(const json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number()) return std::nullopt;
    return it->get<double>();
}

int Integer(const json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_number() ? it->get<int>() : 0;
}

std::string Text(const json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string TrimmedRight(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<double> Series(const json& object, const char* key) {
    std::vector<double> values;
    const auto it = object.find(key);
    if (it == object.end() || !it->is_array()) return values;
    values.reserve(it->size());
    for (const json& v : *it)
        values.push_back(v.is_number() ? v.get<double>() : kAbsent);
    return values;
}

std::vector<Message> Messages(const json& object) {
    std::vector<Message> messages;
    const auto it = object.find("messages");
    if (it == object.end() || !it->is_array()) return messages;
    for (const json& m : *it) {
        Message message;
        message.problem = Text(m, "severity") == "PROBLEM";
        message.text = Text(m, "text");
        message.catchment = TrimmedRight(Text(m, "catchment"));
        if (const auto storm = m.find("storm"); storm != m.end() && storm->is_number())
            message.storm = storm->get<int>();
        message.line = Integer(m, "line");
        messages.push_back(std::move(message));
    }
    return messages;
}

bool Computed(const json& object) {
    const auto it = object.find("computed");
    return it == object.end() || (it->is_boolean() && it->get<bool>());
}

StormResult ReadStorm(const json& s) {
    StormResult storm;
    storm.storm = Integer(s, "storm");
    storm.identification = TrimmedRight(Text(s, "identification"));
    storm.computed = Computed(s);
    storm.messages = Messages(s);
    if (!storm.computed) return storm;
    storm.returnPeriodYears = OptionalNumber(s, "returnPeriodYears");
    storm.oneHourDepthInches = OptionalNumber(s, "oneHourDepthInches");
    storm.timeStepHours = Number(s, "timeStepHours");
    storm.rainfallInches = Series(s, "rainfallInches");
    storm.lossInches = Series(s, "lossInches");
    storm.excessInches = Series(s, "excessInches");
    storm.hydrographTimesHours = Series(s, "hydrographTimesHours");
    storm.hydrographFlowsCfs = Series(s, "hydrographFlowsCfs");
    storm.peakCfs = Number(s, "peakCfs");
    storm.timeToPeakHours = Number(s, "timeToPeakHours");
    storm.runoffInches = Number(s, "runoffInches");
    storm.runoffAcreFeet = Number(s, "runoffAcreFeet");
    if (const auto r = s.find("rational"); r != s.end() && r->is_object()) {
        const auto kirpich = r->find("tcFromKirpich");
        storm.rational =
            Rational{Number(*r, "c"), Number(*r, "tcMinutes"), Number(*r, "intensityInchesPerHour"),
                     Number(*r, "peakCfs"),
                     kirpich != r->end() && kirpich->is_boolean() && kirpich->get<bool>()};
    }
    return storm;
}

CatchmentResult ReadCatchment(const json& c) {
    CatchmentResult catchment;
    catchment.identification = TrimmedRight(Text(c, "identification"));
    catchment.number = Integer(c, "number");
    catchment.description = TrimmedRight(Text(c, "description"));
    catchment.line = Integer(c, "line");
    catchment.computed = Computed(c);
    catchment.messages = Messages(c);
    if (!catchment.computed) return catchment;
    catchment.areaSquareMiles = Number(c, "areaSquareMiles");
    catchment.unitDurationHours = Number(c, "unitDurationHours");
    if (const auto uh = c.find("unitHydrograph"); uh != c.end() && uh->is_object()) {
        catchment.unitHydrographStepHours = Number(*uh, "timeStepHours");
        catchment.unitHydrographCfs = Series(*uh, "ordinatesCfs");
    }
    if (const auto storms = c.find("storms"); storms != c.end() && storms->is_array()) {
        catchment.storms.reserve(storms->size());
        for (const json& s : *storms)
            catchment.storms.push_back(ReadStorm(s));
    }
    return catchment;
}

std::string Named(const fs::path& file) {
    return file.empty() ? std::string("the results") : file.string();
}

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

RunResults ParseResults(std::string_view text, const fs::path& file) {
    json document;
    try {
        document = json::parse(text.begin(), text.end());
    } catch (const json::parse_error& e) {
        // A file cut short is the usual case: a copy or a disk that broke off.
        if (e.byte >= text.size())
            throw ResultsError(Named(file) +
                               " is not a complete results file: it breaks off "
                               "after " +
                               std::to_string(text.size()) + " bytes.");
        throw ResultsError(Named(file) + " is not a results file: it is not valid JSON at byte " +
                           std::to_string(e.byte) + ".");
    }
    if (!document.is_object() || Text(document, "format") != "tovan-results")
        throw ResultsError(Named(file) + " is not a results file of the engine.");
    if (Integer(document, "version") != 1)
        throw ResultsError(Named(file) + " has a version of the results file this program "
                                         "does not know.");
    const auto complete = document.find("complete");
    if (complete == document.end() || !complete->is_boolean() || !complete->get<bool>())
        throw ResultsError(Named(file) + " is incomplete: its run did not end.");

    RunResults results;
    results.file = file;
    if (const auto run = document.find("run"); run != document.end() && run->is_object()) {
        results.input = Text(*run, "input");
        results.report = Text(*run, "report");
        results.drelm = Text(*run, "drelm");
        results.peak = Text(*run, "peak");
    }
    if (const auto deck = document.find("deck"); deck != document.end() && deck->is_object()) {
        results.title = TrimmedRight(Text(*deck, "title"));
        results.rainfallOption = Integer(*deck, "rainfallOption");
        results.deckMessages = Messages(*deck);
    }
    if (const auto list = document.find("catchments"); list != document.end() && list->is_array()) {
        results.catchments.reserve(list->size());
        for (const json& c : *list)
            results.catchments.push_back(ReadCatchment(c));
    }
    return results;
}

RunResults ReadResults(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw ResultsError(file.string() + " cannot be opened.");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseResults(text.str(), file);
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
