#include "deck/CardLayouts.h"
#include "fortranio/QVFortranIO.h"

#include <array>
#include <gtest/gtest.h>
#include <span>
#include <string>
#include <utility>
#include <vector>

using namespace tovan;

namespace {

// Reads one field of `descriptor` from `text` placed at column 1.
FieldValue ReadOne(const std::string& text, std::string_view descriptor) {
    const auto result = FortranRead(text, {descriptor});
    EXPECT_TRUE(result) << text << " with " << descriptor;
    return result ? result->at(0) : FieldValue::MakeNull();
}

std::string Columns(std::size_t n, char c = ' ') {
    return std::string(n, c);
}

} // namespace

TEST(FortranRead, TextFieldsKeepEveryCharacterAndPadShortLines) {
    const auto result = FortranRead("AB", {"A6", "A3", "I2", "F4.2"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->at(0), FieldValue::MakeText("AB    "));
    EXPECT_EQ(result->at(1), FieldValue::MakeText("   "));
    EXPECT_TRUE(result->at(2).isEmpty());
    EXPECT_TRUE(result->at(3).isEmpty());
}

TEST(FortranRead, IntegerFields) {
    EXPECT_EQ(ReadOne(" 12", "I3"), FieldValue::MakeInteger(12));
    EXPECT_EQ(ReadOne("-12", "I3"), FieldValue::MakeInteger(-12));
    EXPECT_EQ(ReadOne("+7 ", "I3"), FieldValue::MakeInteger(7));
    EXPECT_TRUE(ReadOne("1 2", "I3").isNull());
    EXPECT_TRUE(ReadOne("1.0", "I3").isNull());
    EXPECT_TRUE(ReadOne("abc", "I3").isNull());
    EXPECT_TRUE(ReadOne("   ", "I3").isEmpty());
    EXPECT_EQ(ReadOne("1E2", "I3"), FieldValue::MakeInteger(100));
    EXPECT_TRUE(ReadOne("15E-1", "I5").isNull());
    EXPECT_EQ(ReadOne("-2147483648", "I11"), FieldValue::MakeInteger(-2147483648));
    EXPECT_TRUE(ReadOne(" 2147483648", "I11").isNull());
    EXPECT_TRUE(ReadOne("99999999999", "I11").isNull());
}

TEST(FortranRead, RealFieldsWithAndWithoutPoint) {
    EXPECT_EQ(ReadOne("  125", "F5.2").number(), 1.25);
    EXPECT_EQ(ReadOne("  125", "F5.2").kind, FieldKind::Double);
    EXPECT_EQ(ReadOne(" 1.25", "F5.2"), FieldValue::MakeSingle(1.25F));
    EXPECT_TRUE(ReadOne("1.2E1", "F5.2").isNull());
    EXPECT_TRUE(ReadOne("1.2e1", "F5.2").isNull());
    EXPECT_EQ(ReadOne("  -.5", "F5.2"), FieldValue::MakeSingle(-0.5F));
    EXPECT_EQ(ReadOne(" +1.5", "F5.2"), FieldValue::MakeSingle(1.5F));
    EXPECT_DOUBLE_EQ(ReadOne("    3", "F5.2").number(), 0.03);
    EXPECT_EQ(ReadOne(" 1.25", "F5.0"), FieldValue::MakeSingle(1.25F));
    EXPECT_TRUE(ReadOne("  1-2", "F5.2").isNull());
    EXPECT_TRUE(ReadOne(" 1 .2", "F5.2").isNull());
}

TEST(FortranRead, ExponentFields) {
    EXPECT_DOUBLE_EQ(ReadOne("15E2", "E10.3").number(), 1.5);
    EXPECT_EQ(ReadOne("1.5E2", "E10.3"), FieldValue::MakeSingle(150.0F));
    EXPECT_EQ(ReadOne("1.5D2", "D10.3"), FieldValue::MakeDouble(150.0));
    EXPECT_DOUBLE_EQ(ReadOne("15", "D4.3").number(), 0.015);
    EXPECT_EQ(ReadOne("0.1", "D4.3").kind, FieldKind::Double);
    EXPECT_EQ(ReadOne("0.1", "D4.3").real, 0.1); // double precision, not a widened single
}

TEST(FortranRead, RangeOfSingleAndDouble) {
    EXPECT_TRUE(ReadOne("1.E39", "E10.2").isNull());
    EXPECT_TRUE(ReadOne("-1.E39", "E10.2").isNull());
    EXPECT_TRUE(ReadOne("1E39", "E10.2").isNull());      // the single overflows before scaling
    EXPECT_EQ(ReadOne("1.E-50", "E10.2").number(), 0.0); // underflow becomes zero
    EXPECT_EQ(ReadOne("1.E300", "D10.2"), FieldValue::MakeDouble(1e300));
    EXPECT_TRUE(ReadOne("1.E999", "D10.2").isNull());
}

TEST(FortranRead, SkipsAndEmptyDescriptors) {
    const auto result = FortranRead("12345678", {"I2", "", "3X", "I3"});
    ASSERT_TRUE(result);
    ASSERT_EQ(result->size(), 4U);
    EXPECT_EQ(result->at(0), FieldValue::MakeInteger(12));
    EXPECT_TRUE(result->at(1).isEmpty());
    EXPECT_TRUE(result->at(2).isEmpty());
    EXPECT_EQ(result->at(3), FieldValue::MakeInteger(678));
    EXPECT_TRUE(FortranRead(Columns(44) + "7", {"X44", "I1"})->at(1) == FieldValue::MakeInteger(7));
}

TEST(FortranRead, FailsTheWholeCard) {
    const std::string line = "12";
    EXPECT_FALSE(FortranRead(line, std::span<const std::string_view>{}));
    EXPECT_FALSE(FortranRead(line, {"I2", "4.5X"}));
    EXPECT_FALSE(FortranRead(line, {"I2", "X"}));
    EXPECT_FALSE(FortranRead(line, {"I12"}));
    EXPECT_TRUE(FortranRead(line, {"I11"}));
    EXPECT_FALSE(FortranRead(line, {"D4.4"}));
    EXPECT_TRUE(FortranRead(line, {"D4.3"}));
    EXPECT_FALSE(FortranRead(line, {"A81"}));
    EXPECT_FALSE(FortranRead(line, {"A80", "A1"}));
    EXPECT_FALSE(FortranRead(line, {"2F5.2"}));
}

TEST(FortranRead, LineLengthCountsOnlyUpToTheLastNonBlank) {
    const std::string eighty = Columns(79, '1') + "2";
    EXPECT_TRUE(FortranRead(eighty + "     ", {"A80"}));
    EXPECT_FALSE(FortranRead(eighty + "3", {"A1"}));
    EXPECT_FALSE(FortranRead(eighty + "\t", {"A1"})); // a tab is not a blank
    const auto tabbed = FortranRead("\t12", {"I3"});
    ASSERT_TRUE(tabbed);
    EXPECT_TRUE(tabbed->at(0).isNull());
}

TEST(FortranRead, ShownInShortestFormOfTheirOwnPrecision) {
    EXPECT_EQ(CellText(ReadOne(" .25", "F4.2")), "0.25");
    EXPECT_EQ(CellText(ReadOne(" 0.1", "F4.2")), "0.1");
    EXPECT_EQ(CellText(ReadOne("12.5", "F4.2")), "12.5");
    EXPECT_EQ(CellText(ReadOne("  3", "F3.1")), "0.3");
    EXPECT_EQ(CellText(ReadOne("-0.", "F3.1")), "0");
    EXPECT_EQ(CellText(ReadOne(" 7", "I2")), "7");
    EXPECT_EQ(CellText(ReadOne("ab", "A3")), "ab ");
    EXPECT_EQ(CellText(FieldValue::MakeNull()), "");
}

TEST(FortranRead, ArbitraryBytesNeverCrash) {
    std::string line;
    for (int i = 0; i < 80; ++i)
        line += static_cast<char>((i * 37) % 256);
    const auto result = FortranRead(line, {"A10", "I5", "F10.2", "E10.2", "D10.2", "30X", "A5"});
    ASSERT_TRUE(result);
    EXPECT_EQ(result->at(0).text.size(), 10U);
}

// The card readers parse each card type's list once; reading with it must give what reading
// with the texts gives, failures included.
TEST(FortranRead, AListParsedOnceReadsAsItsTexts) {
    const std::string d = " 1.2 1.85  .9  45. .012  30. .35  .1 4.5.00115 .6  .8 1   1 .55 .35";
    const std::vector<std::pair<std::string, std::vector<std::string_view>>> cases{
        {d,
         {"F5.0", "F5.0", "F5.0", "F5.0", "F5.0", "F5.0", "F5.0", "F5.0", "F5.0", "F5.0", "F5.0",
          "F5.0", "I1", "3X", "I1", "F5.0", "F5.0"}},
        {"AB 1 x 2.5E1", {"A2", "I2", " i2 ", "e6.1", ""}},
        {"12345678", {"I2", "", "3X", "I3"}},
        {"1", {"I2", "4.5X"}},
        {"1", {"F4"}},
        {"1", {"I12"}},
        {"1", {"D4.4"}},
        {"1", {"A80", "A1"}},
        {std::string(81, '1'), {"A1"}},
        {"1", {}},
    };
    for (const auto& [line, texts] : cases) {
        const ReadFormat parsed{texts};
        EXPECT_EQ(FortranRead(line, parsed), FortranRead(line, std::span(texts))) << line;
    }
}
