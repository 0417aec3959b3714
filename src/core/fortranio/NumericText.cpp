#include "fortranio/NumericText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>

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

namespace {

// Magnitude class of a nonzero number: the power of ten of its leading digit.
long LeadingPower(const NumericParts& n) {
    const auto firstWhole = n.wholeDigits.find_first_not_of('0');
    if (firstWhole != std::string_view::npos) {
        return static_cast<long>(n.wholeDigits.size() - firstWhole) - 1 + n.exponent;
    }
    const auto firstFraction = n.fractionDigits.find_first_not_of('0');
    return -static_cast<long>(firstFraction) - 1 + n.exponent;
}

bool IsZero(const NumericParts& n) {
    return n.wholeDigits.find_first_not_of('0') == std::string_view::npos &&
           n.fractionDigits.find_first_not_of('0') == std::string_view::npos;
}

// Most numbers hold a few digits and no exponent; nothing for the others.
template <typename Real>
std::optional<Real> ConvertShortDecimal(const NumericParts& parts) {
    constexpr bool single = std::is_same_v<Real, float>;
    constexpr std::size_t kMaxDigits = single ? 7 : 15;
    constexpr std::size_t kMaxDecimals = single ? 10 : 22;
    const std::size_t decimals = parts.fractionDigits.size();
    if (parts.hasExponent || parts.wholeDigits.size() + decimals > kMaxDigits ||
        decimals > kMaxDecimals) {
        return std::nullopt;
    }
    std::int64_t digits = 0;
    for (char c : parts.wholeDigits)
        digits = digits * 10 + (c - '0');
    for (char c : parts.fractionDigits)
        digits = digits * 10 + (c - '0');
    return DigitsOverPowerOfTen<Real>(digits, decimals, parts.negative);
}

} // namespace

// from_chars wants no "+" and knows no "D" exponent. Fields and cells are short; a long text is
// copied to the heap.
template <typename Real>
std::optional<Real> ConvertNumber(std::string_view text, const NumericParts& parts) {
    if (const auto value = ConvertShortDecimal<Real>(parts)) return value;
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    char buffer[96];
    std::string longText;
    char* plain = buffer;
    if (text.size() > sizeof buffer) {
        longText.resize(text.size());
        plain = longText.data();
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        plain[i] = (c == 'd' || c == 'D') ? 'e' : c;
    }
    Real value{};
    const auto result = std::from_chars(plain, plain + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (IsZero(parts) || LeadingPower(parts) < 0) return parts.negative ? -Real(0) : Real(0);
        return std::nullopt; // overflow
    }
    if (result.ec != std::errc{} || result.ptr != plain + text.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

template std::optional<float> ConvertNumber(std::string_view, const NumericParts&);
template std::optional<double> ConvertNumber(std::string_view, const NumericParts&);

std::optional<double> NumericValue(std::string_view text) {
    const auto parts = ParseNumericText(text);
    if (!parts) return std::nullopt;
    return ConvertNumber<double>(text, *parts).value_or(std::nan(""));
}

} // namespace tovan
