// A built storm in record set B1: its cards, its rows, and that the deck saved with it reads
// back to the same grid.
#include "storms/StormPlacement.h"

#include "fileio/DeckFindings.h"
#include "fileio/SaveFile.h"
#include "fileio/basFileRoutines.h"
#include "fortranio/NumericText.h"
#include "platform/RecordingPlatform.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {

DeckGrids B1Deck() {
    DeckGrids grids;
    grids.fpCardA.setValue(col::kAOption, kTemplateRow, "0");
    grids.fpCardA.setValue(2, kTemplateRow, "storms");
    Grid& c = grids.fpCardC;
    const std::pair<int, int> cells[] = {
        {col::kCFirstStorm, 1}, {col::kCLastStorm, 9}, {col::kCUnitDuration, 10}};
    for (const auto& [col, value] : cells)
        c.setValue(col, kTemplateRow, std::to_string(value));
    c.setValue(col::kCIdent, kTemplateRow, "WEST");
    return grids;
}

StormRequest Nrcs2(double depth, double step) {
    StormRequest request;
    request.parameters.depth = depth;
    request.parameters.duration = 1440;
    request.parameters.step = step;
    return request;
}

int DepthsOn(const StormRow& row) {
    int count = 0;
    for (int col = col::kB1FirstDepth; col <= col::kB1LastDepth; ++col)
        count += !row[static_cast<std::size_t>(col - 1)].empty();
    return count;
}

} // namespace

// A storm's last card of two or more holds at most 13 depths: the reader takes its columns
// 65-80 as the correction factors.
TEST(StormCards, LastCardLeavesTheFactorColumnsFree) {
    struct Case {
        std::size_t steps;
        bool factors;
        std::vector<int> depthsPerCard;
    };
    const Case cases[] = {{17, false, {17}},     {18, false, {17, 1}},
                          {30, false, {17, 13}}, {31, false, {17, 14, 0}},
                          {10, true, {10, 0}},   {288, false, std::vector<int>(16, 17)}};
    for (const Case& c : cases) {
        std::array<std::string, 4> factors;
        if (c.factors) factors = {"1.1", "", "0.9", ""};
        const auto rows =
            StormCardRows(7, "ID", std::vector<std::string>(c.steps, "0.01"), factors);
        std::vector<int> counts;
        for (const StormRow& row : rows)
            counts.push_back(DepthsOn(row));
        std::vector<int> expected = c.depthsPerCard;
        if (c.steps == 288) expected.insert(expected.end(), {16, 0});
        EXPECT_EQ(counts, expected) << c.steps << " steps";
        EXPECT_EQ(rows.back()[col::kB1FirstFactor - 1], c.factors ? "1.1" : "");
    }
}

// Placed, saved and read back: the same grid, so that save, read and save again is a fixed
// point; replacing keeps the storm's factors; the step differing from the catchment's unit
// duration is a finding of the check.
TEST(StormPlacement, ASavedStormReadsBackAsPlaced) {
    DeckGrids grids = B1Deck();
    const PreparedStorm first = PrepareStorm(grids, Nrcs2(5, 10));
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.ident, "N2 5/10m");
    PlaceStorm(grids, first);
    StormRequest second = Nrcs2(2.5, 5);
    second.parameters.step = 0; // the catchment's unit duration
    const PreparedStorm placed = PrepareStorm(grids, second);
    EXPECT_EQ(placed.number, 2);
    EXPECT_EQ(placed.step, 10);
    PlaceStorm(grids, placed);
    Grid& b1 = grids.fpCardB1;
    const auto rows = RowsOfStorm(b1, 2);
    ASSERT_TRUE(rows);
    for (int i = 0; i < 4; ++i)
        b1.setValue(col::kB1FirstFactor + i, rows->second, "1.2");

    RecordingPlatform quiet;
    const std::string text = BuildDeckText(grids, quiet).text;
    ASSERT_FALSE(text.empty());
    DeckGrids back;
    ReadingState state;
    ApplicationState app;
    ReadingContext context{back, state, app, quiet};
    ASSERT_EQ(ReadDeck(context, DeckFromText(text)), ReadOutcome::Read);
    for (int row = kTemplateRow; row < b1.maxRows(); ++row)
        for (int col = 1; col <= b1.maxCols(); ++col)
            ASSERT_EQ(TrimBlanks(back.fpCardB1.text(col, row)), TrimBlanks(b1.text(col, row)))
                << "row " << row << " column " << col;
    const auto summaries = SummarizeStorms(back.fpCardB1);
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_NEAR(summaries[0].total, 5.0, 1e-9);
    EXPECT_EQ(summaries[0].steps, 144);
    EXPECT_EQ(StepOfCell(back.fpCardB1, col::kB1FirstDepth + 2, kTemplateRow + 1), 20);

    StormRequest again = Nrcs2(3, 5);
    again.number = 2;
    EXPECT_THROW(PrepareStorm(grids, again), StormInputError) << "storm 2 is taken";
    again.replace = true;
    PlaceStorm(grids, PrepareStorm(grids, again));
    EXPECT_EQ(FactorsOfStorm(b1, 2), (std::array<std::string, 4>{"1.2", "1.2", "1.2", "1.2"}));
    EXPECT_EQ(SummarizeStorms(b1).at(1).steps, 288);
    EXPECT_EQ(SummarizeStorms(b1).size(), 2u) << "storm 2 replaced, not added";

    const auto findings = CheckInputRanges(grids);
    const auto stepNote = std::find_if(findings.begin(), findings.end(), [](const Finding& f) {
        return f.text.find("built at a step of 5 min") != std::string::npos;
    });
    ASSERT_NE(stepNote, findings.end());
    EXPECT_EQ(stepNote->place, (CellPlace{"B1", rows->first, col::kB1Ident}));
    EXPECT_NE(stepNote->text.find("catchment WEST processes it at a unit duration of 10 min"),
              std::string::npos);
}

TEST(StormPlacement, OnlyADeckOfHyetographsTakesAStorm) {
    DeckGrids grids;
    grids.fpCardA.setValue(col::kAOption, kTemplateRow, "1");
    try {
        PrepareStorm(grids, Nrcs2(5, 5));
        FAIL();
    } catch (const StormInputError& error) {
        EXPECT_EQ(error.parameter(), "deck");
        EXPECT_NE(std::string(error.what()).find("record set B1"), std::string::npos);
    }
}
