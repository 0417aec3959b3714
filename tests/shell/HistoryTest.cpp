#include "ShellFixture.h"
#include "editor/frmInput.h"
#include "fileio/GridJson.h"
#include "shell/DeckRecovery.h"
#include "slope/SLOPEfrm.h"

#include <QClipboard>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QScrollBar>
#include <QTimer>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <sys/stat.h>

using namespace tovan;
using namespace tovan::testing;
using tovan::testing::Shell;

namespace {

std::string Dump(Shell& s) {
    return GridsToJson(s.editor()->grids(), false).dump();
}

// A new deck with rainfall option 1 (B2 cards) and one catchment, built by typing.
void NewDeck(Shell& s) {
    s.main->mnuFileCreate_Click();
    frmInput* e = s.editor();
    PickInCell(e->fpCardA, col::kAOption, 2, 1);
    e->cmdCD_Click();
    PickInCell(e->fpCardC, col::kCPrint, 2, 0);
    PickInCell(e->fpCardC, col::kCRational, 2, 0);
    TypeInCell(e->fpCardD, col::kDArea, 2, QStringLiteral("12.5"));
    TypeInCell(e->fpCardD, col::kDDciaFraction, 2, QStringLiteral("0.5"));
}

} // namespace

// Each kind of change is one step: undo gives back the grids exactly as they were (what the
// cell rules changed because of it included) and redo the grids exactly as they became.
TEST(History, EveryKindOfChangeUndoesAndRedoesAsOneStep) {
    struct Case {
        const char* name;
        QString undoText;
        std::function<void(Shell&)> act;
        std::function<void(Shell&)> arrange = [](Shell&) {};
    };
    const std::vector<Case> cases = {
        {"typing, with the number fitted to its field", "&Undo Typing",
         [](Shell& s) {
             s.editor()->cmdB2_Click();
             TypeInCell(s.editor()->fpCardB2, col::kB2Depth, 2, QStringLiteral("1.234567"));
         }},
        {"a D interlock clearing fields", "&Undo Choice",
         [](Shell& s) { PickInCell(s.editor()->fpCardD, col::kDDciaLevel, 2, 2); }},
        {"paste of a block", "&Undo Paste of 4 cells",
         [](Shell& s) {
             s.editor()->cmdB2_Click();
             QApplication::clipboard()->setText(QStringLiteral("1\tFIRST\n2\tSECOND\n"));
             s.editor()->fpCardB2->setFocus();
             s.editor()->fpCardB2->setActiveCell(1, 3);
             s.trigger("mnuEditPaste");
         }},
        {"cut", "&Undo Cut of 1 cell",
         [](Shell& s) {
             s.editor()->fpCardD->setFocus();
             s.editor()->fpCardD->setActiveCell(col::kDArea, 2);
             s.trigger("mnuEditCut");
         }},
        {"the Delete key", "&Undo Delete",
         [](Shell& s) {
             s.editor()->fpCardD->setFocus();
             s.editor()->fpCardD->setActiveCell(col::kDArea, 2);
             QTest::keyClick(s.editor()->fpCardD, Qt::Key_Delete);
         }},
        {"Add Row C/D", "&Undo Add Row",
         [](Shell& s) {
             GridView* c = s.editor()->fpCardC;
             c->setFocus();
             c->setActiveCell(1, c->grid().maxRows());
             QTest::keyClick(c, Qt::Key_Space);
         }},
        {"the slope calculator's OK", "&Undo Composite Slope",
         [](Shell& s) {
             GridView* d = s.editor()->fpCardD;
             d->setFocus();
             d->setActiveCell(col::kDSlope, d->grid().maxRows()); // "Build Slope"
             QTest::keyClick(d, Qt::Key_Space);
             auto* slope = s.editor()->findChild<SLOPEfrm*>();
             ASSERT_NE(slope, nullptr);
             QTest::keyClicks(slope->slopeBox(0), "0.05");
             QTest::mouseClick(slope->okButton(), Qt::LeftButton);
             s.main->activateWindow();
         }},
        {"Fill Down over a block chosen with Shift+Down", "&Undo Fill Down",
         [](Shell& s) {
             GridView* d = s.editor()->fpCardD;
             d->setFocus();
             d->setActiveCell(col::kDArea, 2);
             QTest::keyClick(d, Qt::Key_Down, Qt::ShiftModifier);
             QTest::keyClick(d, Qt::Key_D, Qt::ControlModifier);
         },
         [](Shell& s) { // a second catchment of another area
             GridView* c = s.editor()->fpCardC;
             c->setFocus();
             c->setActiveCell(1, c->grid().maxRows());
             QTest::keyClick(c, Qt::Key_Space);
             TypeInCell(s.editor()->fpCardD, col::kDArea, 3, QStringLiteral("3.5"));
         }},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Shell s;
        NewDeck(s);
        test.arrange(s);
        QApplication::processEvents();
        const std::string before = Dump(s);
        test.act(s);
        QApplication::processEvents();
        const std::string after = Dump(s);
        ASSERT_NE(after, before);
        EXPECT_EQ(s.main->menuItem("mnuEditUndo")->text(), test.undoText);
        QTest::keyClick(s.main.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Dump(s), before);
        EXPECT_TRUE(s.state.DeckChanged) << "the deck was never saved";
        s.trigger("mnuEditRedo");
        EXPECT_EQ(Dump(s), after);
        // The history goes on working after an undo: the edit made again, once it was undone,
        // is one step again, and the step it replaced cannot be redone any more.
        s.trigger("mnuEditUndo");
        test.act(s);
        QApplication::processEvents();
        EXPECT_EQ(Dump(s), after) << "the same edit gives the same grids";
        EXPECT_FALSE(s.main->menuItem("mnuEditRedo")->isEnabled());
        s.trigger("mnuEditUndo");
        EXPECT_EQ(Dump(s), before);
        s.trigger("mnuEditRedo");
        EXPECT_EQ(Dump(s), after);
    }
}

