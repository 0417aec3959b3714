#include "compare/ResultsComparisonWindow.h"

#include "compare/CompareDecksWindow.h"
#include "compare/ComparisonTableModel.h"
#include "compare/DeckDiff.h"
#include "results/HydrographChart.h"
#include "results/ResultsWindow.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace tovan {

namespace {

constexpr std::string_view kSection = "Compare", kThresholdKey = "ThresholdPercent";

std::string DeckOf(const results::RunResults& run) {
    return (run.file.parent_path() / run.input).string();
}

} // namespace

ResultsComparisonWindow::ResultsComparisonWindow(results::RunResults a, results::RunResults b,
                                                 QString labelA, QString labelB, Platform& platform,
                                                 QWidget* parent)
    : QWidget(parent), a_(std::move(a)), b_(std::move(b)), labelA_(std::move(labelA)),
      labelB_(std::move(labelB)), platform_(platform) {
    setObjectName(QStringLiteral("ResultsComparisonWindow"));
    setWindowTitle(tr("Compare - %1 with %2").arg(labelA_, labelB_));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    buildToolBar();
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("comparisonHeading"));
    heading_->setWordWrap(true);
    layout->addWidget(heading_);
    buildTable();
    chart_ = new results::HydrographChart(this);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(table_);
    splitter->addWidget(chart_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({280, 420}); // the plot gets the larger part from the start
    layout->addWidget(splitter, 1);
    setUnits(results::ChosenUnits(platform_));
    updateHeading();
    resize(980, 700);
}

ResultsComparisonWindow::~ResultsComparisonWindow() = default;

void ResultsComparisonWindow::buildToolBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("comparisonToolBar"));
    bar->addAction(tr("Export Table (CSV)..."), this, &ResultsComparisonWindow::exportCsv)
        ->setObjectName(QStringLiteral("actExportComparison"));
    bar->addAction(tr("Deck Differences..."), this, &ResultsComparisonWindow::showDeckDifferences)
        ->setObjectName(QStringLiteral("actDeckDifferences"));
    bar->addSeparator();
    bar->addWidget(new QLabel(tr(" Tint peaks of B above A by more than "), bar));
    threshold_ = new QDoubleSpinBox(bar);
    threshold_->setObjectName(QStringLiteral("spnThreshold"));
    threshold_->setRange(0, 1000);
    threshold_->setDecimals(1);
    threshold_->setSuffix(QStringLiteral(" %"));
    bool ok = false;
    const double kept =
        QString::fromStdString(platform_.setting(kSection, kThresholdKey, "0")).toDouble(&ok);
    threshold_->setValue(ok ? kept : 0);
    bar->addWidget(threshold_);
    bar->addAction(tr("Reset Zoom"), this, [this] { chart_->resetZoom(); });
    layout()->addWidget(bar);
}

void ResultsComparisonWindow::buildTable() {
    model_ = new ComparisonTableModel(CompareResults(a_, b_), this);
    model_->setThreshold(threshold_->value());
    table_ = results::SortedTable(model_, ComparisonTableModel::SortRole, this);
    table_->setObjectName(QStringLiteral("comparisonTable"));
    sorted_ = static_cast<QSortFilterProxyModel*>(table_->model());
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResultsComparisonWindow::showSelection);
    connect(threshold_, &QDoubleSpinBox::valueChanged, this, [this](double percent) {
        model_->setThreshold(percent);
        platform_.saveSetting(kSection, kThresholdKey, QString::number(percent).toStdString());
        updateHeading();
    });
}

void ResultsComparisonWindow::setUnits(results::UnitSystem units) {
    model_->setUnits(units);
    chart_->setUnits(units);
    for (int column = 0; column < model_->columnCount(); ++column) {
        const QString header =
            model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
        table_->setColumnWidth(column, table_->fontMetrics().horizontalAdvance(header) + 18);
    }
    // The names and "only in A" are wider than their headers (Qt measures the first thousand
    // rows, so a large comparison costs no more).
    for (int column = 0; column < 3; ++column)
        table_->resizeColumnToContents(column);
    if (model_->rowCount() > 0) table_->selectRow(0);
}

void ResultsComparisonWindow::updateHeading() {
    heading_->setText(
        tr("A: %1    B: %2\n%3; %4 with a peak in B more than %5 % above A.")
            .arg(labelA_, labelB_, QString::fromStdString(MatchCountText(model_->comparison())))
            .arg(model_->exceedingCount())
            .arg(model_->threshold()));
}

// The chosen rows, the current one first: its rainfall is drawn.
void ResultsComparisonWindow::showSelection() {
    QModelIndexList chosen = table_->selectionModel()->selectedRows();
    std::sort(chosen.begin(), chosen.end(),
              [](const QModelIndex& x, const QModelIndex& y) { return x.row() < y.row(); });
    const QModelIndex current = table_->selectionModel()->currentIndex();
    if (current.isValid() && table_->selectionModel()->isRowSelected(current.row())) {
        const auto at = std::find_if(chosen.begin(), chosen.end(), [&](const QModelIndex& i) {
            return i.row() == current.row();
        });
        if (at != chosen.end()) std::rotate(chosen.begin(), at, at + 1);
    }
    std::vector<results::HydrographChart::RowPair> pairs;
    for (const QModelIndex& index : chosen) {
        const ComparisonRow& row = model_->row(sorted_->mapToSource(index).row());
        pairs.push_back({row.inA, row.inB});
    }
    chart_->plotComparison(a_, b_, pairs);
}

void ResultsComparisonWindow::exportCsv() {
    FileDialogRequest request;
    request.title = "Export Comparison";
    request.filter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*";
    request.defaultExtension = "csv";
    request.initialDirectory = b_.file.parent_path().string();
    request.fileName = "comparison.csv";
    const auto path = platform_.chooseFileToSave(request);
    if (!path) return;
    results::WriteExport(
        platform_, *path,
        ComparisonCsv(model_->comparison(), a_.file.string(), b_.file.string(), model_->units()));
}

void ResultsComparisonWindow::showDeckDifferences() {
    DeckGrids deckA, deckB;
    std::string why;
    if (!ReadComparedDeck(platform_, DeckOf(a_), deckA, why) ||
        !ReadComparedDeck(platform_, DeckOf(b_), deckB, why)) {
        platform_.showMessage(why + " Nothing was compared.", MessageIcon::Exclamation,
                              "Compare Decks");
        return;
    }
    auto differences = DiffDecks(deckA, deckB);
    if (differences.empty()) {
        platform_.showMessage("The decks of " + labelA_.toStdString() + " and " +
                                  labelB_.toStdString() + " hold the same values.",
                              MessageIcon::Information, "Compare Decks");
        return;
    }
    auto* window = new CompareDecksWindow(std::move(differences), labelA_, labelB_, false, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

} // namespace tovan
