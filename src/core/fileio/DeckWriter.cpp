// The save pass: one walk over the grids in card order that checks the save rules as it meets
// them and builds each card with FortranWrite. A fatal rule ends the walk with nothing to write;
// a warning marks the deck as unusable by the engine and the walk goes on.
#include "deck/CardLayouts.h"
#include "fileio/DeckFindings.h"
#include "fileio/DeckSource.h"
#include "fileio/SaveFile.h"
#include "fileio/SaveMessages.h"
#include "fortranio/NumericText.h"
#include "fortranio/QVFortranIO.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>

namespace tovan {

namespace {

namespace msg = save_messages;

using CellValue = std::optional<std::string_view>;

constexpr std::string_view kLineEnd = "\r\n";

// Grid columns 16 to 19 hold depths 14 to 17 of a B1 card, whose card columns the correction
// factors take over.
constexpr int kB1FirstDepthUnderFactors = 16;

// Fields of the card layouts whose value the pass computes instead of reading a cell.
constexpr std::size_t kCardABlankField = 0, kCardAOptionField = 1;
constexpr std::size_t kCardB2YearsField = 2;
constexpr std::size_t kCardCBlankField = 0, kCardCPrintField = 1;

constexpr std::string_view kBlank = " ";

// The list indexes of the rainfall input option.
constexpr double kHyetographOption = 0, kOneHourDepthOption = 1;

// Return periods in years by list index ("002", "005", "010", "050", "100").
constexpr std::array<double, 5> kReturnPeriodYears{2, 5, 10, 50, 100};
constexpr double kUnreadableReturnPeriodYears = 5;

// Print/output option codes by list index; indexes 4 to 6 stand for options 7 to 9.
constexpr std::array<double, 7> kPrintOptionCodes{0, 1, 2, 3, 7, 8, 9};
constexpr double kFirstDiskOutputIndex = 4;

constexpr double kLowestCatchmentNumber = 0, kHighestCatchmentNumber = 999; // both excluded

// The number a cell holds, or nothing when it is empty or its text is not a number. Numeric
// text is what the field writer accepts as a number, so the rules and the cards agree on it.
std::optional<double> NumberIn(CellValue cell) {
    if (!cell) return std::nullopt;
    return NumericValue(*cell);
}

bool HoldsNumber(CellValue cell, double number) {
    const auto held = NumberIn(cell);
    return held && *held == number;
}

// The list index a cell holds, when it is one of 0 .. count - 1 ("1", or "1.0" as a number).
std::optional<std::size_t> ListIndexIn(CellValue cell, std::size_t count) {
    const auto number = NumberIn(cell);
    if (!number || *number < 0 || *number >= static_cast<double>(count)) return std::nullopt;
    if (*number != std::floor(*number)) return std::nullopt;
    return static_cast<std::size_t>(*number);
}

// Storm numbers compare as values: two numbers by value, so that "1" and "1.0" (possible in the
// plain text rows of fpCardB2, and both written as 1) are the same storm; anything else by text.
bool SameValue(CellValue a, CellValue b) {
    const auto numberA = NumberIn(a), numberB = NumberIn(b);
    if (numberA && numberB) return *numberA == *numberB;
    return a.value_or("") == b.value_or("");
}

// Columns a descriptor takes: "F5.4" 5, "A10" 10, "44X" 44.
std::size_t DescriptorWidth(std::string_view descriptor) {
    std::size_t width = 0;
    const char* first = descriptor.data();
    const char* last = first + descriptor.size();
    if (first != last && (*first < '0' || *first > '9')) ++first;
    std::from_chars(first, last, width);
    return width;
}

int DescriptorDecimals(std::string_view descriptor) {
    const auto point = descriptor.find('.');
    int decimals = 0;
    if (point != std::string_view::npos)
        std::from_chars(descriptor.data() + point + 1, descriptor.data() + descriptor.size(),
                        decimals);
    return decimals;
}

// A number that does not fit its field with a point, written as the reader's implied decimals
// take it: "12345" in F5.4 (read as F5.0) is 12345 again, and 12.34 in F4.3 (read as F4.2) is
// "1234". Every other written number carries its point; this form is kept for the numbers that
// would otherwise become asterisks and so be lost on reading, so that a number read from a field
// is written back into the same width and a saved deck saves again to the same text. Nothing when
// the value needs more digits than the field has, or more decimals than the reader implies.
std::optional<std::string> ImpliedDecimalText(std::string_view text, const CardField& field,
                                              std::size_t width) {
    const auto number = NumericValue(text);
    if (!number) return std::nullopt;
    // 32.12 is 3212.0000000000005 once scaled: a difference in the last bits is no decimal.
    const double scaled = *number * std::pow(10.0, DescriptorDecimals(field.readDescriptor));
    const double whole = std::round(scaled);
    if (std::fabs(scaled - whole) > 1e-9 * std::max(1.0, std::fabs(whole)) ||
        std::fabs(whole) >= 1e9)
        return std::nullopt;
    std::string digits = std::to_string(static_cast<long long>(whole));
    if (digits.size() > width) return std::nullopt;
    return std::string(width - digits.size(), ' ') + digits;
}

// The same number as digits and a power of ten, "2D4" for 20000 in an I3 field. The exponent
// letter is D, the one the reader takes in integer and F fields alike (an F field refuses an
// E), and the digits carry the implied decimals a real field's reader gives a number without a
// point. Nothing when even this form is too wide, or an integer field would need a fraction.
std::optional<std::string> ExponentText(std::string_view text, const CardField& field,
                                        std::size_t width) {
    const auto number = NumericValue(text);
    if (!number || *number == 0 || !std::isfinite(*number)) return std::nullopt;
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, *number, std::chars_format::scientific);
    const std::string_view shortest(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t e = shortest.find('e');
    std::string digits;
    for (char c : shortest.substr(0, e))
        if (c != '.') digits += c; // the sign stays
    int exponent = 0;
    std::from_chars(shortest.data() + e + (shortest[e + 1] == '+' ? 2 : 1),
                    shortest.data() + shortest.size(), exponent);
    const std::size_t fraction = digits.size() - (digits.front() == '-' ? 2 : 1);
    exponent -= static_cast<int>(fraction);
    if (field.readDescriptor.front() == 'I' && exponent < 0) return std::nullopt;
    exponent += DescriptorDecimals(field.readDescriptor);
    const std::string form = digits + "D" + std::to_string(exponent);
    if (form.size() > width) return std::nullopt;
    return std::string(width - form.size(), ' ') + form;
}

WriteValue ToWriteValue(CellValue cell) {
    if (!cell) return std::monostate{}; // blanks in every field type
    return *cell;
}

// The values of one card, each field's from its grid column, with the card layout's write
// descriptors parsed once for all cards of its type. Fields without a grid column start
// absent; the pass sets the ones it computes.
template <const auto& Layout>
class CardValues {
  public:
    static constexpr std::size_t kFields = std::tuple_size_v<std::remove_cvref_t<decltype(Layout)>>;

