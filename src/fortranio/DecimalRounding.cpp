#include "fortranio/DecimalRounding.h"

namespace tovan {

namespace {

// value = 0.d1d2d3... x 10^pointPosition, with no leading zero digit; no digits means zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    long pointPosition = 0;
};

Decimal ToDecimal(const NumericParts& n) {
    Decimal d;
    d.negative = n.negative;
    std::string all;
    all.reserve(n.wholeDigits.size() + n.fractionDigits.size());
    all.append(n.wholeDigits).append(n.fractionDigits);
    const auto firstNonZero = all.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return d; // zero
    const auto lastNonZero = all.find_last_not_of('0');
    d.digits = all.substr(firstNonZero, lastNonZero - firstNonZero + 1);
    d.pointPosition =
        static_cast<long>(n.wholeDigits.size()) - static_cast<long>(firstNonZero) + n.exponent;
    return d;
}

// Keeps the first `keep` significant digits, rounding the rest half away from zero.
void RoundToDigits(Decimal& d, long keep) {
    if (keep >= static_cast<long>(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        d.pointPosition = 0;
        return;
    }
    const bool roundUp = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (roundUp) {
        long i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPosition;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) d.pointPosition = 0;
}

bool IsZero(const Decimal& d) {
    return d.digits.empty();
}

// Digits before the point of a rounded value, "" when its whole part is zero.
std::string WholePart(const Decimal& d) {
    if (d.pointPosition <= 0) return {};
    std::string whole = d.digits.substr(0, static_cast<std::size_t>(d.pointPosition));
    whole.append(static_cast<std::size_t>(d.pointPosition) - whole.size(), '0');
    return whole;
}

std::string FractionPart(const Decimal& d) {
    if (d.pointPosition >= static_cast<long>(d.digits.size())) return {};
    if (d.pointPosition >= 0) return d.digits.substr(static_cast<std::size_t>(d.pointPosition));
    return std::string(static_cast<std::size_t>(-d.pointPosition), '0') + d.digits;
}

// Any whole part longer than this cannot fit a card, so the digits are never spelled out.
bool WholePartTooLong(const Decimal& d, std::size_t maxLength) {
    return d.pointPosition > static_cast<long>(maxLength);
}

} // namespace

std::optional<std::string> FormatFixedPoint(const NumericParts& number, long decimals,
                                            std::size_t maxLength) {
    Decimal d = ToDecimal(number);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    RoundToDigits(d, d.pointPosition + decimals);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    std::string text = (d.negative && !IsZero(d)) ? "-" : "";
    text += WholePart(d);
    text += '.';
    text += FractionPart(d);
    if (text == ".") text = "0.";
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

std::optional<std::string> FormatScientific(const NumericParts& number, long decimals,
                                            std::size_t maxLength) {
    Decimal d = ToDecimal(number);
    if (IsZero(d)) return maxLength >= 5 ? std::optional<std::string>("0.E00") : std::nullopt;
    if (decimals + 1 < static_cast<long>(d.digits.size())) RoundToDigits(d, decimals + 1);
    const long exponent = d.pointPosition - 1;
    std::string text = d.negative ? "-" : "";
    text += d.digits.front();
    text += '.';
    text.append(d.digits, 1);
    text += 'E';
    if (exponent < 0) text += '-';
    const std::string exponentDigits = std::to_string(exponent < 0 ? -exponent : exponent);
    if (exponentDigits.size() < 2) text += '0';
    text += exponentDigits;
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

std::optional<std::string> FormatWholeNumber(const NumericParts& number, std::size_t maxLength) {
    Decimal d = ToDecimal(number);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    RoundToDigits(d, d.pointPosition);
    if (WholePartTooLong(d, maxLength)) return std::nullopt;
    std::string whole = WholePart(d);
    std::string text = whole.empty() ? "0" : ((d.negative ? "-" : "") + whole);
    if (text.size() > maxLength) return std::nullopt;
    return text;
}

} // namespace tovan
