#include "editor/GridTableModel.h"

#include "editor/CellInput.h"
#include "fileio/Latin1.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QPalette>
#include <algorithm>

namespace tovan {

namespace {

QVariant Brush(const CellColor& color) {
    switch (color.role) {
    case CellColor::Role::Rgb:
        return QBrush(QColor(color.red, color.green, color.blue));
    case CellColor::Role::ButtonFace:
        return QApplication::palette().button();
    case CellColor::Role::Window:
        break;
    }
    return {};
}

} // namespace

GridTableModel::GridTableModel(Grid& grid, bool labelsInHeader, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), firstRow_(labelsInHeader ? 2 : 1) {
    grid_.setObserver(this);
}

GridTableModel::~GridTableModel() {
    if (grid_.observer() == this) grid_.setObserver(nullptr);
}

QModelIndex GridTableModel::cellIndex(int col, int row) const {
    return index(row - firstRow_, col - 1);
}

const CellFormat& GridTableModel::format(const QModelIndex& index) const {
    return grid_.format(gridCol(index.column()), gridRow(index.row()));
}

bool GridTableModel::isEditable(int col, int row) const {
    const CellType type = grid_.cellType(col, row);
    return grid_.contains(col, row) && !grid_.locked(col, row) && type != CellType::Button &&
           type != CellType::Label;
}

int GridTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(grid_.maxRows() - firstRow_ + 1, 0);
}

int GridTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : grid_.maxCols();
}

QVariant GridTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int col = gridCol(index.column()), row = gridRow(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return CellDisplayText(grid_.format(col, row), grid_.value(col, row));
    case Qt::EditRole:
        return QString::fromLatin1(grid_.value(col, row));
    case Qt::ToolTipRole:
        return toolTip(col, row);
    case Qt::BackgroundRole:
        if (const CellMark* mark = markAt(col, row)) return QBrush(mark->tint);
        return Brush(grid_.backColor(col, row));
    default:
        return {};
    }
}

// A finding first, then the list item chosen (a list cell shows it cut), then the field's help.
QVariant GridTableModel::toolTip(int col, int row) const {
    QStringList parts;
    if (const CellMark* mark = markAt(col, row)) parts << mark->text;
    if (grid_.cellType(col, row) == CellType::ComboBox && !grid_.value(col, row).empty())
        parts << CellDisplayText(grid_.format(col, row), grid_.value(col, row));
    if (cellNote_) parts << cellNote_(col, row);
    if (help_ && !isButtonRow(row)) parts << help_(col);
    parts.removeAll(QString());
    if (parts.isEmpty()) return {};
    return parts.join(QStringLiteral("\n\n"));
}

const GridTableModel::CellMark* GridTableModel::markAt(int col, int row) const {
    if (marks_.empty()) return nullptr;
    auto found = marks_.find({col, row});
    if (found == marks_.end()) found = marks_.find({0, row});
    return found == marks_.end() ? nullptr : &found->second;
}

// Only the looks change: the views repaint, nothing else hears of it.
void GridTableModel::setMarks(CellMarks marks) {
    if (marks.empty() && marks_.empty()) return;
    marks_ = std::move(marks);
    if (rowCount() > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole, Qt::ToolTipRole});
    }
}

// The button rows of B1, C and D carry no record, so they get no record number.
bool GridTableModel::isButtonRow(int row) const {
    if (row != grid_.maxRows()) return false;
    for (int c = 1; c <= grid_.maxCols(); ++c) {
        if (grid_.cellType(c, row) == CellType::Button) return true;
    }
    return false;
}

void GridTableModel::rowNamesChanged() {
    if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical) {
        const int row = gridRow(section);
        if (role != Qt::DisplayRole || isButtonRow(row)) return {};
        const QString number = QString::number(row - firstRow_ + 1);
        const QString name = rowName_ ? rowName_(row) : QString();
        return name.isEmpty() ? number : number + QLatin1Char(' ') + name;
    }
    const int col = gridCol(section);
    if (firstRow_ == 1) return {};
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromLatin1(grid_.value(col, 1));
    case Qt::ToolTipRole:
        if (help_) return help_(col);
        return QString::fromLatin1(grid_.value(col, 1));
    case Qt::BackgroundRole:
        return Brush(grid_.backColor(col, 1));
    default:
        return {};
    }
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(gridCol(index.column()), gridRow(index.row()))) flags |= Qt::ItemIsEditable;
    return flags;
}

bool GridTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const int col = gridCol(index.column()), row = gridRow(index.row());
    const std::string before = grid_.value(col, row);
    const bool isList = grid_.cellType(col, row) == CellType::ComboBox;
    emit stepStarting(isList ? tr("Choice") : tr("Typing"));
    if (!applyUserValue(col, row, value.toString())) return false;
    if (grid_.value(col, row) != before) emit userChanged(col, row);
    return true;
}