TEST(History, UndoShowsTheRecordSetAndFollowsTheButtons) {
    Shell s;
    s.main->mnuFileCreate_Click();
    frmInput* e = s.editor();
    PickInCell(e->fpCardA, col::kAOption, 2, 1);
    ASSERT_TRUE(e->cmdB2->isEnabled());
    e->cmdCD_Click();
    QTest::keyClick(s.main.get(), Qt::Key_Z, Qt::ControlModifier); // the option
    EXPECT_TRUE(e->fpCardA->isVisible());
    EXPECT_FALSE(e->cmdB2->isEnabled());
    EXPECT_EQ(e->grids().fpCardA.value(col::kAOption, 2), "");
    EXPECT_FALSE(s.state.DeckChanged) << "back to the deck as it was made";
    QTest::keyClick(s.main.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(e->cmdB2->isEnabled());
    EXPECT_TRUE(s.state.DeckChanged);
}

TEST(History, ARefusedRainfallOptionChangeMakesNoStep) {
    Shell s;
    NewDeck(s);
    s.editor()->cmdA_Click();
    const int steps = s.editor()->document().undoStack().count();
    PickInCell(s.editor()->fpCardA, col::kAOption, 2, 0);
    ASSERT_FALSE(s.texts().empty());
    EXPECT_EQ(s.texts().back().substr(0, 30), "The program does not allow the");
    EXPECT_EQ(s.editor()->document().undoStack().count(), steps);
}

// A close whose save was cancelled keeps the deck aside; the next start offers it (Later keeps
// it, Recover opens it as an edited deck) and answering No at the close removes it.
TEST(Recovery, ACloseWithACancelledSaveLosesNothing) {
    QDir(RecoveryFolder()).removeRecursively();
    Shell s;
    NewDeck(s);
    TypeInCell(s.editor()->fpCardA, col::kATitle, 2, QStringLiteral("WEST BASIN"));
    const std::string typed = Dump(s);
    s.platform.answers.push_back(Answer::Yes); // and no file chosen: the save is cancelled
    s.trigger("mnuFileClose");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(s.editor()) << "the close went on";
    ASSERT_EQ(RecoveriesLeftBehind().size(), 1U);

    Shell next;
    next.platform.choices = {2, 0}; // Later, then Recover at the following start
    next.main->offerRecovery();
    EXPECT_FALSE(next.editor());
    next.main->offerRecovery();
    ASSERT_EQ(next.platform.messages.size(), 2U);
    EXPECT_TRUE(std::regex_match(next.platform.messages[1].text,
                                 std::regex("Tovan2000 closed without saving your deck of [0-9]+ "
                                            "[A-Z][a-z][a-z] 20[0-9][0-9] [0-9:]+ "
                                            "\\(WEST BASIN\\)\\. Recover it\\?")))
        << next.platform.messages[1].text;
    ASSERT_TRUE(next.editorShown());
    EXPECT_EQ(Dump(next), typed);
    EXPECT_TRUE(next.state.DeckChanged);
    // Recovered is not saved: a save cancelled at the close keeps the deck aside again.
    next.platform.answers.push_back(Answer::Yes);
    next.trigger("mnuFileClose");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(RecoveriesLeftBehind().size(), 1U) << "the recovered deck was lost";

    Shell last;
    last.platform.choices = {0}; // Recover
    last.main->offerRecovery();
    ASSERT_TRUE(last.editorShown());
    EXPECT_EQ(Dump(last), typed);
    last.platform.answers.push_back(Answer::No);
    last.trigger("mnuFileClose");
    EXPECT_TRUE(RecoveriesLeftBehind().empty());
}

// A recovery file that holds no deck is set aside and named once; every good one is still
// offered, each with its own time and title.
TEST(Recovery, AnUnreadableRecoveryFileHidesNoOtherDeck) {
    QDir(RecoveryFolder()).removeRecursively();
    {
        Shell s;
        NewDeck(s);
        TypeInCell(s.editor()->fpCardA, col::kATitle, 2, QStringLiteral("WEST BASIN"));
        ASSERT_EQ(WriteRecovery(NewRecoveryPath(), s.editor()->grids()), 0);
    }
    const QDir folder(RecoveryFolder());
    const auto write = [&](const char* name, const QByteArray& text) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    };
    write("recovery-1.json", R"({"writtenAt":5})");
    write("recovery-2.json", "{}");
    write("recovery-3.json", "[1,2");
    write("recovery-4.json", R"({"writtenAt":"2026-12-01T10:00:00","A":7})");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.filePath("recovery-5.json")).constData(), 0600), 0);

    Shell next;
    next.platform.choices = {2}; // Later
    next.main->offerRecovery();
    ASSERT_EQ(next.platform.messages.size(), 2U);
    const auto& setAside = next.platform.messages[0];
    EXPECT_EQ(setAside.text.rfind("Some decks kept aside could not be read.", 0), 0U);
    for (const char* named :
         {"recovery-1.json.unreadable: it does not say when it was written",
          "recovery-2.json.unreadable", "recovery-3.json.unreadable: it is not valid JSON",
          "recovery-4.json.unreadable: its grids",
          "recovery-5.json.unreadable: it is not a regular file"})
        EXPECT_NE(setAside.detail.find(named), std::string::npos) << named << "\n"
                                                                  << setAside.detail;
    EXPECT_NE(next.platform.messages[1].text.find("(WEST BASIN). Recover it?"), std::string::npos);
    EXPECT_EQ(
        folder.entryList({QStringLiteral("recovery-*.json")}, QDir::Files | QDir::System).size(),
        1);

    Shell third;
    third.platform.choices = {1}; // Discard
    third.main->offerRecovery();
    EXPECT_EQ(third.platform.messages.size(), 1U) << "what was set aside is not named again";
    QDir(RecoveryFolder()).removeRecursively();
}

