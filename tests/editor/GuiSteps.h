// What a user does in the editor's grids and with the program's message boxes, shared by the
// editor's and the shell's widget tests.
#pragma once

#include "editor/GridTableModel.h"
#include "editor/GridView.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace tovan::testing {

// Stores a cell's text as a committed cell editor does; false when the cell refuses it.
inline bool SetCell(GridView* grid, int col, int row, const char* text) {
    auto* model = grid->gridModel();
    return model->setData(model->cellIndex(col, row), QString::fromLatin1(text), Qt::EditRole);
}

// Types into a cell as a user does: the first key opens the cell's editor, Enter stores.
inline void TypeInCell(GridView* grid, int col, int row, const QString& text) {
    grid->setFocus();
    grid->setActiveCell(col, row);
    QTest::keyClicks(grid, text.left(1));
    QWidget* cellEditor = QApplication::focusWidget();
    QTest::keyClicks(cellEditor, text.mid(1));
    QTest::keyClick(cellEditor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits, the step closes
}

// Opens the cell's list with F2 and takes an item with Enter.
inline void PickInCell(GridView* grid, int col, int row, int item) {
    grid->setFocus();
    grid->setActiveCell(col, row);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_NE(combo, nullptr) << "the list editor is open";
    ASSERT_TRUE(QTest::qWaitFor([combo] { return combo->view()->isVisible(); }));
    combo->view()->setCurrentIndex(combo->model()->index(item, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    QApplication::processEvents();
}

// While it lives, answers every real message box that comes up with `answer`.
class MessageBoxAnswer {
  public:
    explicit MessageBoxAnswer(std::function<void(QMessageBox*)> answer, int everyMs = 20) {
        QObject::connect(&timer_, &QTimer::timeout, [answer] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                answer(box);
        });
        timer_.start(everyMs);
    }

  private:
    QTimer timer_;
};

} // namespace tovan::testing
