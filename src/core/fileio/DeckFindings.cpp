#include "fileio/DeckFindings.h"

#include "deck/InputRanges.h"
#include "deck/StormIdent.h"
#include "fileio/SaveFile.h"
#include "fortranio/NumericText.h"
#include "platform/RecordingPlatform.h"

#include <cmath>
#include <future>
#include <sstream>

namespace tovan {

namespace {

// A number the engine can judge; NaN (beyond double) is no such number.
std::optional<double> NumberIn(std::string_view text) {
    const auto value = NumericValue(text);
    if (!value || std::isnan(*value)) return std::nullopt;
    return value;
}

// The text of the last finding: a value copied down a column gives the same finding in every
// row, and its text is made once.
struct LastFinding {
    const InputRange* range = nullptr;
    double value = 0;
    RangeVerdict verdict = RangeVerdict::Usual;
    std::string text;

    const std::string& describe(const InputRange& of, double given, RangeVerdict found) {
        if (range != &of || value != given || verdict != found) {
            *this = {&of, given, found, DescribeFinding(of, given, found)};
        }
        return text;
    }
};

void Judge(const InputRange& range, const Grid& grid, std::string_view recordSet, int col, int row,
           std::vector<Finding>& findings, LastFinding& last) {
    const auto value = NumberIn(grid.text(col, row));
    if (!value || (range.zeroMeansDefault && *value == 0)) return;
    const RangeVerdict verdict = tovan::Judge(range, *value);
    if (verdict == RangeVerdict::Usual) return;
    findings.push_back({verdict == RangeVerdict::Impossible ? FindingClass::EngineProblem
                                                            : FindingClass::EngineNote,
                        {std::string(recordSet), row, col},
                        last.describe(range, *value, verdict)});
}

bool UsesD1(const Grid& d, int row) {
    const auto use = NumberIn(d.text(col::kDUseD1, row));
    return use && *use == 1;
}

// The columns a range covers: its own, or every depth or factor column of record set B1.
std::pair<int, int> ColumnsOf(const InputRange& range) {
    if (range.gridColumn != 0) return {range.gridColumn, range.gridColumn};
    if (range.field == InputField::StepDepth) return {col::kB1FirstDepth, col::kB1LastDepth};
    return {col::kB1FirstFactor, col::kB1LastFactor};
}

std::string Trimmed(std::string_view text) {
    text = TrimBlanks(text);
    return std::string(text);
}

std::string MinutesText(double minutes) {
    std::ostringstream text;
    text << minutes;
    return text.str();
}

// A storm whose identification names the step it was built at, processed by a catchment at
// another unit duration: the engine spreads each depth over the catchment's unit duration, so
// the storm runs faster or slower than it was built.
void JudgeStormSteps(const DeckGrids& grids, std::vector<Finding>& findings) {
    const Grid& b1 = grids.fpCardB1;
    const Grid& c = grids.fpCardC;
    for (int row = kTemplateRow; row < b1.maxRows(); row = StormRows(b1, row).second + 1) {
        const auto step = StepInIdent(b1.text(col::kB1Ident, row));
        const auto number = NumberIn(b1.text(col::kB1Storm, row));
        if (!step || !number) continue;
        for (int cRow = kTemplateRow; cRow < c.maxRows(); ++cRow) {
            const auto first = NumberIn(c.text(col::kCFirstStorm, cRow));
            const auto last = NumberIn(c.text(col::kCLastStorm, cRow));
            const auto unit = NumberIn(c.text(col::kCUnitDuration, cRow));
            if (!first || !last || !unit || *number < *first || *number > *last) continue;
            if (std::abs(*unit - *step) < 1e-9) continue;
            findings.push_back(
                {FindingClass::EngineNote,
                 {"B1", row, col::kB1Ident},
                 "Storm " + MinutesText(*number) + " was built at a step of " + MinutesText(*step) +
                     " min; catchment " + Trimmed(c.text(col::kCIdent, cRow)) +
                     " processes it at a unit duration of " + MinutesText(*unit) + " min."});
        }
    }
}

} // namespace

std::vector<Finding> CheckInputRanges(const DeckGrids& grids) {
    std::vector<Finding> findings;
    LastFinding lastFinding;
    std::vector<bool> usesD1; // by row of fpCardD, worked out once for all the D1 ranges
    for (int row = 0; row <= grids.fpCardD.dataRowCnt(); ++row)
        usesD1.push_back(row >= kTemplateRow && UsesD1(grids.fpCardD, row));
    const bool hyetographs = grids.fpCardA.value(col::kAOption, kTemplateRow) == "0";
    for (const InputRange& range : InputRanges()) {
        // The return period cell holds a list index, which cannot be out of range.
        if (range.field == InputField::ReturnPeriod) continue;
        const std::string_view set = range.recordSet;
        if ((set == "B1" && !hyetographs) || (set == "B2" && hyetographs)) continue;
        const Grid& grid = set == "B1"   ? grids.fpCardB1
                           : set == "B2" ? grids.fpCardB2
                           : set == "C"  ? grids.fpCardC
                                         : grids.fpCardD;
        const std::string_view shown = set == "D1" ? "D" : set;
        const auto [first, last] = ColumnsOf(range);
        const bool onD1 = set == "D1";
        const int lastRow = grid.dataRowCnt();
        for (int row = kTemplateRow; row <= lastRow; ++row) {
            if (onD1 && !usesD1[static_cast<std::size_t>(row)]) continue; // no D1 card read then
            for (int col = first; col <= last; ++col)
                Judge(range, grid, shown, col, row, findings, lastFinding);
        }
    }
    if (hyetographs) JudgeStormSteps(grids, findings);
    return findings;
}

std::string PlaceText(const DeckGrids& grids, const CellPlace& place) {
    const std::string& set = place.recordSet;
    if (set.empty()) return {};
    std::string text = "Record set " + set;
    const Grid* grid = set == "A"    ? &grids.fpCardA
                       : set == "B1" ? &grids.fpCardB1
                       : set == "B2" ? &grids.fpCardB2
                       : set == "C"  ? &grids.fpCardC
                       : set == "D"  ? &grids.fpCardD
                                     : nullptr;
    if (place.row > kLabelRow && set != "A") text += ", record " + std::to_string(place.row - 1);
    if (grid && place.col > 0 && place.col <= grid->maxCols())
        text += ", column " + std::to_string(place.col) + " (" + grid->value(place.col, kLabelRow) +
                ")";
    const Grid& c = grids.fpCardC;
    if ((set == "C" || set == "D") && place.row > kLabelRow && place.row < c.maxRows()) {
        std::string ident = c.value(col::kCIdent, place.row);
        ident.erase(ident.find_last_not_of(' ') + 1);
        if (!ident.empty()) text += ", catchment " + ident;
    }
    return text;
}

std::vector<Finding> ListFindings(const DeckGrids& grids) {
    auto ranges = std::async(std::launch::async, [&grids] { return CheckInputRanges(grids); });
    RecordingPlatform quiet;
    std::vector<Finding> findings = BuildDeckText(grids, quiet).findings;
    for (Finding& finding : ranges.get())
        findings.push_back(std::move(finding));
    return findings;
}

const char* ClassName(FindingClass kind) {
    switch (kind) {
    case FindingClass::Fatal:
        return "fatal";
    case FindingClass::Warning:
        return "warning";
    case FindingClass::Loss:
        return "loss";
    case FindingClass::EngineProblem:
        return "problem";
    case FindingClass::EngineNote:
        break;
    }
    return "note";
}

} // namespace tovan
