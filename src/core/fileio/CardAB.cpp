// Card A (rainfall option and title) and the B2 storms; the B1 hyetographs are handed to
// HyetoInput.
#include "deck/CardLayouts.h"
#include "fileio/CardReading.h"

#include <cctype>

namespace tovan {

using namespace reading;

namespace {

const CardFormat kCardA{cards::kA, "A"};
const CardFormat kCardB2{cards::kB2, "B2"};
constexpr int kStormLimit = 99; // StormCardCount starts at 1, so at most 98 B2 cards

std::string ReturnPeriodIndex(const FieldValue& years) {
    if (years.kind != FieldKind::Integer) return "0";
    switch (years.integer) {
    case 5:
        return "1";
    case 10:
        return "2";
    case 50:
        return "3";
    case 100:
        return "4";
    default:
        return "0"; // 2 years, and anything that is not a listed period
    }
}

void PutB2Card(ReadingContext& context, const FieldList& card) {
    Grid& grid = context.grids.fpCardB2;
    PutCell(context, grid, CellText(card[0])); // storm number
    PutCell(context, grid, CellText(card[1])); // identification, 10 characters
    PutCell(context, grid, ReturnPeriodIndex(card[2]));
    PutCell(context, grid, CellText(card[3])); // one-hour depth
    for (std::size_t factor = 5; factor <= 8; ++factor) {
        PutCell(context, grid, BlankIfZero(context, card[factor]));
    }
}

void ReadB2Cards(ReadingContext& context) {
    ReadingState& state = context.state;
    state.StormCardCount = 1;
    state.GridRow = 2;
    context.app.EnableB2 = true;
    while (!AtEndOfDeck(context) && state.StormCardCount != kStormLimit) {
        if (IsBlankLine(ReadNextLine(context))) break;
        state.GridCol = 1;
        PutB2Card(context, ReadCardFields(context, kCardB2, state.GridRow));
        ++state.StormCardCount;
        ++state.GridRow;
    }
}

void RejectDeck(ReadingContext& context) {
    context.platform.setBusy(false);
    context.platform.showDetailedMessage("Error on File, Check file for correct format",
                                         WhereInDeck(context), MessageIcon::Exclamation, "Error");
    context.state.cardARejected = true; // the open command shows the File menu's items again
    context.state.ReadFailed = true;
    context.state.deck.reset();
}

bool IsEndMark(const FieldValue& column1) {
    return column1.text.size() == 1 &&
           std::toupper(static_cast<unsigned char>(column1.text[0])) == 'E';
}

// Returns false when the deck was rejected or stopped at card A.
bool ReadCardA(ReadingContext& context, int& option) {
    ReadingState& state = context.state;
    state.GridCol = 1;
    state.GridRow = 2;
    if (IsBlankLine(ReadNextLine(context))) {
        RejectDeck(context);
        return false;
    }
    const FieldList& card = ReadCardFields(context, kCardA, 2);
    option = card[1].kind == FieldKind::Integer ? card[1].integer : 0;
    if (option != 1 && option != 2) {
        RejectDeck(context);
        return false;
    }
    PutCell(context, context.grids.fpCardA, option == 1 ? "0" : "1");
    PutCell(context, context.grids.fpCardA, card[2].text);
    if (IsEndMark(card[0])) {
        state.ReadFailed = true;
        state.deck.reset();
        return false;
    }
    return true;
}

} // namespace

void CardAB(ReadingContext& context) {
    Trapped(context, "CardAB Error!", [&] {
        int option = 0;
        if (!ReadCardA(context, option)) return;
        if (option == 2) {
            ReadB2Cards(context);
        } else {
            HyetoInput(context);
            if (context.state.ReadFailed) {
                context.state.deck.reset();
                return;
            }
        }
        context.app.EnableC = true;
        context.app.EnableD = true;
    });
    if (context.state.ReadFailed) context.state.deck.reset();
}

} // namespace tovan
