#include "ShellFixture.h"
#include "deck/RecordSets.h"
#include "editor/frmInput.h"
#include "shell/frmCover.h"
#include "shell/frmTech.h"
#include "slope/SLOPEfrm.h"

#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using namespace tovan;
using namespace tovan::testing;
using tovan::testing::Shell;

namespace {

void ExpectNoDeckMenus(const Shell& s) {
    for (const char* item : {"mnuFileCreate", "mnuFileOpen", "mnuFileClose", "mnuFileRun",
                             "mnuSep2", "mnuFileExit", "mnuFile", "mnuHelp"})
        EXPECT_TRUE(s.shown(item)) << item;
    for (const char* item : {"mnuEdit", "mnuFileSave", "mnuSep3"})
        EXPECT_FALSE(s.shown(item)) << item;
}

void ExpectEditingMenus(const Shell& s) {
    for (const char* item : {"mnuFileClose", "mnuFileSave", "mnuSep3", "mnuFileExit", "mnuEdit"})
        EXPECT_TRUE(s.shown(item)) << item;
    for (const char* item :
         {"mnuFileCreate", "mnuFileOpen", "mnuFileRun", "mnuSep2", "mnuEdit2Next"})
        EXPECT_FALSE(s.shown(item)) << item;
}

} // namespace

TEST(MainWindow, MenuTreeAndCoverHaveTheirCaptionsShortcutsAndUnavailableItems) {
    Shell s;
    // With a child maximised, the child's title follows: "Tovan2000 - [TOVAN 2000]".
    EXPECT_TRUE(s.main->windowTitle().startsWith(QStringLiteral("Tovan2000")));
    QStringList bar;
    for (QAction* menu : s.main->menuBar()->actions())
        bar << menu->text();
    EXPECT_EQ(bar, (QStringList{"&File", "&Edit", "&Help", "&Edit2", "&View", "&Window"}));
    EXPECT_EQ(s.main->menuItem("mnuFileSave")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(s.main->menuItem("mnuEditCut")->shortcut(), QKeySequence("Ctrl+X"));
    EXPECT_EQ(s.main->menuItem("mnuEditCopy1")->text(), QStringLiteral("&Copy Data"));
    EXPECT_EQ(s.main->menuItem("mnuEditPaste")->shortcut(), QKeySequence("Ctrl+V"));
    EXPECT_EQ(s.main->menuItem("mnuEdit2Clear")->text(), QStringLiteral("&Clear &All"));
    for (const char* item :
         {"mnuOpenExcel", "mnuFileSaveAs", "mnuEditDelete", "mnuEdit2Clear", "mnuEdit2"})
        EXPECT_FALSE(s.main->menuItem(item)->isEnabled()) << item;
    ExpectNoDeckMenus(s);
    EXPECT_EQ(s.main->cover()->windowTitle(), QStringLiteral("TOVAN 2000"));
    EXPECT_EQ(s.main->cover()->cmdNew->text(), QStringLiteral("&New File"));
    EXPECT_EQ(s.main->cover()->Label4->text(),
              QStringLiteral("Selet Run from the file menu to run an existing file or press the "
                             "\"Run File\" button."));
}

TEST(MainWindow, NewTypeSaveCloseOpenShowsWhatWasSaved) {
    Shell s;
    s.state.EnableB1 = s.state.EnableD = true;
    QTest::mouseClick(s.main->cover()->cmdNew, Qt::LeftButton);
    ASSERT_TRUE(s.editorShown());
    EXPECT_TRUE(s.state.EnableA);
    EXPECT_FALSE(s.state.EnableB1 || s.state.EnableD) << "a new deck offers record set A only";
    EXPECT_FALSE(s.coverShown());
    EXPECT_TRUE(s.main->editorWindow()->isMaximized());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "activation restored the arrow";
    ExpectEditingMenus(s);

    frmInput* editor = s.editor();
    SetCell(editor->fpCardA, 1, 2, "2");
    SetCell(editor->fpCardA, 2, 2, "SAVED AND OPENED");
    editor->cmdB2_Click();
    SetCell(editor->fpCardB2, 1, 2, "1");
    SetCell(editor->fpCardB2, 2, 2, "10-YEAR");
    SetCell(editor->fpCardB2, 3, 2, "10");
    SetCell(editor->fpCardB2, 4, 2, "1.6");
    ASSERT_TRUE(s.state.DeckChanged);

    s.platform.chosenFiles.push_back(s.path("saved.tvi"));
    s.trigger("mnuFileSave");
    ASSERT_EQ(s.platform.messages.size(), 1U);
    EXPECT_EQ(s.platform.messages[0].text, "Save operation was sucessful.");
    EXPECT_EQ(s.platform.messages[0].title, "SaveFile");
    EXPECT_EQ(s.platform.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(s.path("saved.tvi"))));
    EXPECT_EQ(s.main->deckPath(), s.path("saved.tvi"));
    EXPECT_EQ((s.platform.settings[{"CommonDialog", "Directory"}]),
              QDir(s.folder.path()).path().toStdString() + "/");
    EXPECT_TRUE(s.state.DeckChanged) << "the menu save does not clear it";

    s.platform.answers.push_back(Answer::No);
    s.trigger("mnuFileClose");
    EXPECT_EQ(s.platform.messages.back().text, "Do you Want to save?");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(s.editor()) << "unloaded";
    EXPECT_TRUE(s.coverShown());
    EXPECT_TRUE(s.main->coverWindow()->isMaximized());
    ExpectNoDeckMenus(s);

    s.platform.chosenFiles.push_back(s.path("saved.tvi"));
    QTest::mouseClick(s.main->cover()->cmdOpen, Qt::LeftButton);
    ASSERT_TRUE(s.editorShown());
    const DeckGrids& grids = s.editor()->grids();
    // Text fields come back with the blanks of their card columns.
    EXPECT_EQ(QString::fromStdString(grids.fpCardA.value(2, 2)).trimmed(), "SAVED AND OPENED");
    EXPECT_EQ(QString::fromStdString(grids.fpCardB2.value(2, 2)).trimmed(), "10-YEAR");
    EXPECT_EQ(grids.fpCardB2.value(3, 2), "2");
    EXPECT_EQ(grids.fpCardB2.value(4, 2), "1.6");
    EXPECT_TRUE(s.editor()->cmdB2->isEnabled());
    EXPECT_FALSE(s.editor()->cmdB1->isEnabled());
    ExpectEditingMenus(s);
}

