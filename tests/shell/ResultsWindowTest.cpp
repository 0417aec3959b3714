// From a deck to what the engine computed, as a user goes: open the example deck, press F5,
// and look at the results window that opens: its table against the peak file, the plot of a
// chosen row, the CSV of a hydrograph, Find in the report, and a screenshot of it all.
#include "results/ResultsWindow.h"

#include "ShellFixture.h"
#include "editor/CheckDeckPanel.h"
#include "results/HydrographChart.h"
#include "run/frmTOVAN98.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QtCharts/QLineSeries>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace tovan;
using tovan::testing::Shell;
namespace fs = std::filesystem;

namespace {

std::vector<std::vector<double>> NumbersOf(const std::string& file, bool skipHeader) {
    std::ifstream in(file);
    std::vector<std::vector<double>> rows;
    std::string line;
    if (skipHeader) std::getline(in, line);
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<double> row;
        for (double v; fields >> v;)
            row.push_back(v);
        rows.push_back(row);
    }
    return rows;
}

struct ResultsFromF5 : ::testing::Test {
    Shell s;
    results::ResultsWindow* window = nullptr;

    void SetUp() override {
        tovan::testing::PutEngineHelperOnThePath();
        const std::string deck = s.path("one-hour.tvi");
        fs::copy_file(Shell::example("one-hour.tvi"), deck);
        s.open(deck);
        s.platform.answers.push_back(Answer::No); // run the deck as it is on disk
        QTest::keyClick(s.main.get(), Qt::Key_F5);
        window = s.main->findChild<results::ResultsWindow*>();
        ASSERT_NE(window, nullptr) << (s.texts().empty() ? "" : s.texts().back());
    }
};

} // namespace

