#include "editor/GridView.h"

#include "GuiSteps.h"
#include "deck/RecordSets.h"
#include "editor/GridTableModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

using namespace tovan;
using namespace tovan::testing;

namespace {

struct ShownGrid {
    Grid grid;
    GridView view;
    explicit ShownGrid(Grid g) : grid(std::move(g)) {
        view.setGrid(grid);
        view.resize(900, 400);
        view.show();
        view.setFocus();
        view.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&view));
    }
    QPoint centreOf(int col, int row) const {
        return view.visualRect(view.gridModel()->cellIndex(col, row)).center();
    }
};

} // namespace

TEST(GridView, TypingStoresValuesTheCellAccepts) {
    ShownGrid b1(MakeCardB1Grid());
    QSignalSpy changes(&b1.view, &GridView::Change);
    TypeInCell(&b1.view, 3, 2, QStringLiteral("1.25"));
    EXPECT_EQ(b1.grid.value(3, 2), "1.25");
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes[0][0].toInt(), 3);
    EXPECT_EQ(changes[0][1].toInt(), 2);
    TypeInCell(&b1.view, 3, 2, QStringLiteral("1.23456")); // the fourth decimal cannot be typed
    EXPECT_EQ(b1.grid.value(3, 2), "1.234");
    TypeInCell(&b1.view, 2, 2, QString(70, QLatin1Char('x')));
    EXPECT_EQ(b1.grid.value(2, 2).size(), 60U);
    TypeInCell(&b1.view, 1, 2, QStringLiteral("0")); // below the storm numbers: not stored
    EXPECT_EQ(b1.grid.value(1, 2), "");
}

