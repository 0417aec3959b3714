// Rounding and layout of numbers done on their decimal digits, never on binary floating point,
// so that 1.005 rounded to two decimals is 1.01 and no artefact like 0.30000000000000004 can
// reach a card.
#pragma once

#include "fortranio/NumericText.h"

#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// "#.##" style: at most `decimals` decimals, no trailing zeros, no leading zero before the
// point, halves away from zero; a bare "." becomes "0.". A negative value that rounds to zero
// is written without its sign ("0.", not "-."). Nothing when the text would exceed maxLength.
std::optional<std::string> FormatFixedPoint(const NumericParts& number, long decimals,
                                            std::size_t maxLength);

// "#.###E-00" style: one significant digit, a point, up to `decimals` further digits without
// trailing zeros, E, a minus only for a negative exponent, at least two exponent digits.
std::optional<std::string> FormatScientific(const NumericParts& number, long decimals,
                                            std::size_t maxLength);

// Whole number, halves away from zero, "-" for negatives, no "+"; -0.4 gives "0".
std::optional<std::string> FormatWholeNumber(const NumericParts& number, std::size_t maxLength);

// The short forms: the texts of FormatFixedPoint and FormatWholeNumber for plain decimal text,
// the numbers cells usually hold ("12.5", "-.25", "7": an optional sign, digits with at most one
// point, nothing else), rounded on the text's own digits without any allocation and written
// right-aligned into the maxLength characters at `field` (TooWide: nothing written). Any other
// text is NotShort, for the general functions above to decide.
enum class ShortForm { Written, TooWide, NotShort };
ShortForm WriteShortFixedPoint(std::string_view text, long decimals, std::size_t maxLength,
                               char* field);
ShortForm WriteShortWholeNumber(std::string_view text, std::size_t maxLength, char* field);

} // namespace tovan
