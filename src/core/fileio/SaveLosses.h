// What a saved deck cannot give back. The deck's fixed columns hold less than the grids can: a
// number too wide for its field becomes asterisks, a text is cut to its field, a catchment whose
// D card is blank vanishes on reading. Before a save writes anything, its text is read back the
// way File > Open reads it and compared with the grids, cell by cell, so that every difference
// is told to the user by record set, row and column instead of surfacing on the next open.
//
// Differences that are only a change of form are not losses (docs/saving.md lists them):
// trailing blanks of a text field, leading blanks of the catchment description, a number's
// written form ("1.0" reads back as "1", ".250" as "0.25"), zero in a field whose reader shows
// zero as an empty cell, and an empty list cell written as its first item.
#pragma once

#include "deck/RecordSets.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tovan {

struct SaveLoss {
    std::string recordSet; // "A", "B1", "B2", "C" or "D"
    int row = 0;           // grid row, as the editor numbers it (labels are row 1)
    int col = 0;           // grid column; 0 when the whole row or record set is meant
    std::string original;  // what the grids hold
    std::string readBack;  // what reading the saved deck gives
    std::string reason;    // why, in a few words
};

struct LossReport {
    std::vector<SaveLoss> named;  // the losses told one by one, structural ones first
    std::size_t unnamedCount = 0; // further differing cells, only counted
    bool empty() const { return named.empty() && unnamedCount == 0; }
};

// Compares `grids` with what reading `deckText` (the save pass's text) gives back.
// `readsBackAsRead`: the caller knows that reading `deckText` gives `grids` (it is the file they
// were read from); only the losses that the grids themselves show are looked for.
LossReport FindSaveLosses(const DeckGrids& grids, const std::string& deckText,
                          bool readsBackAsRead = false);

// The text of the warning box: one line per named loss, and the count of the rest.
std::string DescribeLosses(const LossReport& report);

// One loss in words, without its place: "\"35.31\" becomes an empty cell; the number is ...".
std::string DescribeLoss(const SaveLoss& loss);

} // namespace tovan
