// The runs a deck keeps, the units results are read in, and the digest that names a deck.
#include "results/RunHistory.h"

#include "TempFolder.h"
#include "fileio/Digest.h"
#include "results/Units.h"
#include "storms/ObservedRainfall.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using namespace tovan;
using namespace tovan::results;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

// A run's outputs in `folder`: its results file, deck and report, with one catchment.
RunResults Outputs(const fs::path& folder, double peak) {
    Write(folder / "site.tvi", "deck " + std::to_string(peak));
    Write(folder / "site.results.json", "{}");
    Write(folder / "site.out", "report");
    RunResults run;
    run.file = folder / "site.results.json";
    run.input = "site.tvi";
    run.report = "site.out";
    CatchmentResult c;
    c.identification = "EAST";
    c.computed = true;
    StormResult s;
    s.storm = 2;
    s.computed = true;
    s.peakCfs = peak;
    c.storms.push_back(s);
    run.catchments.push_back(c);
    return run;
}

RunTime At(int minute, int second = 0) {
    return {2026, 12, 7, 20, minute, second};
}

} // namespace

// The newest first, at most the limit on the disk, each with its own copies of what ran, and
// read back the same from the folders alone.
TEST(RunHistory, KeepsCopiesNewestFirstWithinTheLimit) {
    tovan::testing::TempFolder folder;
    RunHistory history(folder / "site.tvi", folder / "user");
    history.keep(Outputs(folder.path(), 10), At(1), "saved", 2);
    history.keep(Outputs(folder.path(), 20), At(2), "edited 0123456789ab", 2);
    const KeptRun& newest = history.keep(Outputs(folder.path(), 30), At(3), "saved", 2);
    EXPECT_EQ(newest.summary, "1 computed, largest peak 30.00 cfs (EAST storm 2)");
    ASSERT_EQ(history.runs().size(), 2u);
    EXPECT_EQ(history.runs()[1].deckState, "edited 0123456789ab");
    EXPECT_EQ(history.runs()[1].time, "2026-12-07 20:02:00");
    int onDisk = 0;
    for (const auto& entry : fs::directory_iterator(folder / "site.runs"))
        onDisk += entry.is_directory();
    EXPECT_EQ(onDisk, 2) << "the oldest run was deleted";
    EXPECT_EQ(newest.folder.filename(), "site-20261207-200300");
    EXPECT_EQ(newest.deckDigest, Sha256Hex("deck 30.000000"));
    EXPECT_TRUE(fs::exists(newest.folder / "site.tvi"));
    EXPECT_TRUE(fs::exists(newest.folder / "site.out"));

    RunHistory reread(folder / "site.tvi", folder / "user");
    ASSERT_EQ(reread.runs().size(), 2u);
    EXPECT_EQ(reread.runs()[0].summary, newest.summary);
    EXPECT_EQ(reread.runs()[1].deckState, "edited 0123456789ab");
    reread.remove(0);
    EXPECT_FALSE(fs::exists(newest.folder));
    EXPECT_EQ(RunHistory(folder / "site.tvi", folder / "user").runs().size(), 1u);
}

// Two runs in one second are two runs; a deck folder that cannot take the runs sends them to
// the user's data folder; a run that cannot be copied leaves nothing, not even half a run.
TEST(RunHistory, NeverLosesOrHalfKeepsARun) {
    tovan::testing::TempFolder folder;
    RunHistory history(folder / "site.tvi", folder / "user");
    history.keep(Outputs(folder.path(), 1), At(5, 9), "saved", 50);
    history.keep(Outputs(folder.path(), 2), At(5, 9), "saved", 50);
    ASSERT_EQ(history.runs().size(), 2u);
    EXPECT_NE(history.runs()[0].folder, history.runs()[1].folder);

    tovan::testing::TempFolder other;
    Write(other / "site.runs", "a file where the runs' folder would be");
    RunHistory elsewhere(other / "site.tvi", other / "user");
    const KeptRun& kept = elsewhere.keep(Outputs(other.path(), 3), At(6), "saved", 50);
    EXPECT_EQ(kept.folder.parent_path(), elsewhere.inUserData());
    EXPECT_EQ(RunHistory(other / "site.tvi", other / "user").runs().size(), 1u);

    RunResults broken = Outputs(folder.path(), 4);
    broken.input = "missing.tvi";
    EXPECT_THROW(history.keep(broken, At(7), "saved", 50), HistoryError);
    EXPECT_EQ(history.runs().size(), 2u);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder / "site.runs"))
        ++entries;
    EXPECT_EQ(entries, 2) << "no partial run is left behind";
}

// The factors follow from the foot, the inch, the acre and the mile; the published exact
// values (NIST SP 811, appendix B) are what they must give.
TEST(Units, FactorsAreTheDefinitionsOfTheUnits) {
    EXPECT_DOUBLE_EQ(SiFactor(Quantity::Flow), 0.028316846592);
    EXPECT_DOUBLE_EQ(SiFactor(Quantity::Depth), 25.4);
    EXPECT_DOUBLE_EQ(SiFactor(Quantity::Volume), 1233.48183754752);
    EXPECT_DOUBLE_EQ(SiFactor(Quantity::AreaMiles), 2.589988110336);
    EXPECT_DOUBLE_EQ(SiFactor(Quantity::AreaAcres), 0.40468564224);
    EXPECT_EQ(UnitSymbol(Quantity::Flow, true), "m\u00b3/s");
    for (UnitSystem units : {UnitSystem::USCustomary, UnitSystem::SI, UnitSystem::Both})
        EXPECT_EQ(UnitSystemFromKey(UnitSystemKey(units)), units);
}

// A table in SI names SI units and holds converted figures; with both, each figure is there
// twice and every line keeps the header's number of fields.
TEST(Units, SummaryCsvInSiAndBoth) {
    RunResults run = Outputs(fs::temp_directory_path(), 100);
    run.catchments[0].storms[0].runoffInches = 2;
    CatchmentResult stopped;
    stopped.identification = "DRY";
    run.catchments.push_back(stopped);
    std::istringstream si(SummaryCsv(run, UnitSystem::SI));
    std::string header, line;
    std::getline(si, header);
    EXPECT_NE(header.find("peak_m3s,time_to_peak_h,runoff_mm,runoff_m3,"), std::string::npos)
        << header;
    std::getline(si, line);
    const auto fields = SplitCsvLine(line, ',');
    EXPECT_DOUBLE_EQ(std::stod(fields[5]), 2.8316846592);
    EXPECT_DOUBLE_EQ(std::stod(fields[7]), 50.8);

    std::istringstream both(SummaryCsv(run, UnitSystem::Both));
    std::getline(both, header);
    EXPECT_NE(header.find("peak_cfs,peak_m3s,time_to_peak_h,runoff_in,runoff_mm"),
              std::string::npos);
    const std::size_t count = SplitCsvLine(header, ',').size();
    while (std::getline(both, line))
        EXPECT_EQ(SplitCsvLine(line, ',').size(), count) << line;
}

TEST(Digest, Sha256OfTheStandardsExamples) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1")
        << "56 bytes: the length goes into a second block";
    EXPECT_EQ(Sha256Hex(std::string(1'000'000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}
