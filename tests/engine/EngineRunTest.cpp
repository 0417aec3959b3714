// The engine over whole decks: reading the cards, the options of cards C, D and D1, the checks
// of every input, and the output files.
#include "DeckBuilder.h"
#include "Engine.h"
#include "TempFolder.h"
#include "deck/InputRanges.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <sstream>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

using namespace tovan;
using namespace tovan::engine;
using namespace tovan::testing;

namespace {

EngineDeck Parse(const DeckCards& cards) {
    std::istringstream in(WriteDeck(cards));
    return ParseDeck(in);
}

DeckCards B2Deck() {
    DeckCards d;
    d.storms = {{1, "2-YEAR", 2, 0.95, {}, {}}, {2, "100-YEAR", 100, 2.6, {}, {}}};
    CatchmentCards c;
    c.lastStorm = 2;
    d.catchments = {c};
    return d;
}

std::vector<double> Depths(std::size_t n) {
    std::vector<double> d;
    for (std::size_t i = 0; i < n; ++i)
        d.push_back(0.01 * static_cast<double>(i + 1));
    return d;
}

} // namespace

// ---- Reading the deck ---------------------------------------------------------------------

TEST(EngineDeck, B1StormsContinueOverCardsWithFactorsOnTheLast) {
    DeckCards d;
    d.rainfallOption = 1;
    d.storms = {{1, "JUNE 1", 0, 0.0, Depths(40), std::array{1.1, 0.9, 1.2, 0.8}},
                {2, "JULY 4", 0, 0.0, Depths(20), {}}};
    const EngineDeck deck = Parse(d);
    ASSERT_EQ(deck.storms.size(), 2U);
    EXPECT_EQ(deck.storms[0].depths.size(), 40U);
    EXPECT_NEAR(deck.storms[0].depths[39], 0.40, 1e-6);
    EXPECT_NEAR(*deck.storms[0].factors.decay, 0.9, 1e-6);
    EXPECT_EQ(deck.storms[1].depths.size(), 20U); // 17 + 3: the last four columns are depths
    EXPECT_FALSE(deck.storms[1].factors.initialRate);
    EXPECT_EQ(deck.storms[1].identification, "JULY 4");
}

TEST(EngineDeck, B2StormsAndCatchmentCardsAreRead) {
    DeckCards d = B2Deck();
    d.catchments[0].useD1 = true;
    d.catchments[0].cp = 0.7;
    d.catchments[0].w50 = 25.0;
    d.catchments[0].dciaLevel = 2;
    const EngineDeck deck = Parse(d);
    ASSERT_EQ(deck.storms.size(), 2U);
    EXPECT_EQ(deck.storms[1].returnPeriod, 100);
    EXPECT_NEAR(deck.storms[1].oneHourDepth, 2.6, 1e-6);
    ASSERT_EQ(deck.catchments.size(), 1U);
    const Catchment& c = deck.catchments[0];
    EXPECT_EQ(c.identification, "AREA1");
    EXPECT_NEAR(*c.decay, 0.0018, 1e-7);
    EXPECT_NEAR(*c.cp, 0.7, 1e-6);
    EXPECT_NEAR(*c.w50, 25.0, 1e-6);
    EXPECT_FALSE(c.ct);
    EXPECT_EQ(*c.dciaLevel, 2);
    EXPECT_TRUE(c.problem.empty());
}

TEST(EngineDeck, AMissingCardABreaksNothingButIsReported) {
    std::istringstream in("");
    const EngineDeck deck = ParseDeck(in);
    EXPECT_TRUE(deck.catchments.empty());
    EXPECT_EQ(deck.messages.size(), 1U);
}

// ---- Options of cards C, D and D1 ---------------------------------------------------------

TEST(EngineOptions, CorrectionFactorsApplyUnlessCardDCancelsThem) {
    DeckCards d = B2Deck();
    d.storms[1].factors = std::array{0.5, 1.0, 0.5, 2.0};
    EngineDeck deck = Parse(d);
    bool applied = false;
    LossParameters p = WithFactors(LossParameters{.dsPervious = 0.3, .f0 = 4.0, .fc = 1.0},
                                   deck.storms[1], deck.catchments[0], applied);
    EXPECT_TRUE(applied);
    EXPECT_NEAR(p.f0, 2.0, 1e-6);
    EXPECT_NEAR(p.dsPervious, 0.6, 1e-6);

    d.catchments[0].cancelFactors = 1.0;
    deck = Parse(d);
    p = WithFactors(LossParameters{.f0 = 4.0}, deck.storms[1], deck.catchments[0], applied);
    EXPECT_FALSE(applied);
    EXPECT_EQ(p.f0, 4.0);
}

TEST(EngineOptions, DciaLevelsAndExplicitFractions) {
    DeckCards d = B2Deck();
    int level = -1;
    EXPECT_EQ(LossParametersOf(Parse(d).catchments[0], level).connected, 1.0);
    EXPECT_EQ(level, 0);
    d.catchments[0].dciaLevel = 2;
    const LossParameters two = LossParametersOf(Parse(d).catchments[0], level);
    EXPECT_LT(two.connected, 1.0);
    EXPECT_GT(two.receiving, 0.0);
    d.catchments[0].connected = 0.9;
    d.catchments[0].receiving = 0.05;
    const LossParameters given = LossParametersOf(Parse(d).catchments[0], level);
    EXPECT_NEAR(given.connected, 0.9, 1e-6);
    EXPECT_NEAR(given.receiving, 0.05, 1e-6);
}

