// Help for every field of the deck, in one table: what the field means, its units, whether the
// deck needs it and what the engine does with it. The rest of a field's help is not written
// here but taken from where it is defined already: its label from the grid, its range or list
// from the grid's cell type, its deck columns and descriptor from the card layouts, and the
// range the engine considers usual from the engine's range table. The editor's tooltips, its
// help window and the deck reference in docs/ all read this one table.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

enum class FieldNeed {
    Refused,   // the save refuses the deck without it
    Warned,    // the save warns that the engine cannot use the deck without it
    Sometimes, // needed in some cases only (the words say when)
    Optional,
};

struct FieldHelp {
    std::string_view recordSet; // "A", "B1", "B2", "C" or "D"
    int firstCol, lastCol;      // the grid columns it covers
    std::string_view description;
    std::string_view units; // empty when the field has none
    FieldNeed need;
    std::string_view engine; // what the engine does with the value
};

std::span<const FieldHelp> FieldHelpTable();
// The entry of a grid column; null for a column that holds no field.
const FieldHelp* FindFieldHelp(std::string_view recordSet, int col);

// Where a grid column is written in the deck: the card ("A", "B1", "B1.2" for a last card with
// correction factors, "B2", "C", "D", "D1"), its first and last deck column (from 1) and the
// descriptor it is written with.
struct DeckSpan {
    std::string_view card;
    int first = 0, last = 0;
    std::string_view descriptor;
};
std::vector<DeckSpan> DeckSpansOf(std::string_view recordSet, int col);
// The span of a grid column on one card type; nothing when that card does not carry it.
std::optional<DeckSpan> DeckSpanOn(std::string_view card, std::string_view recordSet, int col);

// The help of one field as plain lines: label, description, deck columns, units, range or
// list, need, engine.
std::string FieldHelpText(std::string_view recordSet, int col);

// The reference of the whole deck, record set by record set, as Markdown (docs/deck-reference.md).
std::string DeckReferenceMarkdown();

} // namespace tovan
