#include "fileio/basFileRoutines.h"

#include <exception>

namespace tovan {

namespace {

// Cuts a record grid back to its labels, its template row 2 (values kept) and its button row.
void CutBackToTemplate(Grid& grid) {
    if (grid.maxRows() > 3) grid.deleteRows(3, grid.maxRows() - 1);
    grid.setMaxRows(3);
}

} // namespace

void Initialize(ReadingContext& context) {
    try {
        ReadingState& state = context.state;
        state.DeckFileName.clear();
        state.CardLine.clear();
        state.GridCol = 0;
        state.GridRow = 0;
        state.StormCardCount = 0;
        CutBackToTemplate(context.grids.fpCardB1);
        CutBackToTemplate(context.grids.fpCardC);
        CutBackToTemplate(context.grids.fpCardD);
        state.deck.reset();
    } catch (const std::exception& error) {
        context.platform.showMessage(error.what(), MessageIcon::Exclamation, "Initialize Error!");
    }
}

FieldList ReplaceNulls(FieldList values, const FieldValue& forNull, const FieldValue& forEmpty) {
    for (FieldValue& value : values) {
        if (value.isNull()) {
            value = forNull;
        } else if (value.isEmpty()) {
            value = forEmpty;
        }
    }
    return values;
}

} // namespace tovan
