#include "editing/CellEntry.h"

#include "deck/RecordSets.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {
std::optional<std::string> Accept(const CellFormat& format, const char* text) {
    return AcceptEntry(format, text).value;
}
} // namespace

TEST(CellEntry, NumbersKeepTheirRangeAndDecimalsAndNothingElseIsANumber) {
    const CellFormat depth = CellFormat::Float(0, 999, 3);
    EXPECT_EQ(Accept(depth, " 2 "), "2");
    EXPECT_EQ(Accept(depth, "+.25"), "0.25");
    const CellEntry rounded = AcceptEntry(depth, "12.3456");
    EXPECT_EQ(rounded.value, "12.346");
    EXPECT_TRUE(rounded.rounded) << "a paste reports what it rounded";
    EXPECT_EQ(Accept(depth, "999"), "999");
    for (const char* refused : {"999.5", "-1", "1,5", "abc", "inf", "nan", "1.2.3", "++1"})
        EXPECT_FALSE(Accept(depth, refused)) << refused;
    EXPECT_EQ(AcceptEntry(depth, "1000").refusal, "is outside the range 0 to 999");
    EXPECT_EQ(Accept(depth, ""), "") << "empty clears";
    EXPECT_EQ(Accept(CellFormat::Float(-99, 999, 3), "-0.0001"), "0");
    const CellFormat storm = CellFormat::Integer(1, 99);
    EXPECT_EQ(Accept(storm, "7"), "7");
    for (const char* refused : {"0", "100", "1.5", "1e99"})
        EXPECT_FALSE(Accept(storm, refused)) << refused;
}

// Never a position in the list: "2" is the two-year storm, not the third item.
TEST(CellEntry, ListsTakeAnItemByItsTextOrTheNumberItStandsFor) {
    const CellFormat period = CellFormat::ComboBox(ReturnPeriodItems());
    const std::pair<const char*, const char*> periods[] = {
        {"2", "0"},   {"002", "0"}, {"5", "1"},    {"10", "2"},
        {"050", "3"}, {"100", "4"}, {" 100 ", "4"}};
    for (const auto& [text, index] : periods)
        EXPECT_EQ(Accept(period, text), index) << text;
    EXPECT_EQ(AcceptEntry(period, "25").refusal,
              "is not an item of the list (002, 005, 010, 050, 100)");
    const CellFormat print = CellFormat::ComboBox(PrintOptionItems());
    EXPECT_EQ(Accept(print, "7"), "4");
    EXPECT_EQ(Accept(print, "9"), "6");
    EXPECT_EQ(Accept(print, PrintOptionItems()[1].c_str()), "1") << "the whole item text";
    EXPECT_FALSE(Accept(print, "4"));
    EXPECT_EQ(AcceptEntry(print, "5").refusal, "is not an item of the list (0, 1, 2, 3, 7, 8, 9)");
    const CellFormat option = CellFormat::ComboBox(RainfallOptionItems());
    EXPECT_EQ(Accept(option, "1"), "0");
    EXPECT_EQ(Accept(option, "2 - 1-Hour Rainfall Depth Input"), "1");
    EXPECT_FALSE(Accept(option, "0"));
    EXPECT_EQ(Accept(CellFormat::ComboBox(DciaLevelItems()), "3"), "3");
}

TEST(CellEntry, TextKeepsItsBlanksAndIsRefusedWhenItCannotBeHeld) {
    EXPECT_EQ(Accept(CellFormat::Edit(60), "  padded "), "  padded ");
    EXPECT_EQ(Accept(CellFormat::Edit(6), "NORTH-BRANCH"), "NORTH-BRANCH")
        << "kept whole: the save names what its card cannot hold";
    EXPECT_EQ(AcceptEntry(CellFormat::Edit(60), std::string(81, 'x')).refusal,
              "is longer than a card of 80 columns");
    EXPECT_FALSE(Accept(CellFormat::Button("Add Row"), "x"));
    EXPECT_FALSE(Accept(CellFormat::Label(), "x"));
    for (const char* refused : {"two\rlines", "tab\there", "nul\x01", "c1\x85"})
        EXPECT_FALSE(Accept(CellFormat::Edit(60), refused)) << refused;
    EXPECT_EQ(Accept(CellFormat::Edit(60), "caf\xE9"), "caf\xE9") << "Latin-1 letters";
}

// The plain text rows 7 and on of B2 hold the same fields as the rows above.
TEST(CellEntry, TheTextRowsOfB2CopyAndTakeAReturnPeriodAsTheListRowsDo) {
    Grid b2 = MakeCardB2Grid();
    EXPECT_EQ(FieldFormat(b2, col::kB2ReturnPeriod, 9).type, CellType::ComboBox);
    EXPECT_EQ(FieldFormat(b2, col::kB2Ident, 9).type, CellType::Edit);
    b2.setValue(col::kB2ReturnPeriod, 9, "2");
    b2.setValue(col::kB2ReturnPeriod, 3, "2");
    b2.setValue(col::kB2ReturnPeriod, 10, "7");
    EXPECT_EQ(CellCopyValue(b2, col::kB2ReturnPeriod, 9), "010");
    EXPECT_EQ(CellCopyValue(b2, col::kB2ReturnPeriod, 3), "010");
    EXPECT_EQ(CellCopyValue(b2, col::kB2ReturnPeriod, 10), "7") << "what the save cannot read";
}

TEST(CellEntry, PastedTextSplitsAsSpreadsheetsWriteIt) {
    using Block = PastedBlock;
    EXPECT_EQ(SplitPastedText("a\tb\r\nc\td\r\n"), (Block{{"a", "b"}, {"c", "d"}}));
    EXPECT_EQ(SplitPastedText("a\nb"), (Block{{"a"}, {"b"}}));
    EXPECT_EQ(SplitPastedText("a\rb\r"), (Block{{"a"}, {"b"}}));
    EXPECT_EQ(SplitPastedText("a\t\tc\n\n"), (Block{{"a", "", "c"}, {""}}));
    EXPECT_EQ(SplitPastedText("\"x\ty\"\t\"say \"\"hi\"\"\"\n"), (Block{{"x\ty", "say \"hi\""}}));
    EXPECT_EQ(SplitPastedText("\"two\nlines\"\tz"), (Block{{"two\nlines", "z"}}));
    EXPECT_EQ(SplitPastedText(""), Block{});
}
