#include "ReaderFixture.h"

#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::testing;

namespace {

using Message = RecordingPlatform::Message;

const Message kUnableToRead(std::string title) {
    return {"Unable to read the file. Plase check to see if it is valid.", MessageIcon::Information,
            std::move(title), false};
}

// A B1 card: storm number, identification and up to 17 numbers in columns 13-80.
std::string B1(double storm, std::string_view ident, std::vector<double> numbers) {
    std::vector<WriteValue> pairs{"I2", storm, "A10", ident};
    for (double n : numbers) {
        pairs.emplace_back("F4.3");
        pairs.emplace_back(n);
    }
    return FortranWrite(pairs);
}

std::string B2(double storm, std::string_view ident, double years, double depth,
               std::string_view factors = "") {
    return Card({"I2", storm, "A10", ident, "I3", years, "F5.4", depth, "44X", std::monostate{},
                 "A16", factors});
}

std::string C(double print, double rational, double first, double last, double duration,
              std::string_view ident, double number, std::string_view description) {
    return Card({"A1", std::monostate{}, "I1", print, "I1", rational, "I2", first, "I2", last,
                 "F3.2", duration, "A6", ident, "I3", number, "A60", description});
}

// A D card whose fields are given in card order as text (blank for "").
std::string D(std::vector<std::string_view> f) {
    f.resize(17);
    std::vector<WriteValue> pairs;
    const char* descriptors[] = {"F5.4", "F5.4", "F5.4", "F5.4", "F5.4", "F5.4",
                                 "F5.4", "F5.4", "F5.4", "F5.4", "F5.4", "F5.4",
                                 "I1",   "3X",   "I1",   "F5.4", "F5.4"};
    for (std::size_t i = 0; i < 17; ++i) {
        pairs.emplace_back(std::string_view(descriptors[i]));
        if (f[i].empty()) {
            pairs.emplace_back(std::monostate{});
        } else {
            pairs.emplace_back(f[i]);
        }
    }
    return FortranWrite(pairs);
}

const std::string kCatchment = C(0, 1, 1, 2, 0.5, "AB", 12, "  First catchment  ");
const std::string kD = D({"1.2", "1.85", ".9", "45", ".012", "30", ".35", ".1", "4.5", ".0012",
                          ".6", ".8", "0", "", "2", ".55", ".35"});

} // namespace

TEST(CardAB, RejectsABlankFirstLineOrAnImpossibleOption) {
    for (const std::string& first : {std::string("   "), CardA(3), Card({"A1", "", "A1", " "})}) {
        Reader r;
        EXPECT_EQ(r.read(Deck({first, B2(1, "X", 2, 1)})), ReadOutcome::CardABFailed);
        ASSERT_EQ(r.ui.messages.size(), 1U);
        EXPECT_EQ(r.ui.messages[0], (Message{"Error on File, Check file for correct format",
                                             MessageIcon::Exclamation, "Error", false}));
        EXPECT_EQ(r.host.calls, (std::vector<std::string>{"menus shown", "unload"}));
        EXPECT_EQ(r.a(1), "");
        EXPECT_FALSE(r.app.EnableB2);
    }
}

TEST(CardAB, EndMarkOnCardAStopsSilentlyAfterStoringIt) {
    Reader r;
    const std::string cardA = "e2MY TITLE";
    EXPECT_EQ(r.read(Deck({cardA, B2(1, "X", 2, 1)})), ReadOutcome::CardABFailed);
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.a(1), "1");
    EXPECT_EQ(r.a(2), "MY TITLE" + std::string(64, ' ')) << "all 72 columns, blanks kept";
    EXPECT_EQ(r.b2(1, 2), "");
}

TEST(CardAB, EmptyFileAndOverlongCardsAreReadErrors) {
    Reader empty;
    EXPECT_EQ(empty.read(""), ReadOutcome::CardABFailed);
    EXPECT_EQ(empty.ui.messages.at(0), (Message{"Input past end of file", MessageIcon::Exclamation,
                                                "CardAB Error!", false}));

    Reader wide;
    EXPECT_EQ(wide.read(Deck({CardA(2), B2(1, "X", 2, 1) + "9"})), ReadOutcome::CardABFailed);
    EXPECT_EQ(wide.ui.messages.at(0), kUnableToRead("CardAB Error!"));
    EXPECT_TRUE(wide.state.ReadFailed);
}

