#include "deck/RecordSets.h"
#include "deck/modChangeSpread.h"
#include "platform/RecordingPlatform.h"

#include <gtest/gtest.h>

using namespace tovan;

TEST(AddRow, GrowsAboveTheButtonRowAndKeepsTheCurrentRow) {
    DeckGrids grids;
    RecordingPlatform ui;
    grids.fpCardB1.setRow(2);
    grids.fpCardB1.setValue(1, 2, "7");
    AddRow(grids.fpCardB1, ui);
    AddRow(grids.fpCardB1, ui);
    EXPECT_EQ(grids.fpCardB1.maxRows(), 5);
    EXPECT_EQ(grids.fpCardB1.format(1, 5).caption, "Add Row");
    EXPECT_EQ(grids.fpCardB1.format(1, 4), CellFormat::Integer(1, 99));
    EXPECT_EQ(grids.fpCardB1.value(1, 2), "7");
    EXPECT_EQ(grids.fpCardB1.value(1, 3), "") << "values are not copied";
    EXPECT_EQ(grids.fpCardB1.row(), 2);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(AddRow, CAndDStayPaired) {
    DeckGrids grids;
    RecordingPlatform ui;
    for (int i = 0; i < 2; ++i) {
        AddRow(grids.fpCardC, ui);
        AddRow(grids.fpCardD, ui);
    }
    EXPECT_EQ(grids.fpCardC.maxRows(), 5);
    EXPECT_EQ(grids.fpCardD.maxRows(), 5);
}

TEST(AddRow, CopiesFormatsButNotEditLengthsAndPassesFloatLimitsThroughSingle) {
    DeckGrids grids;
    RecordingPlatform ui;
    AddRow(grids.fpCardD, ui);
    const Grid& d = grids.fpCardD;
    EXPECT_EQ(d.format(16, 3).floatMax, 100000.0);
    EXPECT_EQ(d.format(18, 3).floatMin, -10000.0);
    EXPECT_EQ(d.format(18, 3).floatMax, 10000.0);
    EXPECT_EQ(d.format(14, 3).decimals, 3);
    EXPECT_EQ(d.format(13, 3).items, DciaLevelItems());
    EXPECT_FALSE(d.locked(2, 3));
    EXPECT_TRUE(d.locked(1, 3));
    EXPECT_EQ(d.backColor(1, 3), CellColor::ButtonFace());

    AddRow(grids.fpCardC, ui);
    EXPECT_EQ(grids.fpCardC.format(7, 3).maxLength, kDefaultEditMaxLength)
        << "the 6-character limit of the template is not copied";
    EXPECT_EQ(grids.fpCardC.format(2, 3).items, PrintOptionItems());
}

TEST(AddRow, TemplateChangesReachLaterRowsOnly) {
    DeckGrids grids;
    RecordingPlatform ui;
    grids.fpCardB1.setLocked(5, 2, true);
    AddRow(grids.fpCardB1, ui);
    EXPECT_TRUE(grids.fpCardB1.locked(5, 3));
    EXPECT_EQ(grids.fpCardB1.backColor(5, 3), CellColor::Window()) << "only edit cells turn grey";
}
