#include "deck/Grid.h"

#include <algorithm>
#include <stdexcept>

namespace tovan {

namespace {

const std::string kNoText;
const CellFormat kDefaultFormat;

} // namespace

Grid::Grid(std::string name, int maxCols, int maxRows)
    : name_(std::move(name)), formats_{kDefaultFormat} {
    setMaxCols(maxCols);
    setMaxRows(maxRows);
}

void Grid::setMaxCols(int count) {
    count = std::max(count, 0);
    if (count == maxCols_) return;
    if (observer_) observer_->beforeReset();
    for (int c = count + 1; c <= maxCols_; ++c) {
        for (int r = 1; r <= maxRows(); ++r) {
            if (!value(c, r).empty()) countValue(c, r, -1);
        }
    }
    for (auto& row : rows_)
        row.resize(static_cast<std::size_t>(count));
    maxCols_ = count;
    filledInColumn_.resize(static_cast<std::size_t>(count) + 1, 0);
    if (observer_) observer_->afterReset();
}

void Grid::setMaxRows(int count) {
    count = std::max(count, 0);
    if (count > maxRows())
        insertRows(maxRows() + 1, count - maxRows());
    else if (count < maxRows())
        deleteRows(count + 1, maxRows());
}

bool Grid::contains(int col, int row) const {
    return col >= 1 && col <= maxCols_ && row >= 1 && row <= maxRows();
}

const Grid::Cell* Grid::cellAt(int col, int row) const {
    if (!contains(col, row)) return nullptr;
    return &rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
}

Grid::Cell* Grid::cellAt(int col, int row) {
    if (!contains(col, row)) return nullptr;
    return &rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(col - 1)];
}

const std::string& Grid::value(int col, int row) const {
    const Cell* cell = cellAt(col, row);
    return cell ? cell->value : kNoText;
}

void Grid::countValue(int col, int row, int delta) {
    filledInRow_[static_cast<std::size_t>(row - 1)] += static_cast<std::uint32_t>(delta);
    filledInColumn_[static_cast<std::size_t>(col)] += static_cast<std::uint32_t>(delta);
}

void Grid::setValue(int col, int row, std::string_view text) {
    Cell* cell = cellAt(col, row);
    if (!cell || cell->value == text) return;
    recordBefore(col, row);
    const bool wasEmpty = cell->value.empty();
    cell->value.assign(text);
    if (wasEmpty != text.empty()) countValue(col, row, text.empty() ? -1 : 1);
    notifyCell(col, row);
}

const CellFormat& Grid::format(int col, int row) const {
    const Cell* cell = cellAt(col, row);
    return cell ? formats_[cell->formatId] : kDefaultFormat;
}

std::uint16_t Grid::formatIdFor(const CellFormat& format) {
    const auto found = std::find(formats_.begin(), formats_.end(), format);
    if (found != formats_.end()) return static_cast<std::uint16_t>(found - formats_.begin());
    if (formats_.size() > UINT16_MAX) throw std::length_error("too many cell formats in a grid");
    formats_.push_back(format);
    return static_cast<std::uint16_t>(formats_.size() - 1);
}

void Grid::setFormat(int col, int row, const CellFormat& format) {
    Cell* cell = cellAt(col, row);
    if (!cell) return;
    const std::uint16_t id = formatIdFor(format);
    if (cell->formatId == id) return;
    recordBefore(col, row);
    cell->formatId = id;
    notifyCell(col, row);
}

bool Grid::locked(int col, int row) const {
    const Cell* cell = cellAt(col, row);
    return cell && cell->locked;
}

void Grid::setLocked(int col, int row, bool locked) {
    Cell* cell = cellAt(col, row);
    if (!cell || cell->locked == locked) return;
    recordBefore(col, row);
    cell->locked = locked;
    notifyCell(col, row);
}

CellColor Grid::backColor(int col, int row) const {
    const Cell* cell = cellAt(col, row);
    return cell ? cell->color : CellColor{};
}

