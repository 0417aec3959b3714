// The results as a user takes them away: the summary and hydrograph CSV read back with a CSV
// reader as a spreadsheet reads it, field by field, and what the run says it did not compute.
#include "CsvReader.h"
#include "results/RunResults.h"

#include <gtest/gtest.h>

using namespace tovan::results;
using tovan::testing::ReadCsv;

namespace {

Message Note(const std::string& text, bool problem = false) {
    Message m;
    m.text = text;
    m.problem = problem;
    m.line = 7;
    return m;
}

StormResult Storm(int number, bool computed, double peak) {
    StormResult s;
    s.storm = number;
    s.identification = "10-YR, \"design\"";
    s.computed = computed;
    s.peakCfs = peak;
    s.timeToPeakHours = 1.25;
    s.runoffInches = 0.5;
    s.runoffAcreFeet = 12.5;
    s.timeStepHours = 0.25;
    s.rainfallInches = {0.1, 0.3};
    s.excessInches = {0, 0.2};
    s.hydrographTimesHours = {0, 0.25, 0.5};
    s.hydrographFlowsCfs = {0, peak, 1};
    return s;
}

// Three catchments a spreadsheet must not garble: texts with quotes, commas and a line break;
// a storm the engine could not compute; a catchment stopped before its storms.
RunResults AwkwardRun() {
    RunResults run;
    CatchmentResult east;
    east.identification = "EAST \"A\", 1";
    east.number = 1;
    east.computed = true;
    east.messages = {Note("slope 0.5 is steep,\nused as given")};
    east.storms = {Storm(1, true, 100), Storm(2, false, 0)};
    east.storms[1].messages = {Note("no rain, nothing to route", true)};
    CatchmentResult west;
    west.identification = "WEST";
    west.number = 2;
    west.computed = true;
    west.messages = {Note("two lines\rof words")}; // a lone CR ends a record unquoted
    west.storms = {Storm(1, true, 50)};
    CatchmentResult dry;
    dry.identification = "DRY";
    dry.number = 3;
    dry.messages = {Note("area is 0", true)};
    run.catchments = {east, west, dry};
    return run;
}

} // namespace

// Every row has the header's fields; texts come back as they were; a storm not computed keeps
// its number and has no figures; a catchment without storms has a row of its own.
TEST(SummaryCsv, ReadsBackFieldByFieldWithEveryRowComplete) {
    const RunResults run = AwkwardRun();
    const auto rows = ReadCsv(SummaryCsv(run));
    ASSERT_EQ(rows.size(), 5u) << "a header and four catchment-storms";
    const std::size_t fields = rows[0].size();
    EXPECT_EQ(fields, 11u);
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), fields) << row[0];
    EXPECT_EQ(rows[1][0], "EAST \"A\", 1");
    EXPECT_EQ(rows[1][3], "10-YR, \"design\"");
    EXPECT_EQ(rows[1][5], "100");
    EXPECT_EQ(rows[1][10], "NOTE: slope 0.5 is steep,\nused as given");
    EXPECT_EQ(rows[2][2], "2");
    EXPECT_EQ(rows[2][5], "") << "not computed: no peak";
    EXPECT_EQ(rows[2][10],
              "NOTE: slope 0.5 is steep,\nused as given; PROBLEM: no rain, nothing to route");
    EXPECT_EQ(rows[3][0], "WEST");
    EXPECT_EQ(rows[3][10], "NOTE: two lines\rof words");
    EXPECT_EQ(rows[4][0], "DRY");
    EXPECT_EQ(rows[4][2], "") << "stopped before its storms";
    EXPECT_EQ(rows[4][10], "PROBLEM: area is 0");
    for (const SummaryRow& row : SummaryRows(run))
        EXPECT_EQ(HasProblem(run, row), row.catchment == 2 || row.storm == 1);
}

// The hydrographs of the computed storms only, each ordinate a row with the rain and excess of
// its step (none after the storm).
TEST(SummaryCsv, HydrographsReadBackWithTheirCatchment) {
    const RunResults run = AwkwardRun();
    const auto rows = ReadCsv(HydrographsCsv(run, SummaryRows(run)));
    ASSERT_EQ(rows.size(), 1u + 3 + 3) << "EAST storm 1 and WEST storm 1";
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), 7u);
    EXPECT_EQ(rows[1][0], "EAST \"A\", 1");
    EXPECT_EQ(rows[2],
              (std::vector<std::string>{"EAST \"A\", 1", "1", "1", "0.25", "0.3", "0.2", "100"}));
    EXPECT_EQ(rows[3][4], "") << "after the storm's two steps";
    EXPECT_EQ(rows[4][0], "WEST");
}

// What the run did not compute, in deck order, with the reasons; the computed are counted.
TEST(RunVerdict, NamesEveryStormNotComputedAndWhy) {
    RunResults run = AwkwardRun();
    run.deckMessages = {Note("storm 9 has no rain", true), Note("a note only")};
    const RunVerdict verdict = VerdictOf(run);
    EXPECT_EQ(verdict.computed, 2u);
    EXPECT_EQ(verdict.notComputed,
              (std::vector<std::string>{"Deck, line 7: not computed: storm 9 has no rain",
                                        "Catchment EAST \"A\", 1, storm 2: not computed: no rain, "
                                        "nothing to route",
                                        "Catchment DRY: not computed: area is 0"}));
    EXPECT_FALSE(verdict.complete());
}
