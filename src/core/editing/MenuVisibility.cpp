#include "editing/MenuVisibility.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace tovan {

namespace {

struct MomentRow {
    MenuMoment moment;
    std::initializer_list<std::string_view> shown;
    std::initializer_list<std::string_view> hidden;
};

const std::array kTable{
    MomentRow{MenuMoment::MainWindowLoads, {}, {"mnuEdit", "mnuFileSave", "mnuSep3"}},
    MomentRow{MenuMoment::MainWindowActivated, {"mnuFile"}, {}},
    MomentRow{MenuMoment::CoverActivated, {}, {"mnuEdit"}},
    MomentRow{MenuMoment::EditorActivated,
              {"mnuFileSave", "mnuSep3", "mnuEdit"},
              {"mnuFileRun", "mnuSep2", "mnuFileOpen", "mnuFileCreate", "mnuEdit2Next"}},
    MomentRow{MenuMoment::EditorUnloads, {}, {"mnuFileSave", "mnuSep3", "mnuEdit"}},
    MomentRow{MenuMoment::EditorUnloadAllowed,
              {"mnuFileCreate", "mnuFileOpen", "mnuFileRun", "mnuSep2"},
              {}},
    MomentRow{MenuMoment::CloseWithChildActive, {"mnuFileRun", "mnuSep2"}, {}},
    MomentRow{MenuMoment::OpenDialogUp, {}, {"mnuFileCreate", "mnuFileOpen"}},
    MomentRow{MenuMoment::OpenShowsFileItemsAgain, {"mnuFileCreate", "mnuFileOpen"}, {}},
    MomentRow{MenuMoment::NoDeckAfterOpen,
              {"mnuFileCreate", "mnuFileOpen", "mnuFileRun", "mnuSep2"},
              {"mnuFileSave", "mnuSep3", "mnuEdit"}},
};

} // namespace

void MenuVisibility::apply(MenuMoment moment) {
    const auto row = std::find_if(kTable.begin(), kTable.end(),
                                  [moment](const MomentRow& r) { return r.moment == moment; });
    if (row == kTable.end()) return;
    for (std::string_view item : row->shown) {
        if (const auto found = hidden_.find(item); found != hidden_.end()) hidden_.erase(found);
    }
    for (std::string_view item : row->hidden)
        hidden_.emplace(item);
}

bool NeverAvailable(std::string_view item) {
    constexpr std::array<std::string_view, 5> kNever{"mnuOpenExcel", "mnuFileSaveAs",
                                                     "mnuEditDelete", "mnuEdit2Clear", "mnuEdit2"};
    return std::find(kNever.begin(), kNever.end(), item) != kNever.end();
}

} // namespace tovan
