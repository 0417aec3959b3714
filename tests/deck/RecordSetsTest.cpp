#include "deck/RecordSets.h"

#include <gtest/gtest.h>

using namespace tovan;

TEST(RecordSets, FreshDocumentSizes) {
    const DeckGrids grids;
    struct Size {
        const Grid& grid;
        int cols, rows;
    };
    for (const Size& s :
         {Size{grids.fpCardA, 2, 2}, Size{grids.fpCardB2, 8, 101}, Size{grids.fpCardB1, 23, 3},
          Size{grids.fpCardC, 9, 3}, Size{grids.fpCardD, 25, 3}}) {
        EXPECT_EQ(s.grid.maxCols(), s.cols) << s.grid.name();
        EXPECT_EQ(s.grid.maxRows(), s.rows) << s.grid.name();
        EXPECT_EQ(s.grid.dataRowCnt(), 1) << s.grid.name() << ": only labels hold values";
        for (int c = 1; c <= s.grid.maxCols(); ++c) {
            EXPECT_TRUE(s.grid.locked(c, 1));
            EXPECT_EQ(s.grid.cellType(c, 1), CellType::Label);
            EXPECT_FALSE(s.grid.value(c, 1).empty());
        }
    }
}

TEST(RecordSets, RecordCellTypesAndLimits) {
    const DeckGrids grids;
    EXPECT_EQ(grids.fpCardA.format(1, 2).items, RainfallOptionItems());
    EXPECT_EQ(grids.fpCardA.format(2, 2).maxLength, 60);
    EXPECT_EQ(grids.fpCardC.format(7, 2).maxLength, 6);
    EXPECT_EQ(grids.fpCardC.format(8, 2), CellFormat::Integer(1, 399));
    EXPECT_EQ(grids.fpCardC.format(6, 2), CellFormat::Float(0, 99, 1));
    EXPECT_EQ(grids.fpCardC.format(2, 2).items.size(), 7U);
    EXPECT_EQ(grids.fpCardD.format(14, 2), CellFormat::Float(0.01, 1, 3));
    EXPECT_EQ(grids.fpCardD.format(16, 2), CellFormat::Float(0, 99999.9999, 4));
    EXPECT_EQ(grids.fpCardD.format(18, 2), CellFormat::Float(-9999.9999, 9999.9999, 4));
    EXPECT_EQ(grids.fpCardD.format(20, 2), CellFormat::Float(-999, 9999, 4));
    EXPECT_EQ(grids.fpCardD.format(19, 2).items, UseCardD1Items());
    EXPECT_EQ(grids.fpCardB2.format(5, 6), CellFormat::Float(-99, 999, 3));
    EXPECT_EQ(grids.fpCardB2.format(3, 6).items, ReturnPeriodItems());
    for (int c = 1; c <= 8; ++c) {
        EXPECT_EQ(grids.fpCardB2.format(c, 7), CellFormat::Edit(60)) << "plain text from row 7";
        EXPECT_EQ(grids.fpCardB2.format(c, 101), CellFormat::Edit(60));
    }
}

TEST(RecordSets, ButtonRowsAndLockedFirstColumns) {
    const DeckGrids grids;
    EXPECT_EQ(grids.fpCardB1.format(1, 3).caption, "Add Row");
    EXPECT_EQ(grids.fpCardC.format(1, 3).caption, "Add Row C/D");
    EXPECT_EQ(grids.fpCardD.format(6, 3).caption, "Build Slope");
    for (int c = 2; c <= 23; ++c)
        EXPECT_TRUE(grids.fpCardB1.locked(c, 3));
    for (int c = 1; c <= 25; ++c) {
        if (c != 6) {
            EXPECT_TRUE(grids.fpCardD.locked(c, 3)) << c;
        }
    }
    EXPECT_TRUE(grids.fpCardC.locked(1, 2));
    EXPECT_TRUE(grids.fpCardD.locked(1, 2));
    EXPECT_FALSE(grids.fpCardD.locked(2, 2));
    EXPECT_EQ(grids.fpCardC.value(1, 3), "") << "a button holds no value";
}
