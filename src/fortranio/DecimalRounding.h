// Rounding and layout of numbers done on their decimal digits, never on binary floating point,
// so that 1.005 rounded to two decimals is 1.01 and no artefact like 0.30000000000000004 can
// reach a card.
#pragma once

#include "fortranio/NumericText.h"

#include <optional>
#include <string>

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

} // namespace tovan
