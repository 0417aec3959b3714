#include "slope/CompositeSlope.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {

std::optional<std::string>
Composite(std::initializer_list<std::pair<const char*, const char*>> lengthAndSlope) {
    std::array<SlopeSegment, kSlopeSegments> segments{};
    std::size_t i = 0;
    for (const auto& [length, slope] : lengthAndSlope) {
        segments[i++] = {CorrectedSlopeText(slope), length};
    }
    return CompositeSlopeText(segments);
}

} // namespace

// The worked examples and the correction thresholds are reference cases (tests/cases/slope-*).
TEST(CompositeSlope, WhatTheCommandLineCannotSay) {
    EXPECT_EQ(CorrectedSlopeText(""), "0.");
    EXPECT_EQ(CorrectedSlopeText("abc"), "0.");
    EXPECT_EQ(Composite({{"", ""}, {"0", "0.05"}, {" ", ""}, {"", ""}}), "0.000");
}

TEST(LeadingNumber, ReadsLikeATextBox) {
    EXPECT_EQ(LeadingNumber("1.5abc"), 1.5);
    EXPECT_EQ(LeadingNumber("  -2"), -2);
    EXPECT_EQ(LeadingNumber("1 2"), 12);
    EXPECT_EQ(LeadingNumber("x1"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("."), 0);
    EXPECT_EQ(LeadingNumber("2E1"), 20);
}

TEST(SlopeFormats, ThreeDecimals) {
    EXPECT_EQ(FormatUpToThreeDecimals(0.05), "0.05");
    EXPECT_EQ(FormatUpToThreeDecimals(0), "0.");
    EXPECT_EQ(FormatUpToThreeDecimals(-0.5), "-0.5");
    EXPECT_EQ(FormatThreeDecimals(0), "0.000");
    EXPECT_EQ(FormatThreeDecimals(0.0345), "0.035");
    EXPECT_EQ(FormatThreeDecimals(1.5), "1.500");
}
