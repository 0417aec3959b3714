#include "ShellFixture.h"
#include "editor/frmInput.h"
#include "fileio/GridJson.h"
#include "shell/DeckRecovery.h"

#include <QClipboard>
#include <QFile>
#include <QMenu>
#include <functional>
#include <regex>

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
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Shell s;
        NewDeck(s);
        const std::string before = Dump(s);
        test.act(s);
        QApplication::processEvents();
        const std::string after = Dump(s);
        ASSERT_NE(after, before);
        EXPECT_EQ(s.main->menuItem("mnuEditUndo")->text(), test.undoText);
        s.trigger("mnuEditUndo");
        EXPECT_EQ(Dump(s), before);
        EXPECT_TRUE(s.state.DeckChanged) << "the deck was never saved";
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
    next.platform.answers.push_back(Answer::No);
    next.trigger("mnuFileClose");
    EXPECT_TRUE(RecoveriesLeftBehind().empty());
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

// Saved decks join Open > Recent Decks, which survives a restart, reopens them and greys those
// that went away; the status bar names the deck, its state, the record set and the cell.
TEST(Conveniences, RecentDecksAndTheStatusBar) {
    Shell s;
    NewDeck(s);
    auto* status = s.main->findChild<QLabel*>(QStringLiteral("statusDeck"));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("new deck  |  edited  |  Record Set CD")))
        << status->text().toStdString();
    s.platform.chosenFiles.push_back(s.path("recent.tvi"));
    s.trigger("mnuFileSave");
    EXPECT_TRUE(status->text().startsWith(QString::fromStdString(s.path("recent.tvi"))));
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
