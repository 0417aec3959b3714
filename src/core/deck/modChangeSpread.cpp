#include "deck/modChangeSpread.h"

#include "deck/RecordSets.h"

#include <exception>

namespace tovan {

namespace {

double ThroughSingle(double value) {
    return static_cast<double>(static_cast<float>(value));
}

CellFormat NewRowFormat(const CellFormat& templateFormat) {
    CellFormat format;
    format.type = templateFormat.type;
    format.horizontal = templateFormat.horizontal;
    format.vertical = templateFormat.vertical;
    switch (templateFormat.type) {
    case CellType::Float:
        format.floatMin = ThroughSingle(templateFormat.floatMin);
        format.floatMax = ThroughSingle(templateFormat.floatMax);
        format.decimals = templateFormat.decimals;
        break;
    case CellType::Integer:
        format.integerMin = templateFormat.integerMin;
        format.integerMax = templateFormat.integerMax;
        break;
    case CellType::ComboBox:
        format.items = templateFormat.items;
        format.comboEditable = templateFormat.comboEditable;
        format.comboMaxDrop = templateFormat.comboMaxDrop;
        break;
    default:
        break;
    }
    return format;
}

// A locked template cell stays locked in the new row, and a locked edit cell is greyed.
Grid::CellLook NewRowLook(const CellFormat& templateFormat, bool templateLocked) {
    Grid::CellLook look{NewRowFormat(templateFormat), templateLocked, std::nullopt};
    if (templateLocked && templateFormat.type == CellType::Edit)
        look.color = CellColor::ButtonFace();
    return look;
}

} // namespace

void AddRow(Grid& grid, Platform& platform) {
    const int rememberedRow = grid.row();
    try {
        const int buttonRow = grid.maxRows();
        grid.setRow(buttonRow);
        grid.insertRows(buttonRow, 1);
        grid.setRowLook(buttonRow, kTemplateRow, NewRowLook);
    } catch (const std::exception& error) {
        platform.showMessage(error.what(), MessageIcon::Exclamation, "AddRow Error!");
    }
    grid.setRow(rememberedRow);
}

void InsertRecordRow(Grid& grid, int row) {
    const int rememberedRow = grid.row();
    grid.insertRows(row, 1);
    // The template row's look; the template row itself moved down when the row went above it.
    grid.setRowLook(row, row == kTemplateRow ? kTemplateRow + 1 : kTemplateRow, NewRowLook);
    grid.setRow(rememberedRow);
}

namespace {

bool RowHoldsValue(const Grid& grid, int row) {
    for (int col = 1; col <= grid.maxCols(); ++col)
        if (!grid.text(col, row).empty()) return true;
    return false;
}

void CopyRowValues(Grid& grid, int from, int to) {
    for (int col = 1; col <= grid.maxCols(); ++col)
        grid.setValue(col, to, grid.value(col, from));
}

} // namespace

bool MoveValuesDown(Grid& grid, int row) {
    const int last = grid.maxRows();
    if (RowHoldsValue(grid, last)) return false;
    for (int to = last; to > row; --to)
        CopyRowValues(grid, to - 1, to);
    grid.clearBlock(1, row, grid.maxCols(), row);
    return true;
}

void MoveValuesUp(Grid& grid, int row) {
    const int last = grid.maxRows();
    for (int to = row; to < last; ++to)
        CopyRowValues(grid, to + 1, to);
    grid.clearBlock(1, last, grid.maxCols(), last);
}

} // namespace tovan
