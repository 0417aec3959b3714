// The application-wide flags that several parts of the program share, kept in one place.
#pragma once

namespace tovan {

struct ApplicationState {
    // A record set has been read or created; the editor enables its buttons from these.
    bool EnableA = false;
    bool EnableB1 = false;
    bool EnableB2 = false;
    bool EnableC = false;
    bool EnableD = false;
    // The grids hold edits that are not saved: the editor's own flag, with its own rule. Every
    // user change sets it; an undo or redo sets it to whether the history left the saved step;
    // it is cleared only when the close's "Do you Want to save?" or Run This Deck's question is
    // answered Yes, never by File > Save itself. Whether the grids differ from their file is
    // the session's to say (differsFromFile), from the history.
    bool DeckChanged = false;
    // The editor form may be unloaded without being refused.
    bool CloseAllowed = false;
};

} // namespace tovan
