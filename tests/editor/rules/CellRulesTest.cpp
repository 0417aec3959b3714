#include "editing/CellRules.h"

#include "deck/modChangeSpread.h"
#include "editing/TabControl.h"
#include "platform/RecordingPlatform.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {

struct RecordingForm : EditorForm {
    std::vector<std::string> calls;
    void hideAllGrids() override { calls.push_back("clear"); }
    void showCardAOptionCell() override { calls.push_back("show A"); }
    void enableB1Button(bool e) override { calls.push_back(e ? "B1 on" : "B1 off"); }
    void enableB2Button(bool e) override { calls.push_back(e ? "B2 on" : "B2 off"); }
    void enableCDButton() override { calls.push_back("CD on"); }
    void setTitle(std::string_view t) override { calls.push_back("title " + std::string(t)); }
    void showSlopeCalculator() override { calls.push_back("slope"); }
};

struct Editor {
    DeckGrids grids;
    ApplicationState app;
    RecordingPlatform ui;
    RecordingForm form;
    CellRules rules{grids, app, ui, form};

    // The user types `text` into a cell of `grid`, then the grid raises its change event.
    void type(Grid& grid, int col, int row, const std::string& text) {
        grid.setValue(col, row, text);
        if (&grid == &grids.fpCardA) rules.fpCardA_Change(col, row);
        if (&grid == &grids.fpCardB1) rules.fpCardB1_Change(col, row);
        if (&grid == &grids.fpCardB2) rules.fpCardB2_Change(col, row);
        if (&grid == &grids.fpCardC) rules.fpCardC_Change(col, row);
        if (&grid == &grids.fpCardD) rules.fpCardD_Change(col, row);
    }
};

const RecordingPlatform::Message kTooWide{
    "The value you have entered is wider than the field allows. The value will be cut off on "
    "the right side to make it fit. The largest allowed value in this field is 3 significant "
    "figures and 1 decimal point. (Required)",
    MessageIcon::Critical, "Value Change", false};

} // namespace

TEST(CheckFieldWidth, FitsNumbersToTheirDeckField) {
    RecordingPlatform ui;
    EXPECT_EQ(CheckFieldWidth(4, 3, "0.25", ui), ".25");
    EXPECT_EQ(CheckFieldWidth(4, 3, "2", ui), "2.");
    EXPECT_EQ(CheckFieldWidth(4, 3, "0", ui), "0.");
    EXPECT_EQ(CheckFieldWidth(4, 3, "", ui), "    ");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(CheckFieldWidth(4, 3, "12.345", ui), "12.3");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0], kTooWide);
}

TEST(CellRules, NumbersAreFittedAndStoredAsSingles) {
    Editor e;
    e.type(e.grids.fpCardB1, 3, 2, "0");
    EXPECT_EQ(e.grids.fpCardB1.value(3, 2), "0");
    e.type(e.grids.fpCardB1, 5, 2, "12.345");
    EXPECT_EQ(e.grids.fpCardB1.value(5, 2), "12.3");
    EXPECT_EQ(e.ui.messages.back(), kTooWide);
    e.type(e.grids.fpCardB1, 23, 2, "1.235"); // the last factor has the same four columns
    EXPECT_EQ(e.grids.fpCardB1.value(23, 2), "1.23");
    e.type(e.grids.fpCardB2, 8, 2, "1.235");
    EXPECT_EQ(e.grids.fpCardB2.value(8, 2), "1.23");
    e.type(e.grids.fpCardB1, 2, 2, "12.345");
    EXPECT_EQ(e.grids.fpCardB1.value(2, 2), "12.345") << "the identification is no number";
    e.type(e.grids.fpCardB2, 4, 2, "1.23456");
    EXPECT_EQ(e.grids.fpCardB2.value(4, 2), "1.234") << "1.2346 is six characters";
    e.type(e.grids.fpCardC, 6, 2, "0.254");
    EXPECT_EQ(e.grids.fpCardC.value(6, 2), "0.25");
    e.type(e.grids.fpCardD, 2, 2, "10.125");
    EXPECT_EQ(e.grids.fpCardD.value(2, 2), "10.12") << "six characters cut to five";
}

TEST(CellRules, NonNumbersInPlainB2CellsAreRefused) {
    Editor e;
    e.type(e.grids.fpCardB2, 4, 50, "abc");
    EXPECT_EQ(e.grids.fpCardB2.value(4, 50), "");
    EXPECT_EQ(e.ui.messages.back().title, "Value Change");
    e.type(e.grids.fpCardB2, 4, 50, "2.5");
    EXPECT_EQ(e.grids.fpCardB2.value(4, 50), "2.5");
}