    CardValues(const Grid& grid, int row) {
        for (std::size_t field = 0; field < kFields; ++field) {
            const int column = Layout[field].gridColumn;
            if (column != 0) values_[field] = ToWriteValue(GetCellValue(grid, column, row));
        }
    }
    void set(std::size_t field, WriteValue value) { values_[field] = value; }
    std::string write() const {
        std::string card = FortranWrite(Format(), values_);
        keepTooWideNumbers(card);
        return card;
    }

  private:
    void keepTooWideNumbers(std::string& card) const {
        std::size_t column = 0;
        for (std::size_t field = 0; field < kFields; ++field) {
            const std::size_t width = DescriptorWidth(Layout[field].writeDescriptor);
            const auto* text = std::get_if<std::string_view>(&values_[field]);
            const char kind = Layout[field].writeDescriptor.front();
            if (text && (kind == 'F' || kind == 'I') && column + width <= card.size() &&
                card.compare(column, width, std::string(width, '*')) == 0) {
                auto digits =
                    kind == 'F' ? ImpliedDecimalText(*text, Layout[field], width) : std::nullopt;
                if (!digits) digits = ExponentText(*text, Layout[field], width);
                if (digits) card.replace(column, width, *digits);
            }
            column += width;
        }
    }

    static const WriteFormat& Format() {
        static const WriteFormat format{WriteDescriptors()};
        return format;
    }
    static std::array<std::string_view, kFields> WriteDescriptors() {
        std::array<std::string_view, kFields> descriptors{};
        for (std::size_t field = 0; field < kFields; ++field)
            descriptors[field] = Layout[field].writeDescriptor;
        return descriptors;
    }

