#include "compare/CompareDecksWindow.h"

#include "fileio/basFileRoutines.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tovan {

namespace {

QString Record(int row) {
    return row ? QString::number(row - 1) : QStringLiteral("-");
}

} // namespace

CompareDecksWindow::CompareDecksWindow(std::vector<CellDifference> differences,
                                       const QString& otherDeck, QWidget* parent)
    : CompareDecksWindow(std::move(differences), tr("the open deck"), otherDeck, true, parent) {}

CompareDecksWindow::CompareDecksWindow(std::vector<CellDifference> differences,
                                       const QString& deckA, const QString& deckB, bool goesToCells,
                                       QWidget* parent)
    : QDialog(parent), differences_(std::move(differences)) {
    setObjectName(QStringLiteral("compareDecks"));
    setWindowTitle(tr("Compare Decks"));
    auto* layout = new QVBoxLayout(this);
    QString text = tr("%n cell(s) differ between %1 (A) and %2 (B).", nullptr,
                      static_cast<int>(differences_.size()))
                       .arg(deckA, deckB);
    if (goesToCells) text += tr(" Double-click a row to go to the cell.");
    auto* heading = new QLabel(text, this);
    heading->setWordWrap(true);
    layout->addWidget(heading);
    table_ = new QTableWidget(static_cast<int>(differences_.size()), 7, this);
    table_->setObjectName(QStringLiteral("differences"));
    table_->setHorizontalHeaderLabels({tr("Record set"), tr("Record in A"), tr("Record in B"),
                                       tr("Catchment"), tr("Field"), tr("A"), tr("B")});
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    for (int r = 0; r < table_->rowCount(); ++r) {
        const CellDifference& d = differences_[static_cast<std::size_t>(r)];
        const QStringList cells{QString::fromStdString(d.recordSet),
                                Record(d.rowA),
                                Record(d.rowB),
                                QString::fromLatin1(d.catchment),
                                QString::fromLatin1(d.field),
                                QString::fromLatin1(d.valueA),
                                QString::fromLatin1(d.valueB)};
        for (int c = 0; c < cells.size(); ++c)
            table_->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    table_->resizeColumnsToContents();
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_);
    connect(table_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        const CellDifference& d = differences_[static_cast<std::size_t>(row)];
        if (d.rowA) emit cellChosen({d.recordSet, d.rowA, d.col});
    });
    resize(760, 360);
}

bool ReadComparedDeck(Platform& platform, const std::string& path, DeckGrids& grids,
                      std::string& why) {
    ReadingState reading;
    ApplicationState app;
    ReadingContext context{grids, reading, app, platform};
    std::string reason;
    if (ReadDeckFile(context, path, &reason) == ReadOutcome::Read) return true;
    why = "The deck " + path + " could not be read" +
          (reason.empty() ? std::string(".") : ": " + reason + ".");
    return false;
}

} // namespace tovan
