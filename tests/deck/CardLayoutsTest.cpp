#include "deck/CardLayouts.h"

#include "deck/RecordSets.h"
#include "fortranio/FormatDescriptor.h"
#include "fortranio/QVFortranIO.h"

#include <gtest/gtest.h>

using namespace tovan;

namespace {

// The reader and the writer of a card use the same columns, and its fields span the 80 columns
// of a card exactly.
template <std::size_t N>
void ExpectSameColumnsSpanningEighty(const std::array<CardField, N>& card) {
    std::vector<WriteValue> blanks;
    for (const CardField& field : card) {
        const auto written = ParseDescriptor(field.writeDescriptor, DescriptorUse::Writing);
        const auto read = ParseDescriptor(field.readDescriptor, DescriptorUse::Reading);
        ASSERT_TRUE(written && read) << field.writeDescriptor;
        EXPECT_EQ(written->letter, read->letter);
        EXPECT_EQ(written->width, read->width) << field.writeDescriptor;
        blanks.emplace_back(field.writeDescriptor);
        blanks.emplace_back(std::monostate{});
    }
    EXPECT_EQ(FortranWrite(blanks).size(), 80U) << card[0].writeDescriptor;
}

} // namespace

TEST(CardLayouts, EachCardsReaderAndWriterShareColumnsSpanningEighty) {
    ExpectSameColumnsSpanningEighty(cards::kA);
    ExpectSameColumnsSpanningEighty(cards::kB1);
    ExpectSameColumnsSpanningEighty(cards::kB1WithFactors);
    ExpectSameColumnsSpanningEighty(cards::kB2);
    ExpectSameColumnsSpanningEighty(cards::kC);
    ExpectSameColumnsSpanningEighty(cards::kD);
    ExpectSameColumnsSpanningEighty(cards::kD1);
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
