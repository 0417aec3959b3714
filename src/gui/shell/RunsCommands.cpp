// The main window's commands that compare runs: the Runs panel of the open deck's kept runs,
// File > Compare Results and Compare with Previous Run, and View > Units.
#include "compare/ResultsComparisonWindow.h"
#include "compare/RunsPanel.h"
#include "editing/ErrorTrap.h"
#include "results/ResultsWindow.h"
#include "shell/MDIfrmTovan2000.h"

#include <QActionGroup>
#include <QDateTime>
#include <QDockWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <filesystem>

namespace tovan {

namespace {

namespace fs = std::filesystem;
constexpr std::string_view kCompareTitle = "Compare Results";

results::RunTime Now() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

QString RunLabel(const results::KeptRun& run) {
    return QStringLiteral("run of %1").arg(QString::fromStdString(run.time));
}

} // namespace

void MDIfrmTovan2000::buildRunsDock() {
    runsPanel_ = new RunsPanel(platform_);
    runsDock_ = new QDockWidget(tr("Runs"), this);
    runsDock_->setObjectName(QStringLiteral("dockRuns"));
    runsDock_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    runsDock_->setWidget(runsPanel_);
    addDockWidget(Qt::RightDockWidgetArea, runsDock_);
    runsDock_->hide();
    runsItem_ = addItem(mnuView_, "mnuViewRuns", "Runs");
    runsItem_->setCheckable(true);
    runsItem_->setChecked(true);
    connect(runsItem_, &QAction::toggled, this, &MDIfrmTovan2000::showPanels);
    connect(this, &MDIfrmTovan2000::documentChanged, this, &MDIfrmTovan2000::followHistory);
    connect(runsPanel_, &RunsPanel::openRequested, this,
            [this](const results::KeptRun& run) { openResults(run.resultsFile().string()); });
    connect(runsPanel_, &RunsPanel::compareRequested, this, &MDIfrmTovan2000::compareRuns);
    connect(runsPanel_, &RunsPanel::historyEdited, this, [this] {
        showPanels();
        updateActions();
    });
}

// The panel shows the history of the session's deck, which changes with the deck's file.
void MDIfrmTovan2000::followHistory() {
    runsPanel_->setHistory(session_ ? &session_->history() : nullptr);
    if (!session_) return;
    connect(session_.get(), &DeckSession::historyChanged, this, [this] {
        runsPanel_->refresh();
        showPanels();
        updateActions();
    });
}

void MDIfrmTovan2000::buildUnitsMenu() {
    QMenu* units = addMenu(mnuView_, "mnuViewUnits", "&Units");
    auto* group = new QActionGroup(units);
    const results::UnitSystem chosen = results::ChosenUnits(platform_);
    const std::pair<const char*, results::UnitSystem> choices[] = {
        {"mnuViewUnitsUS", results::UnitSystem::USCustomary},
        {"mnuViewUnitsSI", results::UnitSystem::SI},
        {"mnuViewUnitsBoth", results::UnitSystem::Both}};
    for (const auto& [name, system] : choices) {
        const std::string caption = "&" + results::UnitSystemName(system);
        QAction* item = addItem(units, name, caption.c_str());
        item->setCheckable(true);
        item->setChecked(system == chosen);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, system = system] { chooseUnits(system); });
    }
}

void MDIfrmTovan2000::chooseUnits(results::UnitSystem units) {
    results::ChooseUnits(platform_, units);
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (auto* window = qobject_cast<results::ResultsWindow*>(sub->widget()))
            window->setUnits(units);
        if (auto* window = qobject_cast<ResultsComparisonWindow*>(sub->widget()))
            window->setUnits(units);
    }
}

void MDIfrmTovan2000::keepRun(const results::RunResults& run) {
    if (!session_ || !session_->history().enabled()) return;
    try {
        session_->keepRun(run, Now(), RunsPanel::limit(platform_));
    } catch (const results::HistoryError& e) {
        showStatus(std::string("This run was not kept for comparison: ") + e.what());
    }
}

void MDIfrmTovan2000::showWindow(QWidget* window) {
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setWindowIcon(windowIcon());
    // Never larger than the area it opens in (a laptop's screen): then it fills the area.
    const QSize room = mdi_->viewport()->size();
    if (sub->width() > room.width() || sub->height() > room.height()) {
        sub->showMaximized();
    } else {
        sub->show();
    }
    mdi_->setActiveSubWindow(sub);
}

void MDIfrmTovan2000::compareRuns(const results::KeptRun& a, const results::KeptRun& b) {
    TrapErrors(platform_, "compareRuns Error!", [&] {
        auto runA = readResults(a.resultsFile().string(), kCompareTitle);
        auto runB = runA ? readResults(b.resultsFile().string(), kCompareTitle) : std::nullopt;
        if (!runB) return;
        showWindow(new ResultsComparisonWindow(std::move(*runA), std::move(*runB), RunLabel(a),
                                               RunLabel(b), platform_));
    });
}

void MDIfrmTovan2000::mnuFileComparePrevious_Click() {
    TrapErrors(platform_, "mnuFileComparePrevious_Click Error!", [this] {
        if (!session_ || session_->history().runs().size() < 2) {
            platform_.showMessage("The deck has fewer than two runs kept. Run it (F5), change "
                                  "it and run it again to compare.",
                                  MessageIcon::Information, kCompareTitle);
            return;
        }
        const auto& runs = session_->history().runs();
        compareRuns(runs[1], runs[0]);
    });
}

void MDIfrmTovan2000::mnuFileCompareResults_Click() {
    TrapErrors(platform_, "mnuFileCompareResults_Click Error!", [this] {
        FileDialogRequest request;
        request.filter = "Results Files (*.results.json)|*.results.json|All Files (*.*)|*.*";
        request.initialDirectory = dialogFolder();
        request.title = "Compare Results - A (the base)";
        const auto a = platform_.chooseFileToOpen(request);
        if (!a) return;
        request.title = "Compare Results - B (compared with A)";
        request.initialDirectory = FolderOf(*a);
        const auto b = platform_.chooseFileToOpen(request);
        if (!b) return;
        std::error_code error;
        if (fs::equivalent(*a, *b, error)) {
            platform_.showMessage("A and B are the same file: " + *a + ". Nothing was compared.",
                                  MessageIcon::Information, kCompareTitle);
            return;
        }
        auto runA = readResults(*a, kCompareTitle);
        auto runB = runA ? readResults(*b, kCompareTitle) : std::nullopt;
        if (!runB) return;
        const auto name = [](const std::string& path) {
            return QString::fromStdString(fs::path(path).filename().string());
        };
        showWindow(new ResultsComparisonWindow(std::move(*runA), std::move(*runB), name(*a),
                                               name(*b), platform_));
    });
}

} // namespace tovan
