#include "compare/RunsPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tovan {

RunsPanel::RunsPanel(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform) {
    setObjectName(QStringLiteral("runsPanel"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("runsList"));
    list_->setHeaderLabels({tr("Time"), tr("Deck"), tr("Summary")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setAllColumnsShowFocus(true);
    layout->addWidget(list_, 1);

    // Two rows of buttons, so that the panel fits beside the editor on a laptop.
    auto* buttons = new QGridLayout;
    const auto button = [this, buttons](const char* name, const QString& text, int row,
                                        int column) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        buttons->addWidget(b, row, column);
        return b;
    };
    comparePrevious_ = button("btnComparePrevious", tr("Compare with &Previous Run"), 0, 0);
    compareChosen_ = button("btnCompareChosen", tr("Compare &Chosen"), 0, 1);
    open_ = button("btnOpenRun", tr("&Open"), 1, 0);
    delete_ = button("btnDeleteRun", tr("De&lete"), 1, 1);
    layout->addLayout(buttons);

    auto* keep = new QHBoxLayout;
    keep->addWidget(new QLabel(tr("Keep at most"), this));
    limit_ = new QSpinBox(this);
    limit_->setObjectName(QStringLiteral("spnKeepRuns"));
    limit_->setRange(1, 1000);
    limit_->setValue(static_cast<int>(limit(platform_)));
    limit_->setSuffix(tr(" runs per deck"));
    keep->addWidget(limit_);
    keep->addStretch(1);
    layout->addLayout(keep);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &RunsPanel::updateButtons);
    connect(list_, &QTreeWidget::itemActivated, this, &RunsPanel::openChosen);
    connect(open_, &QPushButton::clicked, this, &RunsPanel::openChosen);
    connect(comparePrevious_, &QPushButton::clicked, this, &RunsPanel::compareWithPrevious);
    connect(compareChosen_, &QPushButton::clicked, this, &RunsPanel::compareChosen);
    connect(delete_, &QPushButton::clicked, this, &RunsPanel::deleteChosen);
    // A lower limit deletes the oldest runs beyond it at once, as the next run would.
    connect(limit_, &QSpinBox::valueChanged, this, [this](int value) {
        platform_.saveSetting(kSection, kLimitKey, std::to_string(value));
        if (!history_ || history_->runs().size() <= static_cast<std::size_t>(value)) return;
        history_->trim(static_cast<std::size_t>(value));
        refresh();
        emit historyEdited();
    });
    updateButtons();
}

std::size_t RunsPanel::limit(Platform& platform) {
    const std::string kept = platform.setting(kSection, kLimitKey, "");
    const int value = std::atoi(kept.c_str());
    return value > 0 ? static_cast<std::size_t>(value) : results::RunHistory::kDefaultLimit;
}

void RunsPanel::setHistory(results::RunHistory* history) {
    history_ = history;
    refresh();
}

void RunsPanel::refresh() {
    list_->clear();
    if (history_) {
        for (const results::KeptRun& run : history_->runs()) {
            auto* item = new QTreeWidgetItem(list_, {QString::fromStdString(run.time),
                                                     QString::fromStdString(run.deckState),
                                                     QString::fromStdString(run.summary)});
            item->setToolTip(
                1, tr("The deck that ran: SHA-256 %1").arg(QString::fromStdString(run.deckDigest)));
            item->setToolTip(2, QString::fromStdString(run.folder.string()));
        }
    }
    for (int column = 0; column < 2; ++column)
        list_->resizeColumnToContents(column);
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    updateButtons();
}

std::vector<int> RunsPanel::chosenRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : list_->selectedItems())
        rows.push_back(list_->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RunsPanel::updateButtons() {
    const std::vector<int> rows = chosenRows();
    const int count = list_->topLevelItemCount();
    open_->setEnabled(rows.size() == 1);
    comparePrevious_->setEnabled(rows.size() <= 1 && count >= 2 &&
                                 (rows.empty() || rows.front() + 1 < count));
    compareChosen_->setEnabled(rows.size() == 2);
    delete_->setEnabled(!rows.empty());
}

void RunsPanel::openChosen() {
    const std::vector<int> rows = chosenRows();
    if (history_ && rows.size() == 1)
        emit openRequested(history_->runs()[static_cast<std::size_t>(rows.front())]);
}

// The chosen run (the newest when none is) against the run before it.
void RunsPanel::compareWithPrevious() {
    if (!history_) return;
    const std::vector<int> rows = chosenRows();
    const std::size_t newer = rows.empty() ? 0 : static_cast<std::size_t>(rows.front());
    if (newer + 1 >= history_->runs().size()) return;
    emit compareRequested(history_->runs()[newer + 1], history_->runs()[newer]);
}

void RunsPanel::compareChosen() {
    const std::vector<int> rows = chosenRows();
    if (!history_ || rows.size() != 2) return;
    const auto& runs = history_->runs();
    emit compareRequested(runs[static_cast<std::size_t>(rows[1])],
                          runs[static_cast<std::size_t>(rows[0])]);
}

void RunsPanel::deleteChosen() {
    const std::vector<int> rows = chosenRows();
    if (!history_ || rows.empty()) return;
    const std::string what = rows.size() == 1 ? "the run of " + history_->runs()[rows.front()].time
                                              : std::to_string(rows.size()) + " runs";
    if (platform_.askYesNo("Delete " + what + "? Its results cannot be brought back.",
                           MessageIcon::Question, "Delete Runs") != Answer::Yes)
        return;
    try {
        for (auto row = rows.rbegin(); row != rows.rend(); ++row)
            history_->remove(static_cast<std::size_t>(*row));
    } catch (const results::HistoryError& e) {
        platform_.showMessage(e.what(), MessageIcon::Exclamation, "Delete Runs");
    }
    refresh();
    emit historyEdited();
}

} // namespace tovan
