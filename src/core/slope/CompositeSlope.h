// The corrected, length-weighted composite slope of up to four measured catchment segments.
// The numbers follow the calculator's own arithmetic: texts read with a leading-number parse,
// single-precision sums, double-precision powers, and the displayed (rounded) corrected slopes
// feeding the composite.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

inline constexpr int kSlopeSegments = 4;

// The number at the start of a text, as a text box is read: blanks are skipped, a text that
// does not start with a number reads as 0.
double LeadingNumber(std::string_view text);

// The corrected slope of one segment as the calculator shows it ("0.###", or ".060" above 0.12).
std::string CorrectedSlopeText(std::string_view measuredSlope);

struct SlopeSegment {
    std::string correctedSlope; // as shown
    std::string length;         // as typed, miles
};

// The composite as shown ("0.000"), or nothing when it cannot be computed (a negative
// corrected slope has no real 0.24th power).
std::optional<std::string>
CompositeSlopeText(const std::array<SlopeSegment, kSlopeSegments>& segments);

// Number formats of the calculator: "0.###" (at most three decimals, trailing zeros dropped,
// a zero before the point) and "0.000" (exactly three decimals).
std::string FormatUpToThreeDecimals(double value);
std::string FormatThreeDecimals(double value);

} // namespace tovan
