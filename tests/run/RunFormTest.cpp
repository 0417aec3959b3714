// The run form's model: states, the file choice, the clear operations and a run.
#include "run/RunForm.h"

#include "TempFolder.h"
#include "platform/RecordingPlatform.h"

#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::run;
using tovan::testing::TempFolder;

namespace {

struct CountingEngine : EngineCaller {
    std::vector<EngineFiles> calls;
    EngineOutcome call(const std::filesystem::path&, const EngineFiles& files) override {
        calls.push_back(files);
        return EngineOutcome::Finished();
    }
};

struct RunForm : ::testing::Test {
    TempFolder folder;
    RecordingPlatform platform;
    RunFormModel model;

    void choose() {
        platform.chosenFiles.push_back((folder / "storm.tvi").string());
        ASSERT_TRUE(model.cmdBrowse_Click(platform));
    }
};

} // namespace

TEST_F(RunForm, StartsEmpty) {
    EXPECT_EQ(model.state(), RunFormState::Empty);
    EXPECT_TRUE(model.browseEnabled());
    EXPECT_FALSE(model.runEnabled());
    EXPECT_FALSE(model.chosenFileShown());
}

TEST_F(RunForm, ChoosingAFileShowsItAndItsFolder) {
    choose();
    EXPECT_EQ(model.InputFile, "storm.tvi");
    EXPECT_EQ(model.inputCaption(), "storm.tvi");
    EXPECT_EQ(model.outputCaption(), "All output files will be sent to: " + folder.path().string());
    EXPECT_FALSE(model.browseEnabled());
    EXPECT_TRUE(model.runEnabled());
    EXPECT_TRUE(model.chosenFileShown());
}

TEST_F(RunForm, TheDialogHasItsTitleFilterAndFolders) {
    const FileDialogRequest first = model.dialogRequest();
    EXPECT_EQ(first.title, "Get TOVAN File Input");
    EXPECT_EQ(first.filter, "TOVAN Input Files (*.tvi)|*.tvi|All Files (*.*)|*.*");
    EXPECT_EQ(first.defaultExtension, "tvi");
    EXPECT_EQ(first.initialDirectory, FirstDialogFolder());
    choose();
    model.Clear_Inputs();
    EXPECT_EQ(model.dialogRequest().initialDirectory, folder.path().string());
}

TEST_F(RunForm, ACancelledDialogClearsTheEntries) {
    choose();
    model.reportBox = "out";
    EXPECT_FALSE(model.cmdBrowse_Click(platform)); // no scripted answer: cancelled
    EXPECT_EQ(model.state(), RunFormState::Empty);
    EXPECT_TRUE(model.InputFile.empty());
    EXPECT_TRUE(model.reportBox.empty());
    EXPECT_TRUE(platform.messages.empty()); // silently
}

TEST_F(RunForm, NewAndClearReturnToEmptyButKeepTheSavedName) {
    choose();
    CountingEngine engine;
    model.cmdRun_Click(platform, engine);
    model.peakBox = "kw";
    model.mnuNew_Click();
    EXPECT_EQ(model.state(), RunFormState::Empty);
    EXPECT_TRUE(model.PeakFile.empty());
    EXPECT_TRUE(model.peakBox.empty());
    EXPECT_TRUE(model.outputCaption().empty());
    EXPECT_EQ(model.SavedInputFile, "storm.tvi");
}

TEST_F(RunForm, RunAnotherYesLeavesTheFormEmptyAndNoClosesIt) {
    choose();
    model.drelmBox = "routing";
    CountingEngine engine;
    platform.answers = {Answer::Yes};
    EXPECT_EQ(model.cmdRun_Click(platform, engine), AfterRun::RunAnother);
    ASSERT_EQ(engine.calls.size(), 2U);
    EXPECT_EQ(engine.calls[1].drelm, "routing.tvd");
    EXPECT_EQ(model.state(), RunFormState::Empty);
    EXPECT_TRUE(model.browseEnabled());
    EXPECT_FALSE(model.runEnabled());
    EXPECT_TRUE(model.drelmBox.empty());

    choose();
    platform.answers = {Answer::No};
    EXPECT_EQ(model.cmdRun_Click(platform, engine), AfterRun::CloseForm);
    EXPECT_EQ(model.PeakFile, "stormPeak.tvi");
}