    std::array<WriteValue, kFields> values_{};
};

// The cards themselves, one function per card type, for the save pass and for anyone who wants
// to see what a record becomes. Each takes the values the pass computes (an option from a list
// index, a return period in years) as given.
std::string CardAText(const Grid& a, WriteValue option) {
    CardValues<cards::kA> card(a, kTemplateRow);
    card.set(kCardABlankField, kBlank);
    card.set(kCardAOptionField, option);
    return card.write();
}

bool AnyFilled(const Grid& grid, int row, int firstCol, int lastCol) {
    for (int c = firstCol; c <= lastCol; ++c) {
        if (GetCellValue(grid, c, row)) return true;
    }
    return false;
}

bool CarriesFactors(const Grid& b1, int row) {
    return AnyFilled(b1, row, col::kB1FirstFactor, col::kB1LastFactor);
}

std::string CardB1Text(const Grid& b1, int row) {
    if (CarriesFactors(b1, row)) return CardValues<cards::kB1WithFactors>(b1, row).write();
    return CardValues<cards::kB1>(b1, row).write();
}

// The cell holds the index of the chosen list entry; an empty cell counts as the first entry.
// Nothing for a cell that holds no index.
std::optional<double> ReturnPeriodYears(CellValue cell) {
    if (!cell) return kReturnPeriodYears.front();
    if (const auto index = ListIndexIn(cell, kReturnPeriodYears.size())) {
        return kReturnPeriodYears[*index];
    }
    return std::nullopt;
}

std::string CardB2Text(const Grid& b2, int row) {
    CardValues<cards::kB2> card(b2, row);
    const auto years = ReturnPeriodYears(GetCellValue(b2, col::kB2ReturnPeriod, row));
    card.set(kCardB2YearsField, years.value_or(kUnreadableReturnPeriodYears));
    return card.write();
}

std::optional<std::size_t> PrintIndex(const Grid& c, int row) {
    return ListIndexIn(GetCellValue(c, col::kCPrint, row), kPrintOptionCodes.size());
}

// Any print option cell that is not a list index, the empty one included, is written as 0.
std::string CardCText(const Grid& c, int row) {
    const auto printIndex = PrintIndex(c, row);
    CardValues<cards::kC> card(c, row);
    card.set(kCardCBlankField, kBlank);
    card.set(kCardCPrintField, printIndex ? kPrintOptionCodes[*printIndex] : 0.0);
    return card.write();
}

// The reader takes a blank line after a C card as no D card at all and drops the catchment, so
// a D card with every field empty (its row holds only D1 values, say) is written with a 0 as its
// catchment area, which the reader keeps: the catchment reads back, its area the 0 the save rules
// have already asked the user to replace.
constexpr std::size_t kCardDAreaField = 0;

std::string CardDText(const Grid& d, int row) {
    CardValues<cards::kD> card(d, row);
    std::string text = card.write();
    if (text.find_first_not_of(' ') != std::string::npos) return text;
    card.set(kCardDAreaField, 0.0);
    return card.write();
}

// The D1 card follows whenever the switch holds 1, even with every D1 field empty.
bool WritesD1(const Grid& d, int row) {
    return HoldsNumber(GetCellValue(d, col::kDUseD1, row), 1);
}

// Thrown to leave the pass at once; the outcome is already recorded in the deck text.
struct PassStopped {};

class SavePass {
  public:
    SavePass(const DeckGrids& grids, Platform& platform, const std::string& readFrom)
        : grids_(grids), platform_(platform) {
        if (!readFrom.empty()) readFrom_ = std::make_unique<FileComparer>(readFrom);
    }
    DeckText run();

  private:
    bool writeCardA();
    void writeB1Cards();
    void writeB2Cards();
    void writeCatchments();
    void checkCardC(int row);
    void checkCardD(int row);

