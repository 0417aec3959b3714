// The one rule for "is this text a number", shared by field reading and field writing, and a
// split of such text into its parts so that callers can convert or round it without going
// through binary floating point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tovan {

// Blanks are space characters only; a tab is an ordinary character.
std::string_view TrimBlanks(std::string_view text);
std::string_view TrimTrailingBlanks(std::string_view text);

// A number as written: sign, the digits before and after the point, and the exponent.
struct NumericParts {
    bool negative = false;
    bool hasPoint = false;
    bool hasExponent = false;
    std::string_view wholeDigits;    // digits before the point (may be empty)
    std::string_view fractionDigits; // digits after the point (may be empty)
    long exponent = 0;               // clamped to +-100000, far beyond any representable value
};

// Numeric text: after blanks are trimmed, an optional + or -, digits with at most one point and
// at least one digit, then optionally E or D (either case), an optional sign and one or more
// digits. Returns the parts of a number, or nothing for text that is not one.
std::optional<NumericParts> ParseNumericText(std::string_view text);

inline bool IsNumericText(std::string_view text) {
    return ParseNumericText(text).has_value();
}

// A number of few digits: its digits as an integer over the power of ten of its decimals. Both
// are exact in Real while the digits are under 2^24 (float) or 2^53 (double) and the power at
// most 10^10 or 10^22, and one division then rounds the quotient correctly.
template <typename Real>
Real DigitsOverPowerOfTen(std::int64_t digits, std::size_t decimals, bool negative) {
    Real power = 1;
    for (std::size_t i = 0; i < decimals; ++i)
        power *= 10;
    const Real value = static_cast<Real>(digits) / power;
    return negative ? -value : value;
}

// The value of numeric text (`parts` are its parts) in Real, float or double, correctly
// rounded; "1.5D2" is 150. A value too small for Real is a zero of its sign; nothing when it is
// too large.
template <typename Real>
std::optional<Real> ConvertNumber(std::string_view text, const NumericParts& parts);
extern template std::optional<float> ConvertNumber(std::string_view, const NumericParts&);
extern template std::optional<double> ConvertNumber(std::string_view, const NumericParts&);

// The value of numeric text in double precision, NaN when it is beyond the range of double,
// nothing for text that is not a number.
std::optional<double> NumericValue(std::string_view text);

} // namespace tovan
