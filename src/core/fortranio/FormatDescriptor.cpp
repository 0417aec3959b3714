#include "fortranio/FormatDescriptor.h"

#include "fortranio/NumericText.h"

#include <algorithm>

namespace tovan {

namespace {

constexpr long kSaturated = 1000000; // any width or decimal count above this is as good as huge

long DigitsValue(std::string_view digits) {
    long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > kSaturated) return kSaturated;
    }
    return value;
}

char UpperLetter(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::optional<FormatDescriptor> ParseCountFirstSkip(std::string_view text) {
    if (UpperLetter(text.back()) != 'X') return std::nullopt;
    const auto count = ParseNumericText(text.substr(0, text.size() - 1));
    if (!count || count->hasPoint || count->hasExponent || count->negative) return std::nullopt;
    FormatDescriptor d{'X', DigitsValue(count->wholeDigits), 0};
    if (d.width <= 0) return std::nullopt;
    return d;
}

bool IsDigitText(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "I5", "A10" or "F5.4" as the card layouts spell them, read without the general number parse
// (a card is written a million times a second); nothing for any other spelling.
std::optional<FormatDescriptor> ParsePlainDescriptor(char letter, std::string_view rest) {
    const bool isReal = letter == 'F' || letter == 'E' || letter == 'D';
    const auto point = rest.find('.');
    const std::string_view width = rest.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view{} : rest.substr(point + 1);
    if (!IsDigitText(width) || isReal != (point != std::string_view::npos)) return std::nullopt;
    if (isReal && !IsDigitText(decimals)) return std::nullopt;
    return FormatDescriptor{letter, DigitsValue(width), DigitsValue(decimals)};
}

} // namespace

std::optional<FormatDescriptor> ParseDescriptor(std::string_view text, DescriptorUse use) {
    if (use == DescriptorUse::Reading) {
        text = TrimBlanks(text);
        if (text.empty()) return FormatDescriptor{};
    }
    if (text.empty()) return std::nullopt;
    if (text.front() >= '0' && text.front() <= '9') return ParseCountFirstSkip(text);

    const char letter = UpperLetter(text.front());
    const bool isReal = letter == 'F' || letter == 'E' || letter == 'D';
    if (!isReal && letter != 'A' && letter != 'I' && letter != 'X') return std::nullopt;

    if (const auto plain = ParsePlainDescriptor(letter, text.substr(1))) {
        if (plain->width <= 0) return std::nullopt;
        return plain;
    }
    const auto rest = ParseNumericText(text.substr(1));
    if (!rest || rest->hasExponent || rest->negative) return std::nullopt;
    if (rest->hasPoint != isReal) return std::nullopt;
    if (isReal && rest->fractionDigits.empty()) return std::nullopt;

    FormatDescriptor d{letter, DigitsValue(rest->wholeDigits), DigitsValue(rest->fractionDigits)};
    if (d.width <= 0) return std::nullopt;
    return d;
}

} // namespace tovan
