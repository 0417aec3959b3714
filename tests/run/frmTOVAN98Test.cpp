// The run form as a user meets it: real widgets driven by mouse and keyboard, with the file
// dialog and the message boxes answered by RecordingPlatform, and the engine either a recorder,
// the real engine through its helper, or the helper with no engine library beside it.
#include "run/frmTOVAN98.h"

#include "DeckBuilder.h"
#include "RunNameClashes.h"
#include "Screenshots.h"
#include "TempFolder.h"
#include "platform/RecordingPlatform.h"
#include "run/HostEngineCaller.h"
#include "run/RunProgress.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::run;
using tovan::testing::TempFolder;
namespace fs = std::filesystem;

namespace {

// One QApplication for the whole executable, headless unless told otherwise.
class QtApplication : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[20] = "frmTOVAN98Test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const qtApplication =
    ::testing::AddGlobalTestEnvironment(new QtApplication);

// Records the calls; `during` runs inside a call, while the engine would be working.
struct RecordingEngine : EngineCaller {
    std::vector<EngineFiles> calls;
    std::vector<fs::path> folders;
    std::function<void()> during;
    EngineOutcome call(const fs::path& folder, const EngineFiles& files) override {
        calls.push_back(files);
        folders.push_back(folder);
        if (during) during();
        return EngineOutcome::Finished();
    }
};

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct RunFormGui : ::testing::Test {
    TempFolder decks;
    RecordingPlatform platform;
    RecordingEngine engine;
    QWidget mainWindow; // stands in for the main window, which must outlive the form
    QPointer<frmTOVAN98> form;

    void SetUp() override {
        mainWindow.show();
        open(engine);
    }
    void TearDown() override {
        delete form.data();
        FlushDeletes();
    }

    void open(EngineCaller& with) {
        delete form.data();
        form = new frmTOVAN98(&mainWindow, platform, with);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    }

    template <typename Widget>
    Widget* child(const char* name) {
        auto* widget = form->findChild<Widget*>(name);
        if (widget == nullptr) ADD_FAILURE() << "no " << name;
        return widget;
    }
    QPushButton* button(const char* name) { return child<QPushButton>(name); }
    QLabel* label(const char* name) { return child<QLabel>(name); }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }

    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void type(const char* boxName, const char* text) {
        QTest::mouseClick(box(boxName), Qt::LeftButton);
        QTest::keyClicks(box(boxName), text);
    }
    void choose(const std::string& name) {
        platform.chosenFiles.push_back((decks / name).string());
        click("cmdBrowse");
    }
    // Opens a menu with Alt and its letter, then picks the item by its letter.
    void menu(Qt::Key menuKey, const char* menuName, Qt::Key itemKey) {
        QTest::keyClick(form, menuKey, Qt::AltModifier);
        auto* popup = child<QMenu>(menuName);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        QTest::keyClick(popup, itemKey);
    }

    // Shows the form as the main window does, modally, and does `what` from inside the show.
    void showModalDoing(std::function<void()> what) {
        form->hide(); // shown by SetUp; a modal show needs a hidden form
        QTimer::singleShot(0, form, std::move(what));
        bool stuck = false; // the show did not end by itself: a failure, not a hang
        QTimer::singleShot(10000, form, [this, &stuck] {
            stuck = true;
            form->reject();
        });
        form->showModal();
        EXPECT_FALSE(stuck) << "the modal show did not end";
    }

    bool emptyState() {
        return button("cmdBrowse")->isEnabled() && !button("cmdRun")->isEnabled() &&
               label("Label5")->isHidden() && label("lblInput")->isHidden() &&
               label("lblOutput")->isHidden() && box("txtOut")->text().isEmpty() &&
               box("txtDrelm")->text().isEmpty() && box("txtPeak")->text().isEmpty();
    }
    bool inputChosenState() {
        return !button("cmdBrowse")->isEnabled() && button("cmdRun")->isEnabled() &&
               label("Label5")->isVisible() && label("lblInput")->isVisible() &&
               label("lblOutput")->isVisible();
    }
    QString decksFolder() const { return QString::fromStdString(decks.path().string()); }
};

} // namespace

// ---- The entries ----

