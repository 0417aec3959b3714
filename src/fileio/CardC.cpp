// The catchment records: card C into fpCardC, card D (and its D1 when asked for) into the
// same row of fpCardD.
#include "deck/CardLayouts.h"
#include "deck/modChangeSpread.h"
#include "fileio/CardReading.h"

namespace tovan {

using namespace reading;

namespace {

const ReadFormat kCardC{ReadDescriptors(cards::kC)};
const ReadFormat kCardD{ReadDescriptors(cards::kD)};
const ReadFormat kCardD1{ReadDescriptors(cards::kD1)};

std::string PrintOptionIndex(const FieldValue& code) {
    if (code.kind == FieldKind::Integer && code.integer >= 7 && code.integer <= 9) {
        return std::to_string(code.integer - 3); // codes 7, 8, 9 sit at indexes 4, 5, 6
    }
    return CellText(code);
}

std::string_view TrimmedText(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void PutCCard(ReadingContext& context, const FieldList& c) {
    Grid& grid = context.grids.fpCardC;
    context.state.GridCol = col::kCPrint;
    PutCell(context, grid, PrintOptionIndex(c[1]));
    PutCell(context, grid, CellText(c[2]));             // rational formula option
    PutCell(context, grid, BlankIfZero(context, c[3])); // first storm
    PutCell(context, grid, BlankIfZero(context, c[4])); // last storm
    PutCell(context, grid, BlankIfZero(context, c[5])); // unit duration
    PutCell(context, grid, c[6].text);                  // identification, 6 characters as read
    PutCell(context, grid, BlankIfZero(context, c[7])); // catchment number
    PutCell(context, grid, TrimmedText(c[8].text));
}

// The D fields in card order: D.1 to D.11, D.12 (optional input), D.13 (use D1), D.14 (skip),
// D.15 to D.17 (DCIA). The grid takes D.15 to D.17 before D.12 and D.13.
void PutDCard(ReadingContext& context, const FieldList& d) {
    Grid& grid = context.grids.fpCardD;
    context.state.GridCol = col::kDArea;
    PutCell(context, grid, CellText(d[0])); // the area keeps a 0
    for (std::size_t i = 1; i <= 10; ++i)
        PutCell(context, grid, BlankIfZero(context, d[i]));
    for (std::size_t i = 14; i <= 16; ++i)
        PutCell(context, grid, BlankIfZero(context, d[i]));
    context.state.GridCol += 2; // over the D1 columns 16 and 17, to column 18
    PutCell(context, grid, BlankIfZero(context, d[11]));
    PutCell(context, grid, BlankIfZero(context, d[12]));
}

bool AsksForD1(const FieldList& d) {
    return d[12].kind == FieldKind::Integer && d[12].integer == 1;
}

} // namespace

void Card_D1(ReadingContext& context) {
    Trapped(context, "Card_D1 Error!", [&] {
        context.app.EnableD = true;
        ReadNextLine(context);
        const FieldList& d1 = ReadCardFields(context, kCardD1);
        Grid& grid = context.grids.fpCardD;
        context.state.GridCol = col::kDFirstD1;
        for (std::size_t i = 0; i < 6; ++i)
            PutCell(context, grid, BlankIfZero(context, d1[i]));
        context.state.GridCol = col::kDWqcv;
        PutCell(context, grid, BlankIfZero(context, d1[6]));
        PutCell(context, grid, BlankIfZero(context, d1[7]));
    });
}

namespace {

// Room for the rest of the catchments, made at once instead of row by row once a few have been
// read: as many as the bytes left hold at the bytes those took each.
class CatchmentRoom {
  public:
    explicit CatchmentRoom(const ReadingContext& context) : startLeft_(BytesLeft(context)) {}

    void afterCatchment(ReadingContext& context) {
        if (++read_ != kSample) return;
        const std::size_t left = BytesLeft(context);
        const std::size_t each = (startLeft_ - std::min(startLeft_, left)) / kSample;
        if (each == 0) return;
        const int rows = static_cast<int>(std::min<std::size_t>(left / each + 1, 1U << 30));
        context.grids.fpCardC.reserveRows(rows);
        context.grids.fpCardD.reserveRows(rows);
    }

  private:
    static constexpr int kSample = 64;
    static std::size_t BytesLeft(const ReadingContext& context) {
        return context.state.deck ? context.state.deck->bytesLeft() : 0;
    }
    std::size_t startLeft_;
    int read_ = 0;
};

} // namespace

void Card_C(ReadingContext& context) {
    ReadingState& state = context.state;
    CatchmentRoom room(context);
    Trapped(context, "Card_C Error!", [&] {
        state.GridRow = 2;
        context.app.EnableC = true;
        while (!AtEndOfDeck(context)) {
            if (IsBlankLine(ReadNextLine(context))) continue;
            const FieldList& c = ReadCardFields(context, kCardC);
            if (c[0].text == "E") return;
            PutCCard(context, c);
            AddRow(context.grids.fpCardC, context.platform);

            if (IsBlankLine(ReadNextLine(context))) continue;
            const FieldList& d = ReadCardFields(context, kCardD);
            PutDCard(context, d);
            if (AsksForD1(d)) {
                Card_D1(context);
                if (state.ReadFailed) return;
            }
            ++state.GridRow;
            AddRow(context.grids.fpCardD, context.platform);
            room.afterCatchment(context);
        }
    });
    context.grids.fpCardC.releaseSpareRoom();
    context.grids.fpCardD.releaseSpareRoom();
}

} // namespace tovan
