// Saving the grids as a deck: the save rules, fatal and warning, and the card writer.
#pragma once

#include "deck/RecordSets.h"
#include "platform/Platform.h"

#include <cstdint>
#include <string>

namespace tovan {

// The outcome of one pass over the grids, before anything is written.
struct DeckText {
    bool fatal = false;    // a fatal rule stopped the pass; `text` is incomplete
    bool unusable = false; // a warning rule fired; the deck is written but flagged
    std::string text;      // every card with "\r\n", the end card "E" included
};

// Walks the grids once in card order, applying the save rules with their messages, and
// builds the deck text. Writes nothing.
DeckText BuildDeckText(const DeckGrids& grids, Platform& platform);

// Writes the grids to `path`: 0 when written (even when unusable), -1 when a fatal rule
// stopped the save (nothing is written), or an error number when writing failed (the
// previous file is left as it was).
std::int32_t SaveFile(const DeckGrids& grids, const std::string& path, Platform& platform);

} // namespace tovan