// A change is written within the recovery delay, so a killed program leaves it behind; a save
// removes it and Discard at the next start removes what is left.
TEST(Recovery, AChangeIsKeptAsideSoonAfterAndASaveRemovesIt) {
    QDir(RecoveryFolder()).removeRecursively();
    Shell s;
    NewDeck(s);
    auto* timer = s.main->findChild<QTimer*>(QStringLiteral("recoveryTimer"));
    ASSERT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 30'000);
    timer->setInterval(1);
    ASSERT_TRUE(QTest::qWaitFor([] { return RecoveriesLeftBehind().size() == 1; }));
    s.platform.chosenFiles.push_back(s.path("saved.tvi"));
    s.trigger("mnuFileSave");
    EXPECT_TRUE(RecoveriesLeftBehind().empty());

    TypeInCell(s.editor()->fpCardD, col::kDArea, 2, QStringLiteral("7"));
    s.editor()->document().closeStep();
    timer->setInterval(1);
    ASSERT_TRUE(QTest::qWaitFor([] { return RecoveriesLeftBehind().size() == 1; }));
    s.main.reset(); // killed: nothing more happens
    Shell next;
    next.platform.choices = {1};
    next.main->offerRecovery();
    EXPECT_TRUE(RecoveriesLeftBehind().empty());
    EXPECT_FALSE(next.editor());
}

