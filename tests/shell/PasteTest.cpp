// Pastes through Edit > Paste Data with the system clipboard, as a user makes them: a value
// meets a list cell by what it means, every pasted value passes the rules of typing, a block
// copied from a grid pastes back with the same values, and one paste reports once.
#include "ShellFixture.h"
#include "deck/RecordSets.h"
#include "editing/CellEntry.h"

#include <QFile>

using namespace tovan;
using namespace tovan::testing;

namespace {

std::string SavedLine(const std::string& path, int line) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    for (int i = 1; i < line; ++i)
        file.readLine();
    return file.readLine().toStdString();
}

void Select(GridView* grid, const QRect& block) {
    grid->setFocus();
    grid->setActiveCell(block.left(), block.top());
    auto* model = grid->gridModel();
    grid->selectionModel()->select(QItemSelection(model->cellIndex(block.left(), block.top()),
                                                  model->cellIndex(block.right(), block.bottom())),
                                   QItemSelectionModel::ClearAndSelect);
}

// The cells of a block as the field means them (list items by their text).
std::vector<std::string> Values(const Grid& grid, const QRect& block) {
    std::vector<std::string> values;
    for (int row = block.top(); row <= block.bottom(); ++row) {
        for (int col = block.left(); col <= block.right(); ++col)
            values.push_back(CellCopyValue(grid, col, row));
    }
    return values;
}

} // namespace

// Before, "2" stored list position 2 (ten years) and "5" or "100" changed nothing in silence.
TEST(Paste, AListCellTakesWhatTheValueMeansAndSaysWhatItRefused) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    s.editor()->cmdB2_Click();
    GridView* b2 = s.editor()->fpCardB2;
    const std::pair<const char*, const char*> periods[] = {
        {"2", "002"}, {"100", "100"}, {"5", "005"}, {"010", "010"}, {"50", "050"}};
    for (const auto& [pasted, item] : periods) {
        s.paste(b2, col::kB2ReturnPeriod, 2, QString::fromLatin1(pasted));
        EXPECT_EQ(CellCopyValue(b2->grid(), col::kB2ReturnPeriod, 2), item) << pasted;
    }
    EXPECT_TRUE(s.platform.messages.empty());

    s.paste(b2, col::kB2ReturnPeriod, 2, QStringLiteral("2\n25\n7 years"));
    EXPECT_EQ(CellCopyValue(b2->grid(), col::kB2ReturnPeriod, 2), "002");
    EXPECT_EQ(CellCopyValue(b2->grid(), col::kB2ReturnPeriod, 3), "005") << "kept";
    ASSERT_EQ(s.platform.messages.size(), 1U) << "one box for the paste";
    const auto& box = s.platform.messages[0];
    EXPECT_EQ(box.title, "Paste");
    EXPECT_EQ(box.text, "Not every pasted value was stored: 2 values were left out.");
    EXPECT_NE(box.detail.find("Record Set B2, row 2, Return Period (Years): \"25\" is not an item "
                              "of the list (002, 005, 010, 050, 100); the cell keeps its value."),
              std::string::npos)
        << box.detail;
    EXPECT_NE(box.detail.find("row 3, Return Period (Years): \"7 years\""), std::string::npos);

    s.platform.messages.clear();
    s.platform.chosenFiles.push_back(s.path("periods.tvi"));
    s.trigger("mnuFileSave");
    EXPECT_EQ(s.texts(), std::vector<std::string>{"Save operation was sucessful."});
    EXPECT_EQ(SavedLine(s.path("periods.tvi"), 2).substr(12, 3), "  2") << "two years on the card";
}

