// The main window as the editor form sees it, recording what the form asks of it.
#pragma once

#include "editor/EditorHost.h"

#include <string>
#include <vector>

namespace tovan::testing {

struct FakeEditorHost : EditorHost {
    MenuVisibility menus;
    int saves = 0;
    int popups = 0;
    int coverHidden = 0;

    void menuMoment(MenuMoment moment) override { menus.apply(moment); }
    void mnuFileSave_Click() override { ++saves; }
    void popupEditMenu(const QPoint&) override { ++popups; }
    void hideCover() override { ++coverHidden; }
    bool shown(const std::string& name) const { return menus.shown(name); }
};

} // namespace tovan::testing