// A real kill -9: a second copy of this program types a deck and waits to be killed once the
// typing is kept aside (at most the recovery delay later; shortened here); the next start
// recovers every cell of it.
TEST(Recovery, WhatWasTypedOutlivesAKill) {
    if (const QByteArray folder = qgetenv("TOVAN_TYPE_UNTIL_KILLED"); !folder.isEmpty()) {
        qputenv("XDG_DATA_HOME", folder); // the killing copy's recovery folder
        Shell s;
        NewDeck(s);
        s.main->findChild<QTimer*>(QStringLiteral("recoveryTimer"))->setInterval(1);
        QTest::qWait(60'000);
        return;
    }
    QDir(RecoveryFolder()).removeRecursively();
    QTemporaryDir scratch; // the killed copy's own temporary files go with it
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TOVAN_TYPE_UNTIL_KILLED"),
                       qEnvironmentVariable("XDG_DATA_HOME"));
    environment.insert(QStringLiteral("TMPDIR"), scratch.path());
    QProcess typist;
    typist.setProcessEnvironment(environment);
    typist.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=Recovery.WhatWasTypedOutlivesAKill")});
    ASSERT_TRUE(QTest::qWaitFor([] { return !RecoveriesLeftBehind().empty(); }, 30'000));
    typist.kill(); // SIGKILL
    ASSERT_TRUE(typist.waitForFinished());
    EXPECT_EQ(typist.exitStatus(), QProcess::CrashExit);

    Shell next;
    next.platform.choices = {0}; // Recover
    next.main->offerRecovery();
    ASSERT_TRUE(next.editorShown());
    EXPECT_EQ(next.editor()->grids().fpCardD.value(col::kDArea, 2), "12.5");
    EXPECT_EQ(next.editor()->grids().fpCardD.value(col::kDDciaFraction, 2), "0.5");
    EXPECT_TRUE(next.state.DeckChanged);
}

// Saved decks join Open > Recent Decks, which survives a restart, reopens them and greys those
// that went away; the status bar names the deck, its state, the record set and the cell.
TEST(Conveniences, RecentDecksAndTheStatusBar) {
    Shell s;
    NewDeck(s);
    s.main->resize(300, 150); // too low for the editor's grids: refused
    EXPECT_GE(s.main->mdiArea()->height(), s.editor()->minimumHeight());
    auto* status = s.main->findChild<QLabel*>(QStringLiteral("statusDeck"));
    EXPECT_TRUE(
        status->toolTip().startsWith(QStringLiteral("new deck  |  modified  |  Record Set CD")))
        << status->toolTip().toStdString();
    s.platform.chosenFiles.push_back(s.path("recent.tvi"));
    s.trigger("mnuFileSave");
    EXPECT_TRUE(status->toolTip().startsWith(QString::fromStdString(s.path("recent.tvi"))));
    s.platform.answers.push_back(Answer::No);
    s.trigger("mnuFileClose");

    s.main.reset();
    s.start();
    ASSERT_EQ(s.main->recentDecks(), std::vector<std::string>{s.path("recent.tvi")});
    auto* recent = s.main->findChild<QMenu*>(QStringLiteral("mnuOpenRecent"));
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), 1);
    recent->actions()[0]->trigger();
    ASSERT_TRUE(s.editorShown());
    EXPECT_EQ(s.editor()->grids().fpCardD.value(col::kDArea, 2), "12.5");
    s.platform.answers.push_back(Answer::No);
    s.trigger("mnuFileClose");
    QFile::remove(QString::fromStdString(s.path("recent.tvi")));
    emit recent->aboutToShow();
    EXPECT_FALSE(recent->actions()[0]->isEnabled());
    EXPECT_EQ(s.main->menuItem("mnuFileCreate")->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(s.main->menuItem("mnuOpenTovan")->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(s.main->menuItem("mnuFileExit")->shortcut(), QKeySequence("Ctrl+Q"));
}

// Save to writes the deck's own file without a dialog (Ctrl+Alt+S); Save a Copy proposes the
// name, adds .tvi to one typed without it and leaves the deck's file as it was. The status bar
// says "modified" only while the grids differ from the file, names the record set in view and,
// on a C or D row, the field and the catchment.
TEST(Conveniences, SaveToSaveACopyAndWhatTheStatusBarSays) {
    Shell s;
    auto* status = s.main->findChild<QLabel*>(QStringLiteral("statusDeck"));
    const std::string deck = s.path("deck.tvi");
    QFile::copy(QString::fromStdString(Shell::example("one-hour.tvi")),
                QString::fromStdString(deck));
    s.open(deck);
    EXPECT_TRUE(s.main->menuItem("mnuFileSaveTo")->isEnabled());
    EXPECT_EQ(s.main->menuItem("mnuFileSaveTo")->text(), QStringLiteral("Save &to deck.tvi"));
    GridView* d = s.editor()->fpCardD;
    s.editor()->cmdCD_Click();
    d->setFocus();
    d->setActiveCell(col::kDArea, 3);
    QTest::keyClick(d, Qt::Key_Right); // a step is no change
    EXPECT_FALSE(status->toolTip().contains(QStringLiteral("modified")));
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("catchment WEST (2)")))
        << status->toolTip().toStdString();
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("Catchment Lenght (miles):")));

    TypeInCell(d, col::kDArea, 3, QStringLiteral("7"));
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("modified")));
    QTest::keyClick(d, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(status->toolTip().contains(QStringLiteral("modified")))
        << "undone back to the file";
    TypeInCell(d, col::kDArea, 3, QStringLiteral("7"));
    const std::size_t dialogs = s.platform.dialogs.size();
    QTest::keyClick(d, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(s.platform.dialogs.size(), dialogs) << "no dialog";
    EXPECT_FALSE(status->toolTip().contains(QStringLiteral("modified")));
    EXPECT_EQ(s.texts().back(), "Save operation was sucessful.");
    std::ifstream saved(deck, std::ios::binary);
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_NE(text.str().find("   7."), std::string::npos) << text.str();

    s.platform.chosenFiles.push_back(s.path("copy"));
    s.trigger("mnuFileSaveCopy");
    EXPECT_EQ(s.platform.dialogs.back().fileName, "deck.tvi");
    EXPECT_TRUE(QFile::exists(QString::fromStdString(s.path("copy.tvi"))));
    EXPECT_EQ(s.main->deckPath(), deck) << "a copy leaves the deck's file";

    s.editor()->cmdB2_Click();
    EXPECT_TRUE(status->toolTip().contains(QStringLiteral("Record Set B2")))
        << status->toolTip().toStdString();
}

// Ctrl+G takes the caret to a catchment by identification (any case) or number, in both
// grids; each D row names its catchment in the row header, and the two grids scroll together.
TEST(Conveniences, GoToCatchmentAndTheNamedDRows) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    GridView* c = s.editor()->fpCardC;
    GridView* d = s.editor()->fpCardD;
    const auto goTo = [&](const char* typed) {
        QTimer::singleShot(0, [typed] {
            auto* ask = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(ask, nullptr);
            QTest::keyClicks(ask->findChild<QLineEdit*>(), QString::fromLatin1(typed));
            QTest::keyClick(ask->findChild<QLineEdit*>(), Qt::Key_Return);
        });
        s.main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(s.main.get()));
        QTest::keyClick(s.main.get(), Qt::Key_G, Qt::ControlModifier);
        s.main->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(s.main.get()));
    };
    goTo("park");
    EXPECT_EQ(std::pair(d->activeCol(), d->activeRow()), std::pair(col::kDArea, 4));
    EXPECT_EQ(c->activeRow(), 4);
    EXPECT_EQ(d->gridModel()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(),
              QStringLiteral("3 PARK"));
    QLabel* status = s.main->findChild<QLabel*>(QStringLiteral("statusDeck"));
    EXPECT_TRUE(QTest::qWaitFor([status] {
        return status->toolTip().contains(QStringLiteral("catchment PARK (3)"));
    })) << status->toolTip().toStdString();
    goTo("2");
    EXPECT_EQ(d->activeRow(), 3);
    goTo("NORTH");
    EXPECT_EQ(s.texts().back(), "There is no catchment NORTH in record set C.");
    c->verticalScrollBar()->setMaximum(10);
    d->verticalScrollBar()->setMaximum(10);
    d->verticalScrollBar()->setValue(1);
    EXPECT_EQ(c->verticalScrollBar()->value(), 1);
}

