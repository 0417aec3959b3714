// What a grid cell takes from the user, typed or pasted, and why it refuses the rest. Text is
// Latin-1, as the deck is. A text cell keeps what it is given, up to a card's width; typing
// stops at the cell's own length. A list cell takes a value by what it means: an item's whole text
// or the number the item stands for ("2" or "002" is the return period "002", "7" the print option
// that begins "7 - "), never a position in the list.
#pragma once

#include "deck/Grid.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

struct CellEntry {
    std::optional<std::string> value; // what the cell stores; nothing when it refuses the text
    std::string refusal;              // why it refused ("is not an item of the list (...)")
    bool rounded = false;             // a number with more decimals than the cell keeps
};

// The value to store for `text` in a cell of `format`. Empty text clears any cell that takes
// values; a control character (a line break, a tab) is refused, since it would break the card.
CellEntry AcceptEntry(const CellFormat& format, std::string_view text);

// The item of `items` that `text` means, by whole text or by the item's leading number.
std::optional<std::size_t> MatchListItem(const std::vector<std::string>& items,
                                         std::string_view text);

// Whether the user may change the cell: inside the grid, unlocked, neither label nor button.
bool UserCanEdit(const Grid& grid, int col, int row);

// The kind of value a cell's field holds. The storm rows 7 and on of fpCardB2 are plain text
// cells; their fields are those of the rows above, so a value copied between the two kinds of
// rows keeps its meaning (a return period pasted there is stored as the list index the save
// reads).
const CellFormat& FieldFormat(const Grid& grid, int col, int row);

// What a copy puts on the clipboard for one cell: the value as the field means it (a list's
// item text), nothing for a button.
std::string CellCopyValue(const Grid& grid, int col, int row);

// A block of pasted text, row by row and field by field. Lines end in CR LF, LF or CR; a
// trailing line end adds no row; a field in double quotes (as spreadsheets write a field that
// holds a tab, a line break or a quote) is unquoted, with "" standing for one quote.
using PastedBlock = std::vector<std::vector<std::string>>;
PastedBlock SplitPastedText(std::string_view text);

} // namespace tovan
