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
    const auto value = ConvertNumber<double>(field, *parts);
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
        const auto value = ConvertNumber<double>(field, *parts);
        if (!value) return FieldValue::MakeNull();
        return FieldValue::MakeDouble(parts->hasPoint ? *value : *value / PowerOfTen(d.decimals));
    }
    const auto value = ConvertNumber<float>(field, *parts);
    if (!value) return FieldValue::MakeNull();
    if (parts->hasPoint) return FieldValue::MakeSingle(*value);
    return FieldValue::MakeDouble(static_cast<double>(*value) / PowerOfTen(d.decimals));
}

// Most fields of a deck are a few digits, perhaps a sign and a point, between blanks. Such a
// field is read here in one pass over its characters, with the value computed as
// ConvertNumber computes it. A number with a point and at most six significant digits and
// six decimals also gets its shortest text, made from its own digits: six digits always survive
// the trip through single precision and back, so no shorter text reads back to the same float
// and the digits themselves are that text. False for every other field, which the general
// reader takes.
struct ShortField {
    bool negative = false;
    bool hasPoint = false;
    std::int64_t digits = 0; // every digit, as an integer
    int digitCount = 0;      // with leading zeros
    int decimals = 0;
    int firstSignificant = -1, lastSignificant = -1; // digit positions of nonzero digits
    char text[24];                                   // the digits in order, without the point
};

bool ScanShortField(std::string_view field, ShortField& f) {
    std::size_t i = 0;
    const std::size_t n = field.size();
    while (i < n && field[i] == ' ')
        ++i;
    if (i < n && (field[i] == '+' || field[i] == '-')) f.negative = field[i++] == '-';
    for (; i < n; ++i) {
        const char c = field[i];
        if (c >= '0' && c <= '9') {
            if (f.digitCount == 7) return false;
            if (c != '0') {
                if (f.firstSignificant < 0) f.firstSignificant = f.digitCount;
                f.lastSignificant = f.digitCount;
            }
            f.text[f.digitCount++] = c;
            f.digits = f.digits * 10 + (c - '0');
            if (f.hasPoint) ++f.decimals;
        } else if (c == '.' && !f.hasPoint) {
            f.hasPoint = true;
        } else {
            break;
        }
    }
    while (i < n && field[i] == ' ')
        ++i;
    return i == n && f.digitCount > 0;
}

// The shortest text of the value, from the digits: no leading zeros before the point, no
// trailing zeros after it, "0" for zero.
void ShortTextOf(const ShortField& f, std::string& text) {
    text.clear();
    if (f.firstSignificant < 0) {
        text.push_back('0');
        return;
    }
    const int point = f.digitCount - f.decimals; // digits before the point
    if (f.negative) text += '-';
    if (f.firstSignificant >= point) {
        text += '0';
    } else {
        text.append(f.text + f.firstSignificant,
                    static_cast<std::size_t>(point - f.firstSignificant));
    }
    if (f.lastSignificant >= point) {
        text += '.';
        text.append(f.text + point, static_cast<std::size_t>(f.lastSignificant + 1 - point));
    }
}

bool ReadShortInteger(std::string_view field, FieldValue& out) {
    ShortField f;
    if (!ScanShortField(field, f) || f.hasPoint) return false;
    out.kind = FieldKind::Integer;
    out.text.clear();
    out.integer = static_cast<std::int32_t>(f.negative ? -f.digits : f.digits);
    out.single = 0;
    out.real = 0;
    return true;
}

bool ReadShortSingle(std::string_view field, FieldValue& out) {
    ShortField f;
    if (!ScanShortField(field, f) || !f.hasPoint) return false;
    out.kind = FieldKind::Single;
    out.integer = 0;
    out.single =
        DigitsOverPowerOfTen<float>(f.digits, static_cast<std::size_t>(f.decimals), f.negative);
    out.real = 0;
    const bool ownDigits = f.firstSignificant < 0 || f.lastSignificant - f.firstSignificant < 6;
    if (ownDigits && f.decimals <= 6) {
        ShortTextOf(f, out.text);
    } else {
        out.text.clear();
    }
    return true;
}

