#include "deck/CardLayouts.h"
#include "fortranio/QVFortranIO.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace tovan;

namespace {

// The text of one field written at column 1.
std::string WriteOne(std::string_view descriptor, WriteValue value) {
    const std::string card = FortranWrite({descriptor, value});
    EXPECT_EQ(card.size(), 80U);
    const auto d = descriptor.front() >= '0' && descriptor.front() <= '9'
                       ? std::stoul(std::string(descriptor))
                       : std::stoul(std::string(descriptor.substr(1)));
    return card.substr(0, d);
}

} // namespace

TEST(FortranWrite, WorkedExamples) {
    EXPECT_EQ(WriteOne("F5.2", 1.5), "  1.5");
    EXPECT_EQ(WriteOne("F5.2", 2.0), "   2.");
    EXPECT_EQ(WriteOne("F5.2", 0.25), "  .25");
    EXPECT_EQ(WriteOne("F5.2", 0.0), "   0.");
    EXPECT_EQ(WriteOne("F5.2", -0.5), "  -.5");
    EXPECT_EQ(WriteOne("F5.2", 1.006), " 1.01");
    EXPECT_EQ(WriteOne("F5.2", 123.456), "*****");
    EXPECT_EQ(WriteOne("F5.2", std::string_view{}), "     ");
    EXPECT_EQ(WriteOne("F5.2", std::string_view{"abc"}), "*****");
    EXPECT_EQ(WriteOne("I3", 7.0), "  7");
    EXPECT_EQ(WriteOne("I3", 2.5), "  3");
    EXPECT_EQ(WriteOne("I3", 1234.0), "***");
    EXPECT_EQ(WriteOne("I3", std::string_view{}), "***");
    EXPECT_EQ(WriteOne("A6", std::string_view{"AB"}), "AB    ");
    EXPECT_EQ(WriteOne("A6", std::string_view{"ABCDEFGH"}), "ABCDEF");
    EXPECT_EQ(WriteOne("3X", std::string_view{"anything"}), "   ");
    EXPECT_EQ(WriteOne("E10.3", 1234.4), "  1.234E03");
    EXPECT_EQ(WriteOne("E10.3", 0.05), "    5.E-02");
    EXPECT_EQ(WriteOne("E10.3", 0.0), "     0.E00");
}

TEST(FortranWrite, DeckFieldRendering) {
    EXPECT_EQ(WriteOne("F4.3", 0.25), " .25");
    EXPECT_EQ(WriteOne("F4.3", 0.0), "  0.");
    EXPECT_EQ(WriteOne("F5.4", 12.5), " 12.5");
    EXPECT_EQ(WriteOne("F5.4", 0.0125), ".0125");
    EXPECT_EQ(WriteOne("F5.4", 10.25), "10.25");
    EXPECT_EQ(WriteOne("F5.4", 10.125), "*****");
    EXPECT_EQ(WriteOne("F4.2", -12.5), "****");
    EXPECT_EQ(WriteOne("F5.4", std::string_view{"2.6"}), "  2.6");
}

TEST(FortranWrite, RoundsTheDecimalValueAsWrittenHalvesAwayFromZero) {
    EXPECT_EQ(WriteOne("F5.2", 1.005), " 1.01"); // binary 1.005 is just below; text is not
    EXPECT_EQ(WriteOne("F5.2", std::string_view{"1.005"}), " 1.01");
    EXPECT_EQ(WriteOne("F5.2", -1.005), "-1.01");
    EXPECT_EQ(WriteOne("F5.2", 0.995), "   1.");
    EXPECT_EQ(WriteOne("F5.2", 9.999), "  10.");
    EXPECT_EQ(WriteOne("F4.3", 0.0004), "  0.");
    EXPECT_EQ(WriteOne("F4.3", 0.0005), ".001");
    EXPECT_EQ(WriteOne("F5.2", 0.1 + 0.2), "   .3");
    EXPECT_EQ(WriteOne("I3", -2.5), " -3");
    EXPECT_EQ(WriteOne("I3", std::string_view{"1.5E1"}), " 15");
    EXPECT_EQ(WriteOne("E10.2", 9.996), "     1.E01");
    // Cell texts as typed: a plus sign, leading zeros, a carry that widens the number.
    EXPECT_EQ(WriteOne("F5.2", std::string_view{"+007.50"}), "  7.5");
    EXPECT_EQ(WriteOne("F4.3", std::string_view{"99.9996"}), "100.");
    EXPECT_EQ(WriteOne("F4.2", std::string_view{"999.996"}), "****");
    EXPECT_EQ(WriteOne("I2", std::string_view{"-00"}), " 0");
}

