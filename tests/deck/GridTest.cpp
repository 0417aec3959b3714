#include "deck/Grid.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tovan;

namespace {

struct EventLog : GridObserver {
    std::vector<std::string> events;
    void cellChanged(int c, int r) override {
        events.push_back("cell " + std::to_string(c) + "," + std::to_string(r));
    }
    void beforeRowsInserted(int first, int count) override {
        events.push_back("insert " + std::to_string(first) + "+" + std::to_string(count));
    }
    void afterRowsInserted() override { events.push_back("inserted"); }
    void beforeRowsRemoved(int first, int last) override {
        events.push_back("remove " + std::to_string(first) + "-" + std::to_string(last));
    }
    void afterRowsRemoved() override { events.push_back("removed"); }
    void beforeReset() override { events.push_back("reset"); }
    void afterReset() override { events.push_back("was reset"); }
};

} // namespace

TEST(Grid, OutsideCellsReadEmptyAndIgnoreWrites) {
    Grid grid("g", 3, 4);
    grid.setValue(0, 1, "x");
    grid.setValue(4, 1, "x");
    grid.setValue(1, 5, "x");
    grid.setLocked(9, 9, true);
    EXPECT_EQ(grid.value(0, 0), "");
    EXPECT_EQ(grid.value(4, 1), "");
    EXPECT_FALSE(grid.locked(9, 9));
    EXPECT_EQ(grid.dataRowCnt(), 0);
}

TEST(Grid, DataCountsFollowTheLastValueNotTheRowCount) {
    Grid grid("g", 5, 10);
    grid.setValue(2, 7, "a");
    grid.setValue(4, 3, "b");
    EXPECT_EQ(grid.dataRowCnt(), 7);
    EXPECT_EQ(grid.dataColCnt(), 4);
    grid.setValue(2, 7, "");
    EXPECT_EQ(grid.dataRowCnt(), 3);
    EXPECT_EQ(grid.dataColCnt(), 4);
    grid.deleteRows(2, 3);
    EXPECT_EQ(grid.dataRowCnt(), 0);
    EXPECT_EQ(grid.dataColCnt(), 0);
    EXPECT_EQ(grid.maxRows(), 8);
}

TEST(Grid, InsertAndDeleteMoveLaterRows) {
    Grid grid("g", 2, 3);
    grid.setValue(1, 3, "last");
    grid.setFormat(1, 3, CellFormat::Button("Add Row"));
    grid.insertRows(3, 2);
    EXPECT_EQ(grid.maxRows(), 5);
    EXPECT_EQ(grid.value(1, 5), "last");
    EXPECT_EQ(grid.cellType(1, 5), CellType::Button);
    EXPECT_EQ(grid.cellType(1, 3), CellType::Edit);
    EXPECT_EQ(grid.dataRowCnt(), 5);
    grid.deleteRows(3, 4);
    EXPECT_EQ(grid.value(1, 3), "last");
    EXPECT_EQ(grid.maxRows(), 3);
}

TEST(Grid, ShrinkingDropsValuesFromTheCounts) {
    Grid grid("g", 4, 4);
    grid.setValue(4, 4, "x");
    grid.setValue(1, 1, "y");
    grid.setMaxCols(3);
    EXPECT_EQ(grid.dataRowCnt(), 1);
    EXPECT_EQ(grid.dataColCnt(), 1);
    grid.setMaxCols(4);
    EXPECT_EQ(grid.value(4, 4), "");
    grid.setMaxRows(1);
    EXPECT_EQ(grid.maxRows(), 1);
    EXPECT_EQ(grid.value(1, 1), "y");
}

TEST(Grid, ClearBlockKeepsFormatsAndLocks) {
    Grid grid("g", 3, 3);
    grid.setFormat(2, 2, CellFormat::Float(0, 9, 2));
    grid.setLocked(2, 2, true);
    grid.setValue(2, 2, "1.5");
    grid.setValue(3, 3, "z");
    grid.clearBlock(1, 1, 3, 3);
    EXPECT_EQ(grid.dataRowCnt(), 0);
    EXPECT_EQ(grid.cellType(2, 2), CellType::Float);
    EXPECT_TRUE(grid.locked(2, 2));
}

TEST(Grid, ObserverHearsEveryChangeInOrder) {
    Grid grid("g", 2, 2);
    EventLog log;
    grid.setObserver(&log);
    grid.setValue(1, 1, "a");
    grid.setValue(1, 1, "a"); // unchanged: no event
    grid.insertRows(2);
    grid.deleteRows(1, 1);
    grid.setMaxCols(3);
    {
        const GridObserverPause reading(grid); // one reset for many changes
        grid.insertRows(2, 3);
        grid.setValue(2, 2, "b");
    }
    grid.setValue(2, 2, "c");
    EXPECT_EQ(log.events, (std::vector<std::string>{"cell 1,1", "insert 2+1", "inserted",
                                                    "remove 1-1", "removed", "reset", "was reset",
                                                    "reset", "was reset", "cell 2,2"}));
}

// Short texts sit in the cell, longer ones in a side store: both must follow their cell through
// every change of rows and columns, and a freed long text must never show up elsewhere.
TEST(Grid, TextsOfAnyLengthStayWithTheirCell) {
    Grid grid("g", 3, 2);
    const std::vector<std::string> texts{"", "1234567", "12345678", std::string(300, 'x'), "ab"};
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 3; ++c)
            grid.setValue(c, r, texts[std::size_t(r * 3 + c) % texts.size()] + char('0' + c));
    }
    const Grid::Cell kept = grid.cellState(3, 2);
    grid.setValue(3, 2, "short");
    grid.setValue(2, 1, std::string(20, 'y'));
    grid.insertRows(2, 2);
    grid.deleteRows(1, 1);
    grid.setMaxCols(2);
    grid.setMaxCols(4);
    EXPECT_EQ(grid.value(2, 3), texts[3] + "2");
    EXPECT_EQ(grid.text(1, 3), texts[2] + "1");
    EXPECT_EQ(grid.value(3, 3), "") << "dropped with its column";
    grid.restoreCell(3, 3, kept);
    EXPECT_EQ(grid.cellState(3, 3), kept);
    for (int i = 0; i < 50; ++i)
        grid.setValue(4, 1, std::string(std::size_t(10 + i % 7), char('a' + i % 26)));
    EXPECT_EQ(grid.value(4, 1), std::string(10 + 49 % 7, char('a' + 49 % 26)));
    EXPECT_EQ(grid.value(2, 3), texts[3] + "2");
    EXPECT_EQ(grid.dataRowCnt(), 3);
    EXPECT_EQ(grid.dataColCnt(), 4);
}
