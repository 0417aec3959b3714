// The main window's report commands: File > Print... (with a preview) and File > Export Report
// as PDF..., of the results window in front or else of the open deck, with its last run when
// that run is of the deck as it stands.
#include "Version.h"
#include "editing/ErrorTrap.h"
#include "fileio/Digest.h"
#include "report/ReportDialog.h"
#include "report/ReportPainter.h"
#include "report/ReportSources.h"
#include "results/ResultsWindow.h"
#include "shell/MDIfrmTovan2000.h"

#include <QDate>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <filesystem>

namespace tovan {

namespace {

namespace fs = std::filesystem;
constexpr std::string_view kReportTitle = "Report";

std::string Today() {
    return QDate::currentDate().toString(Qt::ISODate).toStdString();
}

} // namespace

// The run the report is of: the results window in front, or the open deck's last run when the
// deck has not changed since (its file is the one that ran and the grids are saved).
std::optional<results::RunResults> MDIfrmTovan2000::reportedRun() {
    QMdiSubWindow* front = mdi_->activeSubWindow();
    if (auto* window = front ? qobject_cast<results::ResultsWindow*>(front->widget()) : nullptr)
        return window->results();
    if (!session_ || session_->history().runs().empty() || session_->differsFromFile())
        return std::nullopt;
    const results::KeptRun& last = session_->history().runs().front();
    if (FileSha256Hex(deckPath()).value_or("") != last.deckDigest) return std::nullopt;
    try {
        return results::ReadResults(last.resultsFile());
    } catch (const results::ResultsError&) {
        return std::nullopt; // the report goes on with the deck's inputs
    }
}

std::optional<report::ReportDocument> MDIfrmTovan2000::askForReport(bool printing) {
    std::optional<results::RunResults> run = reportedRun();
    const bool resultsInFront = run && (!session_ || deckPath().empty() ||
                                        run->file.parent_path() / run->input != deckPath());
    if (!run && !editor_) {
        platform_.showMessage("Open a deck or a run's results first.", MessageIcon::Exclamation,
                              kReportTitle);
        return std::nullopt;
    }
    report::ReportDialog dialog(printing ? report::ReportDialog::Purpose::Print
                                         : report::ReportDialog::Purpose::Pdf,
                                run.has_value(), platform_, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const report::ReportOptions options = dialog.options();
    try {
        BusyCursor busy(platform_);
        if (resultsInFront)
            return report::ReportOfResults(run->file, options, Today(), kVersionText);
        editor_->commitPendingEdit();
        return report::ReportOfGrids(session_->grids(), deckPath(), run ? &*run : nullptr, options,
                                     Today(), kVersionText);
    } catch (const report::ReportError& e) {
        platform_.showMessage(e.what(), MessageIcon::Exclamation, kReportTitle);
        return std::nullopt;
    }
}

void MDIfrmTovan2000::mnuFilePrint_Click() {
    TrapErrors(platform_, "mnuFilePrint_Click Error!", [this] {
        const std::optional<report::ReportDocument> document = askForReport(true);
        if (!document) return;
        QPrinter printer(QPrinter::HighResolution);
        QPrintPreviewDialog preview(&printer, this);
        preview.setObjectName(QStringLiteral("reportPreview"));
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [&document](QPrinter* target) { report::PaintReport(*document, *target); });
        preview.exec();
    });
}

void MDIfrmTovan2000::mnuFileExportReport_Click() {
    TrapErrors(platform_, "mnuFileExportReport_Click Error!", [this] {
        const std::optional<report::ReportDocument> document = askForReport(false);
        if (!document) return;
        FileDialogRequest request;
        request.title = "Export Report as PDF";
        request.filter = "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*";
        request.defaultExtension = "pdf";
        request.initialDirectory = dialogFolder();
        request.fileName =
            (deckPath().empty() ? std::string("report") : fs::path(deckPath()).stem().string()) +
            "-report.pdf";
        const auto path = platform_.chooseFileToSave(request);
        if (!path) return;
        QString why;
        int pages = 0;
        BusyCursor busy(platform_);
        if (!report::WriteReportPdf(*document, QString::fromStdString(*path), why, &pages)) {
            platform_.showMessage(why.toStdString(), MessageIcon::Exclamation, kReportTitle);
            return;
        }
        showStatus("The report was written to " + *path + " (" + std::to_string(pages) +
                   " pages).");
    });
}

} // namespace tovan
