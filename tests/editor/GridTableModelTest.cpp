#include "editor/GridTableModel.h"

#include "deck/RecordSets.h"
#include "deck/modChangeSpread.h"
#include "platform/RecordingPlatform.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace tovan;

namespace {

struct ModelOf {
    Grid grid;
    GridTableModel model{grid};
    explicit ModelOf(Grid g) : grid(std::move(g)) {}
    bool set(int col, int row, const char* text) {
        return model.setData(model.cellIndex(col, row), QString::fromLatin1(text), Qt::EditRole);
    }
    QString shown(int col, int row) const {
        return model.data(model.cellIndex(col, row), Qt::DisplayRole).toString();
    }
};

} // namespace

TEST(GridTableModel, LabelRowIsTheHeader) {
    ModelOf b2(MakeCardB2Grid());
    EXPECT_EQ(b2.model.rowCount(), 100) << "storm rows 2 to 101";
    EXPECT_EQ(b2.model.columnCount(), 8);
    EXPECT_EQ(b2.model.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Storm Number:"));
    EXPECT_EQ(b2.model.headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "1");
}

TEST(GridTableModel, ButtonRowHasNoRecordNumberAndCannotBeEdited) {
    ModelOf c(MakeCardCGrid());
    EXPECT_EQ(c.model.rowCount(), 2);
    EXPECT_FALSE(c.model.headerData(1, Qt::Vertical, Qt::DisplayRole).isValid());
    EXPECT_EQ(c.shown(1, 3), QStringLiteral("Add Row C/D"));
    EXPECT_FALSE(c.model.flags(c.model.cellIndex(1, 3)) & Qt::ItemIsEditable);
    EXPECT_FALSE(c.model.flags(c.model.cellIndex(1, 2)) & Qt::ItemIsEditable) << "grey column";
    EXPECT_FALSE(c.set(1, 2, "x"));
    EXPECT_TRUE(c.model.flags(c.model.cellIndex(2, 2)) & Qt::ItemIsEditable);
}

TEST(GridTableModel, UserEditsRaiseOneChangeEventOnlyWhenTheValueChanges) {
    ModelOf b1(MakeCardB1Grid());
    QSignalSpy changes(&b1.model, &GridTableModel::userChanged);
    EXPECT_TRUE(b1.set(3, 2, ".5"));
    EXPECT_TRUE(b1.set(3, 2, "0.5"));
    EXPECT_FALSE(b1.set(3, 2, "1000"));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toInt(), 3);
    EXPECT_EQ(changes[0][1].toInt(), 2);
    EXPECT_EQ(b1.grid.value(3, 2), "0.5");
    b1.grid.setValue(4, 2, "1"); // code writes raise no change event
    EXPECT_EQ(changes.count(), 1);
}

TEST(GridTableModel, PasteFromASpreadsheetSkipsWhatCellsRefuse) {
    ModelOf c(MakeCardCGrid());
    // Windows line ends; column 1 is locked, the storm number 150 is out of range, and the
    // block runs past the last column and into the button row.
    const auto report =
        c.model.pasteText(1, 2,
                          QStringLiteral("x\t0\t1\t150\t2\t0.5\tABCDEFGH\t12\tnote\tmore\r\n"
                                         "y\t7\r\n"));
    EXPECT_EQ(c.grid.value(1, 2), "");
    EXPECT_EQ(c.grid.value(2, 2), "0");
    EXPECT_EQ(c.grid.value(4, 2), "") << "out of range";
    EXPECT_EQ(c.grid.value(5, 2), "2");
    EXPECT_EQ(c.grid.value(7, 2), "ABCDEFGH") << "kept whole, for the save to judge";
    EXPECT_EQ(c.grid.value(9, 2), "note");
    EXPECT_EQ(c.grid.value(2, 3), "") << "the button row takes nothing";
    EXPECT_EQ(c.grid.maxRows(), 3);
    std::vector<std::string> skipped;
    for (const auto& note : report.skipped)
        skipped.push_back(std::to_string(note.col) + "," + std::to_string(note.row) + " " +
                          note.why);
    EXPECT_EQ(skipped, (std::vector<std::string>{"1,2 is in a locked cell",
                                                 "4,2 is outside the range 1 to 99",
                                                 "1,3 lies past the last record row",
                                                 "2,3 lies past the last record row"}));
    EXPECT_EQ(report.beyondEdge, 1) << "\"more\" past the last column";
}
