#include "fileio/GridJson.h"

#include "deck/modChangeSpread.h"
#include "fileio/Latin1.h"
#include "fortranio/FieldValue.h"

#include <algorithm>
#include <cmath>

namespace tovan {

namespace {

using nlohmann::json;

struct GridEntry {
    const char* key;
    Grid DeckGrids::*grid;
    bool hasButtonRow;
    int maxRecordRows; // 0: as many as wanted
};

constexpr GridEntry kGrids[] = {
    {"A", &DeckGrids::fpCardA, false, 1},
    {"B1", &DeckGrids::fpCardB1, true, 0},
    {"B2", &DeckGrids::fpCardB2, false, kB2StormRows},
    {"C", &DeckGrids::fpCardC, true, 0},
    {"D", &DeckGrids::fpCardD, true, 0},
};

json GridToJson(const Grid& grid) {
    json rows = json::array();
    for (int r = 1; r <= grid.maxRows(); ++r) {
        json row = json::array();
        for (int c = 1; c <= grid.maxCols(); ++c)
            row.push_back(Latin1ToUtf8(grid.value(c, r)));
        rows.push_back(std::move(row));
    }
    return {{"maxCols", grid.maxCols()}, {"maxRows", grid.maxRows()}, {"rows", std::move(rows)}};
}

std::string Where(const char* key, std::size_t row, std::size_t col) {
    return std::string("grid ") + key + ", row " + std::to_string(row + 1) + ", column " +
           std::to_string(col + 1);
}

// Far beyond every field of the deck, yet exact in a double: a larger number in a grids file is
// a mistake of the script that wrote it, not a value to save as asterisks.
constexpr double kLargestNumber = 1e15;

std::optional<std::string> NumberCellOf(const json& cell, std::string& error,
                                        const std::string& where) {
    const double number = cell.get<double>();
    if (!std::isfinite(number) || std::fabs(number) >= kLargestNumber) {
        error =
            where + ": the number " + cell.dump() + " is out of range (at most 1e15 either way)";
        return std::nullopt;
    }
    if (cell.is_number_unsigned()) return std::to_string(cell.get<unsigned long long>());
    if (cell.is_number_integer()) return std::to_string(cell.get<long long>());
    return ShortestText(number);
}

bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

// A cell of the document as Latin-1 text; numbers are welcome from scripts. A line break in a
// cell would split its card in two, so control characters are refused here, where they enter.
std::optional<std::string> CellOf(const json& cell, std::string& error, const std::string& where) {
    if (cell.is_null()) return std::string();
    if (cell.is_number()) return NumberCellOf(cell, error, where);
    if (!cell.is_string()) {
        error = where + ": a cell must be a text, a number or null";
        return std::nullopt;
    }
    auto text = Utf8ToLatin1(cell.get<std::string>());
    if (!text) error = where + ": the text has a character outside Latin-1";
    if (text && HasControlCharacter(*text)) {
        error = where + ": the text holds a line break, tab or other control character";
        return std::nullopt;
    }
    return text;
}

// A list cell holds the index of one of its items, as the desktop's list editor stores it; a
// rainfall option of 2 or more would otherwise reach the save as "no method chosen".
bool IsListItem(const CellFormat& format, const std::string& text) {
    if (format.type != CellType::ComboBox) return true;
    const auto items = static_cast<long long>(format.items.size());
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           text.size() < 10 && std::stoll(text) < items;
}

// Row 1 may repeat the labels or be left empty; anything else would be lost, so it is refused.
std::optional<std::string> CheckLabelRow(const GridEntry& entry, const json& row,
                                         const Grid& grid) {
    for (std::size_t c = 0; c < row.size(); ++c) {
        std::string error;
        const auto text = CellOf(row[c], error, Where(entry.key, 0, c));
        if (!text) return error;
        if (!text->empty() && *text != grid.value(static_cast<int>(c) + 1, kLabelRow)) {
            return Where(entry.key, 0, c) + ": a value in the label row";
        }
    }
    return std::nullopt;
}

bool HoldsNoValue(const json& row) {
    for (const json& cell : row) {
        if (!cell.is_null() && !(cell.is_string() && cell.get<std::string>().empty())) return false;
    }
    return true;
}

std::optional<std::string> CheckShape(const GridEntry& entry, const json& rows, int maxCols) {
    if (!rows.is_array()) return std::string("grid ") + entry.key + ": \"rows\" must be a list";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (!rows[r].is_array()) return Where(entry.key, r, 0) + ": a row must be a list";
        if (rows[r].size() > static_cast<std::size_t>(maxCols)) {
            return Where(entry.key, r, static_cast<std::size_t>(maxCols)) +
                   ": more columns than the grid has (" + std::to_string(maxCols) + ")";
        }
    }
    return std::nullopt;
}

// The rows of the document that hold records: after the labels, before any button row.
std::pair<std::size_t, std::size_t> RecordRange(const GridEntry& entry, const json& rows) {
    std::size_t end = rows.size();
    if (entry.hasButtonRow && end >= 2) --end;
    return {1, std::max<std::size_t>(end, 1)};
}

std::optional<std::string> LoadGrid(const GridEntry& entry, const json& rows, DeckGrids& grids,
                                    Platform& platform) {
    Grid& grid = grids.*entry.grid;
    if (auto error = CheckShape(entry, rows, grid.maxCols())) return error;
    if (!rows.empty()) {
        if (auto error = CheckLabelRow(entry, rows[0], grid)) return error;
    }
    const auto [first, end] = RecordRange(entry, rows);
    if (entry.hasButtonRow && rows.size() >= 2 && !HoldsNoValue(rows.back())) {
        return Where(entry.key, rows.size() - 1, 0) + ": a value in the button row";
    }
    const std::size_t records = end - first;
    if (entry.maxRecordRows > 0 && records > static_cast<std::size_t>(entry.maxRecordRows)) {
        return std::string("grid ") + entry.key + ": " + std::to_string(records) +
               " record rows, but the grid holds " + std::to_string(entry.maxRecordRows);
    }
    for (std::size_t r = first; r < end; ++r) {
        const int row = static_cast<int>(r) + 1;
        while (entry.hasButtonRow && grid.maxRows() - 1 < row)
            AddRow(grid, platform);
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            std::string error;
            const auto text = CellOf(rows[r][c], error, Where(entry.key, r, c));
            if (!text) return error;
            const int col = static_cast<int>(c) + 1;
            if (!text->empty() && grid.locked(col, row)) {
                return Where(entry.key, r, c) + ": a value in a cell that holds no field";
            }
            if (!text->empty() && !IsListItem(grid.format(col, row), *text)) {
                return Where(entry.key, r, c) + ": not the index of an item of the cell's list";
            }
            grid.setValue(col, row, *text);
        }
    }
    return std::nullopt;
}

