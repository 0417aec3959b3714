// Comparing alternatives: the matching of two runs' catchment-storms, the differences and
// their percentages, and the cells of two decks.
#include "compare/DeckDiff.h"
#include "compare/ResultsComparison.h"
#include "storms/ObservedRainfall.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace tovan;
using namespace tovan::results;

namespace {

CatchmentResult Catchment(const std::string& ident, std::vector<std::pair<int, double>> peaks) {
    CatchmentResult c;
    c.identification = ident;
    c.computed = true;
    for (const auto& [storm, peak] : peaks) {
        StormResult s;
        s.storm = storm;
        s.computed = peak >= 0;
        s.peakCfs = peak;
        s.timeToPeakHours = 1.5;
        s.runoffAcreFeet = peak / 10;
        c.storms.push_back(s);
    }
    return c;
}

const ComparisonRow& RowOf(const ResultsComparison& comparison, const std::string& catchment,
                           int storm) {
    for (const ComparisonRow& row : comparison.rows)
        if (row.catchment == catchment && row.storm == storm) return row;
    throw std::logic_error("no row " + catchment);
}

} // namespace

// A renamed catchment is one only in A and one only in B; a storm run on one side only is its
// own row; a catchment not computed keeps its row without numbers; every CSV line has the
// header's fields.
TEST(ResultsComparison, MatchesByIdentificationAndStormAndDropsNothing) {
    RunResults a, b;
    a.catchments = {Catchment("EAST", {{1, 100}, {2, 200}}), Catchment("OLD", {{1, 50}}),
                    Catchment("PARK", {{1, -1}})};
    b.catchments = {Catchment("PARK", {{1, 30}}), Catchment("EAST", {{1, 110}}),
                    Catchment("NEW", {{1, 60}}), Catchment("EAST", {{1, 5}})};
    const ResultsComparison comparison = CompareResults(a, b);
    EXPECT_EQ(comparison.matched, 2u);
    EXPECT_EQ(comparison.onlyA, 2u) << "EAST storm 2 and OLD";
    EXPECT_EQ(comparison.onlyB, 2u) << "NEW and the second EAST";
    EXPECT_EQ(MatchCountText(comparison), "2 catchment-storms only in A, 2 only in B, 2 matched");
    const ComparisonRow& east = RowOf(comparison, "EAST", 1);
    EXPECT_DOUBLE_EQ(*east.peakCfs.delta(), 10);
    EXPECT_DOUBLE_EQ(*east.peakCfs.percent(), 10);
    EXPECT_EQ(RowOf(comparison, "EAST", 2).presence, Presence::OnlyA);
    EXPECT_EQ(RowOf(comparison, "EAST #2", 1).presence, Presence::OnlyB);
    const ComparisonRow& park = RowOf(comparison, "PARK", 1);
    EXPECT_FALSE(park.peakCfs.a) << "not computed in A";
    EXPECT_TRUE(PeakExceeds(park, 1000)) << "a peak where A has none exceeds any threshold";
    EXPECT_FALSE(PeakExceeds(east, 10)) << "10 % is not more than 10 %";
    EXPECT_TRUE(PeakExceeds(east, 9.9));

    const std::string csv = ComparisonCsv(comparison, "a, the first.json", "b.json");
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "# A: a, the first.json, B: b.json");
    std::getline(lines, line);
    const std::size_t fields = SplitCsvLine(line, ',').size();
    EXPECT_EQ(fields, 15u);
    int rows = 0;
    while (std::getline(lines, line)) {
        EXPECT_EQ(SplitCsvLine(line, ',').size(), fields) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 6);
}

TEST(ResultsComparison, PercentagesOfZeroBases) {
    EXPECT_EQ((ComparedValue{0.0, 0.0}).percent(), 0.0);
    EXPECT_FALSE((ComparedValue{0.0, 3.0}).percent()) << "a change from nothing has none";
    EXPECT_DOUBLE_EQ(*(ComparedValue{4.0, 0.0}).percent(), -100);
    EXPECT_FALSE((ComparedValue{std::nullopt, 3.0}).delta());
}

// Catchments by identification wherever they stand, the rest by position; storms by number;
// numbers equal however written; a whole record on one side is one line.
TEST(DeckDiff, MatchesCatchmentsThenPositionsAndStormsByNumber) {
    DeckGrids a, b;
    const auto catchment = [](DeckGrids& g, int row, const char* ident, const char* area) {
        while (g.fpCardC.maxRows() <= row) {
            g.fpCardC.insertRows(g.fpCardC.maxRows(), 1);
            g.fpCardD.insertRows(g.fpCardD.maxRows(), 1);
        }
        g.fpCardC.setValue(col::kCIdent, row, ident);
        g.fpCardD.setValue(col::kDArea, row, area);
    };
    catchment(a, 2, "EAST", "1.5");
    catchment(a, 3, "WEST", "0.7");
    catchment(a, 4, "X1", "0.2");
    catchment(b, 2, "WEST", "0.70");
    catchment(b, 3, "EAST", "1.6");
    catchment(b, 4, "X2", "0.2");
    a.fpCardB2.setValue(col::kB2Storm, 2, "1");
    a.fpCardB2.setValue(col::kB2Depth, 2, "1.5");
    b.fpCardB2.setValue(col::kB2Storm, 3, "1");
    b.fpCardB2.setValue(col::kB2Depth, 3, "1.5");
    b.fpCardB2.setValue(col::kB2Storm, 2, "2");
    const auto differences = DiffDecks(a, b);
    ASSERT_EQ(differences.size(), 3u) << DifferencesCsv(differences);
    EXPECT_EQ(differences[0].recordSet, "B2");
    EXPECT_EQ(differences[0].field, "(whole storm 2)");
    EXPECT_EQ(differences[1].catchment, "EAST");
    EXPECT_EQ(differences[1].valueA + ">" + differences[1].valueB, "1.5>1.6");
    EXPECT_EQ(std::pair(differences[1].rowA, differences[1].rowB), std::pair(2, 3));
    EXPECT_EQ(differences[2].field, "Enter Catchment Identification:") << "X1 and X2 by position";
    EXPECT_TRUE(DiffDecks(a, a).empty());
}
