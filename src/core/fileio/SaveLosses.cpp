#include "fileio/SaveLosses.h"

#include "deck/CardLayouts.h"
#include "fileio/DeckSource.h"
#include "fileio/basFileRoutines.h"
#include "fortranio/NumericText.h"
#include "fortranio/QVFortranIO.h"
#include "platform/RecordingPlatform.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace tovan {

namespace {

// How the reader gives a cell back, and so what counts as the same value.
enum class Kind {
    Text,          // an A field: trailing blanks do not count
    TrimmedText,   // an A field the reader trims on both sides
    Number,        // an I or F field, compared as the reader's single-precision value
    NumberOrBlank, // the same, where the reader shows zero as an empty cell
    ListIndex,     // a list cell: an empty cell is written as the first item
};

struct ColumnRule {
    int col;
    Kind kind;
    std::string_view descriptor; // the written field, for the reason of a loss
};

struct GridRules {
    std::string_view recordSet;
    const Grid DeckGrids::*grid;
    std::vector<ColumnRule> columns;
};

void AddRange(std::vector<ColumnRule>& rules, int first, int last, Kind kind,
              std::string_view descriptor) {
    for (int c = first; c <= last; ++c)
        rules.push_back({c, kind, descriptor});
}

std::vector<GridRules> MakeRules() {
    using K = Kind;
    std::vector<GridRules> all;
    all.push_back({"A", &DeckGrids::fpCardA, {{1, K::ListIndex, "I1"}, {2, K::Text, "A72"}}});

    GridRules b1{"B1", &DeckGrids::fpCardB1, {{1, K::Number, "I2"}, {2, K::Text, "A10"}}};
    AddRange(b1.columns, col::kB1FirstDepth, col::kB1LastFactor, K::Number, "F4.3");
    all.push_back(std::move(b1));

    GridRules b2{"B2",
                 &DeckGrids::fpCardB2,
                 {{1, K::Number, "I2"},
                  {2, K::Text, "A10"},
                  {3, K::ListIndex, "I3"},
                  {4, K::Number, "F5.4"}}};
    AddRange(b2.columns, col::kB2FirstFactor, col::kB2LastFactor, K::NumberOrBlank, "F4.3");
    all.push_back(std::move(b2));

    all.push_back({"C",
                   &DeckGrids::fpCardC,
                   {{2, K::ListIndex, "I1"},
                    {3, K::Number, "I1"},
                    {4, K::NumberOrBlank, "I2"},
                    {5, K::NumberOrBlank, "I2"},
                    {6, K::NumberOrBlank, "F3.2"},
                    {7, K::Text, "A6"},
                    {8, K::NumberOrBlank, "I3"},
                    {9, K::TrimmedText, "A60"}}});

    GridRules d{"D", &DeckGrids::fpCardD, {{col::kDArea, K::Number, "F5.4"}}};
    AddRange(d.columns, col::kDLength, col::kDFinalInfiltration, K::NumberOrBlank, "F5.4");
    d.columns.push_back({col::kDDciaLevel, K::NumberOrBlank, "I1"});
    AddRange(d.columns, col::kDDciaFraction, col::kDOptionalInput, K::NumberOrBlank, "F5.4");
    d.columns.push_back({col::kDUseD1, K::NumberOrBlank, "I1"});
    AddRange(d.columns, col::kDFirstD1, col::kDLastD1, K::NumberOrBlank, "F5.4");
    all.push_back(std::move(d));
    return all;
}

const std::vector<GridRules>& Rules() {
    static const std::vector<GridRules> rules = MakeRules();
    return rules;
}

std::optional<double> NumberOf(std::string_view text) {
    return NumericValue(text);
}

// Numbers are equal when the reader's single precision cannot tell them apart.
bool SameNumber(double a, double b) {
    return static_cast<float>(a) == static_cast<float>(b);
}

std::string_view Trimmed(std::string_view text, Kind kind) {
    return kind == Kind::TrimmedText ? TrimBlanks(text) : TrimTrailingBlanks(text);
}

bool SameCell(Kind kind, std::string_view original, std::string_view readBack) {
    if (kind == Kind::Text || kind == Kind::TrimmedText) {
        return Trimmed(original, kind) == Trimmed(readBack, kind);
    }
    auto normal = [kind](std::string_view text) -> std::optional<std::string_view> {
        if (text.empty())
            return kind == Kind::ListIndex ? std::optional<std::string_view>("0") : std::nullopt;
        if (kind == Kind::NumberOrBlank) {
            const auto number = NumberOf(text);
            if (number && *number == 0) return std::nullopt;
        }
        return text;
    };
    const auto a = normal(original), b = normal(readBack);
    if (!a || !b) return a.has_value() == b.has_value();
    const auto numberA = NumberOf(*a), numberB = NumberOf(*b);
    if (numberA && numberB) return SameNumber(*numberA, *numberB);
    return *a == *b;
}

bool HasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

int WidthOf(std::string_view descriptor) {
    int width = 0;
    std::from_chars(descriptor.data() + 1, descriptor.data() + descriptor.size(), width);
    return width;
}

bool IsD1Column(int col) {
    return std::any_of(cards::kD1.begin(), cards::kD1.end(),
                       [col](const CardField& field) { return field.gridColumn == col; });
}

std::string ReasonFor(const GridRules& rules, const ColumnRule& rule, const Grid& grid, int row) {
    const std::string& original = grid.value(rule.col, row);
    const auto useD1 = NumberOf(grid.value(col::kDUseD1, row));
    if (rules.recordSet == "D" && IsD1Column(rule.col) && !(useD1 && *useD1 == 1)) {
        return "a D1 card is written only when \"Use Card D1\" is 1";
    }
    if (HasControlCharacter(original)) return "it holds a line break or another control character";
    const bool text = rule.kind == Kind::Text || rule.kind == Kind::TrimmedText;
    const int width = WidthOf(rule.descriptor);
    if (text) {
        return "the text is longer than its deck field of " + std::to_string(width) + " characters";
    }
    if (original.empty() && rules.recordSet == "D" && rule.col == col::kDArea) {
        return "a D card with every field empty is written with an area of 0, since a blank line "
               "would end the catchment";
    }
    if (original.empty()) return "the row does not read back in its place";
    if (!NumberOf(original)) return "it is not a number";
    const WriteValue pairs[] = {rule.descriptor, std::string_view(original)};
    const std::string written(TrimBlanks(FortranWrite(pairs)));
    if (!written.empty() && written.find_first_not_of('*') == std::string::npos) {
        return "the number is too wide for its deck field " + std::string(rule.descriptor);
    }
    const auto writtenNumber = NumberOf(written);
    if (writtenNumber && !SameNumber(*writtenNumber, *NumberOf(original))) {
        return "the number is written as " + written + " in its deck field " +
               std::string(rule.descriptor);
    }
    return "the row does not read back in its place";
}

// Where the rows of a record set stop reading back in their places; rows from there on are not
// compared, since a lost row moves every row after it.
struct CompareLimits {
    int b2 = std::numeric_limits<int>::max();
    int catchments = std::numeric_limits<int>::max();
};

// Losses of whole rows that the cell comparison would only show as a cascade of moved rows.
CompareLimits FindStructuralLosses(const DeckGrids& grids, LossReport& report) {
    CompareLimits limits;
    const int b2Last = grids.fpCardB2.dataRowCnt();
    constexpr int kLastReadB2Row = 99; // the reader takes 98 storms, rows 2 to 99
    const bool oneHourDepth = grids.fpCardA.value(col::kAOption, kTemplateRow) != "0";
    if (oneHourDepth && b2Last > kLastReadB2Row) {
        report.named.push_back(
            {"B2", kLastReadB2Row + 1, 0, "", "",
             "a deck holds at most 98 one-hour storms: the storms in rows 100 to " +
                 std::to_string(b2Last) + " are lost"});
        limits.b2 = kLastReadB2Row + 1;
        limits.catchments = kTemplateRow; // the lost storms are read as catchments
    }
    return limits;
}

constexpr std::size_t kNamedPerRecordSet = 5;
constexpr int kNoLimit = std::numeric_limits<int>::max();

void CompareGrid(const GridRules& rules, const Grid& original, const Grid& readBack, int limit,
                 LossReport& report) {
    const int last = std::min(std::max(original.dataRowCnt(), readBack.dataRowCnt()), limit - 1);
    std::size_t named = 0;
    for (int r = kTemplateRow; r <= last; ++r) {
        for (const ColumnRule& rule : rules.columns) {
            const std::string_view a = original.text(rule.col, r);
            const std::string_view b = readBack.text(rule.col, r);
            if (a == b || SameCell(rule.kind, a, b)) continue; // most cells come back as they were
            if (named++ < kNamedPerRecordSet) {
                report.named.push_back({std::string(rules.recordSet), r, rule.col, std::string(a),
                                        std::string(b), ReasonFor(rules, rule, original, r)});
            } else {
                ++report.unnamedCount;
            }
        }
    }
}

std::string Quoted(const std::string& text) {
    std::string shown;
    for (char c : TrimTrailingBlanks(text)) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            shown += (c == '\n' ? "\\n" : c == '\r' ? "\\r" : c == '\t' ? "\\t" : "\\?");
        } else {
            shown += c;
        }
    }
    return shown.empty() ? "an empty cell" : "\"" + shown + "\"";
}

