// What checking a deck finds, located by cell: the save rules' messages, the values a deck
// cannot hold, and the inputs the engine would question. The save shows them as message boxes
// in its own order; `tovandeck check --list` and the editor list them by place.
#pragma once

#include <string>
#include <vector>

namespace tovan {

// A cell of a record-set grid. Row and column are the grid's, labels in row 1; a column of 0
// means the whole row.
struct CellPlace {
    std::string recordSet; // "A", "B1", "B2", "C" or "D"; empty for the deck as a whole
    int row = 0;
    int col = 0;
    friend bool operator==(const CellPlace&, const CellPlace&) = default;
};

enum class FindingClass {
    Fatal,         // a save rule that stops the save
    Warning,       // a save rule that marks the deck as unusable by the engine
    Loss,          // the deck cannot hold the value: reading it back gives something else
    EngineProblem, // the engine will not compute what this value belongs to
    EngineNote,    // the engine uses the value as given, with a note
};

struct Finding {
    FindingClass kind;
    CellPlace place;
    std::string text;
};

// "fatal", "warning", "loss", "problem", "note".
const char* ClassName(FindingClass kind);

} // namespace tovan
