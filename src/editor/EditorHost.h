// What the editor form asks of the main window around it: its menu items by name, the save
// command, the Edit menu as a pop-up and the cover form.
#pragma once

#include <QPoint>
#include <string_view>

namespace tovan {

class EditorHost {
  public:
    virtual ~EditorHost() = default;
    // Menu items by their names ("mnuFileSave", "mnuEdit", ...).
    virtual void setMenuItemVisible(std::string_view name, bool visible) = 0;
    virtual void mnuFileSave_Click() = 0;
    virtual void popupEditMenu(const QPoint& globalPos) = 0;
    virtual void hideCover() = 0;
};

} // namespace tovan
