// The one rule for "is this text a number", shared by field reading and field writing, and a
// split of such text into its parts so that callers can convert or round it without going
// through binary floating point.
#pragma once

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

// The value of numeric text in double precision ("1.5D2" is 150), NaN when it is beyond the
// range of double, nothing for text that is not a number.
std::optional<double> NumericValue(std::string_view text);

} // namespace tovan
