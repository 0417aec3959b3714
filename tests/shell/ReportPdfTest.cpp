// File > Export Report as PDF after a run, through the dialog's widgets, read back with
// poppler's pdftotext, pdfinfo and pdffonts as a reviewer's machine would read it.
#include "ShellFixture.h"
#include "report/ReportDialog.h"
#include "results/ResultsWindow.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>
#include <QTimer>
#include <filesystem>

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
void Export(Shell& s, const std::string& pdf, const std::function<void(report::ReportDialog&)>& work) {
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

} // namespace

// The title, every catchment, the summary's peaks as the results window shows them, a page per
// part (title, storms, inputs, summary, three catchments' plots, notes, cards) and every font
// embedded; the dialog remembers what it was given; a PDF that cannot be written says why.
TEST(ReportPdf, HoldsWhatTheResultsWindowShowsAndEmbedsItsFonts) {
    PutEngineHelperOnThePath();
    Shell s;
    const std::string deck = s.path("existing.tvi");
    fs::copy_file(Shell::example("existing.tvi"), deck);
    s.open(deck);
    QTest::keyClick(s.main.get(), Qt::Key_F5);
    auto* results = s.main->findChild<results::ResultsWindow*>();
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
