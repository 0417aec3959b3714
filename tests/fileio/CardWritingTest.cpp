#include "SaveTestDecks.h"
#include "fileio/SaveFile.h"

#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::testing;

namespace {

std::vector<std::string> DeckLines(const DeckGrids& grids) {
    RecordingPlatform ui;
    const DeckText deck = BuildDeckText(grids, ui);
    EXPECT_FALSE(deck.fatal);
    return Lines(deck.text);
}

const std::string kCardC = Padded(" 00 1 1 .1CAT1    1Desc");
const std::string kCardD = Padded("  1.5   2.   1.  50.  .01        .3   .1   3..0018   .5");

std::string B1Line(const std::string& numberAndId, const std::string& depthsAndFactors) {
    return Padded(numberAndId + depthsAndFactors);
}

} // namespace

TEST(CardWriting, WholeB2DeckInCardOrder) {
    RecordingPlatform ui;
    const DeckText deck = BuildDeckText(ValidB2Deck(), ui);
    const std::string expected = Padded(" 2Test") + "\r\n" + Padded(" 1100-year  100  2.6") +
                                 "\r\n" + "\r\n" + kCardC + "\r\n" + kCardD + "\r\n" + "E\r\n";
    EXPECT_EQ(deck.text, expected);
    EXPECT_FALSE(deck.unusable);
}

TEST(CardWriting, NoB2CardsStillEndsTheBRecordsWithAnEmptyLine) {
    DeckGrids grids = ValidB2Deck();
    SetRow(grids.fpCardB2, 2, {{1, ""}, {2, ""}, {3, ""}, {4, ""}});
    EXPECT_EQ(DeckLines(grids),
              (std::vector<std::string>{Padded(" 2Test"), "", kCardC, kCardD, "E"}));
}

TEST(CardWriting, ReturnPeriodIndexesBecomeYears) {
    DeckGrids grids = ValidB2Deck();
    const char* indexes[] = {"0", "1", "2", "3", "4", "", "9"};
    for (int i = 0; i < 7; ++i) {
        SetRow(grids.fpCardB2, 2 + i,
               {{1, std::to_string(i + 1).c_str()}, {2, "s"}, {3, indexes[i]}, {8, "0.5"}});
    }
    const auto lines = DeckLines(grids);
    ASSERT_EQ(lines.size(), 12U);
    const char* years[] = {"  2", "  5", " 10", " 50", "100", "  2", "  5"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(lines[1 + i].substr(12, 3), years[i]) << "index " << indexes[i];
        EXPECT_EQ(lines[1 + i].substr(64), "              .5");
    }
}

TEST(CardWriting, PrintOptionIndexesBecomeCodesAndEmptyIntegersStayBlank) {
    DeckGrids grids = ValidB2Deck();
    const char* indexes[] = {"0", "1", "2", "3", "4", "5", "6", "", "7"};
    const char codes[] = "012378900";
    for (int i = 0; i < 9; ++i) {
        AddCatchment(grids, 2 + i);
        SetRow(grids.fpCardC, 2 + i, {{2, indexes[i]}, {4, ""}, {8, "5"}});
    }
    const auto lines = DeckLines(grids);
    ASSERT_EQ(lines.size(), 22U);
    for (int i = 0; i < 9; ++i) {
        const std::string& card = lines[3 + 2 * i];
        EXPECT_EQ(card[1], codes[i]) << "index " << indexes[i];
        EXPECT_EQ(card.substr(3, 2), "  ") << "an empty integer cell is written as blanks";
    }
}

TEST(CardWriting, D1FollowsOnlyWhenSwitchedOnAndMayBeBlank) {
    DeckGrids grids = ValidB2Deck();
    AddCatchment(grids, 3);
    AddCatchment(grids, 4);
    SetRow(grids.fpCardD, 2, {{19, "1"}});
    SetRow(grids.fpCardD, 3, {{19, "0"}});
    SetRow(
        grids.fpCardD, 4,
        {{19, "1"}, {13, "3"}, {14, "0.5"}, {16, "0.25"}, {20, "1.2"}, {25, "0.45"}, {18, "-1"}});
    const auto lines = DeckLines(grids);
    ASSERT_EQ(lines.size(), 12U);
    EXPECT_EQ(lines[4], Padded(kCardD.substr(0, 60) + "1"));
    EXPECT_EQ(lines[5], std::string(80, ' '));
    EXPECT_EQ(lines[7], Padded(kCardD.substr(0, 60) + "0")) << "followed by the next C card";
    EXPECT_EQ(lines[9].substr(55), "  -1.1   3   .5" + std::string(10, ' '));
    EXPECT_EQ(lines[10], Padded("  1.2" + std::string(20, ' ') + "  .45  .25"));
    EXPECT_EQ(lines[11], "E");
}

TEST(CardWriting, B1StormsOfOneTwoAndThreeCards) {
    DeckGrids grids = HyetographDeck();
    const std::string d17 = "  .1  .2  .3  .4  .5  .6  .7  .8  .9 1.1 1.2 1.3 1.4 1.5 1.6 1.7 1.8";
    auto depths = [&](int row, int count) {
        const char* texts[] = {".1",  ".2",  ".3",  ".4",  ".5",  ".6",  ".7",  ".8", ".9",
                               "1.1", "1.2", "1.3", "1.4", "1.5", "1.6", "1.7", "1.8"};
        for (int i = 0; i < count; ++i)
            grids.fpCardB1.setValue(3 + i, row, texts[i]);
    };
    SetRecord(grids.fpCardB1, 2, {{1, "1"}, {2, "one card"}}); // storm 1: one card
    depths(2, 13);
    for (int r = 3; r <= 4; ++r)
        SetRecord(grids.fpCardB1, r, {{1, "2"}, {2, "two"}});
    depths(3, 17);
    depths(4, 13); // storm 2: the second card carries factors
    SetRow(grids.fpCardB1, 4, {{20, "1"}, {21, "0.5"}, {23, "2.25"}});
    for (int r = 5; r <= 7; ++r)
        SetRecord(grids.fpCardB1, r, {{1, "3"}, {2, "three cards!"}});
    depths(5, 17);
    depths(6, 17); // storm 3: three cards, 17 depths each, no factors
    depths(7, 17);

    const auto lines = DeckLines(grids);
    ASSERT_EQ(lines.size(), 11U);
    EXPECT_EQ(lines[1], B1Line(" 1one card  ", d17.substr(0, 52)));
    EXPECT_EQ(lines[2], B1Line(" 2two       ", d17));
    EXPECT_EQ(lines[3], B1Line(" 2two       ", d17.substr(0, 52) + "  1.  .5    2.25"));
    for (int i = 4; i <= 6; ++i)
        EXPECT_EQ(lines[i], B1Line(" 3three card", d17));
    EXPECT_EQ(lines[7], "");
}

TEST(CardWriting, TextIsCutAndTitleKeepsItsBytes) {
    DeckGrids grids = ValidB2Deck();
    grids.fpCardA.setValue(2, 2, "R\xE9sum\xE9 " + std::string(80, 'x'));
    grids.fpCardB2.setValue(2, 2, "14 characters!");
    const auto lines = DeckLines(grids);
    ASSERT_EQ(lines.size(), 6U);
    EXPECT_EQ(lines[0], " 2R\xE9sum\xE9 " + std::string(65, 'x') + "      ");
    EXPECT_EQ(lines[1].substr(2, 10), "14 charact");
}
