// What the cell rules do to the editor form around the grids: its record-set buttons, its
// title label, which grid is on view, and the slope calculator. The Qt editor form implements
// it; the tests record it.
#pragma once

#include <string_view>

namespace tovan {

class EditorForm {
  public:
    virtual ~EditorForm() = default;
    virtual void hideAllGrids() = 0;        // Clear
    virtual void showCardAOptionCell() = 0; // show fpCardA with (1, 2) active and current
    virtual void enableB1Button(bool enabled) = 0;
    virtual void enableB2Button(bool enabled) = 0;
    virtual void enableCDButton() = 0;
    virtual void setTitle(std::string_view title) = 0; // lblTitle
    virtual void showSlopeCalculator() = 0;
};

} // namespace tovan
