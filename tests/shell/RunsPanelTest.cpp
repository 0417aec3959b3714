// The runs of the open deck: kept at each F5, listed in the Runs panel, compared with the run
// before (an edit's effect in the table and the plot), deleted, and shown in SI on request.
#include "compare/RunsPanel.h"

#include "ShellFixture.h"
#include "compare/ComparisonTableModel.h"
#include "compare/ResultsComparisonWindow.h"
#include "editor/GridView.h"
#include "results/HydrographChart.h"
#include "results/ResultsWindow.h"

#include <QDir>
#include <QDockWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeWidget>
#include <QtCharts/QLineSeries>
#include <filesystem>
#include <fstream>

using namespace tovan;
using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

std::string Joined(const std::vector<std::string>& texts) {
    std::string all;
    for (const std::string& text : texts)
        all += text + '\n';
    return all;
}

void Click(QPushButton* button) {
    ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
}

// The existing deck run, EAST made 65 % impervious in the editor, saved and run again, and the
// two runs compared from the Runs panel.
ResultsComparisonWindow* RunEditRunCompare(Shell& s) {
    PutEngineHelperOnThePath();
    const std::string deck = s.path("existing.tvi");
    fs::copy_file(Shell::example("existing.tvi"), deck);
    s.open(deck);
    QTest::keyClick(s.main.get(), Qt::Key_F5);
    RunsPanel* panel = s.main->runsPanel();
    EXPECT_TRUE(s.main->runsDock()->isVisible()) << "the panel comes with the first run\n"
                                                 << Joined(s.texts());
    EXPECT_EQ(panel->list()->topLevelItemCount(), 1);
    EXPECT_FALSE(panel->comparePreviousButton()->isEnabled()) << "nothing to compare with yet";
    EXPECT_FALSE(s.main->menuItem("mnuFileComparePrevious")->isEnabled());

    s.main->mdiArea()->setActiveSubWindow(s.main->editorWindow());
    s.editor()->cmdCD_Click();
    TypeInCell(s.editor()->fpCardD, col::kDImpervious, 2, QStringLiteral("65"));
    s.platform.answers.push_back(Answer::Yes); // save before running
    s.platform.chosenFiles.push_back(deck);    // under its own name
    QTest::keyClick(s.main.get(), Qt::Key_F5);
    EXPECT_EQ(panel->list()->topLevelItemCount(), 2) << Joined(s.texts());
    EXPECT_TRUE(s.main->menuItem("mnuFileComparePrevious")->isEnabled());
    panel->list()->setCurrentItem(panel->list()->topLevelItem(0));
    Click(panel->comparePreviousButton());
    auto* sub = s.main->mdiArea()->activeSubWindow();
    return sub ? qobject_cast<ResultsComparisonWindow*>(sub->widget()) : nullptr;
}

} // namespace

// Run, edit, run, compare: the comparison is of the older run (A) with the newer (B); only
// EAST's peaks rise, so only its rows are tinted over the threshold; deleting the older run
// takes its folder, and the limit is the panel's.
TEST(RunsPanel, ComparesAnEditWithThePreviousRunAndDeletesRuns) {
    Shell s;
    ResultsComparisonWindow* window = RunEditRunCompare(s);
    ASSERT_NE(window, nullptr);
    const ComparisonTableModel* model = window->model();
    EXPECT_EQ(model->comparison().onlyA + model->comparison().onlyB, 0u);
    int tinted = 0;
    for (int r = 0; r < model->rowCount(); ++r) {
        const bool exceeds = model->index(r, 0).data(ComparisonTableModel::ExceedsRole).toBool();
        EXPECT_EQ(exceeds, model->row(r).catchment == "EAST") << model->row(r).catchment;
        tinted += exceeds;
    }
    EXPECT_GT(tinted, 0);
    EXPECT_NE(window->heading()->text().indexOf(QStringLiteral("run of ")), -1);
    window->thresholdBox()->setValue(1000);
    EXPECT_EQ(model->exceedingCount(), 0);

    RunsPanel* panel = s.main->runsPanel();
    const QString older = panel->list()->topLevelItem(1)->toolTip(2);
    EXPECT_EQ(panel->list()->topLevelItem(1)->text(1), QStringLiteral("saved"));
    panel->list()->clearSelection();
    panel->list()->topLevelItem(1)->setSelected(true);
    s.platform.answers.push_back(Answer::Yes);
    Click(panel->deleteButton());
    EXPECT_EQ(panel->list()->topLevelItemCount(), 1);
    EXPECT_FALSE(fs::exists(older.toStdString()));
    panel->limitBox()->setValue(1);
    EXPECT_EQ(s.platform.setting("Runs", "KeepAtMost", ""), "1");
}

