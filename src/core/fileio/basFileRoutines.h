// Reading a deck into the five record-set grids: the shared reading state, the card readers
// and the open command. The readers write field values straight into grid cells; a broken
// card stops reading through ReadFailed.
#pragma once

#include "deck/ApplicationState.h"
#include "deck/RecordSets.h"
#include "fileio/DeckSource.h"
#include "fortranio/FieldValue.h"
#include "platform/Platform.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tovan {

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

// What the open command does to the windows around the grids. The desktop application
// implements it with its main window and editor form; the command-line tool ignores it.
class OpenFileHost {
  public:
    virtual ~OpenFileHost() = default;
    virtual void setFileMenuItemsVisible(bool visible) = 0; // mnuFileCreate and mnuFileOpen
    virtual void loadEditor() = 0;                          // load frmInput without showing it
    virtual void requestEditorUnload() = 0;                 // refused while CloseAllowed is clear
    virtual void hideEditor() = 0;
    virtual void showEditor() = 0;
    virtual void setCardASize(int widthTwips, int heightTwips) = 0;
    virtual void forceFormActivate() = 0;
};

// Does nothing; for callers without windows.
class NoWindowsHost : public OpenFileHost {
  public:
    void setFileMenuItemsVisible(bool) override {}
    void loadEditor() override {}
    void requestEditorUnload() override {}
    void hideEditor() override {}
    void showEditor() override {}
    void setCardASize(int, int) override {}
    void forceFormActivate() override {}
};

// Resets the reading state, cuts fpCardB1, fpCardC and fpCardD back to three rows (keeping
// row 2 and the button row), and closes the deck file.
void Initialize(ReadingContext& context);

// A copy of `values` with null elements replaced by `forNull` and empty ones by `forEmpty`.
FieldList ReplaceNulls(FieldList values, const FieldValue& forNull, const FieldValue& forEmpty);

// The card readers, in the order the open command calls them.
void CardAB(ReadingContext& context, OpenFileHost& host);
void HyetoInput(ReadingContext& context);
void Card_C(ReadingContext& context);
void Card_D1(ReadingContext& context);

// Reads the deck at `path` (already chosen) through CardAB and Card_C with the outcome rules
// of the open command, without the dialog. Used by OpenFile and by the command-line tool.
enum class ReadOutcome { Read, CardABFailed, CardCFailed, CannotOpen };
// `reason` receives why a file could not be opened.
ReadOutcome ReadDeckFile(ReadingContext& context, OpenFileHost& host, const std::string& path,
                         std::string* reason = nullptr);
// The same for a deck that is already open (or held in memory).
ReadOutcome ReadDeck(ReadingContext& context, OpenFileHost& host, std::unique_ptr<DeckSource> deck);

// The folder part of a path, keeping its final separator; "" for a bare file name. The file
// dialogs remember it as the folder to start in.
std::string FolderOf(const std::string& path);

// The open command: Initialize, the open dialog ("Open Files"), the remembered folder, the
// readers and the outcome table.
void OpenFile(ReadingContext& context, OpenFileHost& host);

} // namespace tovan
