#include "fortranio/FormatDescriptor.h"
#include "fortranio/NumericText.h"
#include "fortranio/QVFortranIO.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace tovan {

namespace {

constexpr long kMaxIntegerWidth = 11;

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

// Most fields hold a few digits and no exponent. Their digits as an integer and the power of ten
// are then both exact in Real, and one division rounds the quotient correctly, as from_chars
// would. Nothing when the field has more digits or decimals than that allows.
template <typename Real>
std::optional<Real> ConvertShortDecimal(const NumericParts& parts) {
    constexpr bool single = std::is_same_v<Real, float>;
    constexpr std::size_t kMaxDigits = single ? 7 : 15;    // below 2^24 and 2^53
    constexpr std::size_t kMaxDecimals = single ? 10 : 22; // 10^k still exact
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
    Real power = 1;
    for (std::size_t i = 0; i < decimals; ++i)
        power *= 10;
    const Real value = static_cast<Real>(digits) / power;
    return parts.negative ? -value : value;
}

// from_chars wants no "+" and knows no "D" exponent; the field is at most 80 characters.
template <typename Real>
std::optional<Real> ConvertReal(std::string_view trimmed, const NumericParts& parts) {
    if (const auto value = ConvertShortDecimal<Real>(parts)) return value;
    char buffer[kCardWidth + 1];
    std::size_t length = 0;
    for (char c : trimmed) {
        if (c == '+' && length == 0) continue;
        buffer[length++] = (c == 'D' || c == 'd') ? 'E' : c;
    }
    Real value{};
    const auto result = std::from_chars(buffer, buffer + length, value);
    if (result.ec == std::errc::result_out_of_range) {
        if (IsZero(parts) || LeadingPower(parts) < 0) return parts.negative ? -Real(0) : Real(0);
        return std::nullopt; // overflow
    }
    if (result.ec != std::errc{} || result.ptr != buffer + length) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

FieldValue ReadInteger(std::string_view field) {
    field = TrimBlanks(field);
    if (field.empty()) return FieldValue::MakeEmpty();
    const auto parts = ParseNumericText(field);
    if (!parts || parts->hasPoint) return FieldValue::MakeNull();
    if (!parts->hasExponent) {
        std::int64_t value = 0;
        for (char c : parts->wholeDigits) {
            value = value * 10 + (c - '0');
            if (value > (std::int64_t{1} << 32)) return FieldValue::MakeNull();
        }
        if (parts->negative) value = -value;
        if (value < std::numeric_limits<std::int32_t>::min() ||
            value > std::numeric_limits<std::int32_t>::max()) {
            return FieldValue::MakeNull();
        }
        return FieldValue::MakeInteger(static_cast<std::int32_t>(value));
    }
    const auto value = ConvertReal<double>(field, *parts);
    if (!value || *value != std::trunc(*value) ||
        *value < std::numeric_limits<std::int32_t>::min() ||
        *value > std::numeric_limits<std::int32_t>::max()) {
        return FieldValue::MakeNull();
    }
    return FieldValue::MakeInteger(static_cast<std::int32_t>(*value));
}

double PowerOfTen(long exponent) {
    return std::pow(10.0, static_cast<double>(exponent));
}

FieldValue ReadReal(std::string_view field, const FormatDescriptor& d) {
    field = TrimBlanks(field);
    if (field.empty()) return FieldValue::MakeEmpty();
    if (d.letter == 'F' &&
        std::any_of(field.begin(), field.end(), [](char c) { return c == 'E' || c == 'e'; })) {
        return FieldValue::MakeNull();
    }
    const auto parts = ParseNumericText(field);
    if (!parts) return FieldValue::MakeNull();
    if (d.letter == 'D') {
        const auto value = ConvertReal<double>(field, *parts);
        if (!value) return FieldValue::MakeNull();
        return FieldValue::MakeDouble(parts->hasPoint ? *value : *value / PowerOfTen(d.decimals));
    }
    const auto value = ConvertReal<float>(field, *parts);
    if (!value) return FieldValue::MakeNull();
    if (parts->hasPoint) return FieldValue::MakeSingle(*value);
    return FieldValue::MakeDouble(static_cast<double>(*value) / PowerOfTen(d.decimals));
}

// The card with trailing blanks removed and padded to 80 columns; nothing when it is longer.
std::optional<std::array<char, kCardWidth>> PaddedCard(std::string_view line) {
    line = TrimTrailingBlanks(line);
    if (line.size() > kCardWidth) return std::nullopt;
    std::array<char, kCardWidth> padded;
    std::fill(std::copy(line.begin(), line.end(), padded.begin()), padded.end(), ' ');
    return padded;
}

// Reads one field at `position` (from 1) and moves the position past it; false fails the card.
bool ReadField(std::string_view card, const FormatDescriptor& d, long& position,
               FieldList& values) {
    if (d.isEmpty()) {
        values.emplace_back();
        return true;
    }
    if (position + d.width - 1 > static_cast<long>(kCardWidth)) return false;
    const auto field =
        card.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(d.width));
    switch (d.letter) {
    case 'A':
        values.push_back(FieldValue::MakeText(std::string(field)));
        break;
    case 'X':
        values.emplace_back();
        break;
    case 'I':
        if (d.width > kMaxIntegerWidth) return false;
        values.push_back(ReadInteger(field));
        break;
    case 'D':
        if (d.decimals > d.width - 1) return false;
        values.push_back(ReadReal(field, d));
        break;
    default:
        values.push_back(ReadReal(field, d));
        break;
    }
    position += d.width;
    return true;
}

template <typename Descriptors>
ReadResult ReadCard(std::string_view line, const Descriptors& descriptors) {
    if (std::size(descriptors) == 0) return std::nullopt;
    const auto padded = PaddedCard(line);
    if (!padded) return std::nullopt;
    const std::string_view card(padded->data(), kCardWidth);

    FieldList values;
    values.reserve(std::size(descriptors));
    long position = 1;
    for (const auto& text : descriptors) {
        const auto d = ParseDescriptor(text, DescriptorUse::Reading);
        if (!d || !ReadField(card, *d, position, values)) return std::nullopt;
    }
    return values;
}

} // namespace

ReadResult FortranRead(std::string_view line, std::span<const std::string_view> descriptors) {
    return ReadCard(line, descriptors);
}

ReadResult FortranRead(std::string_view line, std::initializer_list<std::string_view> descriptors) {
    return ReadCard(line, descriptors);
}

ReadResult FortranRead(std::string_view line, const std::vector<std::string>& descriptors) {
    return ReadCard(line, descriptors);
}

} // namespace tovan

namespace tovan {

ReadFormat::ReadFormat(std::span<const std::string_view> descriptors) {
    valid_ = !descriptors.empty();
    for (std::string_view text : descriptors) {
        const auto d = ParseDescriptor(text, DescriptorUse::Reading);
        if (!d) valid_ = false;
        descriptors_.push_back(d.value_or(FormatDescriptor{}));
    }
}

ReadResult FortranRead(std::string_view line, const ReadFormat& format) {
    if (!format.valid_) return std::nullopt;
    const auto padded = PaddedCard(line);
    if (!padded) return std::nullopt;
    const std::string_view card(padded->data(), kCardWidth);
    FieldList values;
    values.reserve(format.descriptors_.size());
    long position = 1;
    for (const FormatDescriptor& d : format.descriptors_) {
        if (!ReadField(card, d, position, values)) return std::nullopt;
    }
    return values;
}

} // namespace tovan
