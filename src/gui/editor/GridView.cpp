#include "editor/GridView.h"

#include "editing/TabControl.h"
#include "editor/CellInput.h"
#include "editor/GridItemDelegate.h"
#include "editor/GridLabelHeader.h"
#include "editor/GridTableModel.h"
#include "editor/VirtualKeys.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>

namespace tovan {

namespace {

constexpr int kMaxLabelLines = 5;

int ButtonCode(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

} // namespace

GridView::GridView(QWidget* parent) : QTableView(parent), labels_(new GridLabelHeader(this)) {
    setHorizontalHeader(labels_);
    setItemDelegate(new GridItemDelegate(this));
    // A click only selects: the view's own edit on a second click comes after the double-click
    // interval, and opened a fresh editor under keys already typed. A list cell opens its list
    // on a click at once instead (onClicked).
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setWordWrap(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 10);
    connect(this, &QAbstractItemView::clicked, this, &GridView::onClicked);
}

void GridView::setGrid(Grid& grid, bool labelsInHeader) {
    QItemSelectionModel* oldSelection = selectionModel();
    GridTableModel* oldModel = model_;
    model_ = new GridTableModel(grid, labelsInHeader, this);
    setModel(model_);
    delete oldSelection;
    delete oldModel;
    labels_->setVisible(labelsInHeader);
    connect(model_, &GridTableModel::userChanged, this, &GridView::onUserChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &GridView::fitColumnsToContent);
    connect(model_, &GridTableModel::activeCellMoved, this, &GridView::showActiveCell);
    fitColumnsToContent();
    showActiveCell();
}

Grid& GridView::grid() const {
    return model_->grid();
}

void GridView::setActiveCell(int col, int row) {
    grid().setActiveCell(col, row);
}

// The label row is the header, so a caret there has no cell to show: the view then shows none.
void GridView::showActiveCell() {
    const QModelIndex cell = model_->cellIndex(activeCol(), activeRow());
    if (cell != currentIndex()) setCurrentIndex(cell);
    if (cell.isValid() && hasFocus()) scrollTo(cell);
}

int GridView::activeCol() const {
    return grid().activeCol();
}

int GridView::activeRow() const {
    return grid().activeRow();
}

QRect GridView::selectedBlock() const {
    const QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty()) return QRect(activeCol(), activeRow(), 1, 1);
    QRect block;
    for (const QModelIndex& cell : cells) {
        block |= QRect(model_->gridCol(cell.column()), model_->gridRow(cell.row()), 1, 1);
    }
    return block;
}

void GridView::copyToClipboard() const {
    QApplication::clipboard()->setText(model_->copyText(selectedBlock()));
}

void GridView::cutToClipboard() {
    const QRect block = selectedBlock();
    QApplication::clipboard()->setText(model_->copyText(block));
    const int cells = block.width() * block.height();
    model_->clearBlock(block, cells == 1 ? tr("Cut of 1 cell") : tr("Cut of %1 cells").arg(cells));
}

void GridView::pasteFromClipboard() {
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty()) model_->pasteText(activeCol(), activeRow(), text);
}

void GridView::fillDown() {
    const QRect block = selectedBlock();
    if (block.height() < 2) return;
    const QString top =
        model_->copyText(QRect(block.left(), block.top(), block.width(), 1)).chopped(1);
    QStringList rows;
    for (int row = 1; row < block.height(); ++row)
        rows << top;
    model_->pasteText(block.left(), block.top() + 1, rows.join(QLatin1Char('\n')), tr("Fill Down"));
}

// Wide enough for the values of the column's record cells (row 2 is the template row) and
// for the caption of a button in its last row.
int GridView::preferredWidth(int col) const {
    const Grid& cells = grid();
    const CellFormat& last = cells.format(col, cells.maxRows());
    const int button = last.type == CellType::Button
                           ? fontMetrics().horizontalAdvance(QString::fromLatin1(last.caption)) + 24
                           : 0;
    return std::max(recordWidth(col), button);
}

int GridView::recordWidth(int col) const {
    const Grid& cells = grid();
    const int row = std::min(2, cells.maxRows());
    const CellFormat& format = cells.format(col, row);
    const QFontMetrics metrics = fontMetrics();
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    if (cells.locked(col, row) && format.type == CellType::Edit) return digit * 9; // no field
    switch (format.type) {
    case CellType::Integer:
    case CellType::Float:
        return digit * 10 + 12;
    case CellType::Button:
        return metrics.horizontalAdvance(QString::fromLatin1(format.caption)) + 24;
    case CellType::ComboBox: {
        int widest = 0;
        for (const std::string& item : format.items)
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromLatin1(item)));
        return std::min(widest + 36, digit * 40);
    }
    default:
        return std::clamp(digit * std::min(format.maxLength, 40), digit * 10, digit * 40);
    }
}

// Then widened until the label takes at most a few lines, so that the label row stays short.
void GridView::fitColumnsToContent() {
    if (!model_) return;
    const int line = fontMetrics().height();
    for (int section = 0; section < model_->columnCount(); ++section) {
        int width = preferredWidth(model_->gridCol(section));
        if (!labels_->isHidden()) {
            width = std::max(width, labels_->longestWordWidth(section));
            while (labels_->labelHeight(section, width) > kMaxLabelLines * line + 8)
                width += 16;
        }
        setColumnWidth(section, width);
    }
    labels_->fitHeightToLabels();
}

int GridView::heightForRows(int rows) const {
    const int shown =
        rows < 0 ? verticalHeader()->length() : rows * verticalHeader()->defaultSectionSize();
    return horizontalHeader()->height() + shown + 2 * frameWidth() +
           horizontalScrollBar()->sizeHint().height();
}

