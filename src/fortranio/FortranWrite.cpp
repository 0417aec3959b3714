#include "fortranio/DecimalRounding.h"
#include "fortranio/FormatDescriptor.h"
#include "fortranio/NumericText.h"
#include "fortranio/QVFortranIO.h"

#include <charconv>
#include <cmath>

namespace tovan {

namespace {

// Shortest text that reads back to the same double: the number's "ordinary text form".
std::string NumberText(double value) {
    if (value == 0) return "0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

bool IsAbsentOrEmpty(const WriteValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    const auto* text = std::get_if<std::string_view>(&value);
    return text != nullptr && text->empty();
}

// The value as numeric parts, or nothing when it is not a number or numeric text.
// `storage` keeps the text of a double alive for the returned views.
std::optional<NumericParts> NumericValue(const WriteValue& value, std::string& storage) {
    if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number)) return std::nullopt;
        storage = NumberText(*number);
        return ParseNumericText(storage);
    }
    if (const auto* text = std::get_if<std::string_view>(&value)) return ParseNumericText(*text);
    return std::nullopt;
}

// Fields are appended straight to the card: a card is built a million times a second.
void AppendJustified(std::string& card, std::string_view text, std::size_t width,
                     JustifyDirection direction) {
    if (text.size() >= width) {
        card.append(text.substr(0, width));
    } else if (direction == JustifyDirection::Left) {
        card.append(text).append(width - text.size(), ' ');
    } else {
        card.append(width - text.size(), ' ').append(text);
    }
}

void AppendRightAligned(std::string& card, const std::optional<std::string>& text,
                        std::size_t width) {
    if (!text) {
        card.append(width, '*');
    } else {
        AppendJustified(card, *text, width, JustifyDirection::Right);
    }
}

void AppendTextField(std::string& card, const WriteValue& value, std::size_t width) {
    if (const auto* text = std::get_if<std::string_view>(&value)) {
        AppendJustified(card, *text, width, JustifyDirection::Left);
    } else if (const auto* number = std::get_if<double>(&value)) {
        AppendJustified(card, NumberText(*number), width, JustifyDirection::Left);
    } else {
        card.append(width, ' ');
    }
}

void AppendIntegerField(std::string& card, const WriteValue& value, std::size_t width) {
    if (std::holds_alternative<std::monostate>(value)) {
        card.append(width, ' ');
        return;
    }
    std::string storage;
    const auto number = NumericValue(value, storage);
    if (!number) {
        card.append(width, '*');
        return;
    }
    AppendRightAligned(card, FormatWholeNumber(*number, width), width);
}

void AppendRealField(std::string& card, const WriteValue& value, const FormatDescriptor& d) {
    const auto width = static_cast<std::size_t>(d.width);
    if (IsAbsentOrEmpty(value)) {
        card.append(width, ' ');
        return;
    }
    std::string storage;
    const auto number = NumericValue(value, storage);
    if (!number) {
        card.append(width, '*');
    } else if (d.letter == 'F') {
        AppendRightAligned(card, FormatFixedPoint(*number, d.decimals, width), width);
    } else {
        AppendRightAligned(card, FormatScientific(*number, d.decimals, width), width);
    }
}

void AppendField(std::string& card, const FormatDescriptor& d, const WriteValue& value) {
    const auto width = static_cast<std::size_t>(d.width);
    switch (d.letter) {
    case 'A':
        AppendTextField(card, value, width);
        break;
    case 'X':
        card.append(width, ' ');
        break;
    case 'I':
        AppendIntegerField(card, value, width);
        break;
    default:
        AppendRealField(card, value, d);
        break;
    }
}

template <typename Pairs>
std::string WriteCard(const Pairs& pairs) {
    if (std::size(pairs) % 2 != 0) return {};
    std::string card;
    card.reserve(kCardWidth);
    for (auto it = std::begin(pairs); it != std::end(pairs); it += 2) {
        const auto* descriptorText = std::get_if<std::string_view>(&*it);
        if (descriptorText == nullptr) return {};
        const auto d = ParseDescriptor(*descriptorText, DescriptorUse::Writing);
        if (!d) return {};
        if (card.size() + static_cast<std::size_t>(d->width) > kCardWidth) return {};
        AppendField(card, *d, *(it + 1));
    }
    card.resize(kCardWidth, ' ');
    return card;
}

} // namespace

std::string FortranWrite(std::span<const WriteValue> pairs) {
    return WriteCard(pairs);
}

std::string FortranWrite(std::initializer_list<WriteValue> pairs) {
    return WriteCard(pairs);
}

std::string Justify(std::string_view text, std::size_t width, JustifyDirection direction) {
    std::string result;
    result.reserve(width);
    AppendJustified(result, text, width, direction);
    return result;
}

} // namespace tovan
