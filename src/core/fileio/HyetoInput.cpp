// The B1 hyetograph cards. The meaning of a card's last four fields depends on the card after
// it (depths 14 to 17, or the correction factors on the last card of a storm), so the reader
// always holds the next card before it places the current one.
//
// Repeated storm numbers: a storm that reuses the number of an earlier, non-adjacent storm is
// accepted. The save rules allow such decks, and every deck this program saves must open
// again; the engine takes the first storm with a requested number.
#include "deck/CardLayouts.h"
#include "deck/modChangeSpread.h"
#include "fileio/CardReading.h"

namespace tovan {

using namespace reading;

namespace {

const CardFormat kCardB1{cards::kB1, "B1"};
constexpr int kStormLimit = 99;
constexpr std::size_t kFirstDepth = 2; // index of value 3, the first depth, in a card
constexpr std::size_t kLastValue = 18; // index of value 19

struct B1Card {
    FieldList values;
    int line = 0; // in the deck
    int row = 0;  // of the grid it goes to
    std::string text;
    const FieldValue& storm() const { return values[0]; }
    bool hasStorm() const { return !storm().isEmpty(); }
    bool sameStormAs(const B1Card& other) const {
        return storm().kind == FieldKind::Integer && other.storm().kind == FieldKind::Integer &&
               storm().integer == other.storm().integer;
    }
};

B1Card ReadB1Card(ReadingContext& context, int row) {
    ReadNextLine(context);
    return {ReadCardFields(context, kCardB1, row), context.state.linesRead, row,
            context.state.CardLine};
}

void PutStormAndIdent(ReadingContext& context, const B1Card& card) {
    context.state.GridCol = col::kB1Storm;
    PutCell(context, context.grids.fpCardB1, CellText(card.values[0]));
    PutCell(context, context.grids.fpCardB1, CellText(card.values[1]));
}

// A B1.1 card: its depths up to the first empty one. Those after it are not taken, which the
// reading's findings say.
void PlaceFirstCard(ReadingContext& context, const B1Card& card) {
    PutStormAndIdent(context, card);
    std::size_t i = kFirstDepth;
    for (; i <= kLastValue && !card.values[i].isEmpty(); ++i) {
        PutCell(context, context.grids.fpCardB1, CellText(card.values[i]));
    }
    if (i > kLastValue) return;
    const auto [first, last] = kCardB1.format.columnsOf(i);
    const std::string stop = "the depths of a storm's first card are read up to its first empty "
                             "one, in columns " +
                             std::to_string(first) + " to " + std::to_string(last);
    for (std::size_t after = i + 1; after <= kLastValue; ++after) {
        if (card.values[after].isEmpty()) continue;
        const auto [from, to] = kCardB1.format.columnsOf(after);
        const std::string_view field = std::string_view(card.text).substr(
            std::min(card.text.size(), static_cast<std::size_t>(from - 1)),
            static_cast<std::size_t>(to - from + 1));
        NoteUnread(context, kCardB1, card.line, card.row, after,
                   "\"" + std::string(field) + "\" is not taken: " + stop);
    }
}

// A B1.2 card: depths 1 to 13, then depths 14 to 17 or, on the storm's last card, the factors.
void PlaceContinuationCard(ReadingContext& context, const B1Card& card, bool lastOfStorm) {
    PutStormAndIdent(context, card);
    for (std::size_t i = kFirstDepth; i < kFirstDepth + 13; ++i) {
        PutCell(context, context.grids.fpCardB1, CellText(card.values[i]));
    }
    context.state.GridCol = lastOfStorm ? col::kB1FirstFactor : 16;
    for (std::size_t i = kFirstDepth + 13; i <= kLastValue; ++i) {
        PutCell(context, context.grids.fpCardB1, CellText(card.values[i]));
    }
}

void ReadStorms(ReadingContext& context) {
    ReadingState& state = context.state;
    B1Card next = ReadB1Card(context, state.GridRow);
    bool continuing = false;
    while (!AtEndOfDeck(context) && state.StormCardCount != kStormLimit) {
        const B1Card placed = std::move(next);
        next = ReadB1Card(context, state.GridRow + 1);
        if (!continuing) {
            if (!placed.hasStorm()) return;
            ++state.StormCardCount;
            PlaceFirstCard(context, placed);
            continuing = next.sameStormAs(placed);
        } else {
            continuing = next.sameStormAs(placed);
            PlaceContinuationCard(context, placed, !continuing);
        }
        AddRow(context.grids.fpCardB1, context.platform);
        ++state.GridRow;
        if (!next.hasStorm()) return;
    }
}

} // namespace

void HyetoInput(ReadingContext& context) {
    context.app.EnableB1 = true;
    context.state.StormCardCount = 0;
    context.state.GridRow = 2;
    if (AtEndOfDeck(context)) {
        context.platform.showDetailedMessage(
            "Error reading hyetograph input card. Please check for validity.",
            "The deck ends after card A.", MessageIcon::Information, "HyetoInput Error!");
        context.state.ReadFailed = true;
        return;
    }
    Trapped(context, "HyetoInput Error!", [&] { ReadStorms(context); });
}

} // namespace tovan
