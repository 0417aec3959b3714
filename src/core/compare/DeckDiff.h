// Two decks cell by cell: catchments matched by identification, then the rest by position;
// storms by number; every differing field named as the grids show it.
#pragma once

#include "deck/RecordSets.h"

#include <string>
#include <vector>

namespace tovan {

struct CellDifference {
    std::string recordSet;  // "A", "B1", "B2", "C" or "D"
    int rowA = 0, rowB = 0; // grid rows on each side; 0 where the record is on the other only
    int col = 0;            // 0 for a whole record on one side only
    std::string catchment;  // the catchment identification of a C or D record
    std::string field;      // the field's label, or "(whole catchment)" / "(whole storm)"
    std::string valueA, valueB;
};

std::vector<CellDifference> DiffDecks(const DeckGrids& a, const DeckGrids& b);

// CSV with a header row: record_set,record_a,record_b,catchment,field,value_a,value_b; the
// records numbered as the grids' row headers number them.
std::string DifferencesCsv(const std::vector<CellDifference>& differences);

} // namespace tovan