TEST(EngineOptions, CaptureVolumeOnlyAtLevelThree) {
    DeckCards d = B2Deck();
    d.catchments[0].useD1 = true;
    d.catchments[0].wqcv = 0.25;
    int level = 0;
    EXPECT_EQ(LossParametersOf(Parse(d).catchments[0], level).captureDepth, 0.0);
    d.catchments[0].dciaLevel = 3;
    EXPECT_NEAR(LossParametersOf(Parse(d).catchments[0], level).captureDepth, 0.25, 1e-6);
}

TEST(EngineOptions, D1OverridesCountOnlyWhenCardDAsksForD1) {
    DeckCards d = B2Deck();
    d.catchments[0].useD1 = true;
    d.catchments[0].ct = 0.3;
    EXPECT_NEAR(*UnitHydrographInputOf(Parse(d).catchments[0]).ct, 0.3, 1e-6);
    EngineDeck deck = Parse(d);
    deck.catchments[0].useD1 = 0;
    EXPECT_FALSE(UnitHydrographInputOf(deck.catchments[0]).ct);
}

// ---- Output files -------------------------------------------------------------------------

TEST(EngineOutputs, AMissingInputWritesNothing) {
    TempFolder folder;
    EXPECT_FALSE(RunDeckFile((folder / "none.tvi").string(), (folder / "a.tvo").string(),
                             (folder / "a.tvd").string(), (folder / "a.tvp").string()));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// The run cases cover a report name with a dot; a dot in a folder is no extension.
TEST(EngineOutputs, TheResultsFileIsNamedAfterTheReport) {
    EXPECT_EQ(ResultsFileName("storm.tvo"), "storm.results.json");
    EXPECT_EQ(ResultsFileName("dir.v2/storm"), "dir.v2/storm.results.json");
}

TEST(EngineRun, EveryStormHoldsItsExcessThroughTheWholeEngine) {
    DeckCards d;
    d.rainfallOption = 1;
    d.storms = {{1, "JUNE 1", 0, 0.0, Depths(30), std::array{1.2, 1.0, 0.8, 0.5}},
                {2, "JULY 4", 0, 0.0, Depths(12), {}}};
    CatchmentCards c;
    c.lastStorm = 2;
    c.dciaLevel = 3;
    c.useD1 = true;
    c.wqcv = 0.1;
    CatchmentCards slow = c;
    slow.unitDuration = 10.0;
    d.catchments = {c, slow};
    const EngineDeck deck = Parse(d);
    for (const Catchment& catchment : deck.catchments) {
        const CatchmentResult r = ComputeCatchment(deck, catchment);
        ASSERT_TRUE(r.computed());
        ASSERT_EQ(r.storms.size(), 2U);
        for (const StormResult& s : r.storms) {
            ASSERT_TRUE(s.computed());
            EXPECT_NEAR(s.rain.dt, catchment.unitDuration / 60.0, 1e-12);
            EXPECT_NEAR(s.volumeInches, s.totals.excess, 1e-9);
            EXPECT_GT(s.totals.captured, 0.0);
            const LossTotals& t = s.totals; // every drop of rain is accounted for
            EXPECT_NEAR(t.rain, t.infiltration + t.stored + t.captured + t.excess, 1e-12);
        }
    }
}

// ---- Inputs checked against their ranges ---------------------------------------------------

TEST(EngineChecks, TheRangeTableIsInFieldOrderAndEachUsualRangeIsPossible) {
    for (const InputRange& range : InputRanges()) {
        EXPECT_EQ(&RangeOf(range.field), &range) << range.name;
        EXPECT_LE(range.lowest, range.usualLow) << range.name;
        EXPECT_LE(range.usualHigh, range.highest) << range.name;
    }
}

// ---- Outputs written completely or not at all ----------------------------------------------

// Full disks, folders and long names as POSIX systems report them.
#if !defined(_WIN32)
namespace {

// Lets the files of this process grow to `bytes` only, as a full disk would: writes beyond
// fail with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

std::vector<std::string> Listing(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(EngineOutputs, AnOutputThatCannotBeWrittenLeavesNoneAndSaysWhy) {
    struct Case {
        std::string report;
        const char* said;
        bool fullDisk = false;
    };
    const Case cases[] = {
        {"missing/deck.tvo", "could not be created: No such file or directory"},
        {"folder", "could not be written: Is a directory"},
        {std::string(300, 'r') + ".tvo", "could not be written: File name too long"},
        {"deck.tvo", "could not be written: File too large", true},
    };
    DeckCards d = B2Deck();
    d.catchments[0].printOption = 8; // every table, and the DRELM file
    for (int i = 0; i < 40; ++i)
        d.catchments.push_back(d.catchments[0]);
    for (const Case& test : cases) {
        TempFolder folder;
        WriteDeckFile((folder / "deck.tvi").string(), d);
        std::filesystem::create_directory(folder / "folder");
        const auto before = Listing(folder.path());
        const RunFiles files{(folder / "deck.tvi").string(), (folder / test.report).string(),
                             (folder / "deck.tvd").string(), (folder / "deckPeak.tvi").string(),
                             (folder / "deck.results.json").string()};
        RunResult result;
        if (test.fullDisk) {
            FileSizeLimit limit(64 * 1024);
            result = RunDeck(files);
        } else {
            result = RunDeck(files);
        }
        EXPECT_EQ(result.status, RunStatus::OutputFailed) << test.said;
        EXPECT_NE(result.message.find(test.said), std::string::npos) << result.message;
        EXPECT_EQ(Listing(folder.path()), before) << test.said;
    }
}

#endif
