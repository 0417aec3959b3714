// The engine over whole decks, for what the run cases (tests/cases/run-*) cannot show: the
// balance of every step, the range table, and outputs that cannot be written.
#include "DeckBuilder.h"
#include "Engine.h"
#include "TempFolder.h"
#include "deck/InputRanges.h"
#include "results/RunResults.h"

#include <algorithm>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <numeric>
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

// The example of a placed design storm is what `tovandeck storm` makes (its case), and the
// engine computes it: all 5 inches of rain in the run, the peak in the hour after 12:00.
TEST(EngineRun, TheExampleNrcsStormRunsWithAllItsRain) {
    const std::string example = std::string(TOVAN_EXAMPLES) + "/nrcs-type-ii.tvi";
    EXPECT_EQ(ReadText(example),
              ReadText(std::string(TOVAN_EXAMPLES) +
                       "/../tests/cases/storm-places-an-nrcs-type-ii-storm-in-a-deck/out/"
                       "nrcs-type-ii.tvi"));
    TempFolder folder;
    const RunFiles files{example, (folder / "n.tvo").string(), (folder / "n.tvd").string(),
                         (folder / "n.tvp").string(), (folder / "n.results.json").string()};
    ASSERT_EQ(RunDeck(files).status, RunStatus::Done);
    const tovan::results::RunResults results =
        tovan::results::ReadResults(folder / "n.results.json");
    ASSERT_EQ(results.catchments.size(), 1u);
    const tovan::results::StormResult& storm = results.catchments[0].storms.at(0);
    ASSERT_TRUE(storm.computed);
    EXPECT_NEAR(std::accumulate(storm.rainfallInches.begin(), storm.rainfallInches.end(), 0.0), 5.0,
                1e-9);
    EXPECT_GT(storm.timeToPeakHours, 12.0);
    EXPECT_LT(storm.timeToPeakHours, 13.0);
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

// The under-sampling note suggests a unit duration only when that duration passes the note's own
// test: for a catchment too quick for any step a card holds, it says so instead.
TEST(EngineRun, TheUnitDurationANoteSuggestsFollowsTheShape) {
    DeckCards d;
    d.storms = {{1, "2-YEAR", 2, 0.95, {}, {}}};
    CatchmentCards tiny; // a lag of about a twentieth of a minute
    tiny.area = 0.005, tiny.length = 0.02, tiny.centroid = 0.01, tiny.slope = 0.2;
    tiny.useD1 = true, tiny.ct = 0.05;
    CatchmentCards small = tiny;
    small.area = 0.05, small.length = 0.3, small.centroid = 0.15, small.slope = 0.01;
    small.unitDuration = 10.0;
    d.catchments = {tiny, small};
    const EngineDeck deck = Parse(d);
    std::vector<std::string> notes;
    for (const Catchment& catchment : deck.catchments)
        for (const Message& m : ComputeCatchment(deck, catchment).messages)
            if (m.text.find("is long against the time to peak") != std::string::npos)
                notes.push_back(m.text);
    ASSERT_EQ(notes.size(), 2U);
    EXPECT_NE(notes[0].find("no unit duration down to 0.1 min"), std::string::npos) << notes[0];
    const auto at = notes[1].find("a unit duration of ");
    ASSERT_NE(at, std::string::npos) << notes[1];
    CatchmentCards suggested = small;
    suggested.unitDuration = std::stod(notes[1].substr(at + 19));
    d.catchments = {suggested};
    const EngineDeck again = Parse(d);
    for (const Message& m : ComputeCatchment(again, again.catchments[0]).messages)
        EXPECT_EQ(m.text.find("is long against the time to peak"), std::string::npos) << m.text;
}

// ---- Inputs checked against their ranges ---------------------------------------------------

// Every limit of the table at the limit, just inside and just outside. The run reads a card's
// value in single precision, the check a cell's text in double: both must get one verdict, and
// the limit itself must fall on the side the table gives it (Ct 0.01 was impossible in the run
// and usual in the check).
TEST(EngineChecks, EveryLimitGetsOneVerdictInTheRunAndInTheCheck) {
    using V = RangeVerdict;
    for (const InputRange& range : InputRanges()) {
        ASSERT_EQ(&RangeOf(range.field), &range) << range.name; // the table is in field order
        const auto expect = [&](double value, std::initializer_list<V> allowed, const char* what) {
            if (range.zeroMeansDefault && value == 0.0) return;
            const V check = Judge(range, value);
            const V run = Judge(range, static_cast<double>(static_cast<float>(value)));
            EXPECT_EQ(run, check) << range.name << " " << what << " " << value;
            EXPECT_TRUE(std::find(allowed.begin(), allowed.end(), check) != allowed.end())
                << range.name << " " << what << " " << value;
        };
        const auto stepAt = [](double limit) { return std::max(std::abs(limit) * 1e-4, 1e-4); };
        const double low = range.lowest, high = range.highest;
        expect(low - stepAt(low), {V::Impossible}, "below the lowest");
        expect(low,
               range.lowestExcluded ? std::initializer_list<V>{V::Impossible}
                                    : std::initializer_list<V>{V::Usual, V::Unusual},
               "at the lowest");
        expect(low + stepAt(low), {V::Usual, V::Unusual}, "above the lowest");
        expect(high - stepAt(high), {V::Usual, V::Unusual}, "below the highest");
        expect(high, {V::Usual, V::Unusual}, "at the highest");
        expect(high + stepAt(high), {V::Impossible}, "above the highest");
        const double usualLow = range.usualLow, usualHigh = range.usualHigh;
        if (!(range.lowestExcluded && usualLow == low)) expect(usualLow, {V::Usual}, "usual low");
        if (usualLow > low) expect(usualLow - stepAt(usualLow), {V::Unusual}, "below usual");
        expect(usualHigh, {V::Usual}, "usual high");
        if (usualHigh < high) expect(usualHigh + stepAt(usualHigh), {V::Unusual}, "above usual");
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
