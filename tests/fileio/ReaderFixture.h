// A reader with its grids, state and a recording platform, for the reading tests.
#pragma once

#include "fileio/basFileRoutines.h"
#include "fortranio/QVFortranIO.h"
#include "platform/RecordingPlatform.h"

#include <string>
#include <vector>

namespace tovan::testing {

struct Reader {
    DeckGrids grids;
    ReadingState state;
    ApplicationState app;
    RecordingPlatform ui;
    ReadingContext context{grids, state, app, ui};

    ReadOutcome read(std::string text) { return ReadDeck(context, DeckFromText(text)); }

    std::string a(int c, int r = 2) const { return grids.fpCardA.value(c, r); }
    std::string b1(int c, int r) const { return grids.fpCardB1.value(c, r); }
    std::string b2(int c, int r) const { return grids.fpCardB2.value(c, r); }
    std::string c(int c, int r) const { return grids.fpCardC.value(c, r); }
    std::string d(int c, int r) const { return grids.fpCardD.value(c, r); }
};

// Joins card lines with CR LF, as the writer does.
inline std::string Deck(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

// A card built by the writer from descriptor-value pairs.
inline std::string Card(std::initializer_list<WriteValue> pairs) {
    return FortranWrite(pairs);
}

inline std::string CardA(double option, std::string_view title = "PROJECT") {
    return Card({"A1", std::monostate{}, "I1", option, "A72", title});
}

} // namespace tovan::testing