TEST(CardAB, B2CardsWithTheirValueRules) {
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(2, "ONE HOUR"), B2(1, "100-YEAR", 100, 2.6, "1.1  .9  0.    "),
                           B2(2, "25-YEAR", 25, 1.25, ".00 "), "", kCatchment, kD, "E"})),
              ReadOutcome::Read);
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.a(1), "1");
    EXPECT_EQ((std::vector<std::string>{r.b2(1, 2), r.b2(2, 2), r.b2(3, 2), r.b2(4, 2), r.b2(5, 2),
                                        r.b2(6, 2), r.b2(7, 2), r.b2(8, 2)}),
              (std::vector<std::string>{"1", "100-YEAR  ", "4", "2.6", "1.1", "0.9", "", ""}));
    EXPECT_EQ(r.b2(3, 3), "0") << "25 years is not a listed period: index 0";
    EXPECT_EQ(r.b2(5, 3), "") << "a zero factor is blank";
    EXPECT_EQ(r.b2(1, 4), "");
    EXPECT_TRUE(r.app.EnableA && r.app.EnableB2 && r.app.EnableC && r.app.EnableD);
    EXPECT_FALSE(r.app.EnableB1);
    EXPECT_EQ(r.c(9, 2), "First catchment");
}

TEST(CardAB, B2WithoutBlankLineAndMoreThan98Storms) {
    Reader noBlank;
    ASSERT_EQ(noBlank.read(CardA(2) + "\r\n" + B2(1, "A", 2, 1) + "\r\n" + B2(2, "B", 5, 1)),
              ReadOutcome::Read);
    EXPECT_EQ(noBlank.b2(1, 3), "2");
    EXPECT_EQ(noBlank.grids.fpCardC.maxRows(), 3) << "Card_C met the end at once";

    std::vector<std::string> lines{CardA(2)};
    for (int s = 1; s <= 99; ++s)
        lines.push_back(B2(s, "S", 2, 1));
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    text += D({}) + "\r\nE\r\n";
    Reader many;
    ASSERT_EQ(many.read(text), ReadOutcome::Read);
    EXPECT_EQ(many.b2(1, 99), "98");
    EXPECT_EQ(many.b2(1, 100), "");
    EXPECT_EQ(many.c(2, 2), "6") << "the 99th B2 card is read as a card C (print option 9)";
}

TEST(HyetoInput, StormsOfOneTwoAndThreeCards) {
    Reader r;
    const std::vector<double> full{.1, .2,  .3,  .4,  .5,  .6,  .7,  .8, .9,
                                   1,  1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7};
    ASSERT_EQ(r.read(Deck({CardA(1), B1(1, "ONE", full), B1(2, "TWO", full), B1(2, "TWO", full),
                           B1(3, "THREE", full), B1(3, "THREE", full), B1(3, "THREE", full), "",
                           kCatchment, kD, "E"})),
              ReadOutcome::Read);
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.a(1), "0");
    EXPECT_EQ(r.b1(19, 2), "1.7") << "a one-card storm has 17 depths";
    EXPECT_EQ(r.b1(20, 2), "");
    EXPECT_EQ(r.b1(19, 3), "1.7");
    EXPECT_EQ(r.b1(15, 4), "1.3");
    EXPECT_EQ(r.b1(16, 4), "") << "the last card's columns 65-80 are factors";
    EXPECT_EQ(r.b1(20, 4), "1.4");
    EXPECT_EQ(r.b1(23, 4), "1.7");
    EXPECT_EQ(r.b1(16, 6), "1.4") << "a middle card keeps depths 14 to 17";
    EXPECT_EQ(r.b1(20, 6), "");
    EXPECT_EQ(r.b1(20, 7), "1.4");
    EXPECT_EQ(r.b1(2, 7), "THREE     ");
    EXPECT_EQ(r.grids.fpCardB1.maxRows(), 9) << "six cards, one empty row, labels, buttons";
    EXPECT_TRUE(r.app.EnableB1);
    EXPECT_EQ(r.state.StormCardCount, 3);
    EXPECT_EQ(r.c(8, 2), "12");
}

