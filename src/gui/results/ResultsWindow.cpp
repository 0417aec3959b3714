#include "results/ResultsWindow.h"

#include "fileio/FileReplace.h"
#include "results/HydrographChart.h"
#include "results/RoutingExportDialog.h"
#include "results/SummaryTableModel.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QSvgGenerator>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>
#include <fstream>
#include <optional>

namespace tovan::results {

namespace {

constexpr int kCatchmentRole = Qt::UserRole;

QString MessageLine(const Message& m) {
    QString where = m.catchment.empty()
                        ? QStringLiteral("deck")
                        : QStringLiteral("catchment %1").arg(QString::fromStdString(m.catchment));
    if (m.storm) where += QStringLiteral(", storm %1").arg(*m.storm);
    return QStringLiteral("%1  %2 (line %3): %4")
        .arg(QString::fromLatin1(m.problem ? "PROBLEM" : "NOTE   "), where)
        .arg(m.line)
        .arg(QString::fromStdString(m.text));
}

// The NOTEs and PROBLEMs of a run, the deck's first and then each catchment's with its storms,
// in deck order. A large run has tens of thousands: each line is made only when it is shown.
class NotesModel : public QAbstractListModel {
  public:
    NotesModel(const RunResults& results, QObject* parent) : QAbstractListModel(parent) {
        for (const Message& m : results.deckMessages)
            notes_.push_back({&m, -1});
        for (std::size_t c = 0; c < results.catchments.size(); ++c) {
            const CatchmentResult& catchment = results.catchments[c];
            const int at = static_cast<int>(c);
            for (const Message& m : catchment.messages)
                notes_.push_back({&m, at});
            for (const StormResult& storm : catchment.storms)
                for (const Message& m : storm.messages)
                    notes_.push_back({&m, at});
        }
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(notes_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const Note& note = notes_[static_cast<std::size_t>(index.row())];
        switch (role) {
        case Qt::DisplayRole:
            return MessageLine(*note.message);
        case Qt::ForegroundRole:
            return note.message->problem ? QVariant(QColor(170, 0, 0)) : QVariant();
        case kCatchmentRole:
            return note.catchment;
        default:
            return {};
        }
    }

  private:
    struct Note {
        const Message* message;
        int catchment; // position in the run, -1 for the deck's own
    };
    std::vector<Note> notes_;
};

std::string BaseName(const RunResults& results) {
    std::string name = results.file.filename().string();
    const std::string suffix = ".results.json";
    if (name.size() > suffix.size() && name.ends_with(suffix))
        name.erase(name.size() - suffix.size());
    return name;
}

} // namespace

QTableView* SortedTable(QAbstractItemModel* model, int sortRole, QWidget* parent) {
    auto* sorted = new QSortFilterProxyModel(parent);
    sorted->setSourceModel(model);
    sorted->setSortRole(sortRole);
    auto* table = new QTableView(parent);
    table->setModel(sorted);
    // Deck order until the user sorts. The indicator is cleared first: enabling sorting sorts
    // by the indicated column at once, which costs a large run a quarter of a second for nothing.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->verticalHeader()->hide();
    return table;
}

UnitSystem ChosenUnits(Platform& platform) {
    return UnitSystemFromKey(platform.setting(kUnitsSection, kUnitsKey, ""));
}

void ChooseUnits(Platform& platform, UnitSystem units) {
    platform.saveSetting(kUnitsSection, kUnitsKey, UnitSystemKey(units));
}

QString ResultsCaption(const RunResults& results) {
    return QStringLiteral("Results - %1")
        .arg(QString::fromStdString(results.file.filename().string()));
}

ResultsWindow::ResultsWindow(RunResults results, Platform& platform, QWidget* parent)
    : QWidget(parent), results_(std::move(results)), platform_(platform) {

    setObjectName(QStringLiteral("ResultsWindow"));
    setWindowTitle(ResultsCaption(results_));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    buildToolBar(layout);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    layout->addWidget(splitter, 1);
    buildTable();
    buildTabs();
    splitter->addWidget(table_);
    splitter->addWidget(tabs_);
    splitter->setObjectName(QStringLiteral("resultsSplitter"));
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    rememberSplit(*splitter);
    fillNotes();
    if (model_->rowCount() > 0) table_->selectRow(0);
    setUnits(ChosenUnits(platform_));
    resize(900, 680);
}

ResultsWindow::~ResultsWindow() = default;

// Where the user put the line between the table and the plot is where the next results window
// puts it: the share of the table, in thousandths, kept in the settings.
void ResultsWindow::rememberSplit(QSplitter& splitter) {
    constexpr std::string_view kSection = "Results", kKey = "TableShare";
    bool ok = false;
    const int share = QString::fromStdString(platform_.setting(kSection, kKey, "")).toInt(&ok);
    if (ok && share > 0 && share < 1000) splitter.setSizes({share, 1000 - share});
    connect(&splitter, &QSplitter::splitterMoved, this, [this, &splitter] {
        const QList<int> sizes = splitter.sizes();
        const int total = sizes.value(0) + sizes.value(1);
        if (total > 0)
            platform_.saveSetting(kSection, kKey, std::to_string(1000 * sizes.value(0) / total));
    });
}

void ResultsWindow::buildToolBar(QVBoxLayout* layout) {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("resultsToolBar"));
    const auto add = [this, bar](const char* name, const char* text,
                                 void (ResultsWindow::*slot)()) {
        QAction* action = bar->addAction(QString::fromLatin1(text), this, slot);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add("actExportSummary", "Export Table (CSV)...", &ResultsWindow::exportSummaryCsv);
    add("actExportHydrograph", "Export Hydrograph (CSV)...", &ResultsWindow::exportHydrographCsv);
    add("actExportPlot", "Save Plot (PNG, SVG)...", &ResultsWindow::exportPlot);
    add("actExportRouting", "Export for Routing...", &ResultsWindow::exportForRouting);
    add("actCopy", "Copy", &ResultsWindow::copySelectedRows);
    bar->addSeparator();
    unitHydrograph_ = new QCheckBox(QStringLiteral("Unit hydrograph"), bar);
    unitHydrograph_->setObjectName(QStringLiteral("chkUnitHydrograph"));
    bar->addWidget(unitHydrograph_);
    bar->addAction(QStringLiteral("Reset Zoom"), this, [this] { chart_->resetZoom(); })
        ->setObjectName(QStringLiteral("actResetZoom"));
    layout->addWidget(bar);
}

void ResultsWindow::buildTable() {
    model_ = new SummaryTableModel(results_, this);
    table_ = SortedTable(model_, SummaryTableModel::SortRole, this);
    table_->setObjectName(QStringLiteral("summaryTable"));
    sorted_ = static_cast<QSortFilterProxyModel*>(table_->model());
    table_->horizontalHeader()->setStretchLastSection(true);
    fitColumns();
    table_->installEventFilter(this);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultsWindow::showSelection);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ResultsWindow::showSelection);
}

