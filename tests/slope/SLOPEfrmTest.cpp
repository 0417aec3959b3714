// The calculator window driven as a user drives it: keys typed into the boxes, buttons
// clicked, and the record D grid model checked afterwards.
#include "slope/SLOPEfrm.h"

#include "Screenshots.h"
#include "deck/RecordSets.h"
#include "platform/RecordingPlatform.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

using namespace tovan;

// Read by LeakSanitizer in the sanitizer build: fontconfig keeps a cache of its own for the
// life of the process, which is not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

class SlopeForm : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "slope_gui_tests";
        static char* argv[] = {name, nullptr};
        // Never destroyed: at exit it would outlive the input devices that Qt tears down
        // before it, and crash there.
        static auto* app = new QApplication(argc, argv);
        (void)app;
    }

    SlopeForm() : fpCardD(MakeCardDGrid()) {}

    void Open() {
        form.showModeless();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }

    // Clicks into a box and types over what the focus selected there.
    void Type(QLineEdit* box, const char* keys) {
        box->setFocus(Qt::MouseFocusReason);
        box->selectAll();
        QTest::keyClicks(box, keys);
    }

    void TypeSegment(int index, const char* length, const char* slope) {
        Type(form.lengthBox(index), length);
        Type(form.slopeBox(index), slope);
    }

    // A mnemonic presses its button the way a click does, after a short animation.
    bool PressMnemonic(Qt::Key key) {
        QTest::keyClick(form.windowHandle(), key, Qt::AltModifier);
        return QTest::qWaitFor([&] { return !form.isVisible(); }, 2000);
    }

    QString Composite() const { return form.compositeLabel()->text(); }
    QString Corrected(int index) const { return form.correctedSlopeLabel(index)->text(); }

    RecordingPlatform platform;
    Grid fpCardD;
    QWidget editor;
    SLOPEfrm form{&editor, fpCardD, platform};
};

const RecordingPlatform::Message kEntryCheck{"The FIRST SEGMENT LENGTH must be greater than zero.",
                                             MessageIcon::Information, "ENTRY CHECK"};

} // namespace

// What the calculator computes is the slope reference cases' (tests/cases/slope-*); here, how
// typing, focus and the buttons reach it.
TEST_F(SlopeForm, LengthChangesCountWhenTheBoxIsLeft) {
    Open();
    Type(form.slopeBox(0), "0.02");
    TypeSegment(1, "", "0.04");
    EXPECT_EQ(Composite(), "0.020");
    Type(form.lengthBox(1), "3");
    EXPECT_EQ(Composite(), "0.020") << "typing a length recomputes nothing";
    QTest::keyClick(form.lengthBox(1), Qt::Key_Tab);
    EXPECT_EQ(Composite(), "0.034");
}

TEST_F(SlopeForm, KeysAboveTheColonAreDiscarded) {
    Open();
    Type(form.lengthBox(0), "1a.Z5;x");
    EXPECT_EQ(form.lengthBox(0)->text(), "1.5");
    Type(form.slopeBox(0), "-0.0e2:/ ");
    EXPECT_EQ(form.slopeBox(0)->text(), "-0.02:/ ");
    QTest::keyClick(form.slopeBox(0), Qt::Key_Backspace);
    EXPECT_EQ(form.slopeBox(0)->text(), "-0.02:/");
}

TEST_F(SlopeForm, FocusSelectsTheFirstFiveCharacters) {
    Open();
    form.lengthBox(1)->setText("12345678");
    form.lengthBox(0)->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(form.lengthBox(0), Qt::Key_Tab);
    QTest::keyClick(form.slopeBox(0), Qt::Key_Tab);
    ASSERT_TRUE(form.lengthBox(1)->hasFocus()) << "Tab walks along the segment rows";
    EXPECT_EQ(form.lengthBox(1)->selectedText(), "12345");
    QTest::keyClick(form.lengthBox(1), Qt::Key_9);
    EXPECT_EQ(form.lengthBox(1)->text(), "9678");
}

TEST_F(SlopeForm, EnterMovesOnFromALengthAndClosesFromASlope) {
    Open();
    Type(form.lengthBox(2), "2");
    QTest::keyClick(form.lengthBox(2), Qt::Key_Return);
    EXPECT_TRUE(form.slopeBox(2)->hasFocus());
    EXPECT_EQ(form.lengthBox(2)->text(), "2");
    QTest::keyClicks(form.slopeBox(2), "0.03");
    QTest::keyClick(form.slopeBox(2), Qt::Key_Enter);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(fpCardD.value(col::kDSlope, 2), "") << "Enter transfers nothing";
    EXPECT_EQ(form.slopeBox(2)->text(), "0.03");
    EXPECT_EQ(form.lengthBox(2)->text(), "2");
}

