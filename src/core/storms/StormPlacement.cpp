#include "storms/StormPlacement.h"

#include "deck/RecordSets.h"
#include "deck/StormIdent.h"
#include "deck/modChangeSpread.h"
#include "fileio/SaveFile.h"
#include "fortranio/NumericText.h"
#include "fortranio/QVFortranIO.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace tovan {

namespace {

constexpr long long kLargestWritable = 999000; // "999." in thousandths
constexpr int kDepthsPerCard = 17, kDepthsOnLastCard = 13;
constexpr int kHighestStormNumber = 99;

// The grain F4.3 writes a depth of `thousandths` with: the field's 4 columns hold ".123",
// "1.23", "12.3" or "123.".
long long GrainOf(long long thousandths) {
    if (thousandths < 1000) return 1;
    if (thousandths < 10000) return 10;
    if (thousandths < 100000) return 100;
    return 1000;
}

long long Writable(long long thousandths) {
    const long long grain = GrainOf(thousandths);
    return (thousandths + grain / 2) / grain * grain;
}

bool IsWritable(long long thousandths) {
    return thousandths >= 0 && thousandths <= kLargestWritable &&
           thousandths % GrainOf(thousandths) == 0;
}

// The cell text File > Open gives for the field the save writes for `thousandths`.
std::string CellOf(long long thousandths) {
    const std::string text = ThousandthsText(thousandths);
    const std::string field = FortranWrite({std::string_view("F4.3"), std::string_view(text)});
    const auto read = FortranRead(field.substr(0, 4), {std::string_view("F4.2")});
    return read ? CellText(read->front()) : text;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::optional<int> StormNumberAt(const Grid& b1, int row) {
    const auto number = NumericValue(b1.text(col::kB1Storm, row));
    if (!number) return std::nullopt;
    return static_cast<int>(std::lround(*number));
}

bool RowHoldsAnything(const Grid& b1, int row) {
    for (int col = 1; col <= b1.maxCols(); ++col)
        if (!b1.text(col, row).empty()) return true;
    return false;
}

int LastRecordRow(const Grid& b1) {
    return b1.maxRows() - 1; // the button row is last
}

} // namespace

std::string ThousandthsText(long long thousandths) {
    std::ostringstream text;
    text << thousandths / 1000 << '.';
    const long long rest = thousandths % 1000;
    text << (rest < 100 ? "0" : "") << (rest < 10 ? "0" : "") << rest;
    return text.str();
}

WrittenStorm WriteStormDepths(const StormDepths& storm) {
    WrittenStorm written;
    written.totalThousandths = std::llround(storm.total * 1000);
    double exact = 0;
    long long sofar = 0, uncarried = 0;
    const std::size_t n = storm.depths.size();
    for (std::size_t k = 0; k < n; ++k) {
        exact += storm.depths[k] * 1000;
        const long long target = k + 1 == n ? written.totalThousandths : std::llround(exact);
        const long long owed = std::max(0LL, target - sofar);
        if (owed > kLargestWritable || storm.depths[k] * 1000 > kLargestWritable + 500)
            throw StormInputError("depth", "Step " + std::to_string(k + 1) + " needs a depth of " +
                                               ThousandthsText(owed) +
                                               " in, which does not fit the 4 columns of its field "
                                               "(at most 999 in).");
        written.thousandths.push_back(Writable(owed));
        sofar += written.thousandths.back();
        uncarried += Writable(std::llround(storm.depths[k] * 1000));
    }
    // Depths of 1 in or more are written in hundredths or coarser: what the last one could not
    // take goes to the latest depth that can hold it.
    long long left = written.totalThousandths - sofar;
    for (std::size_t k = n; left != 0 && k-- > 0;) {
        if (!IsWritable(written.thousandths[k] + left)) continue;
        written.thousandths[k] += left;
        left = 0;
    }
    if (left != 0)
        throw StormInputError("depth", "The storm's depths cannot be written to add up to " +
                                           ThousandthsText(written.totalThousandths) + " in.");
    for (const long long t : written.thousandths)
        written.cells.push_back(CellOf(t));
    written.uncarriedError =
        std::abs(static_cast<double>(uncarried - written.totalThousandths)) / 1000;
    return written;
}

std::vector<StormRow> StormCardRows(int number, const std::string& ident,
                                    const std::vector<std::string>& cells,
                                    const std::array<std::string, 4>& factors) {
    const bool hasFactors = std::any_of(factors.begin(), factors.end(),
                                        [](const std::string& f) { return !f.empty(); });
    const auto newRow = [&] {
        StormRow row;
        row[col::kB1Storm - 1] = std::to_string(number);
        row[col::kB1Ident - 1] = ident;
        return row;
    };
    std::vector<StormRow> rows;
    std::size_t next = 0;
    const auto fill = [&](StormRow& row, std::size_t count) {
        for (std::size_t i = 0; i < count && next < cells.size(); ++i)
            row[static_cast<std::size_t>(col::kB1FirstDepth - 1) + i] = cells[next++];
    };
    if (cells.size() <= kDepthsPerCard && !hasFactors) {
        rows.push_back(newRow());
        fill(rows.back(), kDepthsPerCard);
        return rows;
    }
    while (rows.empty() || cells.size() - next > kDepthsOnLastCard) {
        rows.push_back(newRow());
        fill(rows.back(), kDepthsPerCard);
    }
    rows.push_back(newRow());
    fill(rows.back(), kDepthsOnLastCard);
    for (std::size_t i = 0; i < factors.size(); ++i)
        rows.back()[static_cast<std::size_t>(col::kB1FirstFactor - 1) + i] = factors[i];
    return rows;
}

std::optional<std::pair<int, int>> RowsOfStorm(const Grid& b1, int number) {
    for (int row = kTemplateRow; row <= LastRecordRow(b1); ++row)
        if (StormNumberAt(b1, row) == number) return StormRows(b1, row);
    return std::nullopt;
}

std::array<std::string, 4> FactorsOfStorm(const Grid& b1, int number) {
    std::array<std::string, 4> factors;
    const auto rows = RowsOfStorm(b1, number);
    if (!rows || rows->first == rows->second) return factors;
    for (int i = 0; i < 4; ++i)
        factors[static_cast<std::size_t>(i)] = b1.value(col::kB1FirstFactor + i, rows->second);
    return factors;
}

int NextFreeStormNumber(const Grid& b1) {
    std::vector<bool> used(kHighestStormNumber + 1);
    for (int row = kTemplateRow; row <= LastRecordRow(b1); ++row) {
        const auto number = StormNumberAt(b1, row);
        if (number && *number >= 1 && *number <= kHighestStormNumber)
            used[static_cast<std::size_t>(*number)] = true;
    }
    for (int number = 1; number <= kHighestStormNumber; ++number)
        if (!used[static_cast<std::size_t>(number)]) return number;
    return 0;
}

void PlaceStormRows(Grid& b1, const std::vector<StormRow>& rows, int replacing) {
    int at = 0;
    if (const auto old = replacing ? RowsOfStorm(b1, replacing) : std::nullopt) {
        at = old->first;
        for (int row = old->first; row <= old->second; ++row)
            b1.clearBlock(1, row, b1.maxCols(), row);
        const int spare = old->second - old->first + 1 - static_cast<int>(rows.size());
        if (spare > 0) b1.deleteRows(old->second - spare + 1, old->second);
    } else {
        at = LastRecordRow(b1);
        while (at > kTemplateRow && !RowHoldsAnything(b1, at - 1))
            --at;
        if (RowHoldsAnything(b1, at)) ++at;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int row = at + static_cast<int>(i);
        if (row > LastRecordRow(b1) ||
            (replacing && StormNumberAt(b1, row) != replacing && RowHoldsAnything(b1, row)))
            InsertRecordRow(b1, row);
        for (int col = 1; col <= b1.maxCols(); ++col)
            b1.setValue(col, row, rows[i][static_cast<std::size_t>(col - 1)]);
    }
}

std::string SuggestedIdent(StormMethod method, double depth, double step) {
    static constexpr std::pair<StormMethod, const char*> kCodes[] = {
        {StormMethod::Nrcs1, "N1"},     {StormMethod::Nrcs1A, "N1A"}, {StormMethod::Nrcs2, "N2"},
        {StormMethod::Nrcs3, "N3"},     {StormMethod::Block, "BLK"},  {StormMethod::Chicago, "CHI"},
        {StormMethod::Observed, "OBS"}, {StormMethod::Uniform, "UNI"}};
    std::string code;
    for (const auto& [m, c] : kCodes)
        if (m == method) code = c;
    std::ostringstream depthText;
    depthText << " " << std::round(depth * 100) / 100;
    std::string ident = code + (depth > 0 ? depthText.str() : "") + StepMark(step);
    if (ident.size() > 10) ident = code + StepMark(step);
    return ident.substr(0, 10);
}

int StepOfCell(const Grid& b1, int col, int row) {
    if (!StormNumberAt(b1, row) || col < col::kB1FirstDepth || col > col::kB1LastDepth) return 0;
    const auto [first, last] = StormRows(b1, row);
    if (row == last && first != last && col >= col::kB1FirstDepth + kDepthsOnLastCard) return 0;
    return (row - first) * kDepthsPerCard + (col - col::kB1FirstDepth) + 1;
}

std::vector<StormSummary> SummarizeStorms(const Grid& b1) {
    std::vector<StormSummary> storms;
    for (int row = kTemplateRow; row <= LastRecordRow(b1);) {
        const auto number = StormNumberAt(b1, row);
        if (!number) {
            ++row;
            continue;
        }
        const int last = StormRows(b1, row).second;
        StormSummary storm{*number, row, last, Trim(b1.text(col::kB1Ident, row))};
        int step = 0;
        for (int r = row; r <= last; ++r) {
            const bool lastCard = r == last && last != row;
            const int end =
                lastCard ? col::kB1FirstDepth + kDepthsOnLastCard - 1 : col::kB1LastDepth;
            for (int col = col::kB1FirstDepth; col <= end; ++col) {
                ++step;
                const auto depth = NumericValue(b1.text(col, r));
                if (!depth || *depth == 0) continue;
                storm.steps = step;
                storm.total += *depth;
                if (*depth > storm.peak) {
                    storm.peak = *depth;
                    storm.peakStep = step;
                }
            }
        }
        storms.push_back(storm);
        row = last + 1;
    }
    return storms;
}

namespace {

std::string NumberText(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

// The catchments whose storm range holds `number`, as (identification, unit duration) pairs.
std::vector<std::pair<std::string, std::optional<double>>>
ProcessingCatchments(const DeckGrids& grids, int number) {
    std::vector<std::pair<std::string, std::optional<double>>> catchments;
    const Grid& c = grids.fpCardC;
    for (int row = kTemplateRow; row < c.maxRows(); ++row) {
        const auto first = NumericValue(c.text(col::kCFirstStorm, row));
        const auto last = NumericValue(c.text(col::kCLastStorm, row));
        if (!first || !last || number < *first || number > *last) continue;
        catchments.emplace_back(Trim(c.text(col::kCIdent, row)),
                                NumericValue(c.text(col::kCUnitDuration, row)));
    }
    return catchments;
}

} // namespace

double DefaultStep(const DeckGrids& grids, int number) {
    for (const auto& [ident, unit] : ProcessingCatchments(grids, number))
        if (unit && *unit > 0) return *unit;
    const auto first = NumericValue(grids.fpCardC.text(col::kCUnitDuration, kTemplateRow));
    return first && *first > 0 ? *first : 5;
}

PreparedStorm PrepareStorm(const DeckGrids& grids, const StormRequest& request) {
    if (grids.fpCardA.value(col::kAOption, kTemplateRow) != "0")
        throw StormInputError("deck", "Design storms go into record set B1, the detailed "
                                      "hyetographs: choose rainfall option 1 in record set A "
                                      "(this deck gives its storms as one-hour depths, or has "
                                      "no rainfall option yet).");
    const Grid& b1 = grids.fpCardB1;
    PreparedStorm storm;
    storm.number = request.number ? request.number : NextFreeStormNumber(b1);
    if (storm.number == 0)
        throw StormInputError("number", "Record set B1 holds 99 storms, the most a deck can "
                                        "number; replace one instead.");
    if (storm.number < 1 || storm.number > kHighestStormNumber)
        throw StormInputError("number", "A storm number is 1 to 99 (number " +
                                            std::to_string(storm.number) + ").");
    storm.replaces = RowsOfStorm(b1, storm.number).has_value();
    if (storm.replaces && !request.replace)
        throw StormInputError("number", "Storm " + std::to_string(storm.number) +
                                            " is in the deck already; choose another number or "
                                            "replace it.");
    StormParameters parameters = request.parameters;
    if (parameters.step <= 0) parameters.step = DefaultStep(grids, storm.number);
    storm.step = parameters.step;
    storm.depths = BuildStorm(request.method, parameters);
    storm.written = WriteStormDepths(storm.depths);
    storm.ident = request.ident.empty()
                      ? SuggestedIdent(request.method, storm.depths.total, storm.step)
                      : request.ident;
    const auto factors =
        storm.replaces ? FactorsOfStorm(b1, storm.number) : std::array<std::string, 4>{};
    storm.rows = StormCardRows(storm.number, storm.ident, storm.written.cells, factors);
    for (const auto& [ident, unit] : ProcessingCatchments(grids, storm.number)) {
        if (unit && std::abs(*unit - storm.step) > 1e-9)
            storm.notes.push_back("Catchment " + ident + " processes storm " +
                                  std::to_string(storm.number) + " at a unit duration of " +
                                  NumberText(*unit) + " min; the storm is built at " +
                                  NumberText(storm.step) + " min.");
    }
    return storm;
}

void PlaceStorm(DeckGrids& grids, const PreparedStorm& storm) {
    PlaceStormRows(grids.fpCardB1, storm.rows, storm.replaces ? storm.number : 0);
}

namespace {

std::string ClockText(double minutes) {
    const long whole = std::lround(minutes);
    std::ostringstream text;
    text << whole / 60 << ':' << (whole % 60 < 10 ? "0" : "") << whole % 60;
    return text.str();
}

} // namespace

double StormStepMinutes(const DeckGrids& grids, int firstRow) {
    const Grid& b1 = grids.fpCardB1;
    if (const auto step = StepInIdent(b1.text(col::kB1Ident, firstRow))) return *step;
    return DefaultStep(grids, StormNumberAt(b1, firstRow).value_or(0));
}

std::string DescribeStormAt(const DeckGrids& grids, int row) {
    const Grid& b1 = grids.fpCardB1;
    if (row < kTemplateRow || row > LastRecordRow(b1) || !StormNumberAt(b1, row)) return {};
    const int first = StormRows(b1, row).first;
    for (const StormSummary& storm : SummarizeStorms(b1)) {
        if (storm.firstRow != first) continue;
        const double step = StormStepMinutes(grids, first);
        std::ostringstream text;
        text << "storm " << storm.number << (storm.ident.empty() ? "" : " (" + storm.ident + ")")
             << ": " << storm.steps << " steps of " << step << " min, "
             << ClockText(storm.steps * step) << " long, "
             << ThousandthsText(std::llround(storm.total * 1000)) << " in, peak "
             << ThousandthsText(std::llround(storm.peak * 1000)) << " in at step "
             << storm.peakStep;
        return text.str();
    }
    return {};
}

std::string DescribeStepAt(const DeckGrids& grids, int col, int row) {
    const Grid& b1 = grids.fpCardB1;
    const int step = StepOfCell(b1, col, row);
    if (step == 0) return {};
    const double minutes = StormStepMinutes(grids, StormRows(b1, row).first);
    return "Step " + std::to_string(step) + " of storm " + std::to_string(*StormNumberAt(b1, row)) +
           ", " + ClockText((step - 1) * minutes) + " to " + ClockText(step * minutes) +
           " from its start";
}

} // namespace tovan
