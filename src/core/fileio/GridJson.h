// The five grids as JSON, the exchange format of "tovandeck dump" and "tovandeck save" and
// the format of the desktop's recovery file:
// {"A": {"maxCols": n, "maxRows": m, "rows": [[cell, ...], ...]}, "B1": ..., "B2": ...,
//  "C": ..., "D": ..., "readFailed": false}
// Every row from 1 to maxRows and every column from 1 to maxCols, as cell texts (UTF-8).
#pragma once

#include "deck/RecordSets.h"
#include "platform/Platform.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace tovan {

nlohmann::json GridsToJson(const DeckGrids& grids, bool readFailed);

// Fills fresh grids from a document in the same format. Row 1 (labels, or left empty) and the
// button rows are not taken; record rows are taken in order, with rows added as needed.
// Returns what does not fit, naming the grid, row and column, or nothing when all fitted.
std::optional<std::string> GridsFromJson(const nlohmann::json& document, DeckGrids& grids,
                                         Platform& platform);

} // namespace tovan
