#include "fortranio/NumericText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

namespace tovan {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr long kExponentClamp = 100000;

} // namespace

std::string_view TrimTrailingBlanks(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return TrimTrailingBlanks(text);
}

std::optional<NumericParts> ParseNumericText(std::string_view text) {
    text = TrimBlanks(text);
    NumericParts parts;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        parts.negative = text[i] == '-';
        ++i;
    }
    const std::size_t wholeStart = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    parts.wholeDigits = text.substr(wholeStart, i - wholeStart);
    if (i < text.size() && text[i] == '.') {
        parts.hasPoint = true;
        const std::size_t fractionStart = ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i;
        parts.fractionDigits = text.substr(fractionStart, i - fractionStart);
    }
    if (parts.wholeDigits.empty() && parts.fractionDigits.empty()) return std::nullopt;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        parts.hasExponent = true;
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        const std::size_t exponentStart = i;
        long exponent = 0;
        for (; i < text.size() && IsDigit(text[i]); ++i) {
            if (exponent < kExponentClamp) exponent = exponent * 10 + (text[i] - '0');
        }
        if (i == exponentStart) return std::nullopt;
        if (exponent > kExponentClamp) exponent = kExponentClamp;
        parts.exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != text.size()) return std::nullopt;
    return parts;
}

std::optional<double> NumericValue(std::string_view text) {
    const auto parts = ParseNumericText(text);
    if (!parts) return std::nullopt;
    // Up to 15 digits and no exponent: the digits as an integer and the power of ten are both
    // exact doubles, and one division rounds their quotient correctly, as from_chars would.
    constexpr std::size_t kExactDigits = 15, kExactPowers = 22;
    const std::size_t decimals = parts->fractionDigits.size();
    if (!parts->hasExponent && parts->wholeDigits.size() + decimals <= kExactDigits &&
        decimals <= kExactPowers) {
        std::int64_t digits = 0;
        for (char c : parts->wholeDigits)
            digits = digits * 10 + (c - '0');
        for (char c : parts->fractionDigits)
            digits = digits * 10 + (c - '0');
        double power = 1;
        for (std::size_t i = 0; i < decimals; ++i)
            power *= 10;
        const double value = static_cast<double>(digits) / power;
        return parts->negative ? -value : value;
    }
    text = TrimBlanks(text);
    if (text.front() == '+') text.remove_prefix(1); // from_chars takes no plus sign
    // Cell texts are short; a long one is copied to the heap.
    char buffer[64];
    std::string longText;
    char* plain = buffer;
    if (text.size() > sizeof buffer) {
        longText.resize(text.size());
        plain = longText.data();
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        plain[i] = (c == 'd' || c == 'D') ? 'e' : c; // the Fortran exponent letter
    }
    double number = 0;
    const auto result = std::from_chars(plain, plain + text.size(), number);
    if (result.ec != std::errc()) return std::nan("");
    return number;
}

} // namespace tovan