// Edit > Insert Record and Delete Record: a catchment's C, D and D1 cards together, a B1 storm
// with all its cards and a B2 storm (its fixed rows keep their cell types), nothing renumbered,
// each one step that undoes and redoes whole.
TEST(History, InsertAndDeleteRecordAreOneStepEach) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    const Grid& c = s.editor()->grids().fpCardC;
    const Grid& d = s.editor()->grids().fpCardD;
    const auto idents = [&c] {
        std::vector<std::string> names;
        for (int row = 2; row < c.maxRows(); ++row)
            names.push_back(
                QString::fromStdString(c.value(col::kCIdent, row)).trimmed().toStdString());
        return names;
    };
    const auto stepAndBack = [&s](const char* item, const QString& undoText) {
        const std::string before = Dump(s);
        s.trigger(item);
        QApplication::processEvents();
        const std::string after = Dump(s);
        EXPECT_NE(after, before);
        EXPECT_EQ(s.main->menuItem("mnuEditUndo")->text(), undoText);
        s.trigger("mnuEditUndo");
        EXPECT_EQ(Dump(s), before);
        s.trigger("mnuEditRedo");
        EXPECT_EQ(Dump(s), after);
    };
    s.editor()->cmdCD_Click();
    s.editor()->fpCardD->setFocus();
    s.editor()->fpCardD->setActiveCell(col::kDArea, 3); // WEST, which has a D1 card
    stepAndBack("mnuEditInsertRecord", QStringLiteral("&Undo Insert Catchment"));
    EXPECT_EQ(idents(), (std::vector<std::string>{"EAST", "", "WEST", "PARK", ""}));
    EXPECT_FALSE(d.locked(col::kDFirstD1, 4)) << "WEST keeps its D1 card";
    EXPECT_EQ(d.value(col::kDArea, 4), "0.62");
    s.editor()->fpCardD->setFocus();
    s.editor()->fpCardD->setActiveCell(col::kDArea, 4);
    stepAndBack("mnuEditDeleteRecord", QStringLiteral("&Undo Delete Catchment"));
    EXPECT_EQ(idents(), (std::vector<std::string>{"EAST", "", "PARK", ""}));
    EXPECT_EQ(d.value(col::kDArea, 4), "0.2") << "PARK's D row moved up with its C row";
    const int rows = c.maxRows();
    QTest::keyClick(s.editor()->fpCardD, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(c.maxRows(), rows + 1) << "Add Record: Add Row C/D from the keyboard";
    EXPECT_EQ(s.editor()->fpCardD->activeRow(), rows);
    QApplication::processEvents(); // the step ends

    s.editor()->cmdB2_Click();
    const Grid& b2 = s.editor()->grids().fpCardB2;
    const std::string secondStorm = b2.value(col::kB2Ident, 3);
    s.editor()->fpCardB2->setFocus();
    s.editor()->fpCardB2->setActiveCell(col::kB2Depth, 3);
    stepAndBack("mnuEditInsertRecord", QStringLiteral("&Undo Insert Storm"));
    EXPECT_EQ(b2.value(col::kB2Ident, 4), secondStorm);
    EXPECT_EQ(b2.value(col::kB2Ident, 3), "");
    EXPECT_EQ(b2.cellType(col::kB2ReturnPeriod, 7), CellType::Edit) << "rows 7 on stay text";
    s.editor()->fpCardB2->setActiveCell(col::kB2Depth, 3);
    stepAndBack("mnuEditDeleteRecord", QStringLiteral("&Undo Delete Storm"));
    EXPECT_EQ(b2.value(col::kB2Ident, 3), secondStorm);
    s.editor()->fpCardB2->setActiveCell(col::kB2Depth, 101);
    QTest::keyClicks(s.editor()->fpCardB2, QStringLiteral("3"));
    QTest::keyClick(s.editor()->fpCardB2, Qt::Key_Return);
    s.editor()->fpCardB2->setActiveCell(col::kB2Depth, 2);
    s.trigger("mnuEditInsertRecord");
    EXPECT_EQ(s.texts().back().rfind("The last storm row of record set B2 holds a storm", 0), 0u);
    EXPECT_EQ(b2.value(col::kB2Depth, 101), "3") << "nothing moved";

    Shell b;
    b.open(Shell::example("hyetograph.tvi"));
    b.editor()->cmdB1_Click();
    const Grid& b1 = b.editor()->grids().fpCardB1;
    std::vector<std::string> storms;
    for (int row = 2; row < b1.maxRows(); ++row)
        storms.push_back(b1.value(col::kB1Storm, row));
    const int second =
        static_cast<int>(std::find(storms.begin(), storms.end(), "2") - storms.begin()) + 2;
    const auto cards = std::count(storms.begin(), storms.end(), "2");
    ASSERT_GT(cards, 1) << "storm 2 of the example has several cards";
    b.editor()->fpCardB1->setFocus();
    b.editor()->fpCardB1->setActiveCell(3, second + 1);
    b.trigger("mnuEditDeleteRecord");
    QApplication::processEvents();
    EXPECT_EQ(b1.maxRows(), static_cast<int>(storms.size()) + 2 - static_cast<int>(cards));
    EXPECT_EQ(b.main->menuItem("mnuEditUndo")->text(), QStringLiteral("&Undo Delete Storm"));
}

