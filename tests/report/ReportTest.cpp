// The report's contents, and the hydrographs handed on to routing models read back as a
// routing model would read them.
#include "TempFolder.h"
#include "report/ReportSources.h"
#include "report/RoutingExport.h"
#include "storms/ObservedRainfall.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace tovan;
using namespace tovan::report;
using results::RunResults;
namespace fs = std::filesystem;

namespace {

results::CatchmentResult Catchment(const std::string& ident, double scale, double step) {
    results::CatchmentResult c;
    c.identification = ident;
    c.computed = true;
    for (int number : {1, 2}) {
        results::StormResult s;
        s.storm = number;
        s.computed = true;
        for (int i = 0; i < 6; ++i) {
            s.hydrographTimesHours.push_back(i * step);
            s.hydrographFlowsCfs.push_back(scale * number * (i < 3 ? i : 6 - i));
        }
        c.storms.push_back(s);
    }
    return c;
}

// The sections of a SWMM input file, each a list of its lines split into fields; a line that
// is a comment (";" first) is kept apart when it is not a header (";;").
struct SwmmSections {
    std::map<std::string, std::vector<std::vector<std::string>>> active, commented;
};

SwmmSections ReadSwmm(const std::string& text) {
    SwmmSections sections;
    std::istringstream in(text);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.empty() || line.starts_with(";;")) continue;
        if (line.front() == '[') {
            section = line.substr(1, line.find(']') - 1);
            continue;
        }
        const bool comment = line.front() == ';';
        std::istringstream fields(comment ? line.substr(1) : line);
        std::vector<std::string> row;
        for (std::string field; fields >> field;)
            row.push_back(field);
        (comment ? sections.commented : sections.active)[section].push_back(row);
    }
    return sections;
}

std::map<std::string, std::vector<std::pair<double, double>>> Series(const SwmmSections& swmm) {
    std::map<std::string, std::vector<std::pair<double, double>>> series;
    for (const auto& row : swmm.active.at("TIMESERIES"))
        series[row.at(0)].push_back({std::stod(row.at(1)), std::stod(row.at(2))});
    return series;
}

} // namespace

// Every series holds its hydrograph; two catchments at one node flow in as their sum (at the
// times of both); a catchment without a node has one of its name; SWMM's one inflow per node
// is the first storm, the other storms' lines commented out to switch to.
TEST(RoutingExport, SwmmFragmentHoldsTheResultsAndFeedsEachNodeOnce) {
    RunResults run;
    run.catchments = {Catchment("EAST 1", 10, 0.25), Catchment("WEST", 1, 0.5),
                      Catchment("PARK", 2, 0.25)};
    const SwmmSections swmm =
        ReadSwmm(SwmmFragment(run, results::SummaryRows(run), {{"EAST 1", "J1"}, {"WEST", "J1"}}));
    const auto series = Series(swmm);
    ASSERT_TRUE(series.count("EAST_1_S2")) << "the blank becomes an underscore";
    const auto& east = series.at("EAST_1_S2");
    ASSERT_EQ(east.size(), 6u);
    for (std::size_t i = 0; i < east.size(); ++i) {
        EXPECT_DOUBLE_EQ(east[i].first, run.catchments[0].storms[1].hydrographTimesHours[i]);
        EXPECT_DOUBLE_EQ(east[i].second, run.catchments[0].storms[1].hydrographFlowsCfs[i]);
    }
    const auto& node = series.at("J1_S1");
    std::map<double, double> sum(node.begin(), node.end());
    EXPECT_DOUBLE_EQ(sum.at(0.5), 20 + 1) << "EAST at 0.5 h plus WEST's first step";
    EXPECT_DOUBLE_EQ(sum.at(0.75), 30 + 1.5) << "WEST between its ordinates";
    EXPECT_DOUBLE_EQ(sum.at(2.0), 0 + 2);
    EXPECT_DOUBLE_EQ(sum.at(2.5), 1) << "EAST is over: WEST alone";

    std::map<std::string, std::string> inflows;
    for (const auto& row : swmm.active.at("INFLOWS")) {
        EXPECT_EQ(row.at(1), "FLOW");
        EXPECT_TRUE(inflows.emplace(row.at(0), row.at(2)).second)
            << "a second inflow at " << row[0];
    }
    EXPECT_EQ(inflows, (std::map<std::string, std::string>{{"J1", "J1_S1"}, {"PARK", "PARK_S1"}}));
    ASSERT_EQ(swmm.commented.at("INFLOWS").size(), 2u);
    EXPECT_EQ(swmm.commented.at("INFLOWS")[0].at(2), "J1_S2");
}

