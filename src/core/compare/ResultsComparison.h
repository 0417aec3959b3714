// Two runs' results side by side, matched by catchment identification and storm number: the
// peak flow, time to peak and runoff volume of each side, their difference and its percentage.
// A catchment-storm found on one side only is a row of its own, never dropped.
#pragma once

#include "results/RunResults.h"

#include <optional>
#include <string>
#include <vector>

namespace tovan {

struct ComparedValue {
    std::optional<double> a, b; // absent: not on that side, or not computed there
    std::optional<double> delta() const;
    // (b - a) / a in percent; nothing when either is absent or a is 0 and b is not (a change
    // from nothing has no percentage), 0 when both are 0.
    std::optional<double> percent() const;
};

enum class Presence { Both, OnlyA, OnlyB };
// "both", "only in A", "only in B".
const char* PresenceText(Presence presence);

struct ComparisonRow {
    std::string catchment;
    int storm = 0; // 0 for a catchment stopped before its storms
    Presence presence = Presence::Both;
    ComparedValue peakCfs, timeToPeakHours, runoffAcreFeet;
    // Where the row is in each run, for its hydrographs; nothing on the side it is not on.
    std::optional<results::SummaryRow> inA, inB;
};

struct ResultsComparison {
    std::vector<ComparisonRow> rows; // in A's order, then the rows of B only in B's order
    std::size_t matched = 0, onlyA = 0, onlyB = 0;
};

ResultsComparison CompareResults(const results::RunResults& a, const results::RunResults& b);

// Whether B's peak exceeds A's by more than `percent` of A's (a peak where A has none or 0
// exceeds any threshold).
bool PeakExceeds(const ComparisonRow& row, double percent);

// The table as CSV: a first line naming both sources ("# A: existing.results.json, B: ..."), a
// header row naming the unit of every column, a line per row; absent values are empty fields.
std::string ComparisonCsv(const ResultsComparison& comparison, const std::string& sourceA,
                          const std::string& sourceB,
                          results::UnitSystem units = results::UnitSystem::USCustomary);

// A and B in US customary units or SI.
ComparedValue InUnits(const ComparedValue& value, results::Quantity quantity, bool si);

// "2 catchment-storms only in A, 1 only in B, 18 matched".
std::string MatchCountText(const ResultsComparison& comparison);

} // namespace tovan