// A deck of 40 catchments entered from the keyboard, the keys counted (and the clicks: the
// record-set buttons B2 and C/D have no keys): the figure the user guide gives.
TEST(Conveniences, FortyCatchmentsFromTheKeyboard) {
    Shell s;
    int keys = 0, clicks = 0;
    // The offscreen platform leaves no window active once a list's popup closed; a real desktop
    // gives the activation back to the main window.
    const auto focused = [&s] {
        if (!QApplication::focusWidget()) {
            s.main->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(s.main.get()));
        }
        return QApplication::focusWidget() ? QApplication::focusWidget() : s.main.get();
    };
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* to = focused();
        QTest::keyClick(to, key, modifiers);
        QApplication::processEvents();
        ++keys;
    };
    const auto type = [&](const QString& text) {
        for (const QChar c : text) {
            QTest::keyClick(focused(), c.toLatin1());
            ++keys;
        }
    };
    const auto click = [&](QWidget* widget, QPoint at = {}) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
        QApplication::processEvents();
        ++clicks;
    };
    press(Qt::Key_N, Qt::ControlModifier);
    frmInput* e = s.editor();
    ASSERT_NE(e, nullptr);
    click(e->fpCardA->viewport(), e->fpCardA->visualRect(e->fpCardA->currentIndex()).center());
    press(Qt::Key_F2), type("2"), press(Qt::Key_Tab), type("FORTY"), press(Qt::Key_Return);
    click(e->cmdB2);
    type("1"), press(Qt::Key_Tab), type("100-YEAR"), press(Qt::Key_Tab);
    press(Qt::Key_F2), type("100"), press(Qt::Key_Tab), type("2.6"), press(Qt::Key_Return);
    click(e->cmdCD);
    GridView* c = e->fpCardC;
    click(c->viewport(), c->visualRect(c->gridModel()->cellIndex(col::kCPrint, 2)).center());
    for (int i = 1; i <= 40; ++i) {
        press(Qt::Key_F2), type("0"), press(Qt::Key_Tab); // print option
        press(Qt::Key_F2), type("0"), press(Qt::Key_Tab); // rational formula
        type("1"), press(Qt::Key_Tab), type("1"), press(Qt::Key_Tab), type("5");
        press(Qt::Key_Tab), type(QStringLiteral("A%1").arg(i)), press(Qt::Key_Tab);
        type(QString::number(i)), press(Qt::Key_Return);
        if (i < 40) press(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    }
    QTimer::singleShot(0, [&keys] { // in Go To's box: "1", Enter
        auto* box = QApplication::activeModalWidget()->findChild<QLineEdit*>();
        QTest::keyClicks(box, QStringLiteral("1"));
        QTest::keyClick(box, Qt::Key_Return);
        keys += 2;
    });
    press(Qt::Key_G, Qt::ControlModifier);
    for (int i = 1; i <= 40; ++i) {
        for (const char* value : {"0.5", "1.2", "0.6", "40", ".02", "", ".35", ".1", "3", ".0018"})
            type(QString::fromLatin1(value)), press(Qt::Key_Tab);
        type(".5"), press(Qt::Key_Return);
        press(Qt::Key_Home), press(Qt::Key_Right);
    }
    s.platform.chosenFiles.push_back(s.path("forty.tvi"));
    press(Qt::Key_S, Qt::ControlModifier);
    type("forty.tvi");
    EXPECT_EQ(s.texts().back(), "Save operation was sucessful.") << s.texts().front();
    const DeckGrids& grids = e->grids();
    EXPECT_EQ(grids.fpCardC.value(col::kCIdent, 41), "A40");
    EXPECT_EQ(grids.fpCardD.value(col::kDFinalInfiltration, 41), "0.5");
    std::printf("40 catchments from the keyboard: %d keys, %d clicks\n", keys, clicks);
}

