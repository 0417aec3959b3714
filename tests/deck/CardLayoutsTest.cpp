#include "deck/CardLayouts.h"

#include "deck/RecordSets.h"
#include "fortranio/FormatDescriptor.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {

template <std::size_t N>
void ExpectSameColumns(const std::array<CardField, N>& card) {
    for (const CardField& field : card) {
        const auto written = ParseDescriptor(field.writeDescriptor, DescriptorUse::Writing);
        const auto read = ParseDescriptor(field.readDescriptor, DescriptorUse::Reading);
        ASSERT_TRUE(written && read) << field.writeDescriptor;
        EXPECT_EQ(written->letter, read->letter);
        EXPECT_EQ(written->width, read->width) << field.writeDescriptor;
    }
}

} // namespace

TEST(CardLayouts, ReadersAndWriterShareTheColumns) {
    ExpectSameColumns(cards::kA);
    ExpectSameColumns(cards::kB1);
    ExpectSameColumns(cards::kB1WithFactors);
    ExpectSameColumns(cards::kB2);
    ExpectSameColumns(cards::kC);
    ExpectSameColumns(cards::kD);
    ExpectSameColumns(cards::kD1);
}

TEST(CardLayouts, DAndD1CoverEveryFieldColumnOfTheDGridOnce) {
    std::vector<int> seen(26, 0);
    for (const CardField& f : cards::kD)
        seen[static_cast<std::size_t>(f.gridColumn)]++;
    for (const CardField& f : cards::kD1)
        seen[static_cast<std::size_t>(f.gridColumn)]++;
    for (int c = 2; c <= 25; ++c)
        EXPECT_EQ(seen[static_cast<std::size_t>(c)], 1) << c;
}