// C and D describe the same catchments row by row, so they keep the same row count.
void PairCAndD(DeckGrids& grids, Platform& platform) {
    while (grids.fpCardC.maxRows() < grids.fpCardD.maxRows())
        AddRow(grids.fpCardC, platform);
    while (grids.fpCardD.maxRows() < grids.fpCardC.maxRows())
        AddRow(grids.fpCardD, platform);
}

} // namespace

json GridsToJson(const DeckGrids& grids, bool readFailed) {
    json document = json::object();
    for (const GridEntry& entry : kGrids)
        document[entry.key] = GridToJson(grids.*entry.grid);
    document["readFailed"] = readFailed;
    return document;
}

std::optional<std::string> GridsFromJson(const json& document, DeckGrids& grids,
                                         Platform& platform) {
    if (!document.is_object()) return std::string("the document must be a JSON object");
    const GridObserverPause a(grids.fpCardA), b1(grids.fpCardB1), b2(grids.fpCardB2),
        c(grids.fpCardC), d(grids.fpCardD); // a view follows one reset, not every row
    for (const GridEntry& entry : kGrids) {
        const auto found = document.find(entry.key);
        if (found == document.end()) continue; // a grid left out stays empty
        if (!found->is_object() || !found->contains("rows")) {
            return std::string("grid ") + entry.key + ": expected an object with \"rows\"";
        }
        if (auto error = LoadGrid(entry, found->at("rows"), grids, platform)) return error;
    }
    PairCAndD(grids, platform);
    return std::nullopt;
}

} // namespace tovan