// The one place where the user's typing enters the grid.
bool GridTableModel::applyUserValue(int col, int row, const QString& text) {
    if (!isEditable(col, row)) return false;
    // The value the cell holds, given back: nothing changes (a title read longer than the
    // cell lets one type stays as it was read).
    if (text == QString::fromLatin1(grid_.value(col, row))) return true;
    const CellEntry accepted = AcceptCellText(grid_.format(col, row), text);
    if (!accepted.value) return false;
    grid_.setValue(col, row, *accepted.value);
    return true;
}

QString GridTableModel::copyText(const QRect& block) const {
    QStringList lines;
    for (int row = block.top(); row <= block.bottom(); ++row) {
        QStringList fields;
        for (int col = block.left(); col <= block.right(); ++col)
            fields << QString::fromLatin1(CellCopyValue(grid_, col, row));
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

// One pasted value into one cell; true when the cell took it (whether or not it changed).
bool GridTableModel::pasteCell(int col, int row, const std::string& text, PasteReport& report) {
    const auto latin1 = Utf8ToLatin1(text);
    const std::string shown = latin1.value_or(text);
    if (!isEditable(col, row)) {
        // A locked cell that already shows the pasted text loses nothing (a copied grey column).
        if (shown != CellCopyValue(grid_, col, row)) {
            report.skipped.push_back(
                {col, row, shown,
                 isButtonRow(row) ? "lies past the last record row" : "is in a locked cell"});
        }
        return false;
    }
    if (latin1 && *latin1 == CellCopyValue(grid_, col, row)) return true; // pasted back as copied
    const CellEntry entry = latin1 ? AcceptEntry(FieldFormat(grid_, col, row), *latin1)
                                   : CellEntry{{}, "holds a character the deck cannot hold", false};
    if (!entry.value) {
        report.skipped.push_back({col, row, shown, entry.refusal});
        return false;
    }
    if (entry.rounded) report.rounded.push_back({col, row, shown, *entry.value});
    if (grid_.value(col, row) == *entry.value) return true;
    grid_.setValue(col, row, *entry.value);
    emit userChanged(col, row);
    return true;
}

GridTableModel::PasteReport GridTableModel::pasteText(int col, int row, const QString& text,
                                                      const QString& stepName) {
    const PastedBlock block = SplitPastedText(text.toStdString());
    std::size_t cells = 0, widest = 0;
    for (const auto& fields : block) {
        cells += fields.size();
        widest = std::max(widest, fields.size());
    }
    emit stepStarting(!stepName.isEmpty() ? stepName
                      : cells == 1        ? tr("Paste of 1 cell")
                                          : tr("Paste of %1 cells").arg(cells));
    emit pasteBegins();
    PasteReport report;
    std::vector<std::pair<std::pair<int, int>, std::string>> settled;
    for (std::size_t i = 0; i < block.size(); ++i) {
        for (std::size_t j = 0; j < block[i].size(); ++j) {
            const int c = col + static_cast<int>(j), r = row + static_cast<int>(i);
            if (c > grid_.maxCols() || r > grid_.maxRows()) {
                if (!block[i][j].empty()) ++report.beyondEdge;
                continue;
            }
            if (pasteCell(c, r, block[i][j], report))
                settled.push_back({{c, r}, grid_.value(c, r)});
        }
    }
    for (const auto& [place, value] : settled) {
        if (grid_.value(place.first, place.second) != value)
            grid_.setValue(place.first, place.second, value);
    }
    const QRect reached(col, row, static_cast<int>(widest), static_cast<int>(block.size()));
    report.covered = reached & QRect(1, firstRow_, grid_.maxCols(), rowCount());
    if (!report.covered.isEmpty()) emit blockEdited(report.covered);
    emit pasteEnded(report);
    return report;
}

void GridTableModel::clearBlock(const QRect& block, const QString& stepName) {
    emit stepStarting(stepName);
    for (int row = block.top(); row <= block.bottom(); ++row) {
        for (int col = block.left(); col <= block.right(); ++col)
            applyUserValue(col, row, QString());
    }
    if (!block.isEmpty()) emit blockEdited(block);
}

void GridTableModel::cellChanged(int col, int row) {
    if (row < firstRow_) {
        emit headerDataChanged(Qt::Horizontal, col - 1, col - 1);
        return;
    }
    const QModelIndex cell = cellIndex(col, row);
    emit dataChanged(cell, cell);
}

void GridTableModel::beforeRowsInserted(int firstRow, int count) {
    const int at = std::max(firstRow - firstRow_, 0);
    beginInsertRows({}, at, at + count - 1);
}

void GridTableModel::afterRowsInserted() {
    endInsertRows();
    // The old last row may have stopped being the button row.
    emit headerDataChanged(Qt::Vertical, 0, std::max(rowCount() - 1, 0));
}

void GridTableModel::beforeRowsRemoved(int firstRow, int lastRow) {
    beginRemoveRows({}, std::max(firstRow - firstRow_, 0), lastRow - firstRow_);
}

void GridTableModel::afterRowsRemoved() {
    endRemoveRows();
    emit headerDataChanged(Qt::Vertical, 0, std::max(rowCount() - 1, 0));
}

void GridTableModel::beforeReset() {
    beginResetModel();
}

void GridTableModel::afterReset() {
    endResetModel();
}

} // namespace tovan