// Erasing a number and pressing Tab or Enter clears the cell and leaves the editor.
TEST(GridView, AnErasedNumberIsClearedByTabOrEnter) {
    ShownGrid b1(MakeCardB1Grid());
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Return}) {
        TypeInCell(&b1.view, 3, 2, QStringLiteral("1.25"));
        b1.view.setActiveCell(3, 2);
        QTest::keyClick(&b1.view, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(qobject_cast<QLineEdit*>(editor), nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, key);
        QApplication::processEvents();
        EXPECT_EQ(b1.grid.value(3, 2), "") << key;
        EXPECT_EQ(b1.grid.activeCol(), key == Qt::Key_Tab ? 4 : 3) << key;
        EXPECT_NE(QApplication::focusWidget(), editor) << key;
        if (key == Qt::Key_Tab) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
}

// Enter stores and goes down a row, typed into a cell or pressed on one; in an open list,
// Enter and Tab take the highlighted item and move on.
TEST(GridView, EnterAndTabStoreAndMoveOnAsInASpreadsheet) {
    ShownGrid b2(MakeCardB2Grid());
    const auto caret = [&] { return std::pair(b2.grid.activeCol(), b2.grid.activeRow()); };
    TypeInCell(&b2.view, 4, 2, QStringLiteral("1.5"));
    EXPECT_EQ(b2.grid.value(4, 2), "1.5");
    EXPECT_EQ(caret(), std::pair(4, 3));
    QTest::keyClicks(&b2.view, QStringLiteral("2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(b2.grid.value(4, 3), "2");
    EXPECT_EQ(caret(), std::pair(4, 4));
    QTest::keyClick(&b2.view, Qt::Key_Return); // no editor: a step down all the same
    EXPECT_EQ(caret(), std::pair(4, 5));

    // The item is picked by typing its leading number: "5" years is item 1, "10" item 2.
    for (const auto& [key, typed, item, to] :
         {std::tuple{Qt::Key_Tab, "5", 1, std::pair(4, 2)},
          std::tuple{Qt::Key_Return, "10", 2, std::pair(3, 3)}}) {
        b2.view.setActiveCell(3, to.second - (key == Qt::Key_Tab ? 0 : 1));
        QTest::keyClick(&b2.view, Qt::Key_F2);
        auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
        ASSERT_NE(combo, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([combo] { return combo->view()->isVisible(); }));
        QTest::keyClicks(combo->view(), QString::fromLatin1(typed));
        QTest::keyClick(combo->view(), key);
        QApplication::processEvents();
        EXPECT_EQ(b2.grid.value(3, to.second - (key == Qt::Key_Tab ? 0 : 1)), std::to_string(item))
            << key;
        EXPECT_EQ(caret(), to) << key;
        if (QApplication::focusWidget() != &b2.view)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    }
}

TEST(GridView, ComboCellEditorShowsItemsAndStoresTheIndex) {
    ShownGrid a(MakeCardAGrid());
    a.view.setActiveCell(1, 2);
    a.view.edit(a.view.currentIndex());
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("1 - Detailed Hyetograph Input"));
    QTRY_VERIFY(combo->view()->isVisible()); // the list opens with the editor
    combo->hidePopup();
    combo->setCurrentIndex(1);
    emit combo->activated(1);
    EXPECT_EQ(a.grid.value(1, 2), "1");
}

TEST(GridView, LockedCellsOpenNoEditor) {
    ShownGrid d(MakeCardDGrid());
    d.view.setActiveCell(1, 2);
    QTest::keyClicks(&d.view, QStringLiteral("5"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr);
    EXPECT_EQ(d.grid.value(1, 2), "");
}

TEST(GridView, ButtonCellRaisesButtonClickedWithColumnAndRow) {
    ShownGrid d(MakeCardDGrid());
    QSignalSpy clicked(&d.view, &GridView::ButtonClicked);
    QSignalSpy clicks(&d.view, &GridView::Click);
    QTest::mouseClick(d.view.viewport(), Qt::LeftButton, {}, d.centreOf(6, 3));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 6);
    EXPECT_EQ(clicked[0][1].toInt(), 3);
    ASSERT_EQ(clicks.count(), 1);
    QTest::mouseClick(d.view.viewport(), Qt::LeftButton, {}, d.centreOf(5, 3));
    EXPECT_EQ(clicked.count(), 1) << "a grey cell of the button row is no button";
}

TEST(GridView, KeyAndMouseEventsCarryTheProgramsCodes) {
    ShownGrid c(MakeCardCGrid());
    QSignalSpy down(&c.view, &GridView::KeyDown);
    QSignalSpy up(&c.view, &GridView::KeyUp);
    QSignalSpy mouse(&c.view, &GridView::MouseUp);
    c.view.setActiveCell(2, 2);
    QTest::keyClick(&c.view, Qt::Key_Tab);
    QTest::keyClick(&c.view, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(&c.view, Qt::Key_Delete);
    ASSERT_EQ(down.count(), 4) << "Tab, Shift, Shift+Tab, Delete";
    EXPECT_EQ(down[0][0].toInt(), 9);
    EXPECT_EQ(down[0][1].toInt(), 0);
    EXPECT_EQ(down[1][0].toInt(), 16);
    EXPECT_EQ(down[2][0].toInt(), 9);
    EXPECT_EQ(down[2][1].toInt(), 1);
    EXPECT_EQ(up.last()[0].toInt(), 46);
    QTest::mouseClick(c.view.viewport(), Qt::RightButton, {}, c.centreOf(3, 2));
    ASSERT_EQ(mouse.count(), 1);
    EXPECT_EQ(mouse[0][0].toInt(), 2);
}

TEST(GridView, ActiveCellFollowsTheCaret) {
    ShownGrid c(MakeCardCGrid());
    c.view.setActiveCell(4, 2);
    QTest::keyClick(&c.view, Qt::Key_Right);
    EXPECT_EQ(c.grid.activeCol(), 5);
    EXPECT_EQ(c.grid.activeRow(), 2);
}

TEST(GridView, LabelRowIsTallEnoughForEveryWrappedLabel) {
    ShownGrid d(MakeCardDGrid());
    const int line = d.view.fontMetrics().height();
    auto* header = d.view.horizontalHeader();
    EXPECT_GE(header->height(), 3 * line) << "the long D labels wrap over several lines";
    const int section = 17; // column 18, the longest label
    const QString label = d.view.model()->headerData(section, Qt::Horizontal).toString();
    const QRect needed = d.view.fontMetrics().boundingRect(
        QRect(0, 0, header->sectionSize(section) - 8, 10000), Qt::TextWordWrap, label);
    EXPECT_LE(needed.height(), header->height());
}

namespace {

// Keys as the keyboard sends them: through the window, to whatever has the focus, without
// waiting between them.
void Keys(GridView& view, const QString& text) {
    for (const QChar c : text)
        QTest::keyClick(view.window()->windowHandle(), c.toLatin1());
}
void Key(GridView& view, Qt::Key key) {
    QTest::keyClick(view.window()->windowHandle(), key);
}

} // namespace

// Before, a key typed just after a second click on the current cell was lost ("50-YR" became
// "0-YR"): the click's delayed edit opened a fresh editor under the typing.
TEST(GridView, EveryKeyTypedAtFullSpeedIsKept) {
    struct Case {
        const char* name;
        std::function<void(ShownGrid&)> start; // caret on (2, 2), which holds "2-YEAR"
        const char* typed;
        Qt::Key end;
        const char* stored;
    };
    const auto clickTwice = [](ShownGrid& g) {
        QTest::mouseClick(g.view.viewport(), Qt::LeftButton, {}, g.centreOf(2, 2));
        QTest::mouseClick(g.view.viewport(), Qt::LeftButton, {}, g.centreOf(2, 2));
    };
    const Case cases[] = {
        {"type-over", [](ShownGrid&) {}, "100-YEAR", Qt::Key_Return, "100-YEAR"},
        {"after Tab from an open editor",
         [](ShownGrid& g) {
             g.view.setActiveCell(1, 2);
             Keys(g.view, QStringLiteral("4"));
             Key(g.view, Qt::Key_Tab);
         },
         "100-YEAR", Qt::Key_Return, "100-YEAR"},
        {"a second click on the cell", clickTwice, "50-YR", Qt::Key_Return, "50-YR"},
        {"F2 edits at the end", [](ShownGrid& g) { Key(g.view, Qt::Key_F2); }, "X", Qt::Key_Return,
         "2-YEARX"},
        {"a double-click edits at the end",
         [](ShownGrid& g) {
             const QPoint at = g.view.viewport()->mapTo(g.view.window(), g.centreOf(2, 2));
             QTest::mouseDClick(g.view.window()->windowHandle(), Qt::LeftButton, {}, at);
         },
         "X", Qt::Key_Tab, "2-YEARX"},
        {"Escape takes the edit back", [](ShownGrid&) {}, "ZZZ", Qt::Key_Escape, "2-YEAR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShownGrid b1(MakeCardB1Grid());
        b1.grid.setValue(2, 2, "2-YEAR");
        b1.view.setFocus();
        b1.view.setActiveCell(2, 2);
        c.start(b1);
        Keys(b1.view, QString::fromLatin1(c.typed));
        QTest::qWait(QApplication::doubleClickInterval() + 100); // any delayed edit is due
        Key(b1.view, c.end);
        QApplication::processEvents();
        EXPECT_EQ(b1.grid.value(2, 2), c.stored);
    }
}