TEST(HyetoInput, FirstCardStopsAtTheFirstBlankDepth) {
    Reader r;
    std::string card = B1(1, "GAP", {.1, .2, .3, .4, .5, .6, .7});
    card.replace(28, 4, "    "); // depth 5 blank
    ASSERT_EQ(r.read(Deck({CardA(1), card, ""})), ReadOutcome::Read);
    EXPECT_EQ(r.b1(6, 2), "0.4");
    EXPECT_EQ(r.b1(7, 2), "");
    EXPECT_EQ(r.b1(8, 2), "") << "depths after the gap are not placed";
}

TEST(HyetoInput, EndsOfTheRecordSet) {
    Reader lastCardLost;
    ASSERT_EQ(lastCardLost.read(CardA(1) + "\r\n" + B1(1, "A", {.1}) + "\r\n" + B1(2, "B", {.2})),
              ReadOutcome::Read);
    EXPECT_EQ(lastCardLost.b1(1, 2), "1");
    EXPECT_EQ(lastCardLost.b1(1, 3), "") << "a card without a card after it is not placed";

    Reader blankFirst;
    ASSERT_EQ(blankFirst.read(Deck({CardA(1), "", kCatchment, kD, kCatchment, kD, "E"})),
              ReadOutcome::Read);
    EXPECT_EQ(blankFirst.b1(1, 2), "");
    EXPECT_EQ(blankFirst.c(8, 2), "45") << "the C card was read ahead and lost: D is read as C";

    Reader nothingAfterA;
    EXPECT_EQ(nothingAfterA.read(Deck({CardA(1)})), ReadOutcome::CardABFailed);
    EXPECT_EQ(nothingAfterA.ui.messages.at(0),
              (Message{"Error reading hyetograph input card. Please check for validity.",
                       MessageIcon::Information, "HyetoInput Error!", false}));
    EXPECT_EQ(nothingAfterA.ui.messages.size(), 1U);

    Reader broken;
    EXPECT_EQ(broken.read(Deck({CardA(1), B1(1, "A", {.1}), std::string(81, '1')})),
              ReadOutcome::CardABFailed);
    EXPECT_EQ(broken.ui.messages.at(0), kUnableToRead("HyetoInput Error!"));
}

TEST(HyetoInput, StopsAfterTheFirstCardOfThe99thStorm) {
    std::string text = CardA(1) + "\r\n";
    for (int s = 1; s <= 100; ++s)
        text += B1(s % 99 + 1, "S", {.1}) + "\r\n";
    text += "\r\n";
    Reader r;
    ASSERT_EQ(r.read(text), ReadOutcome::Read);
    EXPECT_EQ(r.state.StormCardCount, 99);
    EXPECT_EQ(r.b1(1, 100), "1") << "the 99th storm (number 1)";
    EXPECT_EQ(r.b1(1, 101), "");
}

TEST(HyetoInput, RepeatedNonAdjacentStormNumbersAreAccepted) {
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(1), B1(1, "A", {.1}), B1(2, "B", {.2}), B1(1, "C", {.3}), ""})),
              ReadOutcome::Read);
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_EQ(r.b1(1, 4), "1");
}

TEST(CardC, FieldRulesOfCAndD) {
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(2), "", C(8, 0, 0, 3, 0, "AB", 0, "  text  "), kD, "E",
                           "this line is never read"})),
              ReadOutcome::Read);
    EXPECT_EQ(r.c(2, 2), "5") << "print option 8 is index 5";
    EXPECT_EQ(r.c(3, 2), "0");
    EXPECT_EQ(r.c(4, 2), "") << "first storm 0 is blank";
    EXPECT_EQ(r.c(5, 2), "3");
    EXPECT_EQ(r.c(6, 2), "");
    EXPECT_EQ(r.c(7, 2), "AB    ");
    EXPECT_EQ(r.c(8, 2), "");
    EXPECT_EQ(r.c(9, 2), "text");
    const std::vector<std::string> expected{"",     "1.2", "1.85", "0.9",    "45",  "0.012", "30",
                                            "0.35", "0.1", "4.5",  "0.0012", "0.6", "2",     "0.55",
                                            "0.35", "",    "",     "0.8",    ""};
    for (int col = 1; col <= 19; ++col) {
        EXPECT_EQ(r.d(col, 2), expected[static_cast<std::size_t>(col - 1)]) << "column " << col;
    }
    EXPECT_EQ(r.grids.fpCardC.maxRows(), 4);
    EXPECT_EQ(r.grids.fpCardD.maxRows(), 4);
}

