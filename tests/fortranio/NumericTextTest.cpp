#include "fortranio/NumericText.h"

#include "fortranio/FormatDescriptor.h"

#include <gtest/gtest.h>

using namespace tovan;

TEST(NumericText, AcceptsSignsPointsAndExponents) {
    for (const char* text :
         {"1", "+1", "-1", ".5", "5.", "  12.5  ", "1E5", "1e-5", "1.5D+3", "-.25d2", "007"}) {
        EXPECT_TRUE(IsNumericText(text)) << text;
    }
}

TEST(NumericText, RejectsBlanksInsideLoneSignsAndBareExponents) {
    for (const char* text : {"", "   ", "1 2", ".", "+", "-", "E5", "1E", "1E+", "1.2.3", "1,5",
                             "\t1", "1\t", "$1", "1-", "--1", "1E5.0"}) {
        EXPECT_FALSE(IsNumericText(text)) << '"' << text << '"';
    }
}

TEST(NumericText, SplitsIntoParts) {
    const auto parts = ParseNumericText(" -12.50E-3 ");
    ASSERT_TRUE(parts);
    EXPECT_TRUE(parts->negative);
    EXPECT_EQ(parts->wholeDigits, "12");
    EXPECT_EQ(parts->fractionDigits, "50");
    EXPECT_EQ(parts->exponent, -3);
}

TEST(NumericText, HugeExponentIsClampedNotOverflowed) {
    const auto parts = ParseNumericText("1E99999999999999999999");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->exponent, 100000);
}

TEST(Descriptor, ParsesEveryFormTheDeckUses) {
    struct Case {
        const char* text;
        char letter;
        long width, decimals;
    };
    for (const Case& c :
         {Case{"A72", 'A', 72, 0}, Case{"I3", 'I', 3, 0}, Case{"F4.3", 'F', 4, 3},
          Case{"44X", 'X', 44, 0}, Case{"X44", 'X', 44, 0}, Case{" f5.2 ", 'F', 5, 2},
          Case{"e10.3", 'E', 10, 3}, Case{"D12.04", 'D', 12, 4}}) {
        const auto d = ParseDescriptor(c.text, DescriptorUse::Reading);
        ASSERT_TRUE(d) << c.text;
        EXPECT_EQ(d->letter, c.letter) << c.text;
        EXPECT_EQ(d->width, c.width) << c.text;
        EXPECT_EQ(d->decimals, c.decimals) << c.text;
    }
}

TEST(Descriptor, RejectsMalformedOnes) {
    for (const char* text : {"X", "A", "4.5X", "3F5.2", "F5", "F5.", "F.5", "I3.1", "A6.0", "X4.0",
                             "Q5", "F0.0", "I0", "A-3", "F5.2.1", "44Y", "0X", "F5E1.2", "5"}) {
        EXPECT_FALSE(ParseDescriptor(text, DescriptorUse::Reading)) << text;
    }
}

TEST(Descriptor, BlanksAndTheEmptyDescriptorDependOnDirection) {
    EXPECT_TRUE(ParseDescriptor("   ", DescriptorUse::Reading)->isEmpty());
    EXPECT_FALSE(ParseDescriptor("", DescriptorUse::Writing));
    EXPECT_FALSE(ParseDescriptor(" F5.2", DescriptorUse::Writing));
}

TEST(Descriptor, AbsurdWidthSaturatesInsteadOfOverflowing) {
    const auto d = ParseDescriptor("A99999999999999999999999", DescriptorUse::Reading);
    ASSERT_TRUE(d);
    EXPECT_GT(d->width, 80);
}
