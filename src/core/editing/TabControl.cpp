#include "editing/TabControl.h"

#include <algorithm>
#include <exception>

namespace tovan {

namespace {

struct Step {
    int dc = 0;
    int dr = 0;
    bool applies = false;
};

Step StepFor(int keyCode, int shift) {
    if (shift == keys::kNoShift) {
        switch (keyCode) {
        case keys::kTab:
            return {1, 0, true};
        case keys::kLeft:
            return {-1, 0, true};
        case keys::kUp:
            return {0, -1, true};
        case keys::kRight:
            return {1, 0, true};
        case keys::kDown:
            return {0, 1, true};
        default:
            return {};
        }
    }
    if (shift == keys::kShift) return keyCode == keys::kTab ? Step{-1, 0, true} : Step{};
    return {0, 0, true};
}

CellPosition Target(const Grid& grid, Step step) {
    const int c = grid.activeCol(), r = grid.activeRow();
    if (step.dc == -1 && c + step.dc == 0) return {grid.dataColCnt(), r - 1};
    if (step.dc == 1 && c + step.dc == grid.dataColCnt() + 1) return {1, r + 1};
    return {c + step.dc, r + step.dr};
}

template <typename Body>
void Trapped(Platform& platform, std::string_view title, Body&& body) {
    try {
        body();
    } catch (const std::exception& error) {
        platform.showMessage(error.what(), MessageIcon::Exclamation, title);
    }
}

bool IsMovementKey(int keyCode) {
    return keyCode == keys::kEnter || keyCode == keys::kTab ||
           (keyCode >= keys::kLeft && keyCode <= keys::kDown);
}

} // namespace

void TabControl(Grid& grid, int keyCode, int shift, Platform& platform) {
    Trapped(platform, "TabControl Error!", [&] {
        const Step step = StepFor(keyCode, shift);
        if (!step.applies) return;
        const CellPosition target = Target(grid, step);
        if (grid.locked(target.col, target.row)) {
            grid.setActiveCell(grid.activeCol() - step.dc, grid.activeRow() - step.dr);
        }
    });
}

CellPosition GridOwnStep(const Grid& grid, int keyCode, int shift) {
    const Step step = StepFor(keyCode, shift);
    if (!step.applies || (step.dc == 0 && step.dr == 0)) {
        return {grid.activeCol(), grid.activeRow()};
    }
    const CellPosition target = Target(grid, step);
    if (!grid.contains(target.col, target.row)) return {grid.activeCol(), grid.activeRow()};
    return target;
}

void FormKeyUp(Grid* focusedGrid, int keyCode, ApplicationState& app, Platform& platform) {
    Trapped(platform, "Form_Keyup Error!", [&] {
        if (focusedGrid != nullptr && keyCode == keys::kDelete) {
            if (focusedGrid->row() == 1) return;
            focusedGrid->clear(focusedGrid->activeCol(), focusedGrid->activeRow());
        }
        app.DeckChanged = true;
    });
}

void CardCDKeyUp(Grid& grid, Grid& otherGrid, int keyCode, Platform& platform,
                 std::string_view errorTitle) {
    Trapped(platform, errorTitle, [&] {
        const int c = grid.activeCol(), r = grid.activeRow();
        if (keyCode == keys::kDelete) {
            grid.clear(c, r);
        } else if (IsMovementKey(keyCode)) {
            otherGrid.setActiveCell(c < 10 ? c : 2, r);
        }
    });
}

} // namespace tovan
