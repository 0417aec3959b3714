// The run sequence against a fake engine: calls, names, folders, error boxes and clean-up.
#include "run/RunSequence.h"

#include "TempFolder.h"
#include "platform/RecordingPlatform.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::run;
using tovan::testing::TempFolder;
using tovan::testing::Touch;
namespace fs = std::filesystem;

namespace {

struct FakeEngine : EngineCaller {
    struct Call {
        fs::path folder;
        fs::path currentFolder;
        EngineFiles files;
        int busyDepth;
    };
    std::vector<Call> calls;
    std::deque<EngineOutcome> outcomes; // one per call; Finished when none is left
    RecordingPlatform* platform = nullptr;
    std::function<void()> sideEffect;

    EngineOutcome call(const fs::path& folder, const EngineFiles& files) override {
        calls.push_back({folder, fs::current_path(), files, platform && platform->busy ? 1 : 0});
        if (sideEffect) sideEffect();
        if (outcomes.empty()) return EngineOutcome::Finished();
        EngineOutcome next = outcomes.front();
        outcomes.pop_front();
        return next;
    }
};

struct RunSequence : ::testing::Test {
    TempFolder folder;
    RecordingPlatform platform;
    FakeEngine engine;
    RunRequest request;

    void SetUp() override {
        engine.platform = &platform;
        request = {folder.path(), "storm.tvi", "", "", ""};
    }
    bool exists(const char* name) const { return fs::exists(folder / name); }
};

} // namespace

TEST_F(RunSequence, ScratchCallThenRealCallInTheDeckFolder) {
    const fs::path before = fs::current_path();
    const RunResult result = RunEngine(platform, engine, request);
    EXPECT_TRUE(result.completed);
    ASSERT_EQ(engine.calls.size(), 2U);
    EXPECT_EQ(engine.calls[0].files, kScratchFiles);
    EXPECT_EQ(engine.calls[1].files,
              (EngineFiles{"storm.tvi", "storm.tvo", "storm.tvd", "stormPeak.tvi"}));
    for (const auto& call : engine.calls) {
        EXPECT_EQ(fs::canonical(call.currentFolder), fs::canonical(folder.path()));
        EXPECT_EQ(call.busyDepth, 1); // the busy cursor is on during both calls
    }
    EXPECT_EQ(fs::current_path(), before);
    EXPECT_FALSE(platform.busy);
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RunSequence, EveryScratchFileIsGoneAfterTheRun) {
    for (const char* name : {"Killz__1.tvq", "Killz__1.tvi", "storm.tvi", "Killz__1.tv"}) {
        Touch(folder / name);
    }
    engine.sideEffect = [this] {
        for (const char* name : {"Killz__1.tvo", "Killz__1.tvd", "Killz__1.tvp"}) {
            Touch(folder / name);
        }
    };
    EXPECT_TRUE(RunEngine(platform, engine, request).completed);
    for (const char* name :
         {"Killz__1.tvi", "Killz__1.tvo", "Killz__1.tvd", "Killz__1.tvp", "Killz__1.tvq"}) {
        EXPECT_FALSE(exists(name)) << name;
    }
    EXPECT_TRUE(exists("storm.tvi"));
    EXPECT_TRUE(exists("Killz__1.tv")); // not of the pattern
}

TEST_F(RunSequence, MissingEngineShowsKillBufferThenRunErrorAndStops) {
    const EngineOutcome missing =
        EngineOutcome::Failed("The engine library libTOVAN.so could not be loaded");
    engine.outcomes = {missing, missing};
    Touch(folder / "Killz__1.tvo");
    const RunResult result = RunEngine(platform, engine, request);
    EXPECT_FALSE(result.completed);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_EQ(platform.messages[0],
              (RecordingPlatform::Message{missing.description, MessageIcon::Exclamation,
                                          "KillBuffer Error!", false}));
    EXPECT_EQ(platform.messages[1].title, "cmdRun_Click Error!");
    EXPECT_EQ(platform.messages[1].text, missing.description);
    EXPECT_TRUE(exists("Killz__1.tvo")); // not deleted after a failed run
    EXPECT_FALSE(platform.busy);
    engine.outcomes = {missing, missing};
    EXPECT_EQ(cmdRun_Click(platform, engine, request), AfterRun::Failed);
    EXPECT_EQ(platform.messages.size(), 4U); // no completion messages
}

TEST_F(RunSequence, AFailedScratchCallDoesNotStopTheRun) {
    engine.outcomes = {EngineOutcome::Failed("scratch trouble")};
    EXPECT_TRUE(RunEngine(platform, engine, request).completed);
    ASSERT_EQ(platform.messages.size(), 1U);
    EXPECT_EQ(platform.messages[0].title, "KillBuffer Error!");
    EXPECT_EQ(engine.calls.size(), 2U);
}

TEST_F(RunSequence, CompletionAndTheQuestionAfterwards) {
    platform.answers = {Answer::Yes};
    EXPECT_EQ(cmdRun_Click(platform, engine, request), AfterRun::RunAnother);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_EQ(
        platform.messages[0],
        (RecordingPlatform::Message{"Program Completed", MessageIcon::None, "TOVAN2000", false}));
    EXPECT_EQ(platform.messages[1].text, "Run another input file?");
    EXPECT_EQ(platform.messages[1].title, "TOVAN2000");
    EXPECT_TRUE(platform.messages[1].question);
    platform.answers = {Answer::No};
    EXPECT_EQ(cmdRun_Click(platform, engine, request), AfterRun::CloseForm);
}

TEST_F(RunSequence, AMissingFolderIsARunErrorAndChangesNothing) {
    const fs::path before = fs::current_path();
    request.folder = folder / "gone";
    EXPECT_FALSE(RunEngine(platform, engine, request).completed);
    EXPECT_TRUE(engine.calls.empty());
    ASSERT_EQ(platform.messages.size(), 1U);
    EXPECT_EQ(platform.messages[0].title, "cmdRun_Click Error!");
    EXPECT_EQ(fs::current_path(), before);
}
