// The run sequence against a fake engine: calls, names, folders, error boxes and clean-up.
#include "run/RunSequence.h"

#include "TempFolder.h"
#include "platform/RecordingPlatform.h"

#include <deque>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// A run from a folder that has since been deleted (the last deck's, left by a run of old) runs
// all the same: there is no folder to go back to, and that is no reason to refuse the run.
TEST_F(RunSequence, RunsWhenTheFolderWeWereInHasGone) {
    const fs::path before = fs::current_path();
    {
        TempFolder gone;
        fs::current_path(gone.path());
    }
    const RunResult result = RunEngine(platform, engine, request);
    fs::current_path(before);
    EXPECT_TRUE(result.completed) << (platform.messages.empty() ? "" : platform.messages[0].text);
    EXPECT_EQ(engine.calls.size(), 2U);
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

// What a run would write over as no save would is refused before either call of the engine,
// the results file included; the box says which output and why.
TEST_F(RunSequence, OutputsItMustNotReplaceAreRefusedBeforeTheEngineStarts) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        const char* inputFile;
        const char* reportBox;
        const char* said;
    };
    const Case cases[] = {
        {"the results file over the deck", [this] { Touch(folder / "r.results.json"); },
         "r.results.json", "r", "The results file r.results.json would overwrite the input deck."},
#if !defined(_WIN32)
        {"a link to a device", [this] { fs::create_symlink("/dev/full", folder / "storm.tvo"); },
         "storm.tvi", "", "The report file storm.tvo is a symbolic link"},
#endif
        {"a folder", [this] { fs::create_directory(folder / "stormPeak.tvi"); }, "storm.tvi", "",
         "The peak file stormPeak.tvi is a folder, pipe or device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : fs::directory_iterator(folder.path()))
            fs::remove_all(entry.path());
        Touch(folder / "storm.tvi");
        c.arrange();
        platform.messages.clear();
        engine.calls.clear();
        EXPECT_FALSE(RunEngine(platform, engine, {folder.path(), c.inputFile, c.reportBox, "", ""})
                         .completed);
        EXPECT_TRUE(engine.calls.empty());
        ASSERT_EQ(platform.messages.size(), 1U);
        EXPECT_EQ(platform.messages[0].title, kRunErrorTitle);
        EXPECT_EQ(platform.messages[0].text.rfind(c.said, 0), 0U) << platform.messages[0].text;
    }
}

#if !defined(_WIN32)
// A read-only report of another user's is refused to an ordinary user, as a save would be.
TEST_F(RunSequence, AnOutputTheUserMayNotWriteIsRefused) {
    Touch(folder / "storm.tvo");
    fs::permissions(folder / "storm.tvo",
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(100);
        const auto why =
            FindUnwritableOutput(folder.path(), DeriveEngineFiles("storm.tvi", "", "", ""));
        ::_exit(why && why->find("storm.tvo may not be written") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

// The outputs a run will replace are named before the engine is called; every output of a run
// that was stopped goes, the results file too, while files it had not written stay.
TEST_F(RunSequence, ReplacedOutputsAreNamedFirstAndAStoppedRunLeavesNone) {
    Touch(folder / "storm.tvo");
    Touch(folder / "storm.results.json");
    std::vector<std::string> told;
    request.tellReplaced = [&](const std::string& text) { told.push_back(text); };
    std::string written = "written by the first run";
    engine.sideEffect = [&] {
        EXPECT_FALSE(told.empty()) << "named before the engine starts";
        for (const char* name : {"storm.tvo", "storm.tvd", "storm.results.json"})
            std::ofstream(folder / name) << written;
    };
    EXPECT_TRUE(RunEngine(platform, engine, request).completed);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told[0], "The run replaces storm.tvo and storm.results.json.");

    Touch(folder / "stormPeak.tvi"); // complete, from the run before
    written = "written by the stopped run";
    engine.outcomes = {EngineOutcome::Finished(), EngineOutcome::Interrupted("Stopped.")};
    EXPECT_FALSE(RunEngine(platform, engine, request).completed);
    for (const char* name : {"storm.tvo", "storm.tvd", "storm.results.json"})
        EXPECT_FALSE(exists(name)) << name;
    EXPECT_TRUE(exists("stormPeak.tvi"));
}
