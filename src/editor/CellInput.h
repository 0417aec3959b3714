// What a cell accepts from the user and how its value is shown: the limits of each cell type
// applied to typed or pasted text, and the text shown for a stored value.
#pragma once

#include "deck/CellFormat.h"

#include <QString>
#include <optional>
#include <string>

namespace tovan {

// The value to store for `text` typed or pasted into a cell of `format`, or nothing when the
// cell refuses it. Numbers must lie within the cell's range; a float with more decimals than
// the cell keeps is rounded to them; an edit cell keeps its first maxLength characters; a
// combo box takes an item index or the exact text of an item. Empty text clears any cell. Text
// with a control character (a line break, a tab) is refused.
std::optional<std::string> AcceptCellText(const CellFormat& format, const QString& text);

// What the grid shows for a stored value: the item text of a combo box, the caption of a
// button, the value itself otherwise.
QString CellDisplayText(const CellFormat& format, const std::string& value);

// The text copied out of a cell: what the user sees, so that a spreadsheet shows the same.
QString CellCopyText(const CellFormat& format, const std::string& value);

} // namespace tovan