TEST_F(SlopeForm, FirstLengthMustBeAboveZeroWhenAnyLengthIsLeft) {
    Open();
    Type(form.slopeBox(0), "0.02");
    Type(form.lengthBox(0), "0");
    QTest::keyClick(form.lengthBox(0), Qt::Key_Tab);
    ASSERT_EQ(platform.messages, std::vector{kEntryCheck});
    EXPECT_TRUE(form.lengthBox(0)->hasFocus());
    EXPECT_EQ(Composite(), "0.020") << "not recomputed";
    form.lengthBox(1)->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(platform.messages.size(), 2U) << "once, also when the focus goes to a length";
    EXPECT_TRUE(form.lengthBox(0)->hasFocus());

    Type(form.lengthBox(0), "-1");
    QTest::keyClick(form.lengthBox(0), Qt::Key_Tab);
    EXPECT_EQ(platform.messages.size(), 3U);
    Type(form.lengthBox(0), "1");
    QTest::keyClick(form.lengthBox(0), Qt::Key_Tab);
    EXPECT_EQ(platform.messages.size(), 3U);
    EXPECT_TRUE(form.slopeBox(0)->hasFocus());

    Type(form.lengthBox(2), "5");
    form.lengthBox(0)->setText(" ");
    QTest::keyClick(form.lengthBox(2), Qt::Key_Return);
    EXPECT_EQ(platform.messages.size(), 4U);
    EXPECT_TRUE(form.lengthBox(2)->hasFocus()) << "back to the box that was left";
}

TEST_F(SlopeForm, NegativeCorrectedSlopeKeepsThePreviousComposite) {
    Open();
    Type(form.slopeBox(0), "0.02");
    Type(form.slopeBox(1), "-0.5");
    EXPECT_EQ(Corrected(1), "-0.5");
    ASSERT_EQ(platform.messages.size(), 1U);
    EXPECT_EQ(platform.messages[0].title, "COMP_SLOPE Error!");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(Composite(), "0.020");
}

TEST_F(SlopeForm, OkWritesTheLastCatchmentRowAndResets) {
    fpCardD.insertRows(3);
    fpCardD.setValue(2, 3, "12");
    Open();
    TypeSegment(0, "1", "0.02");
    TypeSegment(1, "3", "0.04");
    QSignalSpy transferred(&form, &SLOPEfrm::compositeTransferred);
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(fpCardD.value(col::kDSlope, 3), "0.034");
    ASSERT_EQ(transferred.count(), 1);
    EXPECT_EQ(transferred[0], (QList<QVariant>{col::kDSlope, 3}));
    EXPECT_EQ(fpCardD.value(col::kDSlope, 2), "");
    EXPECT_EQ(fpCardD.activeCol(), col::kDSlope);
    EXPECT_EQ(fpCardD.activeRow(), 3);
    EXPECT_FALSE(form.isVisible());
    for (int i = 0; i < kSlopeSegments; ++i) {
        EXPECT_EQ(form.slopeBox(i)->text(), " ");
        EXPECT_EQ(form.lengthBox(i)->text(), i == 0 ? "1" : " ");
        EXPECT_EQ(Corrected(i), "0.");
    }
    EXPECT_EQ(Composite(), "0.000");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(SlopeForm, OkInANewDeckFillsTheFirstCatchmentRowNotTheLabel) {
    const std::string label = fpCardD.value(col::kDSlope, 1);
    Open();
    Type(form.slopeBox(0), "0.03");
    ASSERT_TRUE(PressMnemonic(Qt::Key_O));
    EXPECT_EQ(fpCardD.value(col::kDSlope, 2), "0.030");
    EXPECT_EQ(fpCardD.value(col::kDSlope, 1), label);
}

TEST_F(SlopeForm, OkWithTheDGridOffViewTransfersNothingButResets) {
    fpCardD.setVisible(false);
    Open();
    Type(form.slopeBox(0), "0.03");
    QSignalSpy transferred(&form, &SLOPEfrm::compositeTransferred);
    QTest::mouseClick(form.okButton(), Qt::LeftButton);
    EXPECT_EQ(fpCardD.value(col::kDSlope, 2), "");
    EXPECT_EQ(fpCardD.activeRow(), 1);
    EXPECT_EQ(transferred.count(), 0);
    EXPECT_EQ(form.slopeBox(0)->text(), " ");

    bool onView = false;
    SLOPEfrm asked(&editor, fpCardD, platform, [&] { return onView; });
    fpCardD.setVisible(true);
    asked.showModeless();
    asked.okButton()->click();
    EXPECT_EQ(fpCardD.activeRow(), 1) << "the editor's answer counts, not the model's flag";
    EXPECT_FALSE(asked.isVisible());
}

TEST_F(SlopeForm, CancelHidesAndKeepsTheEntriesForTheNextOpening) {
    Open();
    TypeSegment(1, "2", "0.05");
    const QString composite = Composite();
    QTest::mouseClick(form.cancelButton(), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    Open();
    EXPECT_EQ(form.lengthBox(1)->text(), "2");
    EXPECT_EQ(form.slopeBox(1)->text(), "0.05");
    EXPECT_EQ(Composite(), composite);
    ASSERT_TRUE(PressMnemonic(Qt::Key_C));
    EXPECT_EQ(fpCardD.value(col::kDSlope, 2), "");
}

TEST_F(SlopeForm, PictureShowsEveryControlWholeAndApart) {
    Open();
    TypeSegment(0, "1", "0.02");
    TypeSegment(1, "3", "0.05");
    tovan::testing::SaveScreenshot(form, QStringLiteral("SLOPEfrm.png"));
    // At its own size every control is whole and none lies over another.
    const QRect help = form.helpText()->geometry();
    EXPECT_FALSE(help.intersects(form.compositeLabel()->geometry()));
    EXPECT_FALSE(help.intersects(form.okButton()->geometry()));
    EXPECT_GE(form.compositeLabel()->height(), form.lengthBox(0)->height());
    for (const QWidget* control :
         std::initializer_list<const QWidget*>{form.correctedSlopeLabel(0), form.cancelButton()})
        EXPECT_TRUE(form.rect().adjusted(2, 2, -2, -2).contains(control->geometry()));
}