void GridView::commitOpenEditor() {
    QWidget* editor = QApplication::focusWidget();
    if (state() != QAbstractItemView::EditingState || !editor ||
        editor->parentWidget() != viewport())
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool GridView::isButtonCell(const QModelIndex& index) const {
    return index.isValid() && model_->format(index).type == CellType::Button;
}

// Key presses, Tab included (which the view would turn into a move before keyPressEvent).
bool GridView::event(QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (stepForKey(*key)) return true;
        emit KeyDown(VirtualKeyCode(key->key()), ShiftState(key->modifiers()));
        if (key->key() == Qt::Key_Space && isButtonCell(currentIndex())) {
            emit ButtonClicked(activeCol(), activeRow());
            return true;
        }
    }
    return QTableView::event(event);
}

// Tab, Shift+Tab and the arrows: the key-down rules see the key first and may put the caret
// one step back, then the grid takes its own step from wherever the caret is. A step onto the
// label row (the header here) or out of the grid leaves the caret where the key found it.
bool GridView::stepForKey(const QKeyEvent& key) {
    const int code = VirtualKeyCode(key.key()), shift = ShiftState(key.modifiers());
    if (code == keys::kEnter && shift == keys::kNoShift && state() != EditingState) {
        emit KeyDown(code, shift);
        stepDownAfterEnter();
        return true;
    }
    const bool arrow = code >= keys::kLeft && code <= keys::kDown;
    const bool step = (shift == keys::kNoShift && (code == keys::kTab || arrow)) ||
                      (shift == keys::kShift && code == keys::kTab);
    if (!step) return false;
    const CellPosition before{activeCol(), activeRow()};
    emit KeyDown(code, shift);
    const CellPosition to = GridOwnStep(grid(), code, shift);
    const CellPosition caret = model_->cellIndex(to.col, to.row).isValid() ? to : before;
    setActiveCell(caret.col, caret.row);
    return true;
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool wasEditing = state() == QAbstractItemView::EditingState;
    const bool opened = QTableView::edit(index, trigger, event);
    if (!opened || wasEditing || state() != QAbstractItemView::EditingState) return opened;
    // F2 and a double-click edit in place, with the caret at the end; a typed key replaces.
    if (trigger == DoubleClicked || trigger == EditKeyPressed) {
        for (auto* line : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            line->deselect();
            line->end(false);
        }
    }
    emit EditMode(model_->gridCol(index.column()), model_->gridRow(index.row()));
    return opened;
}

// A change typed into a cell editor is raised once the editor has closed: the rules may hide
// the grid, and hiding it under an open editor would close that editor a second time.
void GridView::onUserChanged(int col, int row) {
    if (committing_) {
        pendingChange_.emplace(col, row);
    } else {
        emit Change(col, row);
    }
}

void GridView::commitData(QWidget* editor) {
    committing_ = true;
    QTableView::commitData(editor);
    committing_ = false;
}

// Tab and Shift+Tab typed into an open cell editor move on through here rather than through
// the grid's own key presses, which keep the caret off locked cells; a step from an editor
// that lands on a locked cell is taken back, so the caret stays where it was.
void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const QModelIndex before = currentIndex();
    QTableView::closeEditor(editor, hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache) stepDownAfterEnter();
    const bool stepped = hint == QAbstractItemDelegate::EditNextItem ||
                         hint == QAbstractItemDelegate::EditPreviousItem;
    const QModelIndex after = currentIndex();
    if (stepped && after != before && after.isValid() &&
        grid().locked(model_->gridCol(after.column()), model_->gridRow(after.row()))) {
        setCurrentIndex(before);
    }
    if (const auto change = std::exchange(pendingChange_, std::nullopt))
        emit Change(change->first, change->second);
}

// Enter commits what was typed and goes down one row, as in a spreadsheet; a locked cell or a
// button below keeps the caret where it is.
void GridView::stepDownAfterEnter() {
    const int col = activeCol(), row = activeRow() + 1;
    const QModelIndex below = model_->cellIndex(col, row);
    if (below.isValid() && !grid().locked(col, row) && !isButtonCell(below))
        setActiveCell(col, row);
}

// Delete clears the active cell when the key is released (the form's rule); it must not open
// the cell's editor on the way down.
void GridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void GridView::keyReleaseEvent(QKeyEvent* event) {
    emit KeyUp(VirtualKeyCode(event->key()), ShiftState(event->modifiers()));
    QTableView::keyReleaseEvent(event);
}

void GridView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    pressedButton_ = event->button() == Qt::LeftButton && isButtonCell(cell) ? cell : QModelIndex();
    pressedOnCurrent_ =
        event->button() == Qt::LeftButton && cell.isValid() && cell == currentIndex();
    QTableView::mousePressEvent(event);
}

// A button raises its event when the mouse is released over the button it was pressed on.
void GridView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex cell = indexAt(event->position().toPoint());
    QTableView::mouseReleaseEvent(event);
    if (pressedButton_.isValid() && cell == pressedButton_)
        emit ButtonClicked(model_->gridCol(cell.column()), model_->gridRow(cell.row()));
    pressedButton_ = QModelIndex();
    emit MouseUp(ButtonCode(event->button()), ShiftState(event->modifiers()),
                 event->globalPosition().toPoint());
}

void GridView::onClicked(const QModelIndex& index) {
    if (std::exchange(pressedOnCurrent_, false) && state() != EditingState &&
        model_->format(index).type == CellType::ComboBox) {
        edit(index, AllEditTriggers, nullptr);
    }
    emit Click(model_->gridCol(index.column()), model_->gridRow(index.row()));
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        grid().setActiveCell(model_->gridCol(current.column()), model_->gridRow(current.row()));
}

} // namespace tovan