// Widths from the headers, not the contents: measuring 100,000 rows would take seconds.
void ResultsWindow::fitColumns() {
    for (int column = 0; column + 1 < model_->columnCount(); ++column) {
        const QString header =
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        table_->setColumnWidth(column, table_->fontMetrics().horizontalAdvance(header) + 18);
    }
}

// The rows chosen stay chosen: the columns change, the rows do not.
void ResultsWindow::setUnits(UnitSystem units) {
    if (units == model_->units()) return;
    const std::vector<SummaryRow> chosen = selectedRows();
    model_->setUnits(units);
    chart_->setUnits(units);
    fitColumns();
    QItemSelection selection;
    for (int r = 0; r < model_->rowCount(); ++r)
        for (const SummaryRow& row : chosen)
            if (model_->row(r).catchment == row.catchment && model_->row(r).storm == row.storm) {
                const QModelIndex index = sorted_->mapFromSource(model_->index(r, 0));
                selection.select(index, index);
            }
    table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    showSelection();
}

void ResultsWindow::buildTabs() {
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("resultsTabs"));
    chart_ = new HydrographChart(tabs_);
    tabs_->addTab(chart_, QStringLiteral("Plot"));
    connect(unitHydrograph_, &QCheckBox::toggled, chart_, &HydrographChart::setUnitHydrographShown);

    auto* reportPage = new QWidget(tabs_);
    auto* reportLayout = new QVBoxLayout(reportPage);
    reportLayout->setContentsMargins(0, 0, 0, 0);
    auto* findRow = new QHBoxLayout;
    findRow->addWidget(new QLabel(QStringLiteral("Find:"), reportPage));
    findBox_ = new QLineEdit(reportPage);
    findBox_->setObjectName(QStringLiteral("txtFind"));
    findRow->addWidget(findBox_, 1);
    reportLayout->addLayout(findRow);
    report_ = new QPlainTextEdit(reportPage);
    report_->setObjectName(QStringLiteral("reportView"));
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    report_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    reportLayout->addWidget(report_, 1);
    const int reportTab = tabs_->addTab(reportPage, QStringLiteral("Report"));
    connect(findBox_, &QLineEdit::returnPressed, this, &ResultsWindow::findNext);
    auto* find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this, reportTab] {
        tabs_->setCurrentIndex(reportTab);
        findBox_->setFocus();
        findBox_->selectAll();
    });
    // A large run's report is read only when it is first looked at.
    connect(tabs_, &QTabWidget::currentChanged, this, [this, reportTab](int index) {
        if (index == reportTab) loadReport();
    });

    notes_ = new QListView(tabs_);
    notes_->setObjectName(QStringLiteral("notesList"));
    notes_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    notes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    notes_->setUniformItemSizes(true); // no measuring of every line of a long list
    tabs_->addTab(notes_, QStringLiteral("Notes"));
    connect(notes_, &QListView::activated, this, &ResultsWindow::noteActivated);
}

