// Every finding of a deck at once, by place, for lists: what the save would report (its rules up
// to the first fatal one, and what the deck cannot hold) and every input the engine would
// question, judged by the engine's own range table.
#pragma once

#include "deck/RecordSets.h"
#include "fileio/Findings.h"

#include <string>
#include <vector>

namespace tovan {

// The engine's ranges are judged on a second thread beside the save pass, which takes most of
// the time; the list is the save's findings, then the ranges'.
std::vector<Finding> ListFindings(const DeckGrids& grids);

// Where a finding is, in the words the grids show: "Record set D, record 2, column 5 (Catchment
// Imperviousness (Percent):), catchment WEST"; the record is the number of the grid's row
// header, and a C or D place names its catchment. Empty for the deck as a whole.
std::string PlaceText(const DeckGrids& grids, const CellPlace& place);

// The inputs of the grids that the engine would note or refuse, in record-set and row order.
std::vector<Finding> CheckInputRanges(const DeckGrids& grids);

} // namespace tovan