// Every column of every record set, list columns, locked and empty cells included: cut the
// records and paste them back, and they are as they were, in one undo step and without a box.
TEST(Paste, ABlockCutFromAnyGridPastesBackWithTheSameValues) {
    struct Case {
        const char* deck;
        const char* recordSet;
    };
    const Case cases[] = {{"hyetograph.tvi", "A"}, {"hyetograph.tvi", "B1"},
                          {"hyetograph.tvi", "C"}, {"hyetograph.tvi", "D"},
                          {"one-hour.tvi", "B2"},  {"engine-demo.tvi", "D"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.deck) + " " + c.recordSet);
        Shell s;
        s.open(Shell::example(c.deck));
        GridView* grid = s.editor()->gridView(c.recordSet);
        s.editor()->showCell({c.recordSet, 2, 1});
        const QRect block(1, 2, grid->grid().maxCols(), grid->grid().dataRowCnt() - 1);
        const std::vector<std::string> before = Values(grid->grid(), block);
        Select(grid, block);
        s.trigger("mnuEditCut");
        QApplication::processEvents(); // the cut's step closes
        const int steps = s.editor()->document().undoStack().count();
        s.paste(grid, 1, 2, QApplication::clipboard()->text());
        EXPECT_EQ(Values(grid->grid(), block), before);
        EXPECT_TRUE(s.platform.messages.empty()) << s.platform.messages[0].detail;
        EXPECT_EQ(s.editor()->document().undoStack().count(), steps + 1) << "one step";
    }
}

// Rows 2 to 6 of B2 are list rows and 7 on plain text rows: a storm moved between them keeps
// its return period, and saves to the same card.
TEST(Paste, AB2StormMovedToTheTextRowsKeepsItsReturnPeriod) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    s.editor()->cmdB2_Click();
    GridView* b2 = s.editor()->fpCardB2;
    const QRect rows(2, 2, 7, 5); // all but the storm number, which must stay unique
    Select(b2, rows);
    s.trigger("mnuEditCopy1");
    s.paste(b2, 2, 20, QApplication::clipboard()->text());
    EXPECT_EQ(Values(b2->grid(), rows.translated(0, 18)), Values(b2->grid(), rows));
    Select(b2, rows.translated(0, 18));
    s.trigger("mnuEditCopy1");
    s.paste(b2, 2, 2, QApplication::clipboard()->text());
    EXPECT_EQ(Values(b2->grid(), rows.translated(0, 18)), Values(b2->grid(), rows));
    EXPECT_TRUE(s.platform.messages.empty());
}

// A pasted number is fitted to its deck field as a typed one is: the specified message once,
// with every cell it concerns beside it; D's interlocks act around the block, not inside it.
TEST(Paste, NumbersAreFittedAsTypedOnesWithOneMessageForThePaste) {
    Shell s;
    s.open(Shell::example("hyetograph.tvi"));
    s.editor()->cmdB1_Click();
    GridView* b1 = s.editor()->fpCardB1;
    s.paste(b1, 3, 2, QStringLiteral("12.345\t0.5\t99.999\r\n"));
    EXPECT_EQ(b1->grid().value(3, 2), "12.3");
    EXPECT_EQ(b1->grid().value(4, 2), "0.5");
    EXPECT_EQ(b1->grid().value(5, 2), "99.9");
    ASSERT_EQ(s.platform.messages.size(), 1U);
    EXPECT_EQ(s.platform.messages[0].title, "Value Change");
    EXPECT_NE(s.platform.messages[0].text.find("3 significant figures"), std::string::npos);
    const std::string& detail = s.platform.messages[0].detail;
    EXPECT_EQ(detail, "Value Change: " + s.platform.messages[0].text +
                          "\n  at Record Set B1, row 1, Unit Time Rainfall Depth (inches)"
                          "\n  at Record Set B1, row 1, Unit Time Rainfall Depth (inches)\n");

    s.platform.messages.clear();
    s.editor()->cmdCD_Click();
    GridView* d = s.editor()->fpCardD;
    s.paste(d, col::kDDrainTime, 2, QStringLiteral("12"));
    EXPECT_EQ(d->grid().value(col::kDDciaLevel, 2), "3") << "a drain time selects level 3";
    EXPECT_EQ(d->grid().value(col::kDUseD1, 2), "1");
    s.paste(d, col::kDDciaLevel, 3, QStringLiteral("2\t0.5"));
    EXPECT_EQ(d->grid().value(col::kDDciaLevel, 3), "2") << "the block's own values stand";
    EXPECT_EQ(d->grid().value(col::kDDciaFraction, 3), "0.5");
    EXPECT_TRUE(s.platform.messages.empty());
}
