// Row insertion for the grids that grow: a new record row above the button row of fpCardB1,
// fpCardC or fpCardD, formatted like the template row 2.
#pragma once

#include "deck/Grid.h"
#include "platform/Platform.h"

namespace tovan {

// Adds one empty record row just above the grid's last (button) row and gives each of its
// cells the format of the same column in row 2. Not copied: values, the maximum length of
// edit cells (new edit cells get the default), and colours other than that of locked edit
// cells (which become the button face). Float limits pass through single precision, as the
// grid stores them. Takes constant time per call, whatever the row count.
// Errors are reported with the title "AddRow Error!"; the grid's current row is kept.
void AddRow(Grid& grid, Platform& platform);

// Inserts one empty record row at `row` (a record row: from row 2 to the last row before the
// button row), its cells formatted as AddRow formats a new row. Added beside AddRow for Edit >
// Insert Record; the rows below move down, nothing is renumbered.
void InsertRecordRow(Grid& grid, int row);

// Insert and delete in a grid whose row count never changes (fpCardB2): the values of the rows
// from `row` on move one row down or up, and every cell keeps its own format, so the typed
// rows stay typed. Moving down refuses (false, nothing moved) when the last row holds a value
// that would fall off; moving up empties the last row.
bool MoveValuesDown(Grid& grid, int row);
void MoveValuesUp(Grid& grid, int row);

} // namespace tovan