void ResultsWindow::loadReport() {
    if (!report_->document()->isEmpty()) return;
    QFile file(QString::fromStdString(results_.reportPath().string()));
    if (!file.open(QIODevice::ReadOnly)) {
        report_->setPlainText(QStringLiteral("The report %1 cannot be read.").arg(file.fileName()));
        return;
    }
    report_->setPlainText(QString::fromLatin1(file.readAll())); // deck text is single-byte
}

void ResultsWindow::fillNotes() {
    auto* model = new NotesModel(results_, notes_);
    notes_->setModel(model);
    tabs_->setTabText(tabs_->indexOf(notes_), QStringLiteral("Notes (%1)").arg(model->rowCount()));
}

void ResultsWindow::noteActivated(const QModelIndex& note) {
    const int catchment = note.data(kCatchmentRole).toInt();
    if (catchment < 0) return;
    selectCatchment(static_cast<std::size_t>(catchment));
    emit catchmentActivated(catchment);
}

void ResultsWindow::selectCatchment(std::size_t catchment) {
    QItemSelection selection;
    for (int r = 0; r < model_->rowCount(); ++r) {
        if (model_->row(r).catchment != catchment) continue;
        const QModelIndex index = sorted_->mapFromSource(model_->index(r, 0));
        selection.select(index, index);
    }
    if (selection.isEmpty()) return;
    auto* selectionModel = table_->selectionModel();
    selectionModel->setCurrentIndex(selection.indexes().front(), QItemSelectionModel::NoUpdate);
    selectionModel->select(selection,
                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(selection.indexes().front());
}

std::vector<SummaryRow> ResultsWindow::selectedRows() const {
    QModelIndexList chosen = table_->selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    const QModelIndex current = table_->selectionModel()->currentIndex();
    std::vector<SummaryRow> rows;
    const auto add = [this, &rows](const QModelIndex& index) {
        rows.push_back(model_->row(sorted_->mapToSource(index).row()));
    };
    if (current.isValid() && table_->selectionModel()->isRowSelected(current.row())) add(current);
    for (const QModelIndex& index : chosen)
        if (index.row() != current.row()) add(index);
    return rows;
}

void ResultsWindow::showSelection() {
    chart_->plot(results_, selectedRows());
}

std::optional<std::string> ResultsWindow::askFileName(const char* title, const char* filter,
                                                      const char* extension,
                                                      const std::string& name) {
    FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.defaultExtension = extension;
    request.initialDirectory = results_.file.parent_path().string();
    request.fileName = name;
    return platform_.chooseFileToSave(request);
}

void ResultsWindow::writeFile(const std::string& path, const std::string& content) {
    WriteExport(platform_, path, content);
}

bool WriteExport(Platform& platform, const std::string& path, const std::string& content) {
    const int error = ReplaceFileContents(path, content);
    if (error)
        platform.showMessage(path + " could not be written: " + DescribeFileError(error) + ".",
                             MessageIcon::Exclamation, "Export Error!");
    return error == 0;
}

void ResultsWindow::exportSummaryCsv() {
    const auto path = askFileName("Export Table", "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*",
                                  "csv", BaseName(results_) + "-summary.csv");
    if (path) writeFile(*path, SummaryCsv(results_, model_->units()));
}

// Every chosen row's hydrograph in one file, in long form.
void ResultsWindow::exportHydrographCsv() {
    const std::vector<SummaryRow> rows = selectedRows();
    std::vector<SummaryRow> computed;
    for (const SummaryRow& row : rows) {
        const StormResult* storm = StormOf(results_, row);
        if (storm != nullptr && storm->computed) computed.push_back(row);
    }
    if (computed.empty()) {
        platform_.showMessage("Choose a computed storm in the table first.",
                              MessageIcon::Exclamation, "Export Hydrograph");
        return;
    }
    const SummaryRow& first = computed.front();
    const std::string name =
        BaseName(results_) + "-" +
        (computed.size() == 1 ? results_.catchments[first.catchment].identification + "-storm" +
                                    std::to_string(StormOf(results_, first)->storm)
                              : std::string("hydrographs")) +
        ".csv";
    const auto path = askFileName("Export Hydrograph",
                                  "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*", "csv", name);
    if (path) writeFile(*path, HydrographsCsv(results_, computed, model_->units()));
}

// The chosen rows' hydrographs for a routing model, every computed row when none is chosen.
void ResultsWindow::exportForRouting() {
    std::vector<SummaryRow> rows = selectedRows();
    if (rows.size() <= 1) rows = model_->rows();
    std::sort(rows.begin(), rows.end(), [](const SummaryRow& a, const SummaryRow& b) {
        return std::pair(a.catchment, a.storm) < std::pair(b.catchment, b.storm);
    });
    RoutingExportDialog dialog(results_, rows, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const bool swmm = dialog.format() == RoutingExportDialog::Swmm;
    const bool csv = dialog.format() == RoutingExportDialog::LongCsv;
    const auto path = askFileName("Export for Routing",
                                  swmm  ? "SWMM Input Files (*.inp)|*.inp|All Files (*.*)|*.*"
                                  : csv ? "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*"
                                        : "Text Files (*.txt)|*.txt|All Files (*.*)|*.*",
                                  swmm  ? "inp"
                                  : csv ? "csv"
                                        : "txt",
                                  BaseName(results_) + (swmm  ? "-swmm.inp"
                                                        : csv ? "-hydrographs.csv"
                                                              : "-hms.txt"));
    if (path) writeFile(*path, dialog.text());
}

namespace {

// The size of an exported plot, in pixels: the plot's own size to start with.
std::optional<QSize> AskPlotSize(QWidget* parent, QSize size) {
    QDialog ask(parent);
    ask.setObjectName(QStringLiteral("plotSize"));
    ask.setWindowTitle(QStringLiteral("Plot Size"));
    auto* form = new QFormLayout(&ask);
    const auto box = [&ask](const char* name, int value) {
        auto* spin = new QSpinBox(&ask);
        spin->setObjectName(QString::fromLatin1(name));
        spin->setRange(100, 10000);
        spin->setSuffix(QStringLiteral(" px"));
        spin->setValue(value);
        return spin;
    };
    QSpinBox* width = box("plotWidth", size.width());
    QSpinBox* height = box("plotHeight", size.height());
    form->addRow(QStringLiteral("Width:"), width);
    form->addRow(QStringLiteral("Height:"), height);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &ask);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &ask, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &ask, &QDialog::reject);
    form->addRow(buttons);
    if (ask.exec() != QDialog::Accepted) return std::nullopt;
    return QSize(width->value(), height->value());
}

} // namespace