TEST(CellRules, OptionalDFieldsSwitchEachOther) {
    Editor e;
    Grid& d = e.grids.fpCardD;
    d.setValue(13, 2, "2");
    e.type(d, 14, 2, "0.5");
    EXPECT_EQ(d.value(13, 2), "");
    d.setValue(16, 2, "1");
    d.setValue(17, 2, "2");
    e.type(d, 13, 2, "1");
    for (int c = 14; c <= 17; ++c)
        EXPECT_EQ(d.value(c, 2), "") << c;

    e.type(d, 17, 2, "24");
    EXPECT_EQ(d.value(13, 2), "3");
    EXPECT_EQ(d.value(19, 2), "1");
    e.type(d, 13, 2, "3");
    EXPECT_EQ(d.value(17, 2), "24") << "level 3 keeps the water-quality fields";

    d.setValue(22, 2, "15");
    e.type(d, 19, 2, "0");
    EXPECT_EQ(d.value(22, 2), "");
    d.setValue(22, 2, "15");
    e.type(d, 19, 2, "");
    EXPECT_EQ(d.value(22, 2), "");
    EXPECT_EQ(d.value(19, 2), "0");
    e.type(d, 25, 2, "0.45");
    EXPECT_EQ(d.value(19, 2), "1");
    e.app.DeckChanged = false;
    e.type(d, 5, 1, "label");
    EXPECT_FALSE(e.app.DeckChanged) << "nothing happens in row 1";
}

TEST(CellRules, D1BlocksOnActivation) {
    Editor e;
    Grid& d = e.grids.fpCardD;
    AddRow(d, e.ui);
    AddRow(d, e.ui);
    d.setValue(2, 2, "1");
    d.setValue(19, 2, "0");
    d.setValue(21, 2, "9");
    d.setValue(2, 3, "1");
    d.setValue(19, 3, "1");
    d.setValue(2, 4, "1");
    d.setLocked(20, 4, true);
    d.setValue(20, 4, "7");
    AddRow(d, e.ui);
    d.setValue(19, 5, "0"); // the last record row counts too
    d.setValue(22, 5, "9");
    e.rules.LockD1Blocks();
    EXPECT_EQ(d.value(21, 2), "");
    EXPECT_TRUE(d.locked(20, 2) && d.locked(25, 2));
    EXPECT_FALSE(d.locked(20, 3));
    EXPECT_TRUE(d.locked(20, 4)) << "an empty switch leaves the row as it is";
    EXPECT_EQ(d.value(20, 4), "7");
    EXPECT_EQ(d.value(22, 5), "");
    EXPECT_TRUE(d.locked(22, 5));
}

TEST(CellRules, ClicksKeepCAndDOnTheSameRow) {
    Editor e;
    e.rules.fpCardC_Click(6, 2);
    EXPECT_EQ(e.grids.fpCardD.activeCol(), 6);
    e.rules.fpCardD_Click(12, 2);
    EXPECT_EQ(e.grids.fpCardC.activeCol(), 2);
    e.rules.fpCardD_Click(19, 2);
    EXPECT_EQ(e.grids.fpCardD.value(19, 2), "0") << "a click runs the change rules";
}

TEST(TabControl, CaretNeverStepsOntoLockedCells) {
    DeckGrids grids;
    RecordingPlatform ui;
    Grid& c = grids.fpCardC;
    c.setValue(9, 2, "x");
    c.setActiveCell(3, 2);
    TabControl(c, keys::kUp, keys::kNoShift, ui);
    EXPECT_EQ(c.activeRow(), 3) << "moved one step down, so the grid's Up ends on row 2";
    EXPECT_EQ(GridOwnStep(c, keys::kUp, keys::kNoShift), (CellPosition{3, 2}));

    Grid& d = grids.fpCardD;
    d.setActiveCell(2, 2);
    TabControl(d, keys::kTab, keys::kShift, ui);
    EXPECT_EQ(GridOwnStep(d, keys::kTab, keys::kShift), (CellPosition{2, 2}));

    AddRow(c, ui);
    c.setActiveCell(9, 2);
    TabControl(c, keys::kRight, keys::kNoShift, ui);
    EXPECT_EQ(c.activeCol(), 8) << "the wrap target, column 1 of the next row, is locked";

    c.setActiveCell(4, 2);
    TabControl(c, keys::kRight, keys::kNoShift, ui);
    EXPECT_EQ(c.activeCol(), 4) << "an open cell: nothing to do";
}

TEST(KeyUp, DeleteClearsOutsideTheLabelRowAndStepsKeepCDTogether) {
    DeckGrids grids;
    ApplicationState app;
    RecordingPlatform ui;
    Grid& d = grids.fpCardD;
    d.setValue(4, 2, "1.5");
    d.setActiveCell(4, 2);
    d.setRow(2);
    FormKeyUp(&d, keys::kDelete, app, ui);
    EXPECT_EQ(d.value(4, 2), "");
    EXPECT_TRUE(app.DeckChanged);

    app.DeckChanged = false;
    d.setRow(1);
    d.setActiveCell(4, 1);
    FormKeyUp(&d, keys::kDelete, app, ui);
    EXPECT_EQ(d.value(4, 1), "Distance to Centroid (miles):");
    EXPECT_FALSE(app.DeckChanged);

    d.setActiveCell(13, 2);
    CardCDKeyUp(d, grids.fpCardC, keys::kTab, ui, "fpCardD_KeyUp Error!");
    EXPECT_EQ(grids.fpCardC.activeCol(), 2);
    d.setActiveCell(6, 2);
    CardCDKeyUp(d, grids.fpCardC, keys::kTab, ui, "fpCardD_KeyUp Error!");
    EXPECT_EQ(grids.fpCardC.activeCol(), 6);
}