// The card of 80 columns: the line itself when it has exactly 80, as saved decks do; otherwise
// the line without its trailing blanks, padded with blanks into `room`. Nothing when the line
// is longer than a card.
std::optional<std::string_view> CardOf(std::string_view line, std::array<char, kCardWidth>& room) {
    if (line.size() == kCardWidth) return line;
    line = TrimTrailingBlanks(line);
    if (line.size() > kCardWidth) return std::nullopt;
    std::fill(std::copy(line.begin(), line.end(), room.begin()), room.end(), ' ');
    return std::string_view(room.data(), kCardWidth);
}

// The value of a field, given to `out` without giving up the memory of its text.
void Assign(FieldValue& out, const FieldValue& value) {
    out.kind = value.kind;
    out.text.clear();
    out.integer = value.integer;
    out.single = value.single;
    out.real = value.real;
}

// Reads one field at `position` (from 1) into `out` and moves the position past it; false
// fails the card.
bool ReadField(std::string_view card, const FormatDescriptor& d, long& position, FieldValue& out) {
    if (d.isEmpty()) {
        Assign(out, FieldValue::MakeEmpty());
        return true;
    }
    if (position + d.width - 1 > static_cast<long>(kCardWidth)) return false;
    const auto field =
        card.substr(static_cast<std::size_t>(position - 1), static_cast<std::size_t>(d.width));
    switch (d.letter) {
    case 'X':
        Assign(out, FieldValue::MakeEmpty());
        break;
    case 'A':
        Assign(out, FieldValue::MakeEmpty());
        out.kind = FieldKind::Text;
        out.text.assign(field);
        break;
    case 'I':
        if (d.width > kMaxIntegerWidth) return false;
        if (!ReadShortInteger(field, out)) Assign(out, ReadInteger(field));
        break;
    case 'D':
        if (d.decimals > d.width - 1) return false;
        Assign(out, ReadReal(field, d));
        break;
    default:
        if (!ReadShortSingle(field, out)) Assign(out, ReadReal(field, d));
        break;
    }
    position += d.width;
    return true;
}

bool ReadField(std::string_view card, const FormatDescriptor& d, long& position,
               FieldList& values) {
    return ReadField(card, d, position, values.emplace_back());
}

template <typename Descriptors>
ReadResult ReadCard(std::string_view line, const Descriptors& descriptors) {
    if (std::size(descriptors) == 0) return std::nullopt;
    std::array<char, kCardWidth> room;
    const auto card = CardOf(line, room);
    if (!card) return std::nullopt;

    FieldList values;
    values.reserve(std::size(descriptors));
    long position = 1;
    for (const auto& text : descriptors) {
        const auto d = ParseDescriptor(text, DescriptorUse::Reading);
        if (!d || !ReadField(*card, *d, position, values)) return std::nullopt;
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

std::pair<long, long> ReadFormat::columnsOf(std::size_t index) const {
    long first = 1;
    for (std::size_t i = 0; i < index && i < descriptors_.size(); ++i)
        first += descriptors_[i].width;
    const long width = index < descriptors_.size() ? descriptors_[index].width : 0;
    return {first, first + width - 1};
}

ReadResult FortranRead(std::string_view line, const ReadFormat& format) {
    FieldList values;
    if (!FortranReadInto(line, format, values)) return std::nullopt;
    return values;
}

bool FortranReadInto(std::string_view line, const ReadFormat& format, FieldList& values) {
    if (!format.valid_) return false;
    std::array<char, kCardWidth> room;
    const auto card = CardOf(line, room);
    if (!card) return false;
    values.resize(format.descriptors_.size());
    long position = 1;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!ReadField(*card, format.descriptors_[i], position, values[i])) return false;
    }
    return true;
}

} // namespace tovan
