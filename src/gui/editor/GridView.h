// The grid widget of the editor: one table view over the item model of a core grid, with the
// per-type cell delegates and the label row as a wrapped header. It raises the grid events
// the editor's rules are written for, in grid columns and rows counted from 1.
#pragma once

#include "deck/Grid.h"

#include <QRect>
#include <QTableView>
#include <optional>
#include <utility>

namespace tovan {

class GridTableModel;
class GridLabelHeader;

class GridView : public QTableView {
    Q_OBJECT
  public:
    explicit GridView(QWidget* parent = nullptr);

    // Shows `grid` (which must outlive the view). With `labelsInHeader` false, the grid has
    // no headings and its row 1 is an ordinary row.
    void setGrid(Grid& grid, bool labelsInHeader = true);
    Grid& grid() const;
    GridTableModel* gridModel() const { return model_; }

    // Makes (col, row) the cell with the caret; with the view focused it scrolls into view.
    // The caret is the grid's active cell: the view shows it wherever it is moved from.
    void setActiveCell(int col, int row);
    int activeCol() const;
    int activeRow() const;
    // The selected block in grid columns and rows; the active cell when nothing is selected.
    QRect selectedBlock() const;

    // The grid's clipboard actions: copy, copy and clear, paste from the active cell on.
    void copyToClipboard() const;
    void cutToClipboard();
    void pasteFromClipboard();
    // Copies the top row of the selection into the rows below it, as a paste would: through the
    // rules of typing, one step for undo. Nothing with a single row selected.
    void fillDown();

    // Stores what is typed in a cell editor that is still open (before a save, say).
    void commitOpenEditor();

    // Column widths that fit each column's kind of value and keep its label short.
    void fitColumnsToContent();
    // The height that shows the label row and `rows` rows (all of them by default), with room
    // for the horizontal scroll bar.
    int heightForRows(int rows = -1) const;

    using QTableView::edit;

  signals:
    void Change(int col, int row);
    void ButtonClicked(int col, int row);
    void Click(int col, int row);
    void KeyDown(int keyCode, int shift);
    void KeyUp(int keyCode, int shift);
    void MouseUp(int button, int shift, const QPoint& globalPos);
    // A cell editor opened on (col, row): the user is about to change the cell.
    void EditMode(int col, int row);

  protected:
    bool event(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void stepDownAfterEnter();
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

  private:
    int preferredWidth(int col) const;
    int recordWidth(int col) const;
    bool isButtonCell(const QModelIndex& index) const;
    void onClicked(const QModelIndex& index);
    void showActiveCell();
    void onUserChanged(int col, int row);
    bool stepForKey(const QKeyEvent& key);

    GridTableModel* model_ = nullptr;
    GridLabelHeader* labels_ = nullptr;
    QModelIndex pressedButton_;
    bool pressedOnCurrent_ = false; // a click on the current cell, which opens a list
    bool committing_ = false;
    std::optional<std::pair<int, int>> pendingChange_; // raised once its editor has closed
};

} // namespace tovan