TEST(CardC, ZeroAreaStaysButOtherZerosAreBlank) {
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(2), "", kCatchment,
                           D({"0", "0", "", "", "", "", "", "", "", "", "", "", "", "", "0"})})),
              ReadOutcome::Read);
    EXPECT_EQ(r.d(2, 2), "0");
    EXPECT_EQ(r.d(3, 2), "");
    EXPECT_EQ(r.d(13, 2), "") << "DCIA level 0 is blank, not index 0";
}

TEST(CardC, D1CardsAndTheirErrors) {
    const std::string withD1 = D({"1", "", "", "", "", "", "", "", "", "", "", "", "1"});
    const std::string d1 = Card({"F5.4", 1.1, "F5.4", 2.2, "F5.4", 30., "F5.4", 15., "F5.4", 0.,
                                 "F5.4", .45, "F5.4", .5, "F5.4", 40.});
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(2), "", kCatchment, withD1, d1, kCatchment, kD, "E"})),
              ReadOutcome::Read);
    EXPECT_EQ(r.d(19, 2), "1");
    EXPECT_EQ(r.d(20, 2), "1.1");
    EXPECT_EQ(r.d(24, 2), "") << "a zero D1 field is blank";
    EXPECT_EQ(r.d(25, 2), "0.45");
    EXPECT_EQ(r.d(16, 2), "0.5");
    EXPECT_EQ(r.d(17, 2), "40");
    EXPECT_EQ(r.d(2, 3), "1.2");

    Reader missing;
    EXPECT_EQ(missing.read(Deck({CardA(2), "", kCatchment, withD1})), ReadOutcome::CardCFailed);
    EXPECT_EQ(
        missing.ui.messages.at(0),
        (Message{"Input past end of file", MessageIcon::Exclamation, "Card_D1 Error!", false}));
    EXPECT_EQ(missing.host.calls.back(), "hide");
    EXPECT_EQ(missing.d(2, 2), "1") << "rows read so far stay";
    EXPECT_EQ(missing.grids.fpCardD.maxRows(), 3) << "no row added after a failed D1";
    EXPECT_TRUE(missing.state.deck) << "the file stays open until the next Initialize";
}

TEST(CardC, EndMarksBlankLinesAndMissingDCards) {
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(2), "", "", kCatchment, kD, "   ", "", "e", kD, kCatchment, "",
                           C(1, 0, 1, 1, 1, "LAST", 5, ""), kD})),
              ReadOutcome::Read);
    EXPECT_EQ(r.c(8, 2), "12");
    EXPECT_EQ(r.c(2, 3), "") << "a lower-case e is a card C with blank fields";
    EXPECT_EQ(r.d(2, 3), "1.2");
    EXPECT_EQ(r.c(7, 4), "LAST  ") << "a C card without D card is overwritten by the next";
    EXPECT_EQ(r.d(2, 4), "1.2");
    EXPECT_EQ(r.grids.fpCardC.maxRows(), 7);
    EXPECT_EQ(r.grids.fpCardD.maxRows(), 6);

    Reader dMissing;
    EXPECT_EQ(dMissing.read(Deck({CardA(2), "", kCatchment})), ReadOutcome::CardCFailed);
    EXPECT_EQ(dMissing.ui.messages.at(0).title, "Card_C Error!");
}

TEST(LineEnds, CrLfLfAndCrAloneReadTheSame) {
    const std::vector<std::string> lines{
        CardA(2, "T"), B2(1, "X", 10, 1.5), "", kCatchment, kD, "E"};
    DeckGrids reference;
    for (const char* end : {"\r\n", "\n", "\r"}) {
        std::string text;
        for (const auto& l : lines)
            text += l + end;
        Reader r;
        ASSERT_EQ(r.read(text), ReadOutcome::Read) << "line end " << int(end[0]);
        EXPECT_EQ(r.b2(3, 2), "2");
        EXPECT_EQ(r.d(2, 2), "1.2");
        EXPECT_EQ(r.grids.fpCardC.maxRows(), 4);
    }
}
