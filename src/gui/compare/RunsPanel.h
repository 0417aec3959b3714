// The Runs panel: the runs kept of the open deck, the newest first, each with its time, the
// deck's state when it ran and a line of what it computed. A run opens in a results window; it
// compares with the run before it, or two chosen runs with each other; old runs are deleted
// here, and the panel says how many are kept at most.
#pragma once

#include "platform/Platform.h"
#include "results/RunHistory.h"

#include <QWidget>

class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace tovan {

class RunsPanel : public QWidget {
    Q_OBJECT
  public:
    static constexpr std::string_view kSection = "Runs", kLimitKey = "KeepAtMost";

    explicit RunsPanel(Platform& platform, QWidget* parent = nullptr);

    // The history shown (null for none); refresh() after it changed.
    void setHistory(results::RunHistory* history);
    void refresh();

    // The most runs a deck keeps, from the settings (50 unless the user chose otherwise).
    static std::size_t limit(Platform& platform);

    QTreeWidget* list() const { return list_; }
    QPushButton* openButton() const { return open_; }
    QPushButton* comparePreviousButton() const { return comparePrevious_; }
    QPushButton* compareChosenButton() const { return compareChosen_; }
    QPushButton* deleteButton() const { return delete_; }
    QSpinBox* limitBox() const { return limit_; }

  signals:
    void openRequested(const tovan::results::KeptRun& run);
    // A is the older run, B the newer.
    void compareRequested(const tovan::results::KeptRun& a, const tovan::results::KeptRun& b);
    // Runs were deleted.
    void historyEdited();

  private:
    std::vector<int> chosenRows() const;
    void updateButtons();
    void openChosen();
    void compareWithPrevious();
    void compareChosen();
    void deleteChosen();

    Platform& platform_;
    results::RunHistory* history_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton *open_ = nullptr, *comparePrevious_ = nullptr, *compareChosen_ = nullptr,
                *delete_ = nullptr;
    QSpinBox* limit_ = nullptr;
};

} // namespace tovan