// Recent Decks holds each deck once, the last opened or saved first, at most its limit: after
// many opens, a reopen, the same deck named another way, and a Save As under a new name.
TEST(Conveniences, RecentDecksHoldEachDeckOnceNewestFirst) {
    Shell s;
    std::vector<std::string> decks;
    for (int i = 1; i <= MDIfrmTovan2000::kRecentCount + 2; ++i) {
        decks.push_back(s.path(("deck" + std::to_string(i) + ".tvi").c_str()));
        std::filesystem::copy_file(Shell::example("one-hour.tvi"), decks.back());
        s.open(decks.back());
        s.trigger("mnuFileClose");
    }
    std::vector<std::string> expected(decks.rbegin(),
                                      decks.rbegin() + MDIfrmTovan2000::kRecentCount);
    EXPECT_EQ(s.main->recentDecks(), expected);

    const std::string third = decks[decks.size() - 3];
    const std::string sameDeck =
        s.path(".") + "/" + std::filesystem::path(third).filename().string();
    s.open(sameDeck);
    std::erase(expected, third);
    expected.insert(expected.begin(), third);
    EXPECT_EQ(s.main->recentDecks(), expected) << "the same deck, named another way, is there once";
    const std::string link = s.path("link.tvi");
    std::filesystem::create_symlink(third, link);
    s.open(link);
    expected.front() = link;
    EXPECT_EQ(s.main->recentDecks(), expected) << "a link to a listed deck is that deck";

    const std::string copy = s.path("copy.tvi");
    s.platform.chosenFiles.push_back(copy);
    s.trigger("mnuFileSaveCopy");
    expected.insert(expected.begin(), copy);
    expected.resize(MDIfrmTovan2000::kRecentCount);
    EXPECT_EQ(s.main->recentDecks(), expected) << "the copy first, the deck kept";

    // A deck renamed outside the program keeps its place, greyed, until its new name is opened.
    const std::string moved = s.path("moved.tvi");
    std::filesystem::rename(expected[2], moved);
    const std::vector<std::string> withTheMissing = expected;
    s.trigger("mnuFileClose");
    s.main.reset(); // and the program started again
    s.start();
    EXPECT_EQ(s.main->recentDecks(), withTheMissing);
    auto* recent = s.main->findChild<QMenu*>(QStringLiteral("mnuOpenRecent"));
    emit recent->aboutToShow();
    ASSERT_EQ(recent->actions().size(), MDIfrmTovan2000::kRecentCount);
    for (int i = 0; i < MDIfrmTovan2000::kRecentCount; ++i) {
        SCOPED_TRACE(expected[static_cast<std::size_t>(i)]);
        EXPECT_EQ(recent->actions()[i]->isEnabled(), i != 2);
        EXPECT_TRUE(recent->actions()[i]->text().startsWith(
            QString::fromStdString(expected[static_cast<std::size_t>(i)])));
    }
    s.open(moved);
    expected.insert(expected.begin(), moved);
    expected.resize(MDIfrmTovan2000::kRecentCount);
    EXPECT_EQ(s.main->recentDecks(), expected);
}

