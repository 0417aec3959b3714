#include "fortranio/DecimalRounding.h"
#include "fortranio/FormatDescriptor.h"
#include "fortranio/NumericText.h"
#include "fortranio/QVFortranIO.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace tovan {

namespace {

// Room for the shortest text of any double, such as "-2.2250738585072014e-308".
using NumberBuffer = std::array<char, 32>;

// Shortest text that reads back to the same double: the number's "ordinary text form".
std::string_view NumberText(double value, NumberBuffer& buffer) {
    if (value == 0) return "0";
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return {buffer.data(), static_cast<std::size_t>(result.ptr - buffer.data())};
}

bool IsAbsentOrEmpty(const WriteValue& value) {
    if (std::holds_alternative<std::monostate>(value)) return true;
    const auto* text = std::get_if<std::string_view>(&value);
    return text != nullptr && text->empty();
}

// The text a number is written from: a text as given, a double in its shortest form; nothing
// for an absent value or a double that is no number. `buffer` keeps the text of a double.
std::optional<std::string_view> ValueText(const WriteValue& value, NumberBuffer& buffer) {
    if (const auto* text = std::get_if<std::string_view>(&value)) return *text;
    if (const auto* number = std::get_if<double>(&value)) {
        if (std::isfinite(*number)) return NumberText(*number, buffer);
    }
    return std::nullopt;
}

// A field is written into its own columns of a card that starts as blanks, so a field left
// blank needs no work: a card is built a million times a second.
void WriteJustified(char* field, std::string_view text, std::size_t width,
                    JustifyDirection direction) {
    const std::size_t length = std::min(text.size(), width);
    const std::size_t start = direction == JustifyDirection::Left ? 0 : width - length;
    std::copy_n(text.data(), length, field + start);
}

void WriteAsterisks(char* field, std::size_t width) {
    std::fill_n(field, width, '*');
}

void WriteRightAligned(char* field, const std::optional<std::string>& text, std::size_t width) {
    if (!text) {
        WriteAsterisks(field, width);
    } else {
        WriteJustified(field, *text, width, JustifyDirection::Right);
    }
}

// A number: its short form where that applies, else the text `general` makes of its parts;
// asterisks for a value that is no number or a number too wide for the field.
template <typename Short, typename General>
void WriteNumberField(char* field, std::size_t width, const WriteValue& value, Short shortForm,
                      General general) {
    NumberBuffer buffer;
    const auto text = ValueText(value, buffer);
    const ShortForm form = text ? shortForm(*text) : ShortForm::NotShort;
    if (form == ShortForm::Written) return;
    const auto number =
        form == ShortForm::NotShort && text ? ParseNumericText(*text) : std::nullopt;
    if (!number) return WriteAsterisks(field, width);
    WriteRightAligned(field, general(*number), width);
}

void WriteTextField(char* field, const WriteValue& value, std::size_t width) {
    if (const auto* text = std::get_if<std::string_view>(&value)) {
        WriteJustified(field, *text, width, JustifyDirection::Left);
    } else if (const auto* number = std::get_if<double>(&value)) {
        NumberBuffer buffer;
        WriteJustified(field, NumberText(*number, buffer), width, JustifyDirection::Left);
    }
}

void WriteIntegerField(char* field, const WriteValue& value, std::size_t width) {
    if (std::holds_alternative<std::monostate>(value)) return;
    WriteNumberField(
        field, width, value,
        [&](std::string_view text) { return WriteShortWholeNumber(text, width, field); },
        [&](const NumericParts& number) { return FormatWholeNumber(number, width); });
}

void WriteRealField(char* field, const WriteValue& value, const FormatDescriptor& d) {
    if (IsAbsentOrEmpty(value)) return;
    const auto width = static_cast<std::size_t>(d.width);
    if (d.letter == 'F') {
        WriteNumberField(
            field, width, value,
            [&](std::string_view text) {
                return WriteShortFixedPoint(text, d.decimals, width, field);
            },
            [&](const NumericParts& number) {
                return FormatFixedPoint(number, d.decimals, width);
            });
    } else {
        WriteNumberField(
            field, width, value, [](std::string_view) { return ShortForm::NotShort; },
            [&](const NumericParts& number) {
                return FormatScientific(number, d.decimals, width);
            });
    }
}

void WriteField(char* field, const FormatDescriptor& d, const WriteValue& value) {
    switch (d.letter) {
    case 'A':
        WriteTextField(field, value, static_cast<std::size_t>(d.width));
        break;
    case 'X':
        break;
    case 'I':
        WriteIntegerField(field, value, static_cast<std::size_t>(d.width));
        break;
    default:
        WriteRealField(field, value, d);
        break;
    }
}

// The card of descriptors already known to fit in it; valueAt(i) is the value of field i.
template <typename ValueAt>
std::string WriteCard(std::span<const FormatDescriptor> descriptors, ValueAt valueAt) {
    std::string card(kCardWidth, ' ');
    char* field = card.data();
    for (std::size_t i = 0; i < descriptors.size(); ++i) {
        WriteField(field, descriptors[i], valueAt(i));
        field += descriptors[i].width;
    }
    return card;
}

// Parses one descriptor and adds it to the list when it still fits in the card.
template <typename List>
bool AddDescriptor(List& list, std::size_t& used, std::string_view text) {
    const auto d = ParseDescriptor(text, DescriptorUse::Writing);
    if (!d || static_cast<std::size_t>(d->width) > kCardWidth - used) return false;
    used += static_cast<std::size_t>(d->width);
    list.push_back(*d);
    return true;
}

// A card holds at most 80 fields (each at least one column wide), so a pair list's descriptors
// are parsed into a fixed array on the stack.
class DescriptorArray {
  public:
    void push_back(const FormatDescriptor& d) { items_[size_++] = d; }
    std::span<const FormatDescriptor> view() const { return {items_.data(), size_}; }

  private:
    std::array<FormatDescriptor, kCardWidth> items_{};
    std::size_t size_ = 0;
};

std::string WritePairs(std::span<const WriteValue> pairs) {
    if (pairs.size() % 2 != 0) return {};
    DescriptorArray descriptors;
    std::size_t used = 0;
    for (std::size_t i = 0; i < pairs.size(); i += 2) {
        const auto* text = std::get_if<std::string_view>(&pairs[i]);
        if (text == nullptr || !AddDescriptor(descriptors, used, *text)) return {};
    }
    return WriteCard(descriptors.view(),
                     [&](std::size_t i) -> const WriteValue& { return pairs[2 * i + 1]; });
}

} // namespace

std::string FortranWrite(std::span<const WriteValue> pairs) {
    return WritePairs(pairs);
}

std::string FortranWrite(std::initializer_list<WriteValue> pairs) {
    return WritePairs({pairs.begin(), pairs.size()});
}

WriteFormat::WriteFormat(std::span<const std::string_view> descriptors) {
    std::size_t used = 0;
    for (const std::string_view text : descriptors) {
        if (!AddDescriptor(descriptors_, used, text)) {
            valid_ = false;
            return;
        }
    }
}

std::string FortranWrite(const WriteFormat& format, std::span<const WriteValue> values) {
    if (!format.valid_ || values.size() != format.descriptors_.size()) return {};
    return WriteCard(format.descriptors_,
                     [&](std::size_t i) -> const WriteValue& { return values[i]; });
}

std::string Justify(std::string_view text, std::size_t width, JustifyDirection direction) {
    std::string result(width, ' ');
    WriteJustified(result.data(), text, width, direction);
    return result;
}

} // namespace tovan
