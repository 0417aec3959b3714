// Edit > Design Storm through its widgets: the preview says what Place will write, Place adds
// the storm as one step of Undo, a taken number is replaced only when the user agrees, and a
// deck of one-hour depths is told why it takes none.
#include "ShellFixture.h"
#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "storms/DesignStormDialog.h"

#include <QChartView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

using namespace tovan;
using namespace tovan::testing;

namespace {

// Runs `work` on the dialog once Edit > Design Storm has opened it.
void WithDialog(Shell& s, const std::function<void(DesignStormDialog&)>& work) {
    bool reached = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<DesignStormDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        reached = true;
        work(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    s.trigger("mnuEditDesignStorm");
    EXPECT_TRUE(reached);
}

void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
}

int Rows(const Grid& b1) {
    return b1.maxRows();
}

} // namespace

TEST(DesignStorm, PreviewPlaceAndUndoThroughTheDialog) {
    Shell s;
    s.open(Shell::example("hyetograph.tvi"));
    const Grid& b1 = s.editor()->grids().fpCardB1;
    const int before = Rows(b1);
    WithDialog(s, [&](DesignStormDialog& d) {
        auto* method = d.findChild<QComboBox*>(QStringLiteral("method"));
        method->setFocus();
        QTest::keyClick(method, Qt::Key_Home);
        QTest::keyClick(method, Qt::Key_Down);
        QTest::keyClick(method, Qt::Key_Down);
        EXPECT_EQ(method->currentText(), QStringLiteral("NRCS 24-hour Type II"));
        Retype(d.findChild<QLineEdit*>(QStringLiteral("depth")), QStringLiteral("5"));
        Retype(d.findChild<QLineEdit*>(QStringLiteral("step")), QStringLiteral("-5"));
        EXPECT_TRUE(d.summaryText().contains(QStringLiteral("greater than 0")));
        EXPECT_FALSE(d.findChild<QPushButton*>(QStringLiteral("place"))->isEnabled());
        Retype(d.findChild<QLineEdit*>(QStringLiteral("step")), QStringLiteral("5"));
        EXPECT_EQ(d.findChild<QSpinBox*>(QStringLiteral("number"))->value(), 4) << "next free";
        EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("ident"))->text(), "N2 5/5m");
        EXPECT_TRUE(d.summaryText().startsWith(
            QStringLiteral("Total 5.000 in in 288 steps of 5 min, on 18 cards. Peak 0.666 in")))
            << d.summaryText().toStdString();
        const auto series = d.findChild<QChartView*>(QStringLiteral("preview"))->chart()->series();
        EXPECT_EQ(series.size(), 2) << "bars and the cumulative curve";
        d.resize(d.sizeHint());
        QDir().mkpath(QStringLiteral(TOVAN_SCREENSHOTS));
        EXPECT_TRUE(d.grab().save(QStringLiteral(TOVAN_SCREENSHOTS "/design-storm.png")));
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("place")), Qt::LeftButton);
    });
    const auto placed = RowsOfStorm(b1, 4);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->second - placed->first + 1, 18);
    EXPECT_EQ(s.editor()->fpCardB1->activeRow(), placed->first) << "the caret on the storm";
    GridTableModel* model = s.editor()->fpCardB1->gridModel();
    EXPECT_TRUE(
        model->data(model->cellIndex(col::kB1FirstDepth + 4, placed->first + 1), Qt::ToolTipRole)
            .toString()
            .startsWith(QStringLiteral("Step 22 of storm 4, 1:45 to 1:50 from its start")));
    s.main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(s.main.get()));
    s.editor()->fpCardB1->setFocus();
    s.editor()->fpCardB1->setActiveCell(col::kB1FirstDepth, placed->second);
    QLabel* status = s.main->findChild<QLabel*>(QStringLiteral("statusDeck"));
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral(
        "storm 4 (N2 5/5m): 288 steps of 5 min, 24:00 long, 5.000 in, peak 0.666 in at step 143")))
        << status->toolTip().toStdString();
    EXPECT_EQ(s.main->menuItem("mnuEditUndo")->text(), QStringLiteral("&Undo Place Storm"));
    s.trigger("mnuEditUndo");
    EXPECT_EQ(Rows(b1), before) << "one step takes the whole storm back";
    EXPECT_FALSE(RowsOfStorm(b1, 4));
    const std::pair<std::string, std::string> depthKey{"DesignStorm", "Depth"};
    EXPECT_EQ(s.platform.settings[depthKey], "5") << "remembered";

    // Storm 2 is taken: Place asks, and a No keeps the deck as it is.
    WithDialog(s, [&](DesignStormDialog& d) {
        d.findChild<QSpinBox*>(QStringLiteral("number"))->setValue(2);
        EXPECT_TRUE(d.summaryText().contains(QStringLiteral("Place replaces it")));
        s.platform.answers.push_back(Answer::No);
        QTest::mouseClick(d.findChild<QPushButton*>(QStringLiteral("place")), Qt::LeftButton);
        EXPECT_TRUE(d.isVisible()) << "still open after No";
    });
    EXPECT_EQ(Rows(b1), before);
}

TEST(DesignStorm, ADeckOfOneHourDepthsIsToldWhy) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    s.trigger("mnuEditDesignStorm");
    EXPECT_EQ(s.texts().back().rfind("Design storms go into record set B1", 0), 0u);
}
