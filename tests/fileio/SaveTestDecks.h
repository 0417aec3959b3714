// Small decks for the save tests, filled through the grids as the editor would fill them.
#pragma once

#include "deck/RecordSets.h"
#include "deck/modChangeSpread.h"
#include "platform/RecordingPlatform.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace tovan::testing {

using Cells = std::initializer_list<std::pair<int, const char*>>;

inline void SetRow(Grid& grid, int row, Cells cells) {
    for (const auto& [col, text] : cells)
        grid.setValue(col, row, text);
}

// A record row `row` (2 and on) of a grid with a button row, adding rows as needed.
inline void SetRecord(Grid& grid, int row, Cells cells) {
    RecordingPlatform ui;
    while (grid.maxRows() - 1 < row)
        AddRow(grid, ui);
    SetRow(grid, row, cells);
}

inline const Cells kValidC = {{2, "0"},   {3, "0"},    {4, "1"}, {5, "1"},
                              {6, "0.1"}, {7, "CAT1"}, {8, "1"}, {9, "Desc"}};
inline const Cells kValidD = {{2, "1.5"}, {3, "2"},   {4, "1"},  {5, "50"},      {6, "0.01"},
                              {8, "0.3"}, {9, "0.1"}, {10, "3"}, {11, "0.0018"}, {12, "0.5"}};

inline void AddCatchment(DeckGrids& grids, int row) {
    SetRecord(grids.fpCardC, row, kValidC);
    SetRecord(grids.fpCardD, row, kValidD);
}

// Option 2 (one-hour depth), a title, one storm and one catchment: breaks no rule.
inline DeckGrids ValidB2Deck() {
    DeckGrids grids;
    SetRow(grids.fpCardA, 2, {{1, "1"}, {2, "Test"}});
    SetRow(grids.fpCardB2, 2, {{1, "1"}, {2, "100-year"}, {3, "4"}, {4, "2.6"}});
    AddCatchment(grids, 2);
    return grids;
}

// Option 1 (detailed hyetograph) with no B1 rows filled yet.
inline DeckGrids HyetographDeck() {
    DeckGrids grids = ValidB2Deck();
    grids.fpCardA.setValue(1, 2, "0");
    return grids;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) return lines; // a line without its CR LF is not counted
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

inline std::string Padded(std::string card) {
    card.resize(80, ' ');
    return card;
}

} // namespace tovan::testing
