// What a cell accepts from the user and how its value is shown: the cell rules of the core
// applied to the text of an editor or the clipboard, and the text shown for a stored value.
#pragma once

#include "deck/CellFormat.h"
#include "editing/CellEntry.h"

#include <QString>

namespace tovan {

// The core's CellEntry for Qt text. A character the deck's Latin-1 cannot hold is refused
// rather than turned into a question mark.
CellEntry AcceptCellText(const CellFormat& format, const QString& text);

// What the grid shows for a stored value: the item text of a combo box, the caption of a
// button, the value itself otherwise.
QString CellDisplayText(const CellFormat& format, const std::string& value);

} // namespace tovan
