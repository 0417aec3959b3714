// The main window as the editor form sees it, recording what the form asks of it.
#pragma once

#include "editor/EditorHost.h"

#include <map>
#include <string>
#include <vector>

namespace tovan::testing {

struct FakeEditorHost : EditorHost {
    std::map<std::string, bool, std::less<>> visible;
    int saves = 0;
    int popups = 0;
    int coverHidden = 0;

    void setMenuItemVisible(std::string_view name, bool shown) override {
        visible[std::string(name)] = shown;
    }
    void mnuFileSave_Click() override { ++saves; }
    void popupEditMenu(const QPoint&) override { ++popups; }
    void hideCover() override { ++coverHidden; }
    bool shown(const std::string& name) const {
        const auto found = visible.find(name);
        return found != visible.end() && found->second;
    }
};

} // namespace tovan::testing
