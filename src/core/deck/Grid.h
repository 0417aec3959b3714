// A spreadsheet grid of text cells addressed by (column, row), both from 1: the document model
// of one record set. Row 1 holds the field labels; rows 2 and on hold records.
//
// Storage is compact, since a deck of a million catchments is 34 million cells: a cell is an
// eight-byte text (up to seven characters in place, longer ones in a side store) and four bytes
// of attributes (its format and colour as indexes into small per-grid tables, and its lock
// flag), both kept row after row in flat arrays. A row inserted just above the last row moves
// only that row.
#pragma once

#include "deck/CellFormat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
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
    virtual void beforeReset() = 0; // the column count changes, or many cells and rows at once
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
    int maxRows() const { return maxRows_; }
    // Raising a count adds empty default cells at the end; lowering it drops the last ones.
    void setMaxCols(int count);
    void setMaxRows(int count);

    bool contains(int col, int row) const {
        return col >= 1 && col <= maxCols_ && row >= 1 && row <= maxRows_;
    }

    // Outside the grid: the empty text, and writes are ignored.
    std::string value(int col, int row) const { return std::string(text(col, row)); }
    // The same text without a copy, for passes over many cells. The view is valid until the grid
    // next changes.
    std::string_view text(int col, int row) const;
    void setValue(int col, int row, std::string_view text);

    const CellFormat& format(int col, int row) const;
    CellType cellType(int col, int row) const { return format(col, row).type; }
    void setFormat(int col, int row, const CellFormat& format);
    // How a cell of a new row looks, made from the cell of a model row in the same column: its
    // format, and whether it is locked and given a colour (the cell keeps its own otherwise).
    struct CellLook {
        CellFormat format;
        bool locked = false;
        std::optional<CellColor> color;
    };
    using CellLookRule = CellLook (*)(const CellFormat& modelFormat, bool modelLocked);
    // Gives every cell of `row` the look `rule` makes of the cell of `modelRow` above or below
    // it. The grid remembers the look per column, so that formatting many rows alike, as a deck
    // read row by row does, builds no formats again.
    void setRowLook(int row, int modelRow, CellLookRule rule);
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
    // Makes room for `count` more rows at once, for a reader that is about to add many one by
    // one; and gives back whatever room is left unused once it is done.
    void reserveRows(int count);
    void releaseSpareRoom();
    // Replaces rows `row` to the last with rows `otherRow` to the last of `other`, a grid of as
    // many columns: values, formats, colours and locks; their longer texts are moved out of
    // `other`. The caret, when it was in the rows replaced, goes where `other` has it among its
    // rows. For rows read on another thread into a grid of their own.
    void replaceRowsFrom(int row, Grid&& other, int otherRow);
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
    // A cell's text: up to seven characters in place (`tag` is the length), or, with `tag` at
    // kLongText, the index of a longer text in longTexts_.
    struct Text {
        std::array<char, 7> chars{};
        std::uint8_t tag = 0;
    };
    static constexpr std::uint8_t kLongText = 0xFF;
    // Attributes of a cell in one word: format index, colour index and lock flag.
    static constexpr std::uint32_t kFormatMask = 0xFFFF;
    static constexpr int kColorShift = 16;
    static constexpr std::uint32_t kLockedBit = 1U << 24;

    std::size_t indexOf(int col, int row) const {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(maxCols_) +
               static_cast<std::size_t>(col - 1);
    }
    std::string_view textOf(const Text& text) const;
    void assignText(Text& text, std::string_view value);
    void releaseText(Text& text);
    std::uint32_t attributes(int col, int row) const {
        return contains(col, row) ? attributes_[indexOf(col, row)] : 0;
    }
    void setAttributes(int col, int row, std::uint32_t attributes);
    std::uint16_t formatIdFor(const CellFormat& format);
    void appendAttributesOf(const Grid& other, std::ptrdiff_t first);
    std::uint32_t colorIdFor(CellColor color);
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
    int maxRows_ = 0;
    std::vector<Text> texts_;                  // maxCols_ per row, row after row
    std::vector<std::uint32_t> attributes_;    // the same layout
    std::vector<std::string> longTexts_;       // texts of more than seven characters
    std::vector<std::uint32_t> freeLongTexts_; // slots of longTexts_ free for reuse
    std::vector<CellFormat> formats_;          // a grid never forgets a format: ids stay valid
    std::vector<std::uint16_t> formatsByHash_; // open-addressed index into formats_, 0 unused
    std::vector<CellColor> colors_;
    struct RememberedLook {
        CellLookRule rule = nullptr;
        std::uint32_t modelAttributes = 0;
        std::uint32_t set = 0;  // attribute bits the look sets
        std::uint32_t kept = 0; // mask of the cell's own attribute bits it keeps
    };
    std::vector<RememberedLook> rememberedLooks_; // by column
    std::vector<std::uint32_t> filledInRow_;      // non-empty values per row
    std::vector<std::uint32_t> filledInColumn_;   // non-empty values per column
    int col_ = 1, row_ = 1;
    int activeCol_ = 1, activeRow_ = 1;
    bool visible_ = true;
    GridObserver* observer_ = nullptr;
    GridRecorder* recorder_ = nullptr;
};

// Holds a grid's observer back while many changes are made at once, such as a whole deck read
// into the grid: the observer is told one reset at the end instead of every cell and row, which
// a view would otherwise follow one by one, at a cost that grows with the rows it already has.
class GridObserverPause {
  public:
    explicit GridObserverPause(Grid& grid) : grid_(grid), observer_(grid.observer()) {
        if (!observer_) return;
        observer_->beforeReset();
        grid_.setObserver(nullptr);
    }
    ~GridObserverPause() {
        if (!observer_) return;
        grid_.setObserver(observer_);
        observer_->afterReset();
        observer_->activeCellChanged(); // a reset view has lost its current cell
    }
    GridObserverPause(const GridObserverPause&) = delete;
    GridObserverPause& operator=(const GridObserverPause&) = delete;

  private:
    Grid& grid_;
    GridObserver* observer_;
};

} // namespace tovan
