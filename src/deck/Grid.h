// A spreadsheet grid of text cells addressed by (column, row), both from 1: the document model
// of one record set. Row 1 holds the field labels; rows 2 and on hold records.
//
// Cells share their formats through a small per-grid table, so a grid of 100,000 rows costs
// little more than its texts, and a row inserted just above the last row moves no other row.
#pragma once

#include "deck/CellFormat.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// Told about every change, so that a view can follow the model. The before/after pairs let a
// Qt item model wrap row changes in beginInsertRows/endInsertRows and the like.
class GridObserver {
  public:
    virtual ~GridObserver() = default;
    virtual void cellChanged(int col, int row) = 0; // value, format, lock or colour
    virtual void beforeRowsInserted(int firstRow, int count) = 0;
    virtual void afterRowsInserted() = 0;
    virtual void beforeRowsRemoved(int firstRow, int lastRow) = 0;
    virtual void afterRowsRemoved() = 0;
    virtual void beforeReset() = 0; // the column count changes
    virtual void afterReset() = 0;
    virtual void activeCellChanged() {} // the caret moved to another cell
};

class Grid;

// Told before and after every change of a cell or of the rows, so that an undo history can keep
// what was there. Moving the caret is no change.
class GridRecorder {
  public:
    virtual ~GridRecorder() = default;
    virtual void cellAboutToChange(Grid& grid, int col, int row) = 0;
    virtual void cellDidChange(Grid& grid, int col, int row) = 0;
    virtual void rowsInserted(Grid& grid, int firstRow, int count) = 0;
    virtual void rowsAboutToBeRemoved(Grid& grid, int firstRow, int lastRow) = 0;
};

class Grid {
  public:
    // Everything a cell holds, as kept in an undo history. The format is the grid's own index,
    // which stays valid since the grid never forgets a format.
    struct Cell {
        std::string value;
        std::uint16_t formatId = 0; // index into formats_; 0 is the default edit cell
        bool locked = false;
        CellColor color;
        friend bool operator==(const Cell&, const Cell&) = default;
    };
    using Row = std::vector<Cell>;

    Grid(std::string name, int maxCols, int maxRows);

    const std::string& name() const { return name_; }

    int maxCols() const { return maxCols_; }
    int maxRows() const { return static_cast<int>(rows_.size()); }
    // Raising a count adds empty default cells at the end; lowering it drops the last ones.
    void setMaxCols(int count);
    void setMaxRows(int count);

    bool contains(int col, int row) const;

    // Outside the grid: the empty text, and writes are ignored.
    const std::string& value(int col, int row) const;
    void setValue(int col, int row, std::string_view text);

    const CellFormat& format(int col, int row) const;
    CellType cellType(int col, int row) const { return format(col, row).type; }
    void setFormat(int col, int row, const CellFormat& format);
    bool locked(int col, int row) const;
    void setLocked(int col, int row, bool locked);
    CellColor backColor(int col, int row) const;
    void setBackColor(int col, int row, CellColor color);

    // The last row, and the last column, that holds any value (labels included); 0 for none.
    int dataRowCnt() const;
    int dataColCnt() const;

    // The current cell of code that works cell by cell (the grid's Col and Row).
    int col() const { return col_; }
    int row() const { return row_; }
    void setCol(int col) { col_ = col; }
    void setRow(int row) { row_ = row; }

    // The cell with the input caret: the one place it is kept, so that code and view agree.
    // Always a cell of the grid: a cell outside it cannot take the caret and is ignored.
    int activeCol() const { return activeCol_; }
    int activeRow() const { return activeRow_; }
    void setActiveCell(int col, int row);

    // Inserts `count` empty default rows before `row` (1 <= row <= maxRows + 1); later rows
    // move down and the row count grows by `count`.
    void insertRows(int row, int count = 1);
    // Deletes rows first..last; later rows move up and the row count shrinks.
    void deleteRows(int first, int last);
    // Clears the values (not the formats) of the block from (col1, row1) to (col2, row2).
    void clearBlock(int col1, int row1, int col2, int row2);
    void clear(int col, int row) { clearBlock(col, row, col, row); }

    bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }

    void setObserver(GridObserver* observer) { observer_ = observer; }
    GridObserver* observer() const { return observer_; }

    void setRecorder(GridRecorder* recorder) { recorder_ = recorder; }

    // For the undo history: a cell's whole state, and rows taken out and put back whole.
    Cell cellState(int col, int row) const;
    void restoreCell(int col, int row, const Cell& state);
    std::vector<Row> copyRows(int first, int last) const;
    void insertRowsWith(int row, const std::vector<Row>& rows);

  private:
    const Cell* cellAt(int col, int row) const;
    Cell* cellAt(int col, int row);
    std::uint16_t formatIdFor(const CellFormat& format);
    void countValue(int col, int row, int delta);
    void notifyCell(int col, int row) {
        if (recorder_) recorder_->cellDidChange(*this, col, row);
        if (observer_) observer_->cellChanged(col, row);
    }
    void recordBefore(int col, int row) {
        if (recorder_) recorder_->cellAboutToChange(*this, col, row);
    }

    std::string name_;
    int maxCols_ = 0;
    std::vector<Row> rows_;
    std::vector<CellFormat> formats_;
    std::vector<std::uint32_t> filledInRow_;    // non-empty values per row
    std::vector<std::uint32_t> filledInColumn_; // non-empty values per column
    int col_ = 1, row_ = 1;
    int activeCol_ = 1, activeRow_ = 1;
    bool visible_ = true;
    GridObserver* observer_ = nullptr;
    GridRecorder* recorder_ = nullptr;
};

} // namespace tovan
