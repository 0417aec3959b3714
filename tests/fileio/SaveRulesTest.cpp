#include "SaveTestDecks.h"
#include "fileio/SaveFile.h"

#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::testing;
using Message = RecordingPlatform::Message;

namespace {

Message Box(const char* text, const char* title = "SaveFile") {
    return {text, MessageIcon::Exclamation, title, false};
}

// The texts as users have always seen them, typed in here independently of the code.
const Message kA1 = Box("You must select a method of rainfall input.");
const Message kA2 = Box("You must give a description to the file.");
const Message kB1_1 = Box("All B1 cards must have a storm ID number. The file cannot be saved "
                          "until this is corrected.");
const Message kB1_2 = Box("Data cannot be in both fields 16-19 and 20-22 on a B1 Card. The file "
                          "cannot be saved until this is corrected.");
const Message kB1_3 = Box("All B1 cards must have a storm number. The file cannot be saved until "
                          "this is corrected.");
const Message kB1_4 = Box("You must give all B1 cards a storm ID.", "Save File");
const Message kB1_5 = Box("Optional parameters must always appear on the last B1.2 card. The "
                          "file cannot be saved until this is corrected.");
const Message kB1_6 = Box("Optional parameters may not be on a B1.1 Card. Add a new card to use "
                          "optional parameters. The file cannot be saved until this is corrected.");
const Message kB2_1 = Box("All B2 cards must have a storm number. The file cannot be saved until "
                          "this is corrected.");
const Message kB2_2 = Box("All B2 cards must have a storm ID");
const Message kB2_3 = Box("Duplicate storm IDs where encountered on card B2. The file cannot be "
                          "saved until this is corrected.");
const Message kB2_4 = Box("All B2 must have a return period");
const Message kB2_5 = {"An error was encountered reading the return period.", MessageIcon::None,
                       "Tovan2000", false};
const Message kCD_1 = Box("There is a mismatch in the number of C and D cards. The file cannot be "
                          "saved until this is corrected.");
const Message kC_1 = Box("You must select a print output option on every C card.");
const Message kC_2 = Box("Error reading the value in the Rational Formula field. Please recheck.");
const Message kC_3 = Box("You must select a Time Unit for every C card.");
const Message kC_4 = Box("You must provide a Catchment ID > 0 and < 999 for a catchement with "
                         "print options 7, 8, or 9.");
const std::vector<Message> kD_1To10 = {
    Box("You must provide a catchment area for every D card."),
    Box("You must provide a catchment length for every D card."),
    Box("You must provide a centroid distance for every D card."),
    Box("You must provide a catchment imperviousness for every D card."),
    Box("You must provide a weighted slope for every D card."),
    Box("You must provide an average maximum depression storage (Pervious) for every D card."),
    Box("You must provide an average maximum depression storage (Impervious) for every D card."),
    Box("You must provide an inital infiltration rate for every D card."),
    Box("You must provide a Horton's Decay Coefficient for every D card."),
    Box("You must provide a final infiltration rate for every D card."),
};

struct Outcome {
    std::vector<Message> messages;
    bool fatal;
    bool unusable;
};

// The rules' messages; the warning about what the deck cannot hold (a later, separate message)
// has tests of its own.
Outcome Save(const DeckGrids& grids) {
    RecordingPlatform ui;
    const DeckText deck = BuildDeckText(grids, ui);
    if (!deck.losses.empty()) ui.messages.pop_back();
    return {ui.messages, deck.fatal, deck.unusable};
}

void ExpectFatal(const DeckGrids& grids, const std::vector<Message>& messages) {
    const Outcome outcome = Save(grids);
    EXPECT_TRUE(outcome.fatal);
    EXPECT_EQ(outcome.messages, messages);
}

void ExpectWarnings(const DeckGrids& grids, const std::vector<Message>& messages) {
    const Outcome outcome = Save(grids);
    EXPECT_FALSE(outcome.fatal);
    EXPECT_EQ(outcome.unusable, !messages.empty());
    EXPECT_EQ(outcome.messages, messages);
}

} // namespace

TEST(SaveRules, ValidDeckShowsNothing) {
    ExpectWarnings(ValidB2Deck(), {});
}

TEST(SaveRules, RecordA) {
    ExpectFatal(DeckGrids{}, {kA1}); // A2 is not reached
    DeckGrids noTitle = ValidB2Deck();
    noTitle.fpCardA.setValue(2, 2, "");
    ExpectWarnings(noTitle, {kA2});
}

