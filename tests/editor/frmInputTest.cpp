#include "editor/frmInput.h"

#include "FakeEditorHost.h"
#include "GuiSteps.h"
#include "deck/modChangeSpread.h"
#include "editor/GridView.h"
#include "editor/QtPlatform.h"
#include "editor/Twips.h"
#include "platform/RecordingPlatform.h"
#include "slope/SLOPEfrm.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::testing;

namespace {

struct Editor {
    ApplicationState state;
    RecordingPlatform platform;
    FakeEditorHost host;
    DeckDocument document;
    std::unique_ptr<frmInput> form;

    // `shown` shows the form's messages for real instead of recording them.
    explicit Editor(QtPlatform* shown = nullptr) {
        state.EnableA = true;
        form = std::make_unique<frmInput>(document, state,
                                          shown ? static_cast<Platform&>(*shown) : platform, host);
        if (shown) shown->setParentWidget(form.get());
        form->resize(1000, 700);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    std::vector<std::string> titles() const {
        std::vector<std::string> out;
        for (const auto& m : platform.messages)
            out.push_back(m.title);
        return out;
    }
};

} // namespace

TEST(frmInput, LoadsWithRecordSetAOnViewAndButtonsFromTheFlags) {
    Editor e;
    EXPECT_EQ(e.form->windowTitle(), QStringLiteral("Tovan Edit Form"));
    EXPECT_TRUE(e.form->fpCardA->isVisible());
    for (GridView* grid : {e.form->fpCardB1, e.form->fpCardB2, e.form->fpCardC, e.form->fpCardD})
        EXPECT_FALSE(grid->isVisible());
    EXPECT_EQ(e.form->grids().fpCardA.activeCol(), 1);
    EXPECT_EQ(e.form->grids().fpCardA.activeRow(), 2);
    EXPECT_TRUE(e.form->cmdA->isEnabled());
    EXPECT_FALSE(e.form->cmdB1->isEnabled());
    EXPECT_FALSE(e.form->cmdB2->isEnabled());
    EXPECT_FALSE(e.form->cmdCD->isEnabled());
    EXPECT_EQ(e.form->cmdBack->toolTip(),
              QStringLiteral("Resets the focus on the active spreadsheet"));
}

TEST(frmInput, TheDFlagDecidesTheCDButton) {
    Editor e;
    e.state.EnableC = false;
    e.state.EnableD = true;
    e.form->ForceFormActivate();
    EXPECT_TRUE(e.form->cmdCD->isEnabled());
    e.state.EnableC = true;
    e.state.EnableD = false;
    e.form->ForceFormActivate();
    EXPECT_FALSE(e.form->cmdCD->isEnabled());
}

TEST(frmInput, ActivationSetsTheMenusAndShowsRecordSetA) {
    Editor e;
    e.state.CloseAllowed = true;
    e.form->grids().fpCardA.setValue(1, 2, "1");
    e.state.EnableB2 = true;
    e.form->cmdCD_Click();
    e.form->ForceFormActivate();
    EXPECT_FALSE(e.state.CloseAllowed);
    EXPECT_GE(e.host.coverHidden, 1);
    EXPECT_FALSE(e.host.shown("mnuFileOpen")) << "the editor's menus";
    EXPECT_TRUE(e.form->fpCardA->isVisible());
    EXPECT_FALSE(e.form->fpCardC->isVisible());
    EXPECT_EQ(e.form->lblTitle->text(), QStringLiteral("Record Set A"));
    EXPECT_FALSE(e.form->cmdB1->isEnabled()) << "option 2 deck";
    EXPECT_TRUE(e.form->cmdB2->isEnabled());
    EXPECT_FALSE(e.form->cmdBack->isEnabled());
}

TEST(frmInput, ActivationLocksOrOpensTheD1Block) {
    Editor e;
    Grid& d = e.form->grids().fpCardD;
    d.setValue(19, 2, "0");
    d.setValue(22, 2, "3.5");
    e.form->ForceFormActivate();
    EXPECT_EQ(d.value(22, 2), "");
    EXPECT_TRUE(d.locked(20, 2));
    EXPECT_TRUE(d.locked(25, 2));
    d.setValue(19, 2, "1");
    e.form->ForceFormActivate();
    EXPECT_FALSE(d.locked(20, 2));
}

TEST(frmInput, SwitchingButtonsShowTheirGridsAndTitles) {
    Editor e;
    e.form->cmdB1_Click();
    EXPECT_TRUE(e.form->fpCardB1->isVisible());
    EXPECT_FALSE(e.form->fpCardA->isVisible());
    EXPECT_EQ(e.form->lblTitle->text(), QStringLiteral("Record Set B1"));
    EXPECT_TRUE(e.form->cmdBack->isEnabled());
    e.form->cmdB2_Click();
    EXPECT_EQ(e.form->lblTitle->text(), QStringLiteral("Record Set B2"));
    EXPECT_FALSE(e.form->fpCardB1->isVisible());
    e.form->cmdCD_Click();
    EXPECT_TRUE(e.form->fpCardC->isVisible());
    EXPECT_TRUE(e.form->fpCardD->isVisible());
    EXPECT_EQ(e.form->lblTitle->text(), QStringLiteral("Record Set CD"));
    EXPECT_EQ(e.form->fpCardD->y(),
              e.form->fpCardC->y() + e.form->fpCardC->height() + TwipsToPixelsY(100));
}

TEST(frmInput, BackPutsTheCaretIntoTheFirstVisibleGrid) {
    Editor e;
    e.form->cmdCD_Click();
    e.form->grids().fpCardC.setActiveCell(5, 2);
    e.form->cmdBack_Click();
    EXPECT_EQ(e.form->grids().fpCardC.activeCol(), 1);
    EXPECT_EQ(e.form->grids().fpCardC.activeRow(), 2);
    EXPECT_EQ(QApplication::focusWidget(), e.form->fpCardC);
}

TEST(frmInput, GridsAreTheFormWidthLessMarginsButAtLeast500Twips) {
    Editor e;
    e.form->resize(TwipsToPixelsX(600), 500);
    EXPECT_EQ(e.form->fpCardA->width(), TwipsToPixelsX(500));
    e.form->resize(800, 500);
    EXPECT_EQ(e.form->fpCardD->width(), TwipsToPixelsX(PixelsToTwipsX(800) - 200));
    EXPECT_EQ(e.form->fpCardA->height(), TwipsToPixelsY(1455));
}

// At any window size (a tiny one is refused) each grid's "Add Row" row can be brought into view,
// and C and D scroll together: the catchment at the top of D is on view in C.
TEST(frmInput, AddRowStaysReachableAndCAndDScrollTogether) {
    const auto reachable = [](GridView* grid) {
        grid->setFocus();
        grid->setActiveCell(1, grid->grid().maxRows());
        const QRect button =
            grid->visualRect(grid->gridModel()->cellIndex(1, grid->grid().maxRows()));
        return grid->viewport()->rect().contains(button);
    };
    for (const QSize size :
         {QSize(300, 200), QSize(500, 330), QSize(847, 520), QSize(1600, 1200)}) {
        for (const int catchments : {1, 3, 40}) {
            SCOPED_TRACE(::testing::Message() << size.width() << "x" << size.height() << ", "
                                              << catchments << " catchments");
            Editor e;
            for (int added = 1; added < catchments; ++added) {
                AddRow(e.form->grids().fpCardC, e.platform);
                AddRow(e.form->grids().fpCardD, e.platform);
                AddRow(e.form->grids().fpCardB1, e.platform);
            }
            e.form->resize(size);
            e.form->cmdB1_Click();
            EXPECT_TRUE(reachable(e.form->fpCardB1)) << "B1";
            e.form->cmdCD_Click();
            EXPECT_TRUE(reachable(e.form->fpCardC)) << "C";
            GridView* c = e.form->fpCardC;
            GridView* d = e.form->fpCardD;
            for (int value = 0; value <= d->verticalScrollBar()->maximum(); ++value) {
                d->verticalScrollBar()->setValue(value);
                const int top = d->rowAt(0);
                const QRect inC = c->visualRect(c->model()->index(top, 0));
                EXPECT_TRUE(c->viewport()->rect().intersects(inC)) << "D scrolled to " << value;
            }
        }
    }
}

TEST(frmInput, RainfallOptionPickedFromItsListStaysOnceSet) {
    {
        Editor e;
        PickInCell(e.form->fpCardA, 1, 2, 1);
        EXPECT_EQ(e.form->grids().fpCardA.value(1, 2), "1");
        EXPECT_TRUE(e.state.DeckChanged);
        EXPECT_TRUE(e.form->cmdB2->isEnabled());
        EXPECT_FALSE(e.form->cmdB1->isEnabled());
        PickInCell(e.form->fpCardA, 1, 2, 0);
        EXPECT_EQ(e.form->grids().fpCardA.value(1, 2), "1") << "the change is undone";
        EXPECT_EQ(e.titles(), std::vector<std::string>{"Beta Release Limitation"});
        EXPECT_FALSE(e.form->cmdB1->isEnabled());
        EXPECT_TRUE(e.form->cmdB2->isEnabled());
    }
    Editor opened; // an option read from a deck counts as set
    opened.form->grids().fpCardA.setValue(1, 2, "0");
    opened.form->ForceFormActivate();
    PickInCell(opened.form->fpCardA, 1, 2, 1);
    EXPECT_EQ(opened.form->grids().fpCardA.value(1, 2), "0");
    EXPECT_EQ(opened.titles(), std::vector<std::string>{"Beta Release Limitation"});
    SetCell(opened.form->fpCardA, 2, 2, "NEW TITLE");
    EXPECT_EQ(opened.titles().size(), 1U) << "editing the title is no change of the option";
}

// The caret the user sees and the cell that Delete, Paste and Back work on are one and the
// same, also when the step back from a locked cell leads out of the grid.
TEST(frmInput, ArrowsTowardsLockedCellsLeaveTheCaretWhereDeleteActs) {
    Editor e;
    e.form->grids().fpCardA.setValue(2, 2, "TITLE");
    GridView* a = e.form->fpCardA;
    a->setFocus();
    QTest::keyClick(a, Qt::Key_Right);
    QTest::keyClick(a, Qt::Key_Up);
    EXPECT_EQ(a->currentIndex(), a->gridModel()->cellIndex(2, 2));
    QTest::keyClick(a, Qt::Key_Delete);
    EXPECT_EQ(e.form->grids().fpCardA.value(2, 2), "");
    e.form->cmdCD_Click();
    GridView* d = e.form->fpCardD;
    d->setFocus();
    d->setActiveCell(3, 2);
    QTest::keyClick(d, Qt::Key_Down); // the button row below is locked
    EXPECT_EQ(d->activeRow(), 2);
    EXPECT_EQ(d->currentIndex(), d->gridModel()->cellIndex(3, 2));
}

TEST(frmInput, RecordEditsEnableCDAndAddRowButtonsGrowTheGrids) {
    Editor e;
    e.form->cmdB1_Click();
    SetCell(e.form->fpCardB1, 1, 2, "1");
    EXPECT_TRUE(e.form->cmdCD->isEnabled());
    emit e.form->fpCardB1->ButtonClicked(1, 3);
    EXPECT_EQ(e.form->grids().fpCardB1.maxRows(), 4);

    e.form->cmdCD_Click();
    emit e.form->fpCardC->ButtonClicked(1, 3);
    EXPECT_EQ(e.form->grids().fpCardC.maxRows(), 4) << "label row has text: rows added";
    SetCell(e.form->fpCardC, 4, 3, "1");
    emit e.form->fpCardC->ButtonClicked(1, 4);
    ASSERT_EQ(e.platform.messages.size(), 1U);
    EXPECT_EQ(e.platform.messages.back().text, "You must enter a Print Option");
    SetCell(e.form->fpCardC, 2, 3, "0");
    emit e.form->fpCardC->ButtonClicked(1, 4);
    EXPECT_EQ(e.platform.messages.back().text, "You must enter a Rational Formula Option");
    SetCell(e.form->fpCardC, 3, 3, "1");
    emit e.form->fpCardC->ButtonClicked(1, 4);
    EXPECT_EQ(e.form->grids().fpCardC.maxRows(), 5);
    EXPECT_EQ(e.form->grids().fpCardD.maxRows(), 5);
    emit e.form->fpCardD->ButtonClicked(6, 5);
    QWidget* slope = e.form->findChild<SLOPEfrm*>();
    ASSERT_NE(slope, nullptr);
    EXPECT_TRUE(slope->isVisible()) << "Build Slope opens the calculator";
}

TEST(frmInput, RightButtonOverAGridPopsUpTheEditMenuExceptOnB2) {
    Editor e;
    emit e.form->fpCardA->MouseUp(2, 0, QPoint(10, 10));
    EXPECT_EQ(e.host.popups, 1);
    emit e.form->fpCardA->MouseUp(1, 0, QPoint(10, 10));
    e.form->cmdB2_Click();
    emit e.form->fpCardB2->MouseUp(2, 0, QPoint(10, 10));
    EXPECT_EQ(e.host.popups, 1);
}

TEST(frmInput, CloseBoxOnlyOffersToSaveWhileCloseIsNotAllowed) {
    Editor e;
    e.state.DeckChanged = true;
    e.platform.answers.push_back(Answer::Yes);
    EXPECT_FALSE(e.form->close());
    ASSERT_EQ(e.platform.messages.size(), 1U);
    EXPECT_EQ(e.platform.messages[0].text, "Do you Want to save?");
    EXPECT_EQ(e.platform.messages[0].title, "TOVAN2000");
    EXPECT_EQ(e.host.saves, 1);
    EXPECT_FALSE(e.state.DeckChanged);
    EXPECT_TRUE(e.form->isVisible()) << "the form stays";
    EXPECT_FALSE(e.host.shown("mnuEdit"));
}

TEST(frmInput, AllowedCloseRestoresTheMenusOfNoDeck) {
    Editor e;
    e.state.DeckChanged = true;
    e.state.CloseAllowed = true;
    e.platform.answers.push_back(Answer::No);
    EXPECT_TRUE(e.form->close());
    EXPECT_EQ(e.host.saves, 0);
    EXPECT_TRUE(e.state.DeckChanged) << "No keeps the flag";
    for (const char* item : {"mnuFileCreate", "mnuFileOpen", "mnuFileRun", "mnuSep2"})
        EXPECT_TRUE(e.host.shown(item)) << item;
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(top->isVisible() && top->windowTitle() == QStringLiteral("Error Check"));
}

TEST(frmInput, KeysKeepTheCaretOffLockedCellsAndCAndDTogether) {
    Editor e;
    e.form->cmdCD_Click();
    GridView* d = e.form->fpCardD;
    d->setFocus();
    d->setActiveCell(2, 2);
    QTest::keyClick(d, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(d->activeCol(), 2) << "column 1 is locked";
    d->setActiveCell(12, 2);
    QTest::keyClick(d, Qt::Key_Tab);
    EXPECT_EQ(d->activeCol(), 13);
    EXPECT_EQ(e.form->fpCardC->activeCol(), 2) << "C follows D's row, at column 2 from 10 on";
    EXPECT_EQ(e.form->fpCardC->activeRow(), 2);
}

TEST(frmInput, TabFromAnOpenCellEditorAlsoKeepsOffLockedCells) {
    Editor e;
    e.form->cmdCD_Click();
    GridView* d = e.form->fpCardD;
    d->setFocus();
    d->setActiveCell(2, 2);
    d->edit(d->currentIndex());
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, d) << "a cell editor is open";
    QTest::keyClicks(editor, "1.5");
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(d->activeCol(), 2) << "column 1 is locked";
    EXPECT_EQ(e.form->grids().fpCardD.value(2, 2), "1.5");
}

TEST(frmInput, CellRulesRunOnUserChanges) {
    Editor e;
    e.form->cmdB1_Click();
    SetCell(e.form->fpCardB1, 3, 2, "12.345");
    EXPECT_EQ(e.titles(), std::vector<std::string>{"Value Change"});
    EXPECT_EQ(e.form->grids().fpCardB1.value(3, 2), "12.3");
    e.form->cmdCD_Click();
    Grid& d = e.form->grids().fpCardD;
    SetCell(e.form->fpCardD, 13, 2, "2");
    SetCell(e.form->fpCardD, 14, 2, "0.5");
    EXPECT_EQ(d.value(13, 2), "") << "the fractions and the level exclude each other";
    SetCell(e.form->fpCardD, 17, 2, "12");
    EXPECT_EQ(d.value(13, 2), "3");
    EXPECT_EQ(d.value(19, 2), "1");
}

// From the button in the D grid, through the calculator, into the last catchment's slope.
TEST(frmInput, BuildSlopeWritesTheCompositeIntoTheLastCatchment) {
    Editor e;
    e.form->cmdCD_Click();
    SetCell(e.form->fpCardD, 2, 2, "0.5");
    emit e.form->fpCardD->ButtonClicked(6, 3);
    auto* slope = e.form->findChild<SLOPEfrm*>();
    ASSERT_NE(slope, nullptr);
    QTest::keyClicks(slope->slopeBox(0), "0.05");
    EXPECT_EQ(slope->compositeLabel()->text(), "0.046");
    QTest::mouseClick(slope->okButton(), Qt::LeftButton);
    EXPECT_EQ(e.form->grids().fpCardD.value(6, 2), "0.046");
    EXPECT_FALSE(slope->isVisible());
    EXPECT_EQ(e.form->fpCardD->activeCol(), 6);
    EXPECT_EQ(e.form->fpCardD->activeRow(), 2);
}

// With the program's real message box: when it closes, the focus is back in the length box that
// was just left, not in the editor under the box.
TEST(frmInput, EntryCheckGivesTheFocusBackToTheLengthJustLeft) {
    QtPlatform shown;
    Editor e(&shown);
    e.form->cmdCD_Click();
    emit e.form->fpCardD->ButtonClicked(6, 3);
    auto* slope = e.form->findChild<SLOPEfrm*>();
    ASSERT_TRUE(QTest::qWaitForWindowActive(slope));
    QTest::qWait(100); // until the window system has settled on the calculator
    ASSERT_TRUE(slope->isActiveWindow());
    MessageBoxAnswer enter([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Return); });
    QLineEdit* length = slope->lengthBox(0);
    length->setFocus(Qt::MouseFocusReason);
    length->selectAll();
    QTest::keyClicks(length, "0");
    QTest::keyClick(length, Qt::Key_Tab);
    EXPECT_TRUE(QTest::qWaitFor([length] { return QApplication::focusWidget() == length; }));
    EXPECT_TRUE(slope->isActiveWindow());
}

// Enter after a title: the change rule redraws record set A once the editor has closed, so the
// editor is closed once, on its own view.
TEST(frmInput, EnterAfterATitleClosesItsEditorOnce) {
    Editor e;
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { warnings << text; });
    GridView* a = e.form->fpCardA;
    TypeInCell(a, 2, 2, QStringLiteral("TITLE"));
    qInstallMessageHandler(previous);
    EXPECT_EQ(e.form->grids().fpCardA.value(2, 2), "TITLE");
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(a->currentIndex(), a->gridModel()->cellIndex(1, 2)) << "back on the option";
}
