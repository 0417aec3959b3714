// A deck read and saved by the commands as the desktop program's File > Open and Save do.
#pragma once

#include "cli/ConsolePlatform.h"
#include "deck/ApplicationState.h"
#include "deck/RecordSets.h"
#include "fileio/basFileRoutines.h"

#include <string_view>

namespace tovan::cli {

// The deck read as File > Open reads it, with everything a reader needs.
struct OpenedDeck {
    DeckGrids grids;
    ReadingState state;
    ApplicationState app;
    ReadOutcome outcome = ReadOutcome::CannotOpen;
};

// False, with the reason on standard error, when the file cannot be opened.
bool ReadInto(OpenedDeck& deck, std::string_view path, Platform& platform);
// What the reading did not take from the file, as messages before the save rules' own.
void TellUnread(const OpenedDeck& deck, Platform& platform);
// Saves as File > Save does; the exit status of 'format'.
int SaveAs(const DeckGrids& grids, std::string_view out, ConsolePlatform& platform, bool all);

} // namespace tovan::cli
