#include "fileio/basFileRoutines.h"

#include <algorithm>
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
        state.unread.clear();
        CutBackToTemplate(context.grids.fpCardB1);
        CutBackToTemplate(context.grids.fpCardC);
        CutBackToTemplate(context.grids.fpCardD);
        state.deck.reset();
    } catch (const std::exception& error) {
        context.platform.showMessage(error.what(), MessageIcon::Exclamation, "Initialize Error!");
    }
}

std::vector<Finding> UnreadFindings(const ReadingState& state) {
    std::vector<const UnreadField*> inFileOrder;
    for (const UnreadField& field : state.unread)
        inFileOrder.push_back(&field);
    std::stable_sort(inFileOrder.begin(), inFileOrder.end(), [](auto* a, auto* b) {
        return std::pair(a->line, a->firstColumn) < std::pair(b->line, b->firstColumn);
    });
    std::vector<Finding> findings;
    findings.reserve(state.unread.size());
    for (const UnreadField* each : inFileOrder) {
        const UnreadField& field = *each;
        findings.push_back({FindingClass::Loss, field.place,
                            "line " + std::to_string(field.line) + ", columns " +
                                std::to_string(field.firstColumn) + " to " +
                                std::to_string(field.lastColumn) + ": " + field.why});
    }
    return findings;
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