std::string LabelOf(const DeckGrids& grids, std::string_view recordSet, int col) {
    for (const GridRules& rules : Rules()) {
        if (rules.recordSet == recordSet) {
            std::string label(TrimBlanks((grids.*rules.grid).value(col, kLabelRow)));
            while (!label.empty() && (label.back() == ':' || label.back() == ';'))
                label.pop_back();
            return label;
        }
    }
    return {};
}

// The saved text read into grids of their own, as the open would read its file.
struct ReadBack {
    DeckGrids grids;
    ReadingState state;
    ApplicationState app;
    RecordingPlatform quiet;
    ReadOutcome outcome = ReadOutcome::Read;

    explicit ReadBack(std::string_view text) {
        ReadingContext context{grids, state, app, quiet};
        outcome = ReadDeck(context, DeckFromTextView(text));
    }
};

} // namespace

LossReport FindSaveLosses(const DeckGrids& grids, const std::string& deckText,
                          bool readsBackAsRead) {
    LossReport report;
    const CompareLimits limits = FindStructuralLosses(grids, report);
    if (readsBackAsRead) return report;

    const auto readBack = std::make_unique<ReadBack>(deckText);
    if (readBack->outcome != ReadOutcome::Read) {
        const auto& messages = readBack->quiet.messages;
        const std::string why = messages.empty() ? "" : ": " + messages.front().text;
        report.named.push_back({"", 0, 0, "", "", "the saved deck cannot be read back" + why});
    }
    for (const GridRules& rules : Rules()) {
        const int limit = rules.recordSet == "B2"                            ? limits.b2
                          : rules.recordSet == "C" || rules.recordSet == "D" ? limits.catchments
                                                                             : kNoLimit;
        CompareGrid(rules, grids.*rules.grid, readBack->grids.*rules.grid, limit, report);
    }
    for (SaveLoss& loss : report.named) {
        if (loss.col != 0) loss.reason += " (" + LabelOf(grids, loss.recordSet, loss.col) + ")";
    }
    return report;
}

std::string DescribeLoss(const SaveLoss& loss) {
    if (loss.col == 0) return loss.reason;
    return Quoted(loss.original) + " becomes " + Quoted(loss.readBack) + "; " + loss.reason;
}

std::string DescribeLosses(const LossReport& report) {
    std::string text = "The deck cannot hold everything the grids hold. Reading the saved deck "
                       "back will give:";
    for (const SaveLoss& loss : report.named) {
        text += "\n- ";
        if (!loss.recordSet.empty()) {
            text += "Record set " + loss.recordSet + ", row " + std::to_string(loss.row);
            if (loss.col != 0) text += ", column " + std::to_string(loss.col);
            text += ": ";
        }
        text += DescribeLoss(loss) + ".";
    }
    if (report.unnamedCount > 0) {
        text += "\n- and " + std::to_string(report.unnamedCount) +
                (report.unnamedCount == 1 ? " more cell." : " more cells.");
    }
    return text;
}

} // namespace tovan
