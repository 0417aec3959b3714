#include "ReaderFixture.h"

#include <gtest/gtest.h>

using namespace tovan;
using namespace tovan::testing;

namespace {

// A B1 card: storm number, identification and up to 17 numbers in columns 13-80.
std::string B1(double storm, std::string_view ident, std::vector<double> numbers) {
    std::vector<WriteValue> pairs{"I2", storm, "A10", ident};
    for (double n : numbers) {
        pairs.emplace_back("F4.3");
        pairs.emplace_back(n);
    }
    return FortranWrite(pairs);
}

} // namespace

// What each reading rule puts into the grids is a reference case (tests/cases/read-*); these
// are the parts of the reading state that no dump shows.
TEST(ReadingState, StormCardCountIsTheLongestStorm) {
    Reader r;
    ASSERT_EQ(r.read(Deck({CardA(1), B1(1, "ONE", {.1}), B1(2, "TWO", {.1}), B1(2, "TWO", {.1}),
                           B1(2, "TWO", {.1}), B1(3, "THREE", {.1}), ""})),
              ReadOutcome::Read);
    EXPECT_EQ(r.state.StormCardCount, 3);
    EXPECT_TRUE(r.app.EnableB1);
    EXPECT_FALSE(r.app.EnableB2);

    std::string text = CardA(1) + "\r\n";
    for (int s = 1; s <= 100; ++s)
        text += B1(s % 99 + 1, "S", {.1}) + "\r\n";
    Reader many;
    ASSERT_EQ(many.read(text + "\r\n"), ReadOutcome::Read);
    EXPECT_EQ(many.state.StormCardCount, 99);
}

TEST(ReadingState, AFailedReadIsMarkedAndAMissingD1KeepsTheFileOpen) {
    Reader wide;
    EXPECT_EQ(wide.read(Deck({CardA(1), B1(1, "A", {.1}), std::string(81, '1')})),
              ReadOutcome::CardABFailed);
    EXPECT_TRUE(wide.state.ReadFailed);

    Reader missing;
    const std::string withD1 = Card({"F5.4", 1.0, "55X", std::monostate{}, "I1", 1.0});
    EXPECT_EQ(missing.read(Deck({CardA(2), "", Card({"A1", " ", "I1", 0.0}), withD1})),
              ReadOutcome::CardCFailed);
    EXPECT_TRUE(missing.state.deck) << "the file stays open until the next Initialize";
}