void Grid::setBackColor(int col, int row, CellColor color) {
    Cell* cell = cellAt(col, row);
    if (!cell || cell->color == color) return;
    recordBefore(col, row);
    cell->color = color;
    notifyCell(col, row);
}

int Grid::dataRowCnt() const {
    for (int r = maxRows(); r >= 1; --r) {
        if (filledInRow_[static_cast<std::size_t>(r - 1)] != 0) return r;
    }
    return 0;
}

int Grid::dataColCnt() const {
    for (int c = maxCols_; c >= 1; --c) {
        if (filledInColumn_[static_cast<std::size_t>(c)] != 0) return c;
    }
    return 0;
}

void Grid::setActiveCell(int col, int row) {
    if (!contains(col, row) || (col == activeCol_ && row == activeRow_)) return;
    activeCol_ = col;
    activeRow_ = row;
    if (observer_) observer_->activeCellChanged();
}

void Grid::insertRows(int row, int count) {
    if (count <= 0 || row < 1 || row > maxRows() + 1) return;
    if (observer_) observer_->beforeRowsInserted(row, count);
    const auto at = static_cast<std::size_t>(row - 1);
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::size_t>(count),
                 Row(static_cast<std::size_t>(maxCols_)));
    filledInRow_.insert(filledInRow_.begin() + static_cast<std::ptrdiff_t>(at),
                        static_cast<std::size_t>(count), 0);
    if (observer_) observer_->afterRowsInserted();
    if (recorder_) recorder_->rowsInserted(*this, row, count);
    if (row <= activeRow_) setActiveCell(activeCol_, activeRow_ + count); // the caret's row moved
}

void Grid::deleteRows(int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, maxRows());
    if (first > last) return;
    if (recorder_) recorder_->rowsAboutToBeRemoved(*this, first, last);
    if (observer_) observer_->beforeRowsRemoved(first, last);
    for (int r = first; r <= last; ++r) {
        for (int c = 1; c <= maxCols_; ++c) {
            if (!value(c, r).empty()) filledInColumn_[static_cast<std::size_t>(c)] -= 1;
        }
    }
    rows_.erase(rows_.begin() + (first - 1), rows_.begin() + last);
    filledInRow_.erase(filledInRow_.begin() + (first - 1), filledInRow_.begin() + last);
    if (observer_) observer_->afterRowsRemoved();
    // The caret keeps to its row when rows above it go, and to the last row when its own row
    // was among the last ones.
    if (activeRow_ > last) {
        setActiveCell(activeCol_, activeRow_ - (last - first + 1));
    } else if (activeRow_ > maxRows()) {
        setActiveCell(activeCol_, maxRows());
    }
}

Grid::Cell Grid::cellState(int col, int row) const {
    const Cell* cell = cellAt(col, row);
    return cell ? *cell : Cell{};
}

void Grid::restoreCell(int col, int row, const Cell& state) {
    Cell* cell = cellAt(col, row);
    if (!cell || *cell == state) return;
    recordBefore(col, row);
    const bool wasEmpty = cell->value.empty();
    *cell = state;
    if (wasEmpty != state.value.empty()) countValue(col, row, state.value.empty() ? -1 : 1);
    notifyCell(col, row);
}

std::vector<Grid::Row> Grid::copyRows(int first, int last) const {
    first = std::max(first, 1);
    last = std::min(last, maxRows());
    if (first > last) return {};
    return {rows_.begin() + (first - 1), rows_.begin() + last};
}

void Grid::insertRowsWith(int row, const std::vector<Row>& rows) {
    insertRows(row, static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t c = 0; c < rows[i].size(); ++c)
            restoreCell(static_cast<int>(c) + 1, row + static_cast<int>(i), rows[i][c]);
    }
}

void Grid::clearBlock(int col1, int row1, int col2, int row2) {
    for (int r = std::max(row1, 1); r <= std::min(row2, maxRows()); ++r) {
        for (int c = std::max(col1, 1); c <= std::min(col2, maxCols_); ++c)
            setValue(c, r, {});
    }
}

} // namespace tovan