TEST(FortranWrite, ChoicesForAbsentIntegersAndNegativeZero) {
    EXPECT_EQ(WriteOne("I3", std::monostate{}), "   ");
    EXPECT_EQ(WriteOne("F5.2", -0.001), "   0.");
    EXPECT_EQ(WriteOne("I2", -0.4), " 0");
    EXPECT_EQ(WriteOne("F5.2", std::monostate{}), "     ");
}

TEST(FortranWrite, NumbersInTextFieldsAndTextInNumberFields) {
    EXPECT_EQ(WriteOne("A6", 2.5), "2.5   ");
    EXPECT_EQ(WriteOne("A3", std::monostate{}), "   ");
    EXPECT_EQ(WriteOne("I3", std::string_view{" 42 "}), " 42");
    EXPECT_EQ(WriteOne("F5.2", std::nan("")), "*****");
    EXPECT_EQ(WriteOne("F5.2", std::string_view{"1E400"}), "*****");
}

TEST(FortranWrite, CardWidthAndMalformedPairLists) {
    EXPECT_EQ(FortranWrite(std::span<const WriteValue>{}), std::string(80, ' '));
    EXPECT_EQ(FortranWrite({"A80", std::string_view{"x"}}).size(), 80U);
    EXPECT_EQ(FortranWrite({"A80", std::string_view{"x"}, "A1", std::string_view{"y"}}), "");
    EXPECT_EQ(FortranWrite({"A1"}), "");
    EXPECT_EQ(FortranWrite({"", 1.0}), "");
    EXPECT_EQ(FortranWrite({"F5", 1.0}), "");
    EXPECT_EQ(FortranWrite({"I3.0", 1.0}), "");
    EXPECT_EQ(FortranWrite({"Q3", 1.0}), "");
    EXPECT_EQ(FortranWrite({1.0, 1.0}), "");
    EXPECT_EQ(FortranWrite({"I99", 1.0}), ""); // no 11-column limit, but wider than a card
    EXPECT_EQ(FortranWrite({"A999999999999", std::string_view{}}), "");
}

TEST(Justify, CutsAndPadsInBothDirections) {
    EXPECT_EQ(Justify("abc", 5, JustifyDirection::Left), "abc  ");
    EXPECT_EQ(Justify("abc", 5, JustifyDirection::Right), "  abc");
    EXPECT_EQ(Justify("abcdef", 3, JustifyDirection::Right), "abc");
    EXPECT_EQ(Justify("", 0, JustifyDirection::Left), "");
}

// Every written number carries its point, so the readers' descriptors (fewer decimals, same
// widths) read back the very value that was written, rounded to the writer's decimals.
TEST(RoundTrip, WrittenCardsReadBackWithReaderDescriptors) {
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> magnitude(-4.0, 4.0);
    for (int i = 0; i < 20000; ++i) {
        const double sign = (i % 3 == 0) ? -1.0 : 1.0;
        const double value = sign * std::pow(10.0, magnitude(random));
        const std::string card = FortranWrite({"F5.4", value, "F4.3", value});
        const auto read = FortranRead(card, {"F5.0", "F4.2"});
        ASSERT_TRUE(read);
        for (int field = 0; field < 2; ++field) {
            const int decimals = field == 0 ? 4 : 3;
            const std::size_t width = field == 0 ? 5 : 4;
            const std::string text = card.substr(field == 0 ? 0 : 5, width);
            if (text == std::string(width, '*')) continue; // overflow is asterisks, not a number
            const double expected =
                std::round(value * std::pow(10.0, decimals)) / std::pow(10.0, decimals);
            ASSERT_NEAR(read->at(field).number(), expected, 1e-5 * std::max(1.0, std::fabs(value)))
                << "value " << value << " card [" << card.substr(0, 9) << "]";
        }
    }
}

TEST(RoundTrip, IntegersIncludingLimitsOfTheirWidth) {
    for (double v : {0.0, 1.0, -1.0, 9.0, 99.0, -9.0, 399.0, 999.0, -99.0}) {
        const std::string card = FortranWrite({"I1", v, "I2", v, "I3", v});
        const auto read = FortranRead(card, {"I1", "I2", "I3"});
        ASSERT_TRUE(read);
        const std::string i3 = card.substr(3, 3);
        if (i3 != "***") {
            EXPECT_EQ(read->at(2), FieldValue::MakeInteger(static_cast<int>(v))) << v;
        }
        if (std::fabs(v) >= 10 || v < 0) {
            EXPECT_EQ(card.substr(0, 1), "*") << v;
        }
    }
}
