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
    std::optional<SummaryRow> row;
};

// Every catchment-storm of a run by its key, in the run's order; a second catchment of the same
// identification is told apart by its place among its namesakes.
std::vector<std::pair<Key, Side>> Entries(const RunResults& run) {
    std::vector<std::pair<Key, Side>> entries;
    std::map<std::string, int> seen;
    for (std::size_t at = 0; at < run.catchments.size(); ++at) {
        const CatchmentResult& c = run.catchments[at];
        const int repeat = seen[c.identification]++;
        const std::string name =
            repeat == 0 ? c.identification : c.identification + " #" + std::to_string(repeat + 1);
        if (c.storms.empty())
            entries.push_back({{name, 0}, {{}, {}, {}, SummaryRow{at, kNoStorm}}});
        for (std::size_t storm = 0; storm < c.storms.size(); ++storm) {
            const StormResult& s = c.storms[storm];
            Side side;
            if (s.computed) side = {s.peakCfs, s.timeToPeakHours, s.runoffAcreFeet, {}};
            side.row = SummaryRow{at, storm};
            entries.push_back({{name, s.storm}, side});
        }
    }
    return entries;
}

ComparisonRow RowOf(const Key& key, Presence presence, const Side& a, const Side& b) {
    return {key.first,
            key.second,
            presence,
            {a.peak, b.peak},
            {a.timeToPeak, b.timeToPeak},
            {a.volume, b.volume},
            a.row,
            b.row};
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

} // namespace

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

namespace {

// A figure's columns: A, B and their difference in each system shown, then the percentage,
// which is the same in every system.
std::string ValueHeader(const char* name, const char* percentName, std::optional<Quantity> quantity,
                        UnitSystem units) {
    std::string header;
    for (const bool si : quantity ? SiColumns(units) : std::vector<bool>{false}) {
        const std::string column =
            std::string(name) + '_' + (quantity ? UnitSuffix(*quantity, si) : std::string("h"));
        header += ',' + column + "_a," + column + "_b," + column + "_delta";
    }
    return header + ',' + percentName + "_percent";
}

void AppendValue(std::string& line, const ComparedValue& value, std::optional<Quantity> quantity,
                 UnitSystem units) {
    for (const bool si : quantity ? SiColumns(units) : std::vector<bool>{false}) {
        const ComparedValue shown = quantity ? InUnits(value, *quantity, si) : value;
        line += ',' + Number(shown.a) + ',' + Number(shown.b) + ',' + Difference(shown.delta());
    }
    line += ',' + Difference(value.percent());
}

} // namespace

ComparedValue InUnits(const ComparedValue& value, Quantity quantity, bool si) {
    const auto convert = [&](const std::optional<double>& v) {
        return v ? std::optional<double>(InSystem(*v, quantity, si)) : std::nullopt;
    };
    return {convert(value.a), convert(value.b)};
}

std::string ComparisonCsv(const ResultsComparison& comparison, const std::string& sourceA,
                          const std::string& sourceB, UnitSystem units) {
    std::string csv = "# A: " + sourceA + ", B: " + sourceB + "\n" + "catchment,storm,presence" +
                      ValueHeader("peak", "peak", Quantity::Flow, units) +
                      ValueHeader("time_to_peak", "time_to_peak", std::nullopt, units) +
                      ValueHeader("runoff", "runoff", Quantity::Volume, units) + '\n';
    for (const ComparisonRow& row : comparison.rows) {
        std::string line = CsvField(row.catchment) + ',' +
                           (row.storm ? std::to_string(row.storm) : std::string()) + ',' +
                           PresenceText(row.presence);
        AppendValue(line, row.peakCfs, Quantity::Flow, units);
        AppendValue(line, row.timeToPeakHours, std::nullopt, units);
        AppendValue(line, row.runoffAcreFeet, Quantity::Volume, units);
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