TEST(SaveRules, B1FatalRules) {
    DeckGrids firstUnnumbered = HyetographDeck();
    SetRecord(firstUnnumbered.fpCardB1, 3, {{1, ""}, {2, "x"}}); // B1-1 comes before any row
    ExpectFatal(firstUnnumbered, {kB1_1});

    for (const int depth : {16, 19}) { // the first and last depth a factor card cannot hold
        DeckGrids both = HyetographDeck();
        SetRecord(both.fpCardB1, 2, {{1, "1"}, {2, "s"}});
        SetRecord(both.fpCardB1, 3, {{2, ""}, {depth, ".1"}, {23, "1"}}); // also no number, ID
        ExpectFatal(both, {kB1_2});
    }

    DeckGrids unnumbered = HyetographDeck();
    SetRecord(unnumbered.fpCardB1, 2, {{1, "1"}, {2, ""}});
    SetRecord(unnumbered.fpCardB1, 3, {{2, "s"}, {3, ".1"}});
    ExpectFatal(unnumbered, {kB1_4, kB1_3}); // the earlier row's warning first

    DeckGrids onFirstCard = HyetographDeck();
    SetRecord(onFirstCard.fpCardB1, 2, {{1, "1"}, {2, "s"}, {3, ".1"}, {21, "1.2"}});
    ExpectFatal(onFirstCard, {kB1_6});

    DeckGrids notLast = HyetographDeck();
    for (int r = 2; r <= 4; ++r)
        SetRecord(notLast.fpCardB1, r, {{1, "3"}, {2, "s"}});
    notLast.fpCardB1.setValue(20, 3, "1");
    ExpectFatal(notLast, {kB1_5});
}

TEST(SaveRules, B2Rules) {
    DeckGrids unnumbered = ValidB2Deck();
    SetRow(unnumbered.fpCardB2, 3, {{2, ""}, {3, "9"}});
    ExpectFatal(unnumbered, {kB2_1});

    DeckGrids duplicate = ValidB2Deck();
    SetRow(duplicate.fpCardB2, 3, {{1, "1"}, {2, ""}});
    ExpectFatal(duplicate, {kB2_2, kB2_3});
    SetRow(duplicate.fpCardB2, 3, {{1, "1.0"}, {2, "b"}}); // the same storm written as 1
    ExpectFatal(duplicate, {kB2_3});

    DeckGrids apart = ValidB2Deck(); // 1, 2, 1: only neighbours are compared
    SetRow(apart.fpCardB2, 3, {{1, "2"}, {2, "b"}, {3, "0"}});
    SetRow(apart.fpCardB2, 4, {{1, "1"}, {2, "c"}, {3, "0"}});
    ExpectWarnings(apart, {});

    DeckGrids periods = ValidB2Deck();
    SetRow(periods.fpCardB2, 2, {{3, ""}});                        // B2-4 only
    SetRow(periods.fpCardB2, 3, {{1, "2"}, {2, "b"}, {3, "abc"}}); // B2-4 and B2-5
    SetRow(periods.fpCardB2, 4, {{1, "3"}, {2, "c"}, {3, "7"}});   // B2-5 only
    ExpectWarnings(periods, {kB2_4, kB2_4, kB2_5, kB2_5});
}

TEST(SaveRules, CDMismatchComesBeforeAnyCatchmentRule) {
    DeckGrids grids = ValidB2Deck();
    SetRecord(grids.fpCardC, 3, {{2, ""}, {9, "only C"}});
    SetRecord(grids.fpCardD, 3, {}); // same row count, no data
    ExpectFatal(grids, {kCD_1});
}

TEST(SaveRules, CRules) {
    DeckGrids empty = ValidB2Deck();
    SetRow(empty.fpCardC, 2, {{2, ""}, {3, "x"}, {6, ""}});
    ExpectWarnings(empty, {kC_1, kC_2, kC_3});

    const std::vector<std::pair<const char*, bool>> numbers = {
        {"0", true}, {"999", true}, {"", true}, {"1", false}, {"998", false}};
    for (const auto& [number, warned] : numbers) {
        DeckGrids grids = ValidB2Deck();
        SetRow(grids.fpCardC, 2, {{2, "4"}, {8, number}});
        ExpectWarnings(grids, warned ? std::vector{kC_4} : std::vector<Message>{});
    }
    DeckGrids option3 = ValidB2Deck();
    SetRow(option3.fpCardC, 2, {{2, "3"}, {8, ""}});
    ExpectWarnings(option3, {});
}

TEST(SaveRules, EmptyDRowGivesTenWarningsInOrderThenIsWritten) {
    DeckGrids grids = ValidB2Deck();
    for (int c = 2; c <= 25; ++c)
        grids.fpCardD.setValue(c, 2, "");
    grids.fpCardD.setValue(7, 2, "12"); // keeps the row counted, has no rule
    ExpectWarnings(grids, kD_1To10);
}
