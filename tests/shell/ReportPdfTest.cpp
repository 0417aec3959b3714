// File > Export Report as PDF after a run, through the dialog's widgets, read back with
// poppler's pdftotext, pdfinfo and pdffonts as a reviewer's machine would read it.
#include "ShellFixture.h"
#include "report/ReportDialog.h"
#include "results/ResultsWindow.h"
#include "results/RoutingExportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>

using namespace tovan;
using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

QString Poppler(const char* tool, const QStringList& arguments) {
    QProcess process;
    process.start(QString::fromLatin1(tool), arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << tool;
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Exports the report, the dialog answered by `work` and then its Export button.
void Export(Shell& s, const std::string& pdf,
            const std::function<void(report::ReportDialog&)>& work) {
    bool reached = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<report::ReportDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        reached = true;
        work(*dialog);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    s.platform.chosenFiles.push_back(pdf);
    s.trigger("mnuFileExportReport");
    EXPECT_TRUE(reached);
}

// The existing example, copied, opened and run with F5: its results window.
results::ResultsWindow* RunTheExample(Shell& s) {
    PutEngineHelperOnThePath();
    const std::string deck = s.path("existing.tvi");
    fs::copy_file(Shell::example("existing.tvi"), deck);
    s.open(deck);
    QTest::keyClick(s.main.get(), Qt::Key_F5);
    return s.main->findChild<results::ResultsWindow*>();
}

} // namespace

// The title, every catchment, the summary's peaks as the results window shows them, a page per
// part (title, storms, inputs, summary, three catchments' plots, notes, cards) and every font
// embedded; the dialog remembers what it was given; a PDF that cannot be written says why.
TEST(ReportPdf, HoldsWhatTheResultsWindowShowsAndEmbedsItsFonts) {
    Shell s;
    results::ResultsWindow* results = RunTheExample(s);
    ASSERT_NE(results, nullptr);

    const std::string pdf = s.path("existing-report.pdf");
    Export(s, pdf, [](report::ReportDialog& dialog) {
        QTest::keyClicks(dialog.preparedByBox(), QStringLiteral("A. Engineer"));
        QTest::mouseClick(dialog.part("chkCards"), Qt::LeftButton);
    });
    ASSERT_TRUE(fs::exists(pdf));
    const QString text = Poppler("pdftotext", {QString::fromStdString(pdf), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Existing conditions: three catchments")));
    EXPECT_TRUE(text.contains(QStringLiteral("A. Engineer")));
    for (const char* catchment : {"Catchment EAST", "Catchment WEST", "Catchment PARK"})
        EXPECT_TRUE(text.contains(QLatin1String(catchment))) << catchment;
    const QAbstractItemModel* table = results->table()->model();
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString peak = table->index(row, 5).data().toString();
        EXPECT_TRUE(text.contains(peak)) << peak.toStdString();
    }
    const QString info = Poppler("pdfinfo", {QString::fromStdString(pdf)});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+9\\n"))))
        << info.toStdString();
    const QStringList fonts = Poppler("pdffonts", {QString::fromStdString(pdf)})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                  .mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& font : fonts)
        EXPECT_TRUE(font.contains(QStringLiteral(" yes "))) << font.toStdString();

    Export(s, s.path("missing-folder/report.pdf"), [](report::ReportDialog& dialog) {
        EXPECT_EQ(dialog.preparedByBox()->text(), QStringLiteral("A. Engineer"));
        EXPECT_TRUE(dialog.part("chkCards")->isChecked());
    });
    EXPECT_NE(s.texts().back().find("cannot be written"), std::string::npos);
    EXPECT_FALSE(fs::exists(s.path("missing-folder")));
}

// Export for Routing from the results window: the chosen catchment's storms, to the node typed
// into the dialog's table, as SWMM reads them (one active inflow, the other storms commented).
TEST(ReportPdf, ResultsWindowHandsTheChosenHydrographsToSwmm) {
    Shell s;
    results::ResultsWindow* results = RunTheExample(s);
    ASSERT_NE(results, nullptr);
    results->selectCatchment(0); // EAST's five storms
    bool reached = false;
    QTimer::singleShot(0, [&] {
        auto* dialog =
            qobject_cast<results::RoutingExportDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        reached = true;
        QTableWidget* nodes = dialog->nodeTable();
        ASSERT_EQ(nodes->rowCount(), 1);
        nodes->item(0, 1)->setText(QStringLiteral("J1"));
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    const std::string inp = s.path("east.inp");
    s.platform.chosenFiles.push_back(inp);
    results->findChild<QAction*>(QStringLiteral("actExportRouting"))->trigger();
    ASSERT_TRUE(reached);
    std::ifstream in(inp);
    std::string line;
    std::vector<std::string> active, commented;
    bool inflows = false;
    while (std::getline(in, line)) {
        if (line.starts_with('[')) inflows = line == "[INFLOWS]";
        if (!inflows || line.empty() || line.starts_with(";;") || line.starts_with('[')) continue;
        (line.starts_with(';') ? commented : active).push_back(line);
    }
    ASSERT_EQ(active.size(), 1u);
    EXPECT_EQ(active[0].rfind("J1 ", 0), 0u);
    EXPECT_NE(active[0].find("EAST_S1"), std::string::npos);
    EXPECT_EQ(commented.size(), 4u);
}

// File > Print... leads through the dialog to a preview of the pages (of the open deck alone:
// it has not run).
TEST(ReportPdf, PrintShowsAPreviewOfTheDeck) {
    Shell s;
    s.open(Shell::example("existing.tvi"));
    int previewPages = -1;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<report::ReportDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->part("chkSummary")->isEnabled()) << "no results to sum up";
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            if (auto* widget = preview->findChild<QPrintPreviewWidget*>())
                previewPages = widget->pageCount();
            preview->reject();
        });
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                          Qt::LeftButton);
    });
    s.trigger("mnuFilePrint");
    EXPECT_EQ(previewPages, 4) << "title, storms, inputs, findings";
}
