// The engine call through the real helper program: the library found next to the helper, the
// exact argument list, and what the editor is told when the engine is missing or crashes.
#include "DeckBuilder.h"
#include "TempFolder.h"
#include "platform/RecordingPlatform.h"
#include "results/RunResults.h"
#include "run/HostEngineCaller.h"
#include "run/RunSequence.h"

#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::run;
using namespace tovan::testing;
namespace fs = std::filesystem;

namespace {

#if defined(_WIN32)
constexpr const char* kHostFile = "tovan-engine-host.exe";
constexpr const char* kLibraryFile = "TOVAN.dll";
constexpr const char* kCrashWords = "access violation";
#else
constexpr const char* kHostFile = "tovan-engine-host";
constexpr const char* kLibraryFile = "libTOVAN.so";
constexpr const char* kCrashWords = "signal 6";
#endif

// A program folder holding a copy of the helper and, optionally, a library as the engine.
struct Installation {
    TempFolder programs;
    fs::path host;

    explicit Installation(const char* library) {
        host = programs / kHostFile;
        fs::copy_file(TOVAN_ENGINE_HOST, host);
        if (library != nullptr) fs::copy_file(library, programs / kLibraryFile);
    }
};

struct EngineHost : ::testing::Test {
    TempFolder decks;
    RecordingPlatform platform;

    RunResult Run(const Installation& installation) {
        HostEngineCaller engine(installation.host);
        return RunEngine(platform, engine, {decks.path(), "storm.tvi", "", "", ""});
    }
};

} // namespace

TEST_F(EngineHost, PassesTheFourNamesAndTheirLengthsInTheDeckFolder) {
    Installation installation(TOVAN_FAKE_RECORD);
    EXPECT_TRUE(Run(installation).completed);
    EXPECT_EQ(ReadText(decks / "engine-call.txt"),
              "Killz__1.tvi 12\nKillz__1.tvo 12\nKillz__1.tvd 12\nKillz__1.tvp 12\n"
              "storm.tvi 9\nstorm.tvo 9\nstorm.tvd 9\nstormPeak.tvi 13\n");
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EngineHost, AMissingLibraryIsReportedTwiceWithItsName) {
    Installation installation(nullptr);
    EXPECT_FALSE(Run(installation).completed);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_EQ(platform.messages[0].title, "KillBuffer Error!");
    EXPECT_EQ(platform.messages[1].title, "cmdRun_Click Error!");
    EXPECT_NE(platform.messages[1].text.find(std::string(kLibraryFile) + " could not be loaded"),
              std::string::npos)
        << platform.messages[1].text;
}

TEST_F(EngineHost, AMissingEntryPointIsReported) {
    Installation installation(TOVAN_FAKE_NO_ENTRY);
    EXPECT_FALSE(Run(installation).completed);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_NE(platform.messages[1].text.find("has no entry point TOVANF95"), std::string::npos)
        << platform.messages[1].text;
}

TEST_F(EngineHost, ACrashingEngineIsReportedWithItsSignal) {
    Installation installation(TOVAN_FAKE_ABORT);
    Touch(decks / "Killz__1.tvo");
    EXPECT_FALSE(Run(installation).completed);
    ASSERT_EQ(platform.messages.size(), 2U);
    EXPECT_NE(platform.messages[0].text.find(kCrashWords), std::string::npos)
        << platform.messages[0].text;
    EXPECT_TRUE(fs::exists(decks / "Killz__1.tvo"));
}

TEST_F(EngineHost, AMissingHelperIsReported) {
    HostEngineCaller engine(decks / "no-such-host");
    const EngineOutcome outcome = engine.call(decks.path(), kScratchFiles);
    EXPECT_FALSE(outcome.finished);
    EXPECT_NE(outcome.description.find("could not be started"), std::string::npos);
}

TEST_F(EngineHost, OurEngineWritesItsOutputsAndTheResultsFileNextToTheDeck) {
    Installation installation(TOVAN_ENGINE_LIBRARY);
    DeckCards deck;
    deck.storms = {{1, "100-YEAR", 100, 2.6, {}, {}}};
    deck.catchments.resize(2);
    WriteDeckFile((decks / "storm.tvi").string(), deck);
    Touch(decks / "Killz__1.tvd");
    std::vector<std::string> progress;
    ChildOptions options;
    options.progress = [&progress](const std::string& line) { progress.push_back(line); };
    HostEngineCaller engine(installation.host, options);
    EXPECT_TRUE(RunEngine(platform, engine, {decks.path(), "storm.tvi", "", "", ""}).completed);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), "Catchment 2 of 2");
    EXPECT_EQ(results::ReadResults(decks / "storm.results.json").catchments.size(), 2u);
    for (const char* name : {"storm.tvo", "storm.tvd", "stormPeak.tvi", "storm.results.json"}) {
        EXPECT_TRUE(fs::exists(decks / name)) << name;
    }
    EXPECT_FALSE(fs::exists(decks / "Killz__1.tvd"));
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EngineHost, OurEngineSaysWhyItCouldNotWriteItsOutputs) {
    Installation installation(TOVAN_ENGINE_LIBRARY);
    DeckCards deck;
    deck.storms = {{1, "100-YEAR", 100, 2.6, {}, {}}};
    WriteDeckFile((decks / "storm.tvi").string(), deck);
    HostEngineCaller engine(installation.host);
    const EngineOutcome outcome =
        engine.call(decks.path(), {"storm.tvi", "missing/storm.tvo", "storm.tvd", "stormPeak.tvi"});
    EXPECT_FALSE(outcome.finished);
    EXPECT_EQ(outcome.description,
              "The report missing/storm.tvo could not be created: No such file or directory.");
    EXPECT_FALSE(fs::exists(decks / "storm.tvd"));
}
