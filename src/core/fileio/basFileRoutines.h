// Reading a deck into the five record-set grids: the shared reading state, the card readers
// and the open command. The readers write field values straight into grid cells; a broken
// card stops reading through ReadFailed.
#pragma once

#include "deck/ApplicationState.h"
#include "deck/RecordSets.h"
#include "fileio/DeckSource.h"
#include "fileio/Findings.h"
#include "fortranio/FieldValue.h"
#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tovan {

// A field of the file that the grids did not take, and why.
struct UnreadField {
    CellPlace place; // where it would have gone
    int line = 0;    // in the deck
    long firstColumn = 0, lastColumn = 0;
    std::string why;
};

// What the readers share while a deck is read.
struct ReadingState {
    std::string DeckFileName; // full path of the deck being read; empty when none
    std::string CardLine;     // the card line read last
    int GridCol = 0;          // grid column the reader writes next
    int GridRow = 0;          // grid row the reader writes next
    std::int16_t StormCardCount = 0;
    bool ReadFailed = false;
    std::unique_ptr<DeckSource> deck; // the open deck file, if any
    int linesRead = 0;                // the line number of CardLine, for the messages' detail
    FieldList fields;                 // the fields of CardLine, reused from card to card
    std::string cellText;             // the text of the field last put, when it was made
    int catchmentsReadAhead = 0;      // of those read, how many another thread read
    bool cardARejected = false;       // card A was blank or held an impossible option
    // What the file held that the grids did not take: a field that is not a number (its cell
    // is left empty) and a storm's depths after the first empty one.
    std::vector<UnreadField> unread;
    // From how many bytes of catchment cards their second half is read on another thread.
    std::size_t readAheadFromBytes = 256 * 1024;
};

// Everything a reader works on: the grids, the shared state, the application flags and the
// platform for its messages.
struct ReadingContext {
    DeckGrids& grids;
    ReadingState& state;
    ApplicationState& app;
    Platform& platform;
};

// The fields the reading did not take, as findings of class Loss: "line 3, columns 15 to 18:
// \"****\" is not a number; the cell is left empty".
std::vector<Finding> UnreadFindings(const ReadingState& state);

// Resets the reading state, cuts fpCardB1, fpCardC and fpCardD back to three rows (keeping
// row 2 and the button row), and closes the deck file.
void Initialize(ReadingContext& context);

// A copy of `values` with null elements replaced by `forNull` and empty ones by `forEmpty`.
FieldList ReplaceNulls(FieldList values, const FieldValue& forNull, const FieldValue& forEmpty);

// The card readers, in the order the open command calls them.
void CardAB(ReadingContext& context);
void HyetoInput(ReadingContext& context);
void Card_C(ReadingContext& context);
void Card_D1(ReadingContext& context);

// Reads the deck at `path` (already chosen) through CardAB and Card_C with the outcome rules
// of the open command, without the dialog. Used by OpenFile and by the command-line tool.
// CardARejected is the CardAB failure that said "Error on File, Check file for correct format";
// NoneChosen comes only from OpenFile, when its dialog was cancelled.
enum class ReadOutcome { Read, CardARejected, CardABFailed, CardCFailed, CannotOpen, NoneChosen };
// `reason` receives why a file could not be opened.
ReadOutcome ReadDeckFile(ReadingContext& context, const std::string& path,
                         std::string* reason = nullptr);
// The same for a deck that is already open (or held in memory).
ReadOutcome ReadDeck(ReadingContext& context, std::unique_ptr<DeckSource> deck);

// What the open command leaves to the windows around the grids. The core reads and says; the
// desktop program shows, in this order: the File menu's Create New and Open again, the editor,
// card A's size, then the editor's activation. The command-line tool ignores it.
enum class EditorAfterOpen {
    Untouched,     // no deck was read: cancelled, or the file could not be opened
    AskedToUnload, // refused while CloseAllowed is clear: stays loaded and hidden
    Hidden,        // its grids keep what was read
    Shown,
};
struct OpenFileResult {
    ReadOutcome outcome = ReadOutcome::NoneChosen;
    EditorAfterOpen editor = EditorAfterOpen::Untouched;
    bool fileMenuItemsShownAgain = false; // mnuFileCreate and mnuFileOpen, hidden at the start
    bool smallCardA = false;              // the one-hour-depth option's card A grid
    bool operator==(const OpenFileResult&) const = default;
};
// The size of that grid, in twips.
inline constexpr int kSmallCardAWidthTwips = 6855;
inline constexpr int kSmallCardAHeightTwips = 1455;

// The folder part of a path, keeping its final separator; "" for a bare file name. The file
// dialogs remember it as the folder to start in.
std::string FolderOf(const std::string& path);

// The open command: Initialize, the open dialog ("Open Files"), the remembered folder, the
// readers and the outcome table. The caller hides mnuFileCreate and mnuFileOpen before it.
OpenFileResult OpenFile(ReadingContext& context);

} // namespace tovan
