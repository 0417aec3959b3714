#include "deck/Grid.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace tovan {

namespace {

const CellFormat kDefaultFormat;

// Room for `extra` more elements, growing by a quarter rather than doubling: a grid read row by
// row would otherwise keep up to as much room again as its cells take.
template <typename T>
void MakeRoom(std::vector<T>& cells, std::size_t extra) {
    const std::size_t needed = cells.size() + extra;
    if (needed > cells.capacity())
        cells.reserve(std::max(needed, cells.capacity() + cells.capacity() / 4));
}

void Mix(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

std::size_t HashOf(const CellFormat& f) {
    std::size_t seed = static_cast<std::size_t>(f.type);
    Mix(seed, static_cast<std::size_t>(f.maxLength));
    Mix(seed, std::bit_cast<std::uint64_t>(f.floatMin));
    Mix(seed, std::bit_cast<std::uint64_t>(f.floatMax));
    Mix(seed, static_cast<std::size_t>(f.decimals));
    Mix(seed, static_cast<std::size_t>(f.integerMin));
    Mix(seed, static_cast<std::size_t>(f.integerMax));
    // Lists and captions by their sizes only: hashing every item would cost more than the
    // comparison it saves, and formats that differ only in item texts are rare.
    Mix(seed, f.items.size());
    Mix(seed, f.items.empty() ? 0 : f.items.front().size());
    Mix(seed, f.caption.size());
    Mix(seed, static_cast<std::size_t>(f.comboMaxDrop) * 2 + (f.comboEditable ? 1 : 0));
    Mix(seed, static_cast<std::size_t>(f.horizontal) * 8 + static_cast<std::size_t>(f.vertical));
    return seed;
}

} // namespace

Grid::Grid(std::string name, int maxCols, int maxRows)
    : name_(std::move(name)), colors_{CellColor::Window()} {
    formatIdFor(kDefaultFormat); // id 0
    setMaxCols(maxCols);
    setMaxRows(maxRows);
}

std::string_view Grid::textOf(const Text& text) const {
    if (text.tag != kLongText) return {text.chars.data(), text.tag};
    std::uint32_t slot = 0;
    std::memcpy(&slot, text.chars.data(), sizeof slot);
    return longTexts_[slot];
}

void Grid::releaseText(Text& text) {
    if (text.tag == kLongText) {
        std::uint32_t slot = 0;
        std::memcpy(&slot, text.chars.data(), sizeof slot);
        std::string().swap(longTexts_[slot]);
        freeLongTexts_.push_back(slot);
    }
    text = Text{};
}

void Grid::assignText(Text& text, std::string_view value) {
    if (text.tag == kLongText) releaseText(text);
    if (value.size() <= text.chars.size()) { // most cells: a short number, copied by hand
        Text made;
        for (std::size_t i = 0; i < value.size(); ++i)
            made.chars[i] = value[i];
        made.tag = static_cast<std::uint8_t>(value.size());
        text = made;
        return;
    }
    std::uint32_t slot = 0;
    if (!freeLongTexts_.empty()) {
        slot = freeLongTexts_.back();
        freeLongTexts_.pop_back();
        longTexts_[slot].assign(value);
    } else {
        if (longTexts_.size() >= UINT32_MAX) throw std::length_error("too many texts in a grid");
        slot = static_cast<std::uint32_t>(longTexts_.size());
        MakeRoom(longTexts_, 1);
        longTexts_.emplace_back(value);
    }
    std::memcpy(text.chars.data(), &slot, sizeof slot);
    text.tag = kLongText;
}

void Grid::setMaxCols(int count) {
    count = std::max(count, 0);
    if (count == maxCols_) return;
    if (observer_) observer_->beforeReset();
    const auto oldCols = static_cast<std::size_t>(maxCols_);
    const auto newCols = static_cast<std::size_t>(count);
    std::vector<Text> texts(newCols * static_cast<std::size_t>(maxRows_));
    std::vector<std::uint32_t> attributes(texts.size(), 0);
    for (std::size_t r = 0; r < static_cast<std::size_t>(maxRows_); ++r) {
        for (std::size_t c = 0; c < oldCols; ++c) {
            Text& old = texts_[r * oldCols + c];
            if (c < newCols) {
                texts[r * newCols + c] = old;
                attributes[r * newCols + c] = attributes_[r * oldCols + c];
            } else if (old.tag != 0) {
                countValue(static_cast<int>(c) + 1, static_cast<int>(r) + 1, -1);
                releaseText(old);
            }
        }
    }
    texts_ = std::move(texts);
    attributes_ = std::move(attributes);
    maxCols_ = count;
    filledInColumn_.resize(newCols + 1, 0);
    if (observer_) observer_->afterReset();
}

void Grid::setMaxRows(int count) {
    count = std::max(count, 0);
    if (count > maxRows())
        insertRows(maxRows() + 1, count - maxRows());
    else if (count < maxRows())
        deleteRows(count + 1, maxRows());
}

std::string_view Grid::text(int col, int row) const {
    if (!contains(col, row)) return {};
    return textOf(texts_[indexOf(col, row)]);
}

void Grid::countValue(int col, int row, int delta) {
    filledInRow_[static_cast<std::size_t>(row - 1)] += static_cast<std::uint32_t>(delta);
    filledInColumn_[static_cast<std::size_t>(col)] += static_cast<std::uint32_t>(delta);
}

void Grid::setValue(int col, int row, std::string_view text) {
    if (!contains(col, row)) return;
    Text& cell = texts_[indexOf(col, row)];
    if (textOf(cell) == text) return;
    recordBefore(col, row);
    const bool wasEmpty = cell.tag == 0;
    assignText(cell, text);
    if (wasEmpty != text.empty()) countValue(col, row, text.empty() ? -1 : 1);
    notifyCell(col, row);
}

// Attributes of a cell outside the grid are ignored, like its value.
void Grid::setAttributes(int col, int row, std::uint32_t attributes) {
    if (!contains(col, row)) return;
    std::uint32_t& cell = attributes_[indexOf(col, row)];
    if (cell == attributes) return;
    recordBefore(col, row);
    cell = attributes;
    notifyCell(col, row);
}

const CellFormat& Grid::format(int col, int row) const {
    if (!contains(col, row)) return kDefaultFormat;
    return formats_[attributes(col, row) & kFormatMask];
}

// Formats are looked up by hash, since a deck of many rows asks for the same few formats once
// per cell.
std::uint16_t Grid::formatIdFor(const CellFormat& format) {
    const std::size_t hash = HashOf(format);
    std::size_t mask = formatsByHash_.size() - 1;
    for (std::size_t i = hash & mask; !formatsByHash_.empty() && formatsByHash_[i] != 0;
         i = (i + 1) & mask) {
        const std::uint16_t id = formatsByHash_[i] - 1;
        if (formats_[id] == format) return id;
    }
    if (formats_.size() >= kFormatMask) throw std::length_error("too many cell formats in a grid");
    formats_.push_back(format);
    if (formats_.size() * 2 > formatsByHash_.size()) {
        formatsByHash_.assign(std::max<std::size_t>(16, formatsByHash_.size() * 2), 0);
        mask = formatsByHash_.size() - 1;
        for (std::size_t id = 0; id < formats_.size(); ++id) {
            std::size_t i = HashOf(formats_[id]) & mask;
            while (formatsByHash_[i] != 0)
                i = (i + 1) & mask;
            formatsByHash_[i] = static_cast<std::uint16_t>(id + 1);
        }
    } else {
        std::size_t i = hash & mask;
        while (formatsByHash_[i] != 0)
            i = (i + 1) & mask;
        formatsByHash_[i] = static_cast<std::uint16_t>(formats_.size());
    }
    return static_cast<std::uint16_t>(formats_.size() - 1);
}

void Grid::setFormat(int col, int row, const CellFormat& format) {
    if (!contains(col, row)) return;
    const std::uint32_t old = attributes(col, row);
    setAttributes(col, row, (old & ~kFormatMask) | formatIdFor(format));
}

void Grid::setRowLook(int row, int modelRow, CellLookRule rule) {
    if (!contains(1, row) || !contains(1, modelRow)) return;
    const auto cols = static_cast<std::size_t>(maxCols_);
    rememberedLooks_.resize(cols);
    const std::uint32_t* model = &attributes_[indexOf(1, modelRow)];
    for (std::size_t c = 0; c < cols; ++c) {
        RememberedLook& look = rememberedLooks_[c];
        if (look.rule != rule || look.modelAttributes != model[c]) {
            const CellLook made =
                rule(formats_[model[c] & kFormatMask], (model[c] & kLockedBit) != 0);
            look = {rule, model[c], formatIdFor(made.format), ~kFormatMask};
            if (made.locked) look.set |= kLockedBit;
            if (made.color) {
                look.set |= colorIdFor(*made.color) << kColorShift;
                look.kept &= ~(0xFFU << kColorShift);
            }
        }
    }
    std::uint32_t* cells = &attributes_[indexOf(1, row)];
    for (std::size_t c = 0; c < cols; ++c) {
        const RememberedLook& look = rememberedLooks_[c];
        const std::uint32_t made = (cells[c] & look.kept) | look.set;
        if (recorder_ || observer_) {
            setAttributes(static_cast<int>(c) + 1, row, made);
        } else {
            cells[c] = made; // a grid being read: nobody to tell, cell after cell
        }
    }
}

bool Grid::locked(int col, int row) const {
    return (attributes(col, row) & kLockedBit) != 0;
}

void Grid::setLocked(int col, int row, bool locked) {
    const std::uint32_t old = attributes(col, row);
    setAttributes(col, row, locked ? (old | kLockedBit) : (old & ~kLockedBit));
}

std::uint32_t Grid::colorIdFor(CellColor color) {
    const auto found = std::find(colors_.begin(), colors_.end(), color);
    if (found != colors_.end()) return static_cast<std::uint32_t>(found - colors_.begin());
    if (colors_.size() > UINT8_MAX) throw std::length_error("too many cell colours in a grid");
    colors_.push_back(color);
    return static_cast<std::uint32_t>(colors_.size() - 1);
}

CellColor Grid::backColor(int col, int row) const {
    return colors_[(attributes(col, row) >> kColorShift) & 0xFF];
}

void Grid::setBackColor(int col, int row, CellColor color) {
    if (!contains(col, row)) return;
    const std::uint32_t old = attributes(col, row);
    setAttributes(col, row, (old & ~(0xFFU << kColorShift)) | (colorIdFor(color) << kColorShift));
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
    const auto at = static_cast<std::ptrdiff_t>(row - 1);
    const auto cellsAt = at * maxCols_;
    const auto cells = static_cast<std::size_t>(count) * static_cast<std::size_t>(maxCols_);
    MakeRoom(texts_, cells);
    MakeRoom(attributes_, cells);
    texts_.insert(texts_.begin() + cellsAt, cells, Text{});
    attributes_.insert(attributes_.begin() + cellsAt, cells, 0);
    MakeRoom(filledInRow_, static_cast<std::size_t>(count));
    filledInRow_.insert(filledInRow_.begin() + at, static_cast<std::size_t>(count), 0);
    maxRows_ += count;
    if (observer_) observer_->afterRowsInserted();
    if (recorder_) recorder_->rowsInserted(*this, row, count);
    if (row <= activeRow_) setActiveCell(activeCol_, activeRow_ + count); // the caret's row moved
}

void Grid::reserveRows(int count) {
    if (count <= 0) return;
    const auto rows = static_cast<std::size_t>(maxRows_) + static_cast<std::size_t>(count);
    texts_.reserve(rows * static_cast<std::size_t>(maxCols_));
    attributes_.reserve(rows * static_cast<std::size_t>(maxCols_));
    filledInRow_.reserve(rows);
}

// Only when the spare room is worth the copy that giving it back takes.
void Grid::releaseSpareRoom() {
    const auto worthIt = [](const auto& cells) {
        return cells.capacity() - cells.size() > cells.size() / 8 + 1024;
    };
    if (worthIt(texts_)) texts_.shrink_to_fit();
    if (worthIt(attributes_)) attributes_.shrink_to_fit();
    if (worthIt(filledInRow_)) filledInRow_.shrink_to_fit();
}

// The rows' cells are taken over as they are kept: texts whole, longer ones moved into this
// grid's side store, attributes with their format and colour looked up in this grid's tables
// (most often the same tables, when both grids grew from one).
void Grid::replaceRowsFrom(int row, Grid&& other, int otherRow) {
    if (row < 1 || row > maxRows_ + 1 || otherRow < 1 || other.maxCols_ != maxCols_) return;
    const int caretOffset = activeRow_ >= row ? other.activeRow_ - otherRow : -1;
    deleteRows(row, maxRows_);
    const int count = std::max(other.maxRows_ - otherRow + 1, 0);
    if (count == 0) return;
    if (observer_) observer_->beforeRowsInserted(row, count);
    const auto first = static_cast<std::ptrdiff_t>(other.indexOf(1, otherRow));
    const std::size_t start = texts_.size(), cells = other.texts_.size() - first;
    MakeRoom(texts_, cells);
    MakeRoom(longTexts_, other.longTexts_.size());
    texts_.insert(texts_.end(), other.texts_.begin() + first, other.texts_.end());
    std::size_t col = 1;
    for (auto text = texts_.begin() + static_cast<std::ptrdiff_t>(start); text != texts_.end();
         ++text, col = col == static_cast<std::size_t>(maxCols_) ? 1 : col + 1) {
        if (text->tag == 0) continue;
        filledInColumn_[col] += 1;
        if (text->tag != kLongText) continue;
        std::uint32_t slot = 0;
        std::memcpy(&slot, text->chars.data(), sizeof slot);
        const auto own = static_cast<std::uint32_t>(longTexts_.size());
        longTexts_.push_back(std::move(other.longTexts_[slot]));
        std::memcpy(text->chars.data(), &own, sizeof own);
    }
    appendAttributesOf(other, first);
    filledInRow_.insert(filledInRow_.end(), other.filledInRow_.begin() + (otherRow - 1),
                        other.filledInRow_.end());
    maxRows_ += count;
    if (observer_) observer_->afterRowsInserted();
    if (recorder_) recorder_->rowsInserted(*this, row, count);
    if (caretOffset >= 0 && caretOffset < count) setActiveCell(other.activeCol_, row + caretOffset);
}

void Grid::appendAttributesOf(const Grid& other, std::ptrdiff_t first) {
    std::vector<std::uint32_t> formatIds, colorIds;
    bool same = true;
    for (const CellFormat& format : other.formats_) {
        formatIds.push_back(formatIdFor(format));
        same = same && formatIds.back() == formatIds.size() - 1;
    }
    for (const CellColor& color : other.colors_) {
        colorIds.push_back(colorIdFor(color));
        same = same && colorIds.back() == colorIds.size() - 1;
    }
    MakeRoom(attributes_, other.attributes_.size() - static_cast<std::size_t>(first));
    if (same) {
        attributes_.insert(attributes_.end(), other.attributes_.begin() + first,
                           other.attributes_.end());
        return;
    }
    for (auto a = other.attributes_.begin() + first; a != other.attributes_.end(); ++a) {
        attributes_.push_back(formatIds[*a & kFormatMask] |
                              (colorIds[(*a >> kColorShift) & 0xFFU] << kColorShift) |
                              (*a & kLockedBit));
    }
}

void Grid::deleteRows(int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, maxRows());
    if (first > last) return;
    if (recorder_) recorder_->rowsAboutToBeRemoved(*this, first, last);
    if (observer_) observer_->beforeRowsRemoved(first, last);
    for (int r = first; r <= last; ++r) {
        for (int c = 1; c <= maxCols_; ++c) {
            Text& cell = texts_[indexOf(c, r)];
            if (cell.tag != 0) filledInColumn_[static_cast<std::size_t>(c)] -= 1;
            releaseText(cell);
        }
    }
    const auto from = static_cast<std::ptrdiff_t>(first - 1) * maxCols_;
    const auto to = static_cast<std::ptrdiff_t>(last) * maxCols_;
    texts_.erase(texts_.begin() + from, texts_.begin() + to);
    attributes_.erase(attributes_.begin() + from, attributes_.begin() + to);
    filledInRow_.erase(filledInRow_.begin() + (first - 1), filledInRow_.begin() + last);
    maxRows_ -= last - first + 1;
    if (texts_.capacity() > 2 * texts_.size() + 1024) { // a deck much smaller than the last
        texts_.shrink_to_fit();
        attributes_.shrink_to_fit();
    }
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
    if (!contains(col, row)) return {};
    const std::uint32_t a = attributes(col, row);
    return {std::string(text(col, row)), static_cast<std::uint16_t>(a & kFormatMask),
            (a & kLockedBit) != 0, backColor(col, row)};
}

void Grid::restoreCell(int col, int row, const Cell& state) {
    if (!contains(col, row) || state.formatId >= formats_.size()) return;
    const std::uint32_t a =
        state.formatId | (colorIdFor(state.color) << kColorShift) | (state.locked ? kLockedBit : 0);
    Text& cell = texts_[indexOf(col, row)];
    if (textOf(cell) == state.value && attributes(col, row) == a) return;
    recordBefore(col, row);
    const bool wasEmpty = cell.tag == 0;
    assignText(cell, state.value);
    attributes_[indexOf(col, row)] = a;
    if (wasEmpty != state.value.empty()) countValue(col, row, state.value.empty() ? -1 : 1);
    notifyCell(col, row);
}

std::vector<Grid::Row> Grid::copyRows(int first, int last) const {
    first = std::max(first, 1);
    last = std::min(last, maxRows());
    std::vector<Row> rows;
    for (int r = first; r <= last; ++r) {
        Row& row = rows.emplace_back();
        row.reserve(static_cast<std::size_t>(maxCols_));
        for (int c = 1; c <= maxCols_; ++c)
            row.push_back(cellState(c, r));
    }
    return rows;
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