TEST_F(ResultsFromF5, TheTableHoldsThePeakFilesRowsAndTheirPeaks) {
    const auto peaks = NumbersOf(s.path("one-hourPeak.tvi"), false);
    QAbstractItemModel* table = window->table()->model();
    ASSERT_EQ(table->rowCount(), static_cast<int>(peaks.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const auto& p = peaks[static_cast<std::size_t>(r)]; // catchment, storm, peak, time, volume
        EXPECT_EQ(table->index(r, 1).data().toInt(), p[0]);
        EXPECT_EQ(table->index(r, 2).data().toInt(), p[1]);
        EXPECT_NEAR(table->index(r, 5).data(Qt::UserRole).toDouble(), p[2], 0.0005) << r;
        EXPECT_NEAR(table->index(r, 8).data(Qt::UserRole).toDouble(), p[4], 0.00005) << r;
    }
}

TEST_F(ResultsFromF5, AChosenRowIsPlottedAndItsHydrographExportsAsCsv) {
    QTableView* table = window->table();
    const QRect cell = table->visualRect(table->model()->index(6, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    const results::StormResult& storm = window->results().catchments[1].storms[1];
    QLineSeries* line = nullptr;
    for (QAbstractSeries* series : window->chart()->chart()->series())
        if (series->name().startsWith(QStringLiteral("WEST storm 2")))
            line = qobject_cast<QLineSeries*>(series);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->count(), static_cast<int>(storm.hydrographFlowsCfs.size()));

    // Every chosen row in one file, in long form with the rain and excess beside the flow.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      table->visualRect(table->model()->index(0, 0)).center());
    const std::string csv = s.path("hydrographs.csv");
    s.platform.chosenFiles.push_back(csv);
    window->findChild<QAction*>(QStringLiteral("actExportHydrograph"))->trigger();
    std::ifstream written(csv);
    std::vector<std::string> lines;
    for (std::string line; std::getline(written, line);)
        lines.push_back(line);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "catchment,number,storm,time_h,rain_in,excess_in,flow_cfs");
    const results::StormResult& east = window->results().catchments[0].storms[0];
    EXPECT_EQ(lines.size(), 1 + storm.hydrographFlowsCfs.size() + east.hydrographFlowsCfs.size());
    const auto starting = [&lines](const std::string& start) {
        return std::count_if(lines.begin(), lines.end(),
                             [&start](const std::string& l) { return l.starts_with(start); });
    };
    EXPECT_EQ(starting("WEST,2,2,"), static_cast<long>(storm.hydrographFlowsCfs.size()));
    EXPECT_EQ(starting("EAST,1,1,0,"), 1) << "each hydrograph starts at time 0";
}

TEST_F(ResultsFromF5, FindInTheReportAndAScreenshot) {
    window->tabs()->setCurrentIndex(1);
    QTest::keyClick(window->table(), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(window->findBox(), "WEST");
    QTest::keyClick(window->findBox(), Qt::Key_Return);
    EXPECT_EQ(window->report()->textCursor().selectedText(), QStringLiteral("WEST"));

    window->tabs()->setCurrentIndex(0);
    window->table()->selectRow(0);
    window->table()->selectionModel()->select(window->table()->model()->index(4, 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    s.main->resize(1100, 820); // room for the plot beside the deck's panels
    s.main->checkPanel()->checkNow();
    QApplication::processEvents();
    QDir().mkpath(QStringLiteral(TOVAN_SCREENSHOTS));
    EXPECT_TRUE(s.main->grab().save(QStringLiteral(TOVAN_SCREENSHOTS "/results-window.png")));
    window->tabs()->setCurrentIndex(2);
    EXPECT_TRUE(s.main->grab().save(QStringLiteral(TOVAN_SCREENSHOTS "/results-notes.png")));

    window->tabs()->setCurrentIndex(0);
    s.main->resize(1024, 600); // a laptop: the plot still has half the window
    QApplication::processEvents();
    EXPECT_GE(window->tabs()->height(), window->height() / 2);
    EXPECT_TRUE(s.main->grab().save(QStringLiteral(TOVAN_SCREENSHOTS "/results-1024x600.png")));
}

TEST_F(ResultsFromF5, ExportsTheTableAndThePlotAndCopiesTheChosenRows) {
    const std::string table = s.path("table.csv"), png = s.path("plot.png"),
                      svg = s.path("plot.svg");
    for (const std::string& file : {table, png, svg})
        s.platform.chosenFiles.push_back(file);
    window->findChild<QAction*>(QStringLiteral("actExportSummary"))->trigger();
    // The plot's size is asked after its file: 640 by 400 pixels.
    QTimer answerSize;
    QObject::connect(&answerSize, &QTimer::timeout, [] {
        auto* ask = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!ask || ask->objectName() != QStringLiteral("plotSize")) return;
        ask->findChild<QSpinBox*>(QStringLiteral("plotWidth"))->setValue(640);
        ask->findChild<QSpinBox*>(QStringLiteral("plotHeight"))->setValue(400);
        QTest::keyClick(ask, Qt::Key_Return);
    });
    answerSize.start(20);
    window->findChild<QAction*>(QStringLiteral("actExportPlot"))->trigger();
    window->findChild<QAction*>(QStringLiteral("actExportPlot"))->trigger();
    answerSize.stop();
    EXPECT_EQ(NumbersOf(table, true).size(), 12u);
    EXPECT_EQ(QImage(QString::fromStdString(png)).size(), QSize(640, 400));
    QFile drawing(QString::fromStdString(svg));
    ASSERT_TRUE(drawing.open(QIODevice::ReadOnly));
    EXPECT_TRUE(drawing.readAll().contains("<svg"));

    window->table()->selectRow(1);
    QTest::keyClick(window->table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char('\n'));
    ASSERT_GE(copied.size(), 2);
    EXPECT_TRUE(copied[0].startsWith(QStringLiteral("Catchment\tNo.\tStorm"))) << "a header row";
    EXPECT_EQ(copied[1].split(QLatin1Char('\t')).mid(0, 3), (QStringList{"EAST", "1", "2"}));
    EXPECT_TRUE(s.platform.messages.empty() || s.platform.messages.back().title != "Export Error!");
}

// A NOTE or PROBLEM activated in the list (Enter on it) shows its catchment's row of record
// set C in the editor, where the deck is open.
TEST_F(ResultsFromF5, ANoteLeadsToItsCatchmentsRowInTheEditor) {
    QListView* notes = window->notes();
    QModelIndex note;
    for (int r = 0; r < notes->model()->rowCount() && !note.isValid(); ++r)
        if (notes->model()->index(r, 0).data().toString().contains(QStringLiteral("PARK")))
            note = notes->model()->index(r, 0);
    ASSERT_TRUE(note.isValid()) << "the example's run notes something of PARK";
    window->tabs()->setCurrentWidget(notes);
    notes->setFocus();
    notes->setCurrentIndex(note);
    QTest::keyClick(notes, Qt::Key_Return);

    GridView* c = s.editor()->fpCardC;
    ASSERT_TRUE(c->isVisible());
    const QModelIndexList chosen = c->selectionModel()->selectedRows();
    ASSERT_EQ(chosen.size(), 1);
    const int ident = c->gridModel()->cellIndex(col::kCIdent, 2).column();
    EXPECT_EQ(chosen[0].siblingAtColumn(ident).data().toString().trimmed(), QStringLiteral("PARK"));
}

// File > Run Tovan File: a completed run of the form opens its results beside it.
TEST(ResultsFromTheRunForm, ACompletedRunOpensTheResultsWindow) {
    tovan::testing::PutEngineHelperOnThePath();
    Shell s;
    const std::string deck = s.path("one-hour.tvi");
    fs::copy_file(std::string(TOVAN_EXAMPLES) + "/one-hour.tvi", deck);
    s.platform.chosenFiles.push_back(deck);
    s.platform.answers.push_back(Answer::No); // "Run another input file?"
    QTimer::singleShot(0, s.main.get(), [&s] {
        auto* form = qobject_cast<run::frmTOVAN98*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdBrowse")),
                          Qt::LeftButton);
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdRun")), Qt::LeftButton);
    });
    s.trigger("mnuFileRun");
    auto* window = s.main->findChild<results::ResultsWindow*>();
    ASSERT_NE(window, nullptr) << (s.texts().empty() ? "" : s.texts().back());
    EXPECT_EQ(window->table()->model()->rowCount(), 12); // 5 + 5 + 2 storms
}

// A results file with a fault deep inside is refused when it is opened, with the field named,
// and no window opens to fail later when the row is chosen.
TEST(ResultsFromAFile, AFaultInsideASeriesIsToldWhenTheFileIsOpened) {
    Shell s;
    std::string text;
    {
        std::ifstream in(std::string(TOVAN_EXAMPLES) +
                         "/../tests/cases/results-prints-the-summary/one-hour.results.json");
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::size_t series = text.rfind("\"hydrographFlowsCfs\":[0,");
    ASSERT_NE(series, std::string::npos);
    text.replace(series, std::strlen("\"hydrographFlowsCfs\":[0,"),
                 "\"hydrographFlowsCfs\":[\"x\",");
    const std::string file = s.path("bad.results.json");
    std::ofstream(file, std::ios::binary) << text;
    s.platform.chosenFiles.push_back(file);
    s.trigger("mnuOpenResults");
    EXPECT_EQ(s.main->findChild<results::ResultsWindow*>(), nullptr);
    ASSERT_EQ(s.platform.messages.size(), 1U);
    EXPECT_EQ(s.platform.messages[0].title, "Open Results Error!");
    EXPECT_NE(
        s.platform.messages[0].text.find(
            "catchments[1].storms[4].hydrographFlowsCfs[0]: expected a number, found a string"),
        std::string::npos)
        << s.platform.messages[0].text;
}

// A deck the engine can only partly compute: Run This Deck says what was not computed, then
// shows the results of the rest.
TEST(RunThisDeck, SaysWhatWasNotComputedBeforeTheResults) {
    tovan::testing::PutEngineHelperOnThePath();
    Shell s;
    const std::string deck = s.path("problems.tvi");
    fs::copy_file(fs::path(TOVAN_EXAMPLES) / ".." / "tests" / "cases" /
                      "run-reports-problems-and-computes-the-rest" / "in" / "problems.tvi",
                  deck);
    s.open(deck);
    const std::size_t before = s.platform.messages.size();
    s.platform.answers.push_back(Answer::No);
    QTest::keyClick(s.main.get(), Qt::Key_F5);
    ASSERT_EQ(s.platform.messages.size(), before + 1) << s.texts().back();
    const auto& told = s.platform.messages.back();
    EXPECT_EQ(told.title, "Run This Deck");
    EXPECT_EQ(told.text, "The engine could not compute everything in the deck.");
    EXPECT_TRUE(told.detail.starts_with("2 of ")) << told.detail;
    EXPECT_NE(told.detail.find("\nCatchment ZERO: not computed: the catchment area 0 sq mi"),
              std::string::npos)
        << told.detail;
    EXPECT_NE(told.detail.find("\nCatchment AREA1, storm 3: not computed: storm 3 is not in the "
                               "deck"),
              std::string::npos)
        << told.detail;
    EXPECT_NE(s.main->findChild<results::ResultsWindow*>(), nullptr);
}