TEST(MainWindow, CloseWithTheCoverInFrontDoesNothing) {
    Shell s;
    s.trigger("mnuFileClose");
    s.main->coverWindow()->close(); // nor does the cover's own close box
    EXPECT_TRUE(s.coverShown());
    EXPECT_FALSE(s.state.CloseAllowed);
    EXPECT_TRUE(s.platform.messages.empty());
}

TEST(MainWindow, SaveWithoutAnEditorHasNothingToSave) {
    Shell s;
    s.main->mnuFileSave_Click();
    ASSERT_EQ(s.platform.messages.size(), 1U);
    EXPECT_EQ(s.platform.messages[0].text, "Nothing to Save!");
    EXPECT_EQ(s.platform.messages[0].title, "mnuFileSave_Click Error!");
    EXPECT_EQ(s.platform.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(s.platform.dialogs.empty());
}

TEST(MainWindow, SaveDialogRemembersItsFolderAndCancelIsSilent) {
    Shell s;
    s.main->mnuFileCreate_Click();
    s.trigger("mnuFileSave"); // cancelled
    ASSERT_EQ(s.platform.dialogs.size(), 1U);
    EXPECT_EQ(s.platform.dialogs[0].title, "Save Files");
    EXPECT_EQ(s.platform.dialogs[0].filter, "Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*");
    EXPECT_EQ(s.platform.dialogs[0].initialDirectory, "C:\\");
    EXPECT_EQ(s.platform.dialogs[0].defaultExtension, "") << "a typed name is used as typed";
    EXPECT_TRUE(s.platform.messages.empty());
    EXPECT_EQ(s.files.saves, 0);
    EXPECT_FALSE(s.platform.busy);

    s.files.result = -1;
    s.platform.chosenFiles.push_back(std::string("/decks/plan"));
    s.trigger("mnuFileSave");
    EXPECT_EQ(s.texts(), std::vector<std::string>{"Error saving file."});
    EXPECT_EQ(s.platform.messages[0].title, "mnuFileSave_Click Error!");
    s.trigger("mnuFileSave");
    EXPECT_EQ(s.platform.dialogs[2].initialDirectory, "/decks/");
    EXPECT_FALSE(s.platform.busy);
}

TEST(MainWindow, ExitAsksOnceForAnEditedDeckAndSavesThePlacement) {
    Shell s;
    s.main->mnuFileCreate_Click();
    s.state.DeckChanged = true;
    s.platform.answers.push_back(Answer::No);
    s.main->mnuFileExit_Click();
    EXPECT_EQ(s.texts(), std::vector<std::string>{"Do you Want to save?"});
    EXPECT_TRUE(s.state.CloseAllowed);
    EXPECT_FALSE(s.main->isVisible());
    EXPECT_EQ(s.platform.settings.count({"Startup", "Width"}), 1U);
}

TEST(MainWindow, BackMovesTheCaretToColumnOneOfItsRow) {
    Shell s;
    s.main->mnuFileCreate_Click();
    s.editor()->cmdCD_Click();
    GridView* grid = s.editor()->fpCardD;
    grid->setFocus();
    grid->setActiveCell(7, 2);
    s.trigger("mnuEdit2Back");
    EXPECT_EQ(grid->activeCol(), 1);
    EXPECT_EQ(grid->activeRow(), 2);
    s.editor()->cmdBack->setFocus();
    grid->setActiveCell(7, 2);
    s.trigger("mnuEdit2Back");
    EXPECT_EQ(grid->activeCol(), 7) << "nothing happens without a grid in focus";
}

TEST(MainWindow, EditMenuCopiesAndPastesBetweenCells) {
    Shell s;
    s.main->mnuFileCreate_Click();
    s.editor()->cmdB2_Click();
    GridView* grid = s.editor()->fpCardB2;
    SetCell(grid, 2, 2, "COPIED");
    grid->setFocus();
    grid->setActiveCell(2, 2);
    s.trigger("mnuEditCopy1");
    grid->setActiveCell(2, 5);
    s.trigger("mnuEditPaste");
    EXPECT_EQ(s.editor()->grids().fpCardB2.value(2, 5), "COPIED");
    s.trigger("mnuEditCut");
    EXPECT_EQ(s.editor()->grids().fpCardB2.value(2, 5), "");
    EXPECT_TRUE(s.state.DeckChanged);
}

TEST(MainWindow, SaveIncludesTheValueStillBeingTyped) {
    Shell s;
    s.main->mnuFileCreate_Click();
    SetCell(s.editor()->fpCardA, 1, 2, "2");
    GridView* grid = s.editor()->fpCardA;
    grid->setFocus();
    grid->setActiveCell(2, 2);
    QTest::keyClicks(grid, QStringLiteral("T"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("YPED"));
    ASSERT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget())) << "still typing";
    s.platform.chosenFiles.push_back(s.path("typed.tvi"));
    s.main->mnuFileSave_Click();
    QFile saved(QString::fromStdString(s.path("typed.tvi")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readLine().startsWith(" 2TYPED"));
}

TEST(MainWindow, TechnicalSupportClosedWithEscapeBringsTheRunFormBack) {
    Shell s;
    QPointer<QDialog> runForm;
    QTimer::singleShot(0, [&runForm] {
        runForm = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(runForm, nullptr);
        runForm->findChild<QAction*>(QStringLiteral("mnuHelpTech"))->trigger();
    });
    s.main->mnuFileRun_click(); // returns as the run form makes way for the support form
    auto* tech = s.main->findChild<frmTech*>();
    ASSERT_NE(tech, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(tech));
    QTest::keyClick(tech, Qt::Key_Escape);
    ASSERT_FALSE(runForm.isNull());
    EXPECT_TRUE(runForm->isVisible()) << "the run form is back";
    runForm->close();
}

// The run form's first Browse starts in the folder of the deck opened last.
TEST(MainWindow, RunFormBrowseStartsInTheDecksFolder) {
    Shell s;
    const std::string deck = s.path("deck.tvi");
    QFile::copy(QString::fromStdString(Shell::example("one-hour.tvi")),
                QString::fromStdString(deck));
    s.open(deck);
    s.platform.answers.push_back(Answer::No);
    s.trigger("mnuFileClose");
    QTimer::singleShot(0, [] {
        auto* runForm = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(runForm, nullptr);
        QTest::mouseClick(runForm->findChild<QPushButton*>(QStringLiteral("cmdBrowse")),
                          Qt::LeftButton);
        runForm->close();
    });
    const std::size_t before = s.platform.dialogs.size();
    s.trigger("mnuFileRun");
    ASSERT_GT(s.platform.dialogs.size(), before);
    EXPECT_EQ(s.platform.dialogs.back().initialDirectory, FolderOf(deck));
}

// OK writes into the last catchment, as it always did; the calculator now says so, and Apply
// writes into the catchment the caret is on, as one step, with the status bar saying where.
TEST(MainWindow, BuildSlopeNamesWhereItWritesAndAppliesToTheCaretsCatchment) {
    Shell s;
    s.open(Shell::example("hyetograph.tvi"));
    frmInput* editor = s.editor();
    editor->cmdCD_Click();
    GridView* d = editor->fpCardD;
    const QModelIndex button = d->gridModel()->cellIndex(col::kDSlope, d->grid().maxRows());
    d->setFocus();
    d->scrollTo(button);
    d->setActiveCell(col::kDSlope, 3); // NW-2, the second of three catchments
    QTest::mouseClick(d->viewport(), Qt::LeftButton, {}, d->visualRect(button).center());
    auto* slope = editor->findChild<SLOPEfrm*>();
    ASSERT_TRUE(slope && slope->isVisible());
    EXPECT_EQ(slope->targetLabel()->text(), "OK writes the composite into record D, row 3, CBD.");
    EXPECT_EQ(slope->applyButton()->text(), "Apply to row 2, NW-2");
    EXPECT_FALSE(slope->applyButton()->isEnabled()) << "nothing computed yet";
    d->setActiveCell(col::kDSlope, 2);
    EXPECT_EQ(slope->applyButton()->text(), "Apply to row 1, NW-1") << "kept current";
    d->setActiveCell(col::kDSlope, 3);

    QTest::keyClicks(slope->slopeBox(0), "0.05");
    ASSERT_EQ(slope->compositeLabel()->text(), "0.046");
    const std::string before = d->grid().value(col::kDSlope, 3);
    const int steps = editor->document().undoStack().count();
    QTest::mouseClick(slope->applyButton(), Qt::LeftButton);
    EXPECT_EQ(d->grid().value(col::kDSlope, 3), "0.046");
    EXPECT_EQ(d->grid().value(col::kDSlope, 4), "0.008") << "the last catchment is untouched";
    EXPECT_EQ(s.main->statusBar()->currentMessage(),
              "Composite slope written into record D, row 2, NW-2.");
    EXPECT_EQ(editor->document().undoStack().count(), steps + 1);
    editor->undo();
    EXPECT_EQ(d->grid().value(col::kDSlope, 3), before);
}
