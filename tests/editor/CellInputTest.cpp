#include "editor/CellInput.h"

#include "deck/RecordSets.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {
std::optional<std::string> Accept(const CellFormat& format, const char* text) {
    return AcceptCellText(format, QString::fromLatin1(text));
}
} // namespace

TEST(CellInput, FloatCellsKeepTheirRangeAndDecimals) {
    const CellFormat depth = CellFormat::Float(0, 999, 3);
    EXPECT_EQ(Accept(depth, "0.25"), "0.25");
    EXPECT_EQ(Accept(depth, " 2 "), "2");
    EXPECT_EQ(Accept(depth, "12.3456"), "12.346") << "rounded to the cell's decimals";
    EXPECT_EQ(Accept(depth, "999"), "999");
    EXPECT_FALSE(Accept(depth, "999.5"));
    EXPECT_FALSE(Accept(depth, "-1"));
    EXPECT_FALSE(Accept(depth, "1,5")) << "the deck's decimal sign is the point";
    EXPECT_FALSE(Accept(depth, "abc"));
    EXPECT_EQ(Accept(depth, ""), "") << "empty clears";
    EXPECT_EQ(Accept(CellFormat::Float(-99, 999, 3), "-0.0001"), "0");
}

TEST(CellInput, IntegerCellsTakeWholeNumbersInRange) {
    const CellFormat storm = CellFormat::Integer(1, 99);
    EXPECT_EQ(Accept(storm, "7"), "7");
    EXPECT_FALSE(Accept(storm, "0"));
    EXPECT_FALSE(Accept(storm, "100"));
    EXPECT_FALSE(Accept(storm, "1.5"));
}

TEST(CellInput, ComboCellsStoreTheIndexOfTextOrIndex) {
    const CellFormat period = CellFormat::ComboBox(ReturnPeriodItems());
    EXPECT_EQ(Accept(period, "002"), "0") << "item text wins over an index";
    EXPECT_EQ(Accept(period, "4"), "4");
    EXPECT_FALSE(Accept(period, "5"));
    EXPECT_FALSE(Accept(period, "007"));
    const CellFormat option = CellFormat::ComboBox(RainfallOptionItems());
    EXPECT_EQ(Accept(option, "2 - 1-Hour Rainfall Depth Input"), "1");
    EXPECT_EQ(CellDisplayText(option, "1"), QStringLiteral("2 - 1-Hour Rainfall Depth Input"));
    EXPECT_EQ(CellDisplayText(option, ""), QString());
}

TEST(CellInput, EditCellsAreCutToTheirLengthAndButtonsTakeNothing) {
    EXPECT_EQ(Accept(CellFormat::Edit(6), "ABCDEFGH"), "ABCDEF");
    EXPECT_EQ(Accept(CellFormat::Edit(60), "  padded "), "  padded ") << "text keeps its blanks";
    EXPECT_FALSE(Accept(CellFormat::Button("Add Row"), "x"));
    EXPECT_FALSE(Accept(CellFormat::Label(), "x"));
    EXPECT_FALSE(Accept(CellFormat::Edit(60), "two\rlines")) << "a line break would split the card";
    EXPECT_FALSE(Accept(CellFormat::Edit(60), "tab\there"));
}