TEST_F(RunFormGui, ChoosingAFileShowsItsNameAndFolderAndOffersTheRun) {
    EXPECT_TRUE(emptyState());
    choose("storm.tvi");
    ASSERT_EQ(platform.dialogs.size(), 1U);
    EXPECT_EQ(platform.dialogs[0].title, "Get TOVAN File Input");
    EXPECT_EQ(platform.dialogs[0].filter, "TOVAN Input Files (*.tvi)|*.tvi|All Files (*.*)|*.*");
    EXPECT_EQ(platform.dialogs[0].defaultExtension, "tvi");
    EXPECT_EQ(platform.dialogs[0].initialDirectory, FirstDialogFolder());
    EXPECT_TRUE(inputChosenState());
    EXPECT_EQ(label("lblInput")->text(), "storm.tvi");
    EXPECT_EQ(label("lblOutput")->text(), "All output files will be sent to: " + decksFolder());
    EXPECT_EQ(QApplication::focusWidget(), box("txtOut"));

    click("cmdBrowse"); // disabled now: another file needs New, Clear or a run first
    EXPECT_EQ(platform.dialogs.size(), 1U);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RunFormGui, CancellingTheDialogClearsWhatWasTyped) {
    type("txtPeak", "kw");
    type("txtDrelm", "routing");
    click("cmdBrowse"); // nothing scripted: the user cancels
    EXPECT_EQ(platform.dialogs.size(), 1U);
    EXPECT_TRUE(emptyState());
    EXPECT_EQ(QApplication::focusWidget(), box("txtOut"));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RunFormGui, NewAndClearAllEntriesEmptyTheForm) {
    choose("storm.tvi");
    type("txtOut", "report");
    menu(Qt::Key_F, "mnuFile", Qt::Key_N); // File > New
    EXPECT_TRUE(emptyState());
    EXPECT_EQ(QApplication::focusWidget(), button("cmdBrowse"));

    choose("other.tvi"); // a new choice is possible again, from the last deck's folder
    EXPECT_EQ(platform.dialogs.back().initialDirectory, decks.path().string());
    EXPECT_EQ(label("lblInput")->text(), "other.tvi");
    type("txtPeak", "kw");
    menu(Qt::Key_O, "mnuOption", Qt::Key_C); // Option > Clear All Entries
    EXPECT_TRUE(emptyState());
    EXPECT_EQ(QApplication::focusWidget(), box("txtOut"));
}

TEST_F(RunFormGui, LabelsTakeTheUserToTheirBoxesWithAlt) {
    QTest::keyClick(form, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), box("txtDrelm"));
    QTest::keyClick(form, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), box("txtPeak"));
    QTest::keyClick(form, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), box("txtOut"));
}

// ---- The run ----

TEST_F(RunFormGui, RunPassesTheTypedNamesTrimmedWithTheirExtensions) {
    type("txtPeak", "kw"); // typed before the file is chosen: kept
    choose("storm.tvi");
    type("txtOut", "  run1.out  ");
    type("txtDrelm", "   ");
    platform.answers = {Answer::Yes};
    click("cmdRun");
    ASSERT_EQ(engine.calls.size(), 2U);
    EXPECT_EQ(engine.calls[0], kScratchFiles);
    EXPECT_EQ(engine.calls[1],
              (EngineFiles{"storm.tvi", "run1.out.tvo", "storm.tvd", "kwPeak.tvi"}));
    EXPECT_EQ(engine.folders[1], decks.path());
}

// Before the run, as the names are typed, the form says which earlier outputs it would replace.
TEST_F(RunFormGui, TheFilesARunWouldReplaceAreNamedAsTheNamesAreTyped) {
    tovan::testing::Touch(decks / "storm.tvo");
    tovan::testing::Touch(decks / "storm.results.json");
    choose("storm.tvi");
    EXPECT_TRUE(label("lblReplaces")->isVisible());
    EXPECT_EQ(label("lblReplaces")->text(), "The run replaces storm.tvo and storm.results.json.");
    type("txtOut", "fresh");
    EXPECT_TRUE(label("lblReplaces")->isHidden()) << "fresh.tvo replaces nothing";
    QTest::keyClick(box("txtOut"), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box("txtOut"), Qt::Key_Delete);
    EXPECT_EQ(label("lblReplaces")->text(), "The run replaces storm.tvo and storm.results.json.");
}

