// Which of the main window's menu items are shown, kept as its visibility table says: each
// moment of the program shows some items and hides others. The window shows what this holds.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace tovan {

enum class MenuMoment {
    MainWindowLoads,
    MainWindowActivated,
    CoverActivated,
    EditorActivated,
    EditorUnloads,        // in either case: Save, its separator and the Edit menu go
    EditorUnloadAllowed,  // with CloseAllowed set: Create New, Open and Run come back
    CloseWithChildActive, // File > Close with a child other than the cover in front
    // Added moments of the open command and what follows it.
    OpenDialogUp,            // Create New and Open are hidden while the dialog asks
    OpenShowsFileItemsAgain, // cancelled, a file that is no deck, or card A rejected
    NoDeckAfterOpen, // a failed open leaves the cover: the menus of a program without a deck
};

class MenuVisibility {
  public:
    void apply(MenuMoment moment);
    // Every item is shown until a moment hides it.
    bool shown(std::string_view item) const { return !hidden_.contains(item); }

  private:
    std::set<std::string, std::less<>> hidden_;
};

// The items created unavailable that nothing ever makes available.
bool NeverAvailable(std::string_view item);

} // namespace tovan
