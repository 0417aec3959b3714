#include "deck/FieldHelp.h"

#include "deck/RecordSets.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace tovan;

// Every cell a user can fill has its help and a place in the deck, and every help entry belongs
// to such a cell, so that a column added to a grid or a card cannot go without words.
TEST(FieldHelp, EveryEditableColumnHasHelpAndADeckPlace) {
    const DeckGrids grids;
    const std::pair<const char*, const Grid*> sets[] = {{"A", &grids.fpCardA},
                                                        {"B1", &grids.fpCardB1},
                                                        {"B2", &grids.fpCardB2},
                                                        {"C", &grids.fpCardC},
                                                        {"D", &grids.fpCardD}};
    std::size_t columnsWithHelp = 0;
    for (const auto& [set, grid] : sets) {
        for (int col = 1; col <= grid->maxCols(); ++col) {
            const bool editable = !grid->locked(col, kTemplateRow);
            const FieldHelp* help = FindFieldHelp(set, col);
            EXPECT_EQ(help != nullptr, editable) << set << " column " << col;
            if (!help) continue;
            ++columnsWithHelp;
            EXPECT_FALSE(help->description.empty() || help->engine.empty()) << set << col;
            EXPECT_FALSE(DeckSpansOf(set, col).empty()) << set << " column " << col;
        }
    }
    std::size_t columnsInTable = 0;
    for (const FieldHelp& help : FieldHelpTable())
        columnsInTable += static_cast<std::size_t>(help.lastCol - help.firstCol + 1);
    EXPECT_EQ(columnsInTable, columnsWithHelp) << "no entry overlaps another";
    // Spot checks of the derived words: the card columns, the list and the engine's range.
    const std::string slope = FieldHelpText("D", col::kDSlope);
    EXPECT_NE(slope.find("card D, columns 21-25, F5.4"), std::string::npos) << slope;
    EXPECT_NE(slope.find("usual 0.001 to 0.2 ft/ft"), std::string::npos) << slope;
    EXPECT_NE(FieldHelpText("B1", 21).find("card B1.2, columns 69-72"), std::string::npos);
    EXPECT_NE(FieldHelpText("C", col::kCPrint).find("card C, column 2, I1"), std::string::npos);
    EXPECT_NE(FieldHelpText("D", col::kDWqcv).find("card D1, columns 31-35"), std::string::npos);
}

// The user's reference in docs/ is the table's own output.
TEST(FieldHelp, CheckedInReferenceIsTheGeneratedOne) {
    std::ifstream in(TOVAN_TEST_DATA "/../../docs/deck-reference.md", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), DeckReferenceMarkdown())
        << "regenerate it: tovandeck reference > docs/deck-reference.md";
}