// The chosen rows' hydrographs: A solid and B dashed in one colour per catchment-storm, the
// rainfall of both; View > Units > SI turns the table, the plot and the CSV into SI.
TEST(RunsPanel, OverlayPlotAndUnits) {
    Shell s;
    ResultsComparisonWindow* window = RunEditRunCompare(s);
    ASSERT_NE(window, nullptr);
    QTableView* table = window->table();
    table->selectRow(0);
    table->selectionModel()->select(table->model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QStringList names;
    std::map<QString, QPen> pens;
    for (QAbstractSeries* series : window->chart()->chart()->series()) {
        names << series->name();
        if (auto* line = qobject_cast<QLineSeries*>(series)) pens[series->name()] = line->pen();
    }
    ASSERT_EQ(names.size(), 6) << names.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(names.contains(QStringLiteral("Rainfall A")));
    EXPECT_TRUE(names.contains(QStringLiteral("Rainfall B")));
    ASSERT_EQ(pens.size(), 4u);
    std::vector<QPen> a, b;
    for (const auto& [name, pen] : pens)
        (name.endsWith(QStringLiteral(" A")) ? a : b).push_back(pen);
    ASSERT_EQ(a.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(a[i].style(), Qt::SolidLine);
        EXPECT_EQ(b[i].style(), Qt::DashLine);
        EXPECT_EQ(a[i].color(), b[i].color()) << "a catchment-storm keeps its colour";
    }
    EXPECT_NE(a[0].color(), a[1].color());

    const double peakCfs = *window->model()->row(0).peakCfs.a;
    s.trigger("mnuViewUnitsSI");
    const QAbstractItemModel* shown = window->model();
    EXPECT_EQ(shown->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Peak A (m³/s)"));
    EXPECT_DOUBLE_EQ(shown->index(0, 3).data(ComparisonTableModel::SortRole).toDouble(),
                     peakCfs * 0.028316846592);
    auto* results = s.main->findChild<results::ResultsWindow*>();
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(results->table()->model()->headerData(5, Qt::Horizontal).toString(),
              QStringLiteral("Peak (m³/s)"));

    const std::string csv = s.path("comparison.csv");
    s.platform.chosenFiles.push_back(csv);
    window->findChild<QAction*>(QStringLiteral("actExportComparison"))->trigger();
    std::ifstream in(csv);
    std::string first, header;
    std::getline(in, first);
    std::getline(in, header);
    EXPECT_EQ(first.rfind("# A: ", 0), 0u);
    EXPECT_EQ(header.rfind("catchment,storm,presence,peak_m3s_a,peak_m3s_b", 0), 0u) << header;
}

// The pictures of the user guide: the comparison of an edit with the run before, beside the
// Runs panel, with EAST's two storms chosen; the headings fit the window.
TEST(Screenshot, ComparisonOfTwoRuns) {
    Shell s;
    s.main->resize(1280, 820);
    ResultsComparisonWindow* window = RunEditRunCompare(s);
    ASSERT_NE(window, nullptr);
    window->parentWidget()->showMaximized();
    window->table()->selectRow(0);
    window->table()->selectionModel()->select(window->table()->model()->index(1, 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    QApplication::processEvents();
    EXPECT_TRUE(s.main->runsDock()->isVisible());
    EXPECT_LE(window->heading()->sizeHint().width(), window->width());
    SaveScreenshot(*s.main, QStringLiteral("compare-runs.png"));
}