// Add Record (Ctrl+Shift+A) from every row of B1, C and D, the button row too: a new row above
// the buttons, the caret on it in the grid it was in (C and D on the same catchment), and an
// undo that takes the row away again.
TEST(Conveniences, AddRecordFromEveryRowPutsTheCaretOnTheNewRow) {
    Shell s;
    s.open(Shell::example("hyetograph.tvi"));
    frmInput* e = s.editor();
    for (GridView* view : {e->fpCardB1, e->fpCardC, e->fpCardD}) {
        view == e->fpCardB1 ? e->cmdB1_Click() : e->cmdCD_Click();
        const Grid& withButton = view == e->fpCardB1 ? e->grids().fpCardB1 : e->grids().fpCardC;
        const int rows = withButton.maxRows();
        for (int row = kTemplateRow; row <= view->grid().maxRows(); ++row) {
            SCOPED_TRACE(view->grid().name() + " row " + std::to_string(row));
            view->setFocus();
            view->setActiveCell(2, row);
            QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
            ASSERT_EQ(withButton.maxRows(), rows + 1);
            EXPECT_EQ(QApplication::focusWidget(), view);
            EXPECT_EQ(std::pair(view->activeCol(), view->activeRow()), std::pair(2, rows));
            if (view != e->fpCardB1) {
                EXPECT_EQ(e->fpCardC->activeRow(), e->fpCardD->activeRow());
            }
            QApplication::processEvents(); // the step ends
            s.trigger("mnuEditUndo");
            ASSERT_EQ(withButton.maxRows(), rows);
        }
    }
}
