// The editor's own rules on top of the grids' cell types, run when the user changes or clicks
// a cell: the rainfall option that can be chosen only once, numbers fitted to the width of
// their deck field, the optional fields of record D that switch each other on and off, the
// D1 block locks, and the buttons inside the grids. Values written by code never run them.
#pragma once

#include "deck/ApplicationState.h"
#include "deck/RecordSets.h"
#include "editing/EditorForm.h"
#include "platform/Platform.h"

#include <optional>
#include <string>

namespace tovan {

// Fits a number to a deck field of `width` columns with `decimals` decimals ("#.##" style).
// A text that is too wide is cut to `width` characters after the "Value Change" message.
std::string CheckFieldWidth(int width, int decimals, std::string_view value, Platform& platform);

class CellRules {
  public:
    CellRules(DeckGrids& grids, ApplicationState& app, Platform& platform, EditorForm& form)
        : grids_(grids), app_(app), platform_(platform), form_(form) {}

    // Remembers the rainfall option before the user can change it (an editor opens in fpCardA).
    void rememberRainOption();
    const std::optional<std::string>& savedRainOption() const { return savedRainOption_; }
    void forgetRainOption() { savedRainOption_.reset(); }

    void fpCardA_Change(int col, int row);
    void fpCardB1_Change(int col, int row);
    void fpCardB2_Change(int col, int row);
    void fpCardC_Change(int col, int row);
    void fpCardD_Change(int col, int row);

    // Clicks that keep C and D on the same catchment; a click in D runs D's change rules.
    void fpCardC_Click(int col, int row);
    void fpCardD_Click(int col, int row);

    void fpCardB1_ButtonClicked(int col, int row);
    void fpCardC_ButtonClicked(int col, int row);
    void fpCardD_ButtonClicked(int col, int row);

    // On every activation of the editor: lock and clear the D1 overrides of rows whose D1
    // switch is "0", unlock those whose switch is "1".
    void LockD1Blocks();

  private:
    void fitNumber(Grid& grid, int col, int row, int width, int decimals);
    void applyDColumnRules(int col, int row, const std::string& entered);
    template <typename Body>
    void trapped(std::string_view title, Body&& body);

    DeckGrids& grids_;
    ApplicationState& app_;
    Platform& platform_;
    EditorForm& form_;
    std::optional<std::string> savedRainOption_; // SavedRainOption
};

} // namespace tovan