// Every name a run may not give twice, typed into the form: Run says why in the run error box
// before the engine starts, writes nothing, and leaves the form as it was to correct a name.
TEST_F(RunFormGui, RunRefusesEveryNameThatWouldMeetAnother) {
    for (const tovan::testing::RunNameClash& clash : tovan::testing::RunNameClashes()) {
        SCOPED_TRACE(clash.said);
        tovan::testing::ArrangeRunNameClash(decks.path(), clash, "the deck\n");
        const std::vector<std::string> before = tovan::testing::FileNamesIn(decks.path());
        menu(Qt::Key_F, "mnuFile", Qt::Key_N); // File > New
        choose(clash.deck);
        type("txtOut", clash.report);
        type("txtDrelm", clash.drelm);
        type("txtPeak", clash.peak);
        platform.messages.clear();
        click("cmdRun");
        EXPECT_TRUE(engine.calls.empty());
        ASSERT_EQ(platform.messages.size(), 1U);
        EXPECT_EQ(platform.messages[0].title, kRunErrorTitle);
        EXPECT_EQ(platform.messages[0].text.rfind(clash.said, 0), 0U) << platform.messages[0].text;
        EXPECT_EQ(tovan::testing::FileNamesIn(decks.path()), before) << "nothing written";
        EXPECT_TRUE(inputChosenState()) << "the names stay to be corrected";
        EXPECT_EQ(box("txtOut")->text(), QString::fromLatin1(clash.report));
    }
}

TEST_F(RunFormGui, RunAnotherYesEmptiesTheFormAndNoClosesIt) {
    choose("storm.tvi");
    type("txtOut", "report");
    platform.answers = {Answer::Yes, Answer::No};
    click("cmdRun");
    ASSERT_EQ(platform.messages.size(), 2U); // completed, and the question
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(emptyState());
    EXPECT_EQ(QApplication::focusWidget(), box("txtOut"));

    choose("storm.tvi");
    click("cmdRun");
    FlushDeletes();
    EXPECT_TRUE(form.isNull());
    EXPECT_TRUE(mainWindow.isVisible());
}

TEST_F(RunFormGui, TheFormStaysModalWithTheBusyCursorWhileTheEngineRuns) {
    bool busy = false, modal = false;
    engine.during = [&] {
        busy = platform.busy;
        modal = form->isVisible() && QApplication::activeModalWidget() == form.data();
    };
    platform.chosenFiles.push_back((decks / "storm.tvi").string());
    showModalDoing([this] {
        click("cmdBrowse");
        click("cmdRun"); // answered No: the form unloads and the show ends
    });
    EXPECT_EQ(engine.calls.size(), 2U);
    EXPECT_TRUE(busy);
    EXPECT_TRUE(modal);
    EXPECT_FALSE(platform.busy);
}

TEST_F(RunFormGui, AClickOnRunWhileTheEngineRunsIsDropped) {
    choose("storm.tvi");
    engine.during = [this] { button("cmdRun")->click(); };
    platform.answers = {Answer::Yes};
    click("cmdRun");
    EXPECT_EQ(engine.calls.size(), 2U);
}

TEST_F(RunFormGui, AMissingEngineIsReportedTwiceAndTheFormSurvives) {
    TempFolder programs; // the helper without any engine library beside it
    fs::copy_file(TOVAN_ENGINE_HOST, programs / "tovan-engine-host");
    HostEngineCaller noEngine(programs / "tovan-engine-host");
    open(noEngine);
    choose("storm.tvi");
    type("txtOut", "report");
    click("cmdRun");
    ASSERT_EQ(platform.messages.size(), 2U); // their texts: RunSequence and EngineHost tests
    EXPECT_FALSE(platform.busy);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(inputChosenState()); // the user may put an engine in place and run again
    EXPECT_EQ(box("txtOut")->text(), "report");
    click("cmdRun");
    EXPECT_EQ(platform.messages.size(), 4U);
}

// ---- Closing and the Help menu ----