// The plain forms: a long CSV a CSV reader takes back field by field (an identification with a
// comma too), and a table per hydrograph with clock times.
TEST(RoutingExport, LongCsvAndHecHmsTables) {
    RunResults run;
    run.catchments = {Catchment("NORTH, UPPER", 1, 1.0 / 12)};
    std::istringstream csv(LongFormCsv(run, results::SummaryRows(run)));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line.rfind("# flows in cfs", 0), 0u);
    std::getline(csv, line);
    EXPECT_EQ(line, "catchment,storm,time_h,flow_cfs");
    int rows = 0;
    while (std::getline(csv, line)) {
        const auto fields = SplitCsvLine(line, ',');
        ASSERT_EQ(fields.size(), 4u) << line;
        EXPECT_EQ(fields[0], "NORTH, UPPER");
        ++rows;
    }
    EXPECT_EQ(rows, 12);
    const std::string hms = HecHmsTables(run, results::SummaryRows(run));
    EXPECT_NE(hms.find("Time (HH:MM),Flow (cfs)\n00:00,0\n00:05,1\n00:10,2\n"), std::string::npos)
        << hms;
}

// The example deck's report without results: its inputs by catchment, the fields explained in
// a legend, list cells by their code, and what checking finds in place of the results; with
// its run, the summary's figures as the results table shows them.
TEST(Report, OfTheExampleDeckWithAndWithoutItsRun) {
    const ReportOptions options;
    const ReportDocument deck =
        ReportOfDeck(std::string(TOVAN_EXAMPLES) + "/existing.tvi", options, "2026-12-07", "0.1.0");
    std::vector<std::string> titles;
    for (const Section& s : deck.sections)
        titles.push_back(s.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Report", "Storms", "Catchments", "Findings"}));
    const Section& inputs = deck.sections[2];
    EXPECT_TRUE(inputs.landscape);
    const auto& cardC = std::get<Table>(inputs.blocks[1]);
    ASSERT_EQ(cardC.rows.size(), 3u);
    EXPECT_EQ(cardC.rows[2][0], "PARK");
    EXPECT_EQ(cardC.rows[0][1], "2") << "the print option by its code";
    const auto& cardD = std::get<Table>(inputs.blocks[3]);
    EXPECT_EQ(cardD.legend[0], "D1: Catchment Area (sq. miles):");
    EXPECT_EQ(cardD.headers.size(), cardD.rows[0].size());

    tovan::testing::TempFolder folder;
    fs::copy_file(std::string(TOVAN_EXAMPLES) + "/existing.tvi", folder / "existing.tvi");
    fs::copy_file(std::string(TOVAN_TEST_DATA) +
                      "/../cases/compare-flags-the-peaks-a-proposed-design-raises/in/"
                      "existing.results.json",
                  folder / "existing.results.json");
    ReportOptions noPlots;
    noPlots.plots = false;
    const ReportDocument run =
        ReportOfResults(folder / "existing.results.json", noPlots, "2026-12-07", "0.1.0");
    titles.clear();
    for (const Section& s : run.sections)
        titles.push_back(s.title);
    EXPECT_EQ(titles,
              (std::vector<std::string>{"Report", "Storms", "Catchments", "Summary", "Notes"}));
    const auto& summary = std::get<Table>(run.sections[3].blocks[1]);
    EXPECT_EQ(summary.rows[0], (std::vector<std::string>{"EAST", "1", "1", "229.53", "1.417",
                                                         summary.rows[0][5], summary.rows[0][6]}));

    fs::remove(folder / "existing.tvi");
    EXPECT_THROW(ReportOfResults(folder / "existing.results.json", options, "", ""), ReportError);

    ReportOptions chosen;
    chosen.cards = true, chosen.plots = false, chosen.paper = Paper::Letter,
    chosen.landscape = true;
    ReportOptions read;
    ReadOptionsKey(OptionsKey(chosen), read);
    EXPECT_EQ(OptionsKey(read), OptionsKey(chosen));
    EXPECT_TRUE(read.cards && !read.plots && read.paper == Paper::Letter && read.landscape);
}
