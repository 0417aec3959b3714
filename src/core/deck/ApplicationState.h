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
    // The grids hold edits that are not saved.
    bool DeckChanged = false;
    // The editor form may be unloaded without being refused.
    bool CloseAllowed = false;
};

} // namespace tovan
