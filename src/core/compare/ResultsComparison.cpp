#include "compare/ResultsComparison.h"

#include <charconv>
#include <cmath>
#include <map>
#include <utility>

namespace tovan {

using namespace results;

namespace {

using Key = std::pair<std::string, int>;

struct Side {
    std::optional<double> peak, timeToPeak, volume;
};

// Every catchment-storm of a run by its key, in the run's order; a second catchment of the same
// identification is told apart by its place among its namesakes.
std::vector<std::pair<Key, Side>> Entries(const RunResults& run) {
    std::vector<std::pair<Key, Side>> entries;
    std::map<std::string, int> seen;
    for (const CatchmentResult& c : run.catchments) {
        const int repeat = seen[c.identification]++;
        const std::string name =
            repeat == 0 ? c.identification : c.identification + " #" + std::to_string(repeat + 1);
        if (c.storms.empty()) entries.push_back({{name, 0}, {}});
        for (const StormResult& s : c.storms) {
            Side side;
            if (s.computed) side = {s.peakCfs, s.timeToPeakHours, s.runoffAcreFeet};
            entries.push_back({{name, s.storm}, side});
        }
    }
    return entries;
}

ComparisonRow RowOf(const Key& key, Presence presence, const Side& a, const Side& b) {
    return {
        key.first,           key.second, presence, {a.peak, b.peak}, {a.timeToPeak, b.timeToPeak},
        {a.volume, b.volume}};
}

std::string Number(const std::optional<double>& value) {
    return value ? NumberText(*value) : std::string();
}

// A difference to nine significant digits: the results hold about as many, and a subtraction
// of two of them would otherwise show its binary remainder (263.24280200000004).
std::string Difference(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return {};
    char buffer[32];
    const auto end =
        std::to_chars(buffer, buffer + sizeof buffer, *value, std::chars_format::general, 9).ptr;
    return std::string(buffer, end);
}

void AppendValue(std::string& line, const ComparedValue& value) {
    line += ',' + Number(value.a) + ',' + Number(value.b) + ',' + Difference(value.delta()) + ',' +
            Difference(value.percent());
}

const char* PresenceText(Presence presence) {
    switch (presence) {
    case Presence::OnlyA:
        return "only in A";
    case Presence::OnlyB:
        return "only in B";
    case Presence::Both:
        break;
    }
    return "both";
}

} // namespace

std::optional<double> ComparedValue::delta() const {
    if (!a || !b) return std::nullopt;
    return *b - *a;
}

std::optional<double> ComparedValue::percent() const {
    if (!a || !b) return std::nullopt;
    if (*a == 0) return *b == 0 ? std::optional<double>(0.0) : std::nullopt;
    return (*b - *a) / *a * 100;
}

ResultsComparison CompareResults(const RunResults& a, const RunResults& b) {
    const auto fromA = Entries(a);
    const auto fromB = Entries(b);
    std::map<Key, const Side*> inB;
    for (const auto& [key, side] : fromB)
        inB.emplace(key, &side);
    ResultsComparison comparison;
    std::map<Key, bool> matchedB;
    for (const auto& [key, side] : fromA) {
        const auto found = inB.find(key);
        if (found == inB.end()) {
            comparison.rows.push_back(RowOf(key, Presence::OnlyA, side, {}));
            ++comparison.onlyA;
            continue;
        }
        comparison.rows.push_back(RowOf(key, Presence::Both, side, *found->second));
        matchedB[key] = true;
        ++comparison.matched;
    }
    for (const auto& [key, side] : fromB) {
        if (matchedB.count(key)) continue;
        comparison.rows.push_back(RowOf(key, Presence::OnlyB, {}, side));
        ++comparison.onlyB;
    }
    return comparison;
}

bool PeakExceeds(const ComparisonRow& row, double percent) {
    const ComparedValue& peak = row.peakCfs;
    if (!peak.b) return false;
    const double a = peak.a.value_or(0);
    if (a <= 0) return *peak.b > 0;
    return (*peak.b - a) / a * 100 > percent;
}

std::string ComparisonCsv(const ResultsComparison& comparison, const std::string& sourceA,
                          const std::string& sourceB) {
    std::string csv = "# A: " + sourceA + ", B: " + sourceB + "\n" +
                      "catchment,storm,presence,peak_cfs_a,peak_cfs_b,peak_cfs_delta,peak_percent,"
                      "time_to_peak_h_a,time_to_peak_h_b,time_to_peak_h_delta,time_to_peak_percent,"
                      "runoff_acre_ft_a,runoff_acre_ft_b,runoff_acre_ft_delta,runoff_percent\n";
    for (const ComparisonRow& row : comparison.rows) {
        std::string line = CsvField(row.catchment) + ',' +
                           (row.storm ? std::to_string(row.storm) : std::string()) + ',' +
                           PresenceText(row.presence);
        AppendValue(line, row.peakCfs);
        AppendValue(line, row.timeToPeakHours);
        AppendValue(line, row.runoffAcreFeet);
        csv += line + '\n';
    }
    return csv;
}

std::string MatchCountText(const ResultsComparison& comparison) {
    return std::to_string(comparison.onlyA) + " catchment-storms only in A, " +
           std::to_string(comparison.onlyB) + " only in B, " + std::to_string(comparison.matched) +
           " matched";
}

} // namespace tovan
