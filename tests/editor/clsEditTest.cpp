#include "editor/clsEdit.h"

#include "deck/RecordSets.h"
#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "platform/RecordingPlatform.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace tovan;

namespace {

// A window with two B2 grids, a text box and a button, each of which can take the focus.
struct EditWindow {
    Grid first = MakeCardB2Grid();
    Grid second = MakeCardB2Grid();
    QWidget window;
    GridView* one = new GridView(&window);
    GridView* two = new GridView(&window);
    QLineEdit* text = new QLineEdit(&window);
    QPushButton* button = new QPushButton(QStringLiteral("OK"), &window);
    RecordingPlatform platform;
    clsEdit edit{platform};

    EditWindow() {
        one->setGrid(first);
        two->setGrid(second);
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{one, two, text, button})
            layout->addWidget(w);
        window.resize(800, 700);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void focus(QWidget* widget) {
        widget->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), widget);
    }
    void select(GridView* grid, int col1, int row1, int col2, int row2) {
        auto* model = grid->gridModel();
        grid->setActiveCell(col1, row1);
        grid->selectionModel()->select(
            QItemSelection(model->cellIndex(col1, row1), model->cellIndex(col2, row2)),
            QItemSelectionModel::ClearAndSelect);
    }
};

} // namespace

TEST(clsEdit, BlockCopiedFromAGridPastesIntoAnotherWithTheSameValues) {
    EditWindow w;
    w.first.setValue(1, 2, "1");
    w.first.setValue(2, 2, "STORM A");
    w.first.setValue(3, 2, "4");
    w.first.setValue(4, 3, "1.25");
    w.focus(w.one);
    w.select(w.one, 1, 2, 4, 3);
    w.edit.Copy();
    w.focus(w.two);
    w.two->setActiveCell(1, 4);
    w.edit.Paste();
    for (int row = 2; row <= 3; ++row) {
        for (int col = 1; col <= 4; ++col)
            EXPECT_EQ(w.second.value(col, row + 2), w.first.value(col, row)) << col << row;
    }
    EXPECT_TRUE(w.platform.messages.empty());
}

TEST(clsEdit, CutClearsTheBlockAndPasteTwicePastesTwice) {
    EditWindow w;
    w.first.setValue(1, 2, "5");
    w.first.setValue(1, 3, "6");
    w.focus(w.one);
    w.select(w.one, 1, 2, 1, 3);
    w.edit.Cut();
    EXPECT_EQ(w.first.value(1, 2), "");
    EXPECT_EQ(w.first.value(1, 3), "");
    w.one->setActiveCell(1, 10);
    w.edit.Paste();
    w.one->setActiveCell(1, 20);
    w.edit.Paste();
    EXPECT_EQ(w.first.value(1, 11), "6");
    EXPECT_EQ(w.first.value(1, 21), "6");
}

TEST(clsEdit, CopyWithAButtonFocusedEmptiesTheClipboard) {
    EditWindow w;
    QApplication::clipboard()->setText(QStringLiteral("old"));
    w.focus(w.button);
    w.edit.Copy();
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
    w.edit.Paste(); // nothing to paste into
    EXPECT_EQ(w.first.dataRowCnt(), 1);
}

TEST(clsEdit, TextBoxCutCopyAndPaste) {
    EditWindow w;
    w.text->setText(QStringLiteral("catchment"));
    w.focus(w.text);
    w.text->setCursorPosition(2);
    QApplication::clipboard()->setText(QStringLiteral("old"));
    w.edit.Cut(); // nothing selected: clipboard emptied, text unchanged
    EXPECT_TRUE(QApplication::clipboard()->text().isEmpty());
    EXPECT_EQ(w.text->text(), QStringLiteral("catchment"));
    w.text->setSelection(0, 5);
    w.edit.Copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("catch"));
    w.text->setSelection(5, 4);
    w.edit.Paste();
    EXPECT_EQ(w.text->text(), QStringLiteral("catchcatch"));
}