// The plot as shown, drawn at the size the user asks for.
void ResultsWindow::exportPlot() {
    const auto path = askFileName("Save Plot", "PNG Images (*.png)|*.png|SVG Images (*.svg)|*.svg",
                                  "png", BaseName(results_) + "-plot.png");
    if (!path) return;
    const std::optional<QSize> size = AskPlotSize(this, chart_->size());
    if (!size) return;
    const QString name = QString::fromStdString(*path);
    const QRect target(QPoint(0, 0), *size);
    bool written = false;
    QPainter painter;
    if (name.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setFileName(name);
        svg.setSize(*size);
        svg.setViewBox(target);
        svg.setTitle(chart_->chart()->title());
        written = painter.begin(&svg);
        if (written) {
            chart_->render(&painter, target, chart_->rect());
            written = painter.end();
        }
    } else {
        QImage image(*size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        written = painter.begin(&image);
        if (written) {
            painter.setRenderHint(QPainter::Antialiasing);
            chart_->render(&painter, target, chart_->rect());
            written = painter.end() && image.save(name, "PNG");
        }
    }
    if (!written)
        platform_.showMessage(*path + " could not be written.", MessageIcon::Exclamation,
                              "Export Error!");
}

void ResultsWindow::copySelectedRows() {
    QModelIndexList chosen = table_->selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    // A header row first, so that the pasted block says what its columns are and in what unit.
    QStringList headers;
    const int columns = sorted_->columnCount();
    for (int column = 0; column < columns; ++column)
        headers << sorted_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    QString text = headers.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const QModelIndex& index : chosen) {
        QStringList fields;
        for (int column = 0; column < columns; ++column)
            fields << sorted_->index(index.row(), column).data().toString();
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    QApplication::clipboard()->setText(text);
}

// Ctrl+C in the table copies its rows: the key is claimed before the main window's Copy Data
// shortcut, which would otherwise make the key ambiguous and do nothing.
bool ResultsWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool copyKey =
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy);
    if (watched != table_ || !copyKey) return QWidget::eventFilter(watched, event);
    event->accept();
    if (event->type() == QEvent::KeyPress) copySelectedRows();
    return true;
}

bool ResultsWindow::findNext() {
    loadReport();
    const QString wanted = findBox_->text();
    if (wanted.isEmpty()) return false;
    if (report_->find(wanted)) return true;
    QTextCursor top = report_->textCursor();
    top.movePosition(QTextCursor::Start);
    report_->setTextCursor(top);
    return report_->find(wanted);
}

} // namespace tovan::results