TEST_F(RunFormGui, CloseExitAndTheCloseBoxUnloadOnlyTheRunForm) {
    auto unloads = [this](const std::function<void()>& how) {
        open(engine);
        how();
        FlushDeletes();
        return form.isNull() && mainWindow.isVisible();
    };
    EXPECT_TRUE(unloads([this] { menu(Qt::Key_F, "mnuFile", Qt::Key_C); }));
    EXPECT_TRUE(unloads([this] { menu(Qt::Key_F, "mnuFile", Qt::Key_X); }));
    EXPECT_TRUE(unloads([this] { form->close(); }));
    EXPECT_TRUE(unloads([this] { QTest::keyClick(form, Qt::Key_Escape); }));
}

TEST_F(RunFormGui, AboutHidesTheFormForGood) {
    int abouts = 0;
    QObject::connect(form, &frmTOVAN98::aboutRequested, [&abouts] { ++abouts; });
    showModalDoing([this] { menu(Qt::Key_H, "mnuHelp", Qt::Key_A); });
    EXPECT_EQ(abouts, 1);
    EXPECT_TRUE(platform.messages.empty());
    FlushDeletes();
    EXPECT_TRUE(form.isNull());
}

TEST_F(RunFormGui, TechnicalSupportHidesTheFormAndBringsItBackModeless) {
    frmTOVAN98* asked = nullptr;
    QObject::connect(form, &frmTOVAN98::techSupportRequested,
                     [&asked](frmTOVAN98* runForm) { asked = runForm; });
    choose("storm.tvi");
    showModalDoing([this] { menu(Qt::Key_H, "mnuHelp", Qt::Key_T); });
    ASSERT_EQ(asked, form.data());
    EXPECT_TRUE(form->isHidden());
    asked->showAgain(); // frmTech closes
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(inputChosenState()); // the same form, with the choice still made
}

TEST_F(RunFormGui, WithoutTheShellsFormsHelpShowsMessages) {
    menu(Qt::Key_H, "mnuHelp", Qt::Key_T);
    EXPECT_TRUE(form->isHidden());
    EXPECT_TRUE(QTest::qWaitFor([this] { return form->isVisible(); }));
    menu(Qt::Key_H, "mnuHelp", Qt::Key_A);
    EXPECT_TRUE(form.isNull() || form->isHidden());
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_EQ(platform.messages[0].title, "Technical Support Information");
    EXPECT_EQ(platform.messages[1].title, "Tovan2000");
}

// ---- Pictures of the form, to look at ----

// Run shows the helper's progress once the run takes more than a moment, and Cancel stops it
// promptly, removes what it had written and says so.
TEST_F(RunFormGui, CancelStopsALongRunPromptlyAndLeavesNoOutputs) {
    tovan::testing::WriteDeckFile((decks / "big.tvi").string(),
                                  tovan::testing::ManyCatchments(100000, 1));
    ProgressEngineCaller helper(TOVAN_ENGINE_HOST);
    open(helper);
    choose("big.tvi");
    using Clock = std::chrono::steady_clock;
    Clock::time_point cancelled;
    QString progress;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<RunProgressDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->progressLabel()->text().startsWith("Catchment")) return;
        watch.stop();
        progress = dialog->progressLabel()->text();
        cancelled = Clock::now();
        QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    });
    watch.start(20);
    click("cmdRun");
    ASSERT_FALSE(watch.isActive()) << "no progress was shown";
    EXPECT_LT(Clock::now() - cancelled, std::chrono::seconds(1));
    EXPECT_TRUE(progress.endsWith(" of 100,000")) << progress.toStdString();
    ASSERT_FALSE(platform.messages.empty());
    EXPECT_EQ(platform.messages.back().text,
              "The run was stopped. Its partial output files were removed.");
    for (const char* name : {"big.tvo", "big.tvd", "bigPeak.tvi", "big.results.json"})
        EXPECT_FALSE(fs::exists(decks / name)) << name;
}

TEST_F(RunFormGui, PicturesShowEveryTextWhole) {
    tovan::testing::SaveScreenshot(*form, QStringLiteral("frmTOVAN98-empty.png"));
    tovan::testing::Touch(decks / "storm.tvo");
    choose("storm.tvi");
    type("txtPeak", "kw");
    EXPECT_TRUE(label("lblReplaces")->isVisible());
    tovan::testing::SaveScreenshot(*form, QStringLiteral("frmTOVAN98-chosen.png"));
}
