#include "slope/CompositeSlope.h"

#include "fortranio/DecimalRounding.h"
#include "fortranio/FieldValue.h"
#include "fortranio/NumericText.h"

#include <charconv>
#include <cmath>

namespace tovan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Rounds to three decimals on the decimal digits (halves away from zero), as "#.###".
std::string RoundedThreeDecimals(double value) {
    const std::string shortest = ShortestText(value);
    const auto parts = ParseNumericText(shortest);
    if (!parts) return "0.";
    return FormatFixedPoint(*parts, 3, 400).value_or("0.");
}

float SingleOf(std::string_view text) {
    return static_cast<float>(LeadingNumber(text));
}

} // namespace

double LeadingNumber(std::string_view text) {
    std::string number;
    bool seenPoint = false, seenDigit = false;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t') continue; // blanks inside a number are skipped
        if (IsDigit(c)) {
            number += c;
            seenDigit = true;
        } else if (c == '.' && !seenPoint) {
            number += c;
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit) return 0.0;
    if (i + 1 < text.size() &&
        (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::string exponent = "E";
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        const std::size_t digitsStart = j;
        while (j < text.size() && IsDigit(text[j]) && j - digitsStart < 4)
            exponent += text[j++];
        if (j > digitsStart) number += exponent;
    }
    if (!ParseNumericText(number)) return 0.0;
    // from_chars, unlike strtod, ignores the user's locale and its decimal comma.
    const std::size_t start = number.front() == '+' ? 1 : 0;
    double value = 0.0;
    const auto result =
        std::from_chars(number.data() + start, number.data() + number.size(), value);
    return result.ec == std::errc{} ? value : 0.0;
}

std::string FormatUpToThreeDecimals(double value) {
    std::string text = RoundedThreeDecimals(value);
    if (text.front() == '.') text.insert(0, "0");
    if (text.rfind("-.", 0) == 0) text.insert(1, "0");
    return text;
}

std::string FormatThreeDecimals(double value) {
    std::string text = FormatUpToThreeDecimals(value);
    const auto point = text.find('.');
    text.append(3 - (text.size() - point - 1), '0');
    return text;
}

std::string CorrectedSlopeText(std::string_view measuredSlope) {
    const float s = SingleOf(measuredSlope);
    if (s <= 0.04F) return FormatUpToThreeDecimals(s);
    if (s <= 0.12F) {
        const double sd = s;
        return FormatUpToThreeDecimals(32.41 * sd * sd * sd - 11.89 * sd * sd + 1.47 * sd - 0.0019);
    }
    return ".060";
}

std::optional<std::string>
CompositeSlopeText(const std::array<SlopeSegment, kSlopeSegments>& segments) {
    float weighted = 0.0F;
    float totalLength = 1e-9F;
    for (const SlopeSegment& segment : segments) {
        const double corrected = SingleOf(segment.correctedSlope);
        const float length = SingleOf(segment.length);
        if (corrected < 0) return std::nullopt;
        weighted = static_cast<float>(weighted + std::pow(corrected, 0.24) * length);
        totalLength += length;
    }
    const double ratio = static_cast<double>(weighted) / totalLength;
    if (ratio < 0 || !std::isfinite(ratio)) return std::nullopt; // lengths that cancel out

    return FormatThreeDecimals(static_cast<float>(std::pow(ratio, 4.17)));
}

} // namespace tovan