    void append(const std::string& card);
    void appendLine(std::string_view line);
    void appendLines(std::string_view lines);
    [[noreturn]] void fail(const msg::SaveMessage& message, CellPlace place);
    void warn(const msg::SaveMessage& message, CellPlace place);
    void warnWhenEmpty(std::string_view recordSet, const Grid& grid, int col, int row,
                       const msg::SaveMessage& message);
    void checkReadBack();

    const DeckGrids& grids_;
    Platform& platform_;
    std::unique_ptr<FileComparer> readFrom_; // while the text is the file's, it is not held
    DeckText deck_;
};

std::size_t EstimatedDeckSize(const DeckGrids& grids) {
    const auto rows = [](const Grid& grid) { return static_cast<std::size_t>(grid.dataRowCnt()); };
    const std::size_t cards =
        2 + rows(grids.fpCardB1) + rows(grids.fpCardB2) + 3 * rows(grids.fpCardD) + 1;
    return cards * (kCardWidth + kLineEnd.size());
}

DeckText SavePass::run() {
    if (!readFrom_ || !readFrom_->same()) deck_.text.reserve(EstimatedDeckSize(grids_));
    try {
        if (writeCardA()) {
            writeB1Cards();
        } else {
            writeB2Cards();
        }
        appendLine(cards::kEndOfBRecords);
        writeCatchments();
        appendLine(cards::kEndCard);
    } catch (const PassStopped&) {
        return std::move(deck_);
    }
    checkReadBack();
    return std::move(deck_);
}

// Card A; true when the B1 cards follow. An option cell that holds neither list index counts as
// no method chosen: the combo box cannot hold anything else, and a card A with a made-up option
// would only be refused when the deck is read.
bool SavePass::writeCardA() {
    const Grid& a = grids_.fpCardA;
    const CellValue option = GetCellValue(a, col::kAOption, kTemplateRow);
    const CellValue title = GetCellValue(a, col::kATitle, kTemplateRow, CellReadKind::Text);
    const auto index = NumberIn(option);
    if (!index || (*index != kHyetographOption && *index != kOneHourDepthOption)) {
        fail(msg::kNoRainfallMethod, {"A", kTemplateRow, col::kAOption});
    }
    if (title.value_or("").empty()) warn(msg::kNoProjectTitle, {"A", kTemplateRow, col::kATitle});

    append(CardAText(a, *index + 1));
    return *index == kHyetographOption;
}

// A storm is a run of rows with the same storm number. Its correction factors may only be on
// its last card, never on its first, and only where depths 14 to 17 are empty.
void SavePass::writeB1Cards() {
    const Grid& b1 = grids_.fpCardB1;
    CellValue previousStorm = GetCellValue(b1, col::kB1Storm, kTemplateRow);
    if (!previousStorm) fail(msg::kB1FirstCardNoStorm, {"B1", kTemplateRow, col::kB1Storm});
    bool factorsWritten = false;

    const int lastRow = b1.dataRowCnt();
    for (int r = kTemplateRow; r <= lastRow; ++r) {
        const CellValue storm = GetCellValue(b1, col::kB1Storm, r);
        const bool carriesFactors = CarriesFactors(b1, r);
        if (carriesFactors && AnyFilled(b1, r, kB1FirstDepthUnderFactors, col::kB1LastDepth)) {
            fail(msg::kB1DepthsAndFactors, {"B1", r, kB1FirstDepthUnderFactors});
        }
        if (!storm) fail(msg::kB1NoStormNumber, {"B1", r, col::kB1Storm});
        if (!GetCellValue(b1, col::kB1Ident, r)) warn(msg::kB1NoStormId, {"B1", r, col::kB1Ident});

        const bool continuesStorm = r != kTemplateRow && SameValue(storm, previousStorm);
        if (continuesStorm && factorsWritten)
            fail(msg::kB1FactorsNotLast, {"B1", r, col::kB1FirstFactor});
        if (!continuesStorm) {
            if (carriesFactors) fail(msg::kB1FactorsOnFirstCard, {"B1", r, col::kB1FirstFactor});
            factorsWritten = false;
        }

        append(CardB1Text(b1, r));
        factorsWritten = factorsWritten || carriesFactors;
        previousStorm = storm;
    }
}

// B2-3 compares neighbouring rows only: the same number on rows that are apart passes.
void SavePass::writeB2Cards() {
    const Grid& b2 = grids_.fpCardB2;
    CellValue previousStorm = GetCellValue(b2, col::kB2Storm, kTemplateRow);

    const int lastRow = b2.dataRowCnt();
    for (int r = kTemplateRow; r <= lastRow; ++r) {
        const CellValue storm = GetCellValue(b2, col::kB2Storm, r);
        const CellValue returnPeriod = GetCellValue(b2, col::kB2ReturnPeriod, r);
        if (!storm) fail(msg::kB2NoStormNumber, {"B2", r, col::kB2Storm});
        if (!GetCellValue(b2, col::kB2Ident, r)) warn(msg::kB2NoStormId, {"B2", r, col::kB2Ident});
        if (r != kTemplateRow && SameValue(storm, previousStorm))
            fail(msg::kB2DuplicateStorm, {"B2", r, col::kB2Storm});
        if (!NumberIn(returnPeriod)) warn(msg::kB2NoReturnPeriod, {"B2", r, col::kB2ReturnPeriod});
        if (!ReturnPeriodYears(returnPeriod))
            warn(msg::kB2BadReturnPeriod, {"B2", r, col::kB2ReturnPeriod});
        append(CardB2Text(b2, r));
        previousStorm = storm;
    }
}

// The cards of one catchment, each with its line end; false when one cannot be built.
bool AppendCatchmentCards(const DeckGrids& grids, int row, std::string& text) {
    const auto add = [&text](const std::string& card) {
        if (card.empty()) return false;
        text.append(card).append(kLineEnd);
        return true;
    };
    const Grid& d = grids.fpCardD;
    return add(CardCText(grids.fpCardC, row)) && add(CardDText(d, row)) &&
           (!WritesD1(d, row) || add(CardValues<cards::kD1>(d, row).write()));
}

// Below this many catchments a second thread costs more than it saves.
constexpr int kCatchmentsWorthAThread = 2000;

// The cards of the later part of a large deck's catchments are built on another thread while
// this one checks the rules and writes the first part; they follow it in order. Whether a card
// can be built depends on the fixed card layouts only, never on the cells, so a card that cannot
// be built stops the pass at the first row, as it would without the second thread.
void SavePass::writeCatchments() {
    const int lastRow = grids_.fpCardC.dataRowCnt();
    if (lastRow != grids_.fpCardD.dataRowCnt())
        fail(msg::kCDMismatch, {"C", std::max(lastRow, grids_.fpCardD.dataRowCnt()), 0});
    const int rows = lastRow - kTemplateRow + 1;
    // This thread also checks every row's rules: it writes two rows in five, the other three.
    const int tailFrom =
        rows >= kCatchmentsWorthAThread ? kTemplateRow + rows * 2 / 5 : lastRow + 1;
    auto tail = std::async(tailFrom <= lastRow ? std::launch::async : std::launch::deferred, [&] {
        std::string text;
        text.reserve(static_cast<std::size_t>(lastRow - tailFrom + 1) * 3 *
                     (kCardWidth + kLineEnd.size()));
        for (int r = tailFrom; r <= lastRow; ++r) {
            if (!AppendCatchmentCards(grids_, r, text)) return std::optional<std::string>{};
        }
        return std::optional<std::string>(std::move(text));
    });
    const Grid& d = grids_.fpCardD;
    for (int r = kTemplateRow; r <= lastRow; ++r) {
        checkCardC(r);
        if (r < tailFrom) append(CardCText(grids_.fpCardC, r));
        checkCardD(r);
        if (r >= tailFrom) continue;
        append(CardDText(d, r));
        if (WritesD1(d, r)) append(CardValues<cards::kD1>(d, r).write());
    }
    if (tailFrom > lastRow) return;
    const std::optional<std::string> tailText = tail.get();
    if (!tailText) {
        deck_.error = EINVAL; // as append does for a card that cannot be built
        throw PassStopped{};
    }
    appendLines(*tailText);
}

// A catchment number outside 1 to 998, or one that is not a number at all, cannot name the
// hydrograph files written for the routing model.
bool IsCatchmentNumberUsable(CellValue cell) {
    const auto number = NumberIn(cell);
    return number && *number > kLowestCatchmentNumber && *number < kHighestCatchmentNumber;
}

void SavePass::checkCardC(int row) {
    const Grid& c = grids_.fpCardC;
    const CellValue printOption = GetCellValue(c, col::kCPrint, row);
    if (!NumberIn(printOption)) warn(msg::kCNoPrintOption, {"C", row, col::kCPrint});
    if (!NumberIn(GetCellValue(c, col::kCRational, row)))
        warn(msg::kCBadRationalFormula, {"C", row, col::kCRational});
    warnWhenEmpty("C", c, col::kCUnitDuration, row, msg::kCNoTimeUnit);

    const auto index = PrintIndex(c, row);
    const bool writesToDisk = index && *index >= kFirstDiskOutputIndex;
    if (writesToDisk && !IsCatchmentNumberUsable(GetCellValue(c, col::kCNumber, row))) {
        warn(msg::kCBadCatchmentNumber, {"C", row, col::kCNumber});
    }
}

// The time of concentration (column 7) and every field after column 12 are optional.
void SavePass::checkCardD(int row) {
    const Grid& d = grids_.fpCardD;
    warnWhenEmpty("D", d, col::kDArea, row, msg::kDNoArea);
    warnWhenEmpty("D", d, col::kDLength, row, msg::kDNoLength);
    warnWhenEmpty("D", d, col::kDCentroid, row, msg::kDNoCentroid);
    warnWhenEmpty("D", d, col::kDImpervious, row, msg::kDNoImperviousness);
    warnWhenEmpty("D", d, col::kDSlope, row, msg::kDNoSlope);
    warnWhenEmpty("D", d, col::kDPerviousStorage, row, msg::kDNoPerviousStorage);
    warnWhenEmpty("D", d, col::kDImperviousStorage, row, msg::kDNoImperviousStorage);
    warnWhenEmpty("D", d, col::kDInitialInfiltration, row, msg::kDNoInitialInfiltration);
    warnWhenEmpty("D", d, col::kDDecay, row, msg::kDNoDecay);
    warnWhenEmpty("D", d, col::kDFinalInfiltration, row, msg::kDNoFinalInfiltration);
}

// FortranWrite only refuses a malformed pair list, which the fixed card layouts never are.
// Should it happen all the same, writing a shortened deck would lose data: the save stops as
// an unexpected error instead, and the caller reports that saving failed.
void SavePass::append(const std::string& card) {
    if (card.empty()) {
        deck_.error = EINVAL;
        throw PassStopped{};
    }
    appendLine(card);
}

// Whole lines with their line ends, as one piece.
void SavePass::appendLines(std::string_view lines) {
    if (readFrom_ && readFrom_->same()) {
        if (readFrom_->compare(lines)) return;
        deck_.text = readFrom_->matchedBytes(); // as in appendLine
        deck_.text.reserve(EstimatedDeckSize(grids_));
    }
    deck_.text.append(lines);
}

void SavePass::appendLine(std::string_view line) {
    if (readFrom_ && readFrom_->same()) {
        const bool lineSame = readFrom_->compare(line);
        if (lineSame && readFrom_->compare(kLineEnd)) return;
        // From here on the text differs from the file: it is held, from the bytes that matched.
        deck_.text = readFrom_->matchedBytes();
        deck_.text.reserve(EstimatedDeckSize(grids_));
        if (!lineSame) deck_.text.append(line);
        deck_.text.append(kLineEnd);
        return;
    }
    deck_.text.append(line).append(kLineEnd);
}

// Each rule's box names its place beside the message, as the detail of the box.
void SavePass::fail(const msg::SaveMessage& message, CellPlace place) {
    platform_.showDetailedMessage(message.text, PlaceText(grids_, place), message.icon,
                                  message.title);
    deck_.findings.push_back({FindingClass::Fatal, place, std::string(message.text)});
    deck_.fatal = true;
    throw PassStopped{};
}

void SavePass::warn(const msg::SaveMessage& message, CellPlace place) {
    platform_.showDetailedMessage(message.text, PlaceText(grids_, place), message.icon,
                                  message.title);
    deck_.findings.push_back({FindingClass::Warning, place, std::string(message.text)});
    deck_.unusable = true;
}

// Told after the rules' own messages, so that their order stays as users know it. A loss does
// not mark the deck as unusable by the engine: the closing message keeps its meaning.
void SavePass::checkReadBack() {
    const bool textIsFileSoFar = readFrom_ && readFrom_->same();
    const bool readsBackAsRead = textIsFileSoFar && readFrom_->atEnd();
    if (textIsFileSoFar && !readsBackAsRead)
        deck_.text = readFrom_->matchedBytes(); // file is longer
    deck_.losses = FindSaveLosses(grids_, deck_.text, readsBackAsRead);
    if (deck_.losses.empty()) return;
    platform_.showMessage(DescribeLosses(deck_.losses), MessageIcon::Exclamation, msg::kTitle);
    for (const SaveLoss& loss : deck_.losses.named) {
        deck_.findings.push_back(
            {FindingClass::Loss, {loss.recordSet, loss.row, loss.col}, DescribeLoss(loss)});
    }
    // Beyond the cells named, a deck that loses many only counts them, as its warning does.
    if (const std::size_t more = deck_.losses.unnamedCount; more > 0) {
        deck_.findings.push_back({FindingClass::Loss,
                                  {},
                                  std::to_string(more) +
                                      (more == 1 ? " more cell" : " more cells") +
                                      " of the grids will not read back as they are"});
    }
}

void SavePass::warnWhenEmpty(std::string_view recordSet, const Grid& grid, int col, int row,
                             const msg::SaveMessage& message) {
    if (!GetCellValue(grid, col, row)) warn(message, {std::string(recordSet), row, col});
}

} // namespace

// The grid model has no typed getters that could fail, so every read delivers the cell's text.
std::optional<std::string_view> GetCellValue(const Grid& grid, int col, int row,
                                             CellReadKind kind) {
    const std::string_view text = grid.text(col, row);
    if (text.empty() && kind == CellReadKind::Generic) return std::nullopt;
    return text;
}

DeckText BuildDeckText(const DeckGrids& grids, Platform& platform, const std::string& readFrom) {
    return SavePass(grids, platform, readFrom).run();
}

// What the save writes for the record, built by the save's own card functions. The rainfall
// option is written as the save would, or as an empty cell when the save would refuse it.
std::vector<RecordCard> RecordCards(const DeckGrids& grids, std::string_view recordSet, int row) {
    if (recordSet == "A") {
        const auto index = NumberIn(GetCellValue(grids.fpCardA, col::kAOption, kTemplateRow));
        const bool known = index && (*index == kHyetographOption || *index == kOneHourDepthOption);
        return {{"A", CardAText(grids.fpCardA, known ? WriteValue(*index + 1) : WriteValue{})}};
    }
    if (recordSet == "B1") {
        return {
            {CarriesFactors(grids.fpCardB1, row) ? "B1.2" : "B1", CardB1Text(grids.fpCardB1, row)}};
    }
    if (recordSet == "B2") return {{"B2", CardB2Text(grids.fpCardB2, row)}};
    std::vector<RecordCard> catchment{{"C", CardCText(grids.fpCardC, row)},
                                      {"D", CardDText(grids.fpCardD, row)}};
    if (WritesD1(grids.fpCardD, row))
        catchment.push_back({"D1", CardValues<cards::kD1>(grids.fpCardD, row).write()});
    return catchment;
}

std::pair<int, int> StormRows(const Grid& b1, int row) {
    const CellValue storm = GetCellValue(b1, col::kB1Storm, row);
    int first = row, last = row;
    while (first > kTemplateRow && SameValue(GetCellValue(b1, col::kB1Storm, first - 1), storm))
        --first;
    while (last < b1.dataRowCnt() && SameValue(GetCellValue(b1, col::kB1Storm, last + 1), storm))
        ++last;
    return {first, last};
}

} // namespace tovan
