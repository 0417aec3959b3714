// Keyboard rules of the record grids: the caret never steps onto a locked cell, Delete clears
// a cell, and the C and D grids (shown one above the other) stay on the same catchment.
#pragma once

#include "deck/ApplicationState.h"
#include "deck/Grid.h"
#include "platform/Platform.h"

namespace tovan {

// Virtual-key codes and shift states as the key events deliver them.
namespace keys {
inline constexpr int kTab = 9, kEnter = 13, kLeft = 37, kUp = 38, kRight = 39, kDown = 40,
                     kDelete = 46;
inline constexpr int kNoShift = 0, kShift = 1;
} // namespace keys

// Called on key down, before the grid moves the caret for the key: when the cell the key
// would move to is locked, the active cell is put one step against the key's direction, so
// that the grid's own step ends where the caret was.
void TabControl(Grid& grid, int keyCode, int shift, Platform& platform);

// Where the grid's own movement takes the caret for a key from the active cell: Tab and Right
// one column right (wrapping to column 1 of the next row after the last used column), Shift+Tab
// and Left one column left (wrapping to the last used column of the row above), Up and Down one
// row; nothing for other keys, nor for a step out of the grid.
struct CellPosition {
    int col;
    int row;
    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};
CellPosition GridOwnStep(const Grid& grid, int keyCode, int shift);

// Key release seen by the form: Delete clears the active cell of the focused grid (never in
// row 1); every other release, and a Delete outside row 1, sets DeckChanged.
void FormKeyUp(Grid* focusedGrid, int keyCode, ApplicationState& app, Platform& platform);

// Key release in fpCardC or fpCardD: Delete clears the active cell; Enter, Tab and the arrows
// put the other grid's caret on the same row (column 2 from column 10 on).
void CardCDKeyUp(Grid& grid, Grid& otherGrid, int keyCode, Platform& platform,
                 std::string_view errorTitle);

} // namespace tovan
