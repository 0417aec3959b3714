// What the editor form asks of the main window around it: the menus of its moments, the save
// command, the Edit menu as a pop-up, the cover form and the recovery of unsaved decks.
#pragma once

#include "editing/MenuVisibility.h"

#include <QPoint>
#include <string_view>

namespace tovan {

class EditorHost {
  public:
    virtual ~EditorHost() = default;
    // The menu items shown and hidden at this moment of the editor's life.
    virtual void menuMoment(MenuMoment moment) = 0;
    virtual void mnuFileSave_Click() = 0;
    virtual void popupEditMenu(const QPoint& globalPos) = 0;
    virtual void hideCover() = 0;
    // The form closes with changes that were not saved: they are kept aside for recovery.
    virtual void keepUnsavedDeck() {}
    // The form closes with nothing to keep: a deck kept aside for recovery is removed.
    virtual void forgetUnsavedDeck() {}
    // A line for the status bar: where an edit made away from the caret went.
    virtual void showStatus(std::string_view text) { (void)text; }
};

} // namespace tovan
