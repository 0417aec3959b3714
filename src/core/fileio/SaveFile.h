// Saving the grids as a deck: the save rules, fatal and warning, and the card writer.
#pragma once

#include "deck/Grid.h"
#include "deck/RecordSets.h"
#include "fileio/Findings.h"
#include "fileio/SaveLosses.h"
#include "platform/Platform.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovan {

// The outcome of one pass over the grids, before anything is written.
struct DeckText {
    bool fatal = false;    // a fatal rule stopped the pass; `text` is incomplete
    bool unusable = false; // a warning rule fired; the deck is written but flagged
    int error = 0;         // nonzero (an errno value): a card could not be built; nothing to write
    std::string text;      // every card with "\r\n", the end card "E" included
    LossReport losses;     // what reading `text` back would not give back (told as a warning)
    std::vector<Finding> findings; // every message of the pass with its cell, in order
};

// Walks the grids once in card order, applying the save rules with their messages, and
// builds the deck text. Then reads the text back and, when it differs from the grids, warns
// with the record sets, rows and columns that will not come back. Writes nothing.
// `readFrom` names the deck file the grids were read from, untouched since and read without
// any question to the user: when the text is that file byte for byte, reading it back could
// only give the same grids again, and that reading is left out. The text is compared with the
// file as it is built and held only from where it differs: `text` is empty when the deck is
// the file.
DeckText BuildDeckText(const DeckGrids& grids, Platform& platform,
                       const std::string& readFrom = {});

// One card of a record as the save writes it, with its card type: "A", "B1", "B1.2" (a last
// card carrying correction factors), "B2", "C", "D" or "D1".
struct RecordCard {
    std::string_view card;
    std::string text;
};
// The cards the save writes for one record: card A; the B1 or B2 card of a row; or, for a row
// of C or D, the catchment's C and D cards and its D1 card when it has one.
std::vector<RecordCard> RecordCards(const DeckGrids& grids, std::string_view recordSet, int row);
// The rows of the B1 storm that `row` belongs to: the run of rows with the same storm number.
std::pair<int, int> StormRows(const Grid& b1, int row);

// What SaveFile returns when a fatal rule stopped the save.
inline constexpr std::int32_t kSaveStoppedByRule = -1;

// Why a save failed, for the detail beside "Error saving file.": nothing after a fatal rule
// (its own message has said why), otherwise the file and the system's reason.
std::string SaveFailureDetail(std::int32_t result, const std::string& path);

// How many message boxes one save shows at most. A deck with a fault in every row would
// otherwise show a box per row; the last box allowed says how many more there are and where
// they are all listed. A count of 0 shows every box.
struct SaveBoxLimit {
    std::size_t count = 10;
    std::string_view listedBy = "View > Check Deck";
};

// The last box allowed: its own text, then how many boxes were left out and where to see them.
std::string LastBoxText(std::string_view text, std::size_t leftOut, std::string_view listedBy);

// Writes the grids to `path`: 0 when written (even when unusable), -1 when a fatal rule
// stopped the save (nothing is written), or an error number (an errno value) when writing
// failed (the previous file is left as it was). The rules' boxes come in their order, up to
// the limit, after the write.
std::int32_t SaveFile(const DeckGrids& grids, const std::string& path, Platform& platform,
                      const SaveBoxLimit& limit = {});

// How GetCellValue reads a cell. The save pass reads every cell as Generic, except the project
// title, which it reads as Text.
enum class CellReadKind {
    Generic, // an empty text is the empty value
    Text,    // the cell's text as it is, empty or not
};

// The value of one cell: its text, or nothing for the empty value. Reading never moves the
// grid's current cell. The view points into the grid and lives until the grid next changes.
std::optional<std::string_view> GetCellValue(const Grid& grid, int col, int row,
                                             CellReadKind kind = CellReadKind::Generic);

} // namespace tovan
