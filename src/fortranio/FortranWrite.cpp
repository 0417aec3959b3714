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

// A field is written into its own columns of a card that starts as blanks, so a field left
// blank needs no work: a card is built a million times a second.
void WriteJustified(char* field, std::string_view text, std::size_t width,
                    JustifyDirection direction) {
    const std::size_t length = std::min(text.size(), width);
    const std::size_t start = direction == JustifyDirection::Left ? 0 : width - length;
    std::copy_n(text.data(), length, field + start);
}

void WriteRightAligned(char* field, const std::optional<std::string>& text, std::size_t width) {
    if (!text) {
        std::fill_n(field, width, '*');
    } else {
        WriteJustified(field, *text, width, JustifyDirection::Right);
    }
}

void WriteTextField(char* field, const WriteValue& value, std::size_t width) {
    if (const auto* text = std::get_if<std::string_view>(&value)) {
        WriteJustified(field, *text, width, JustifyDirection::Left);
    } else if (const auto* number = std::get_if<double>(&value)) {
        WriteJustified(field, NumberText(*number), width, JustifyDirection::Left);
    }
}

void WriteIntegerField(char* field, const WriteValue& value, std::size_t width) {
    if (std::holds_alternative<std::monostate>(value)) return;
    std::string storage;
    const auto number = NumericValue(value, storage);
    if (!number) {
        std::fill_n(field, width, '*');
        return;
    }
    WriteRightAligned(field, FormatWholeNumber(*number, width), width);
}

void WriteRealField(char* field, const WriteValue& value, const FormatDescriptor& d) {
    const auto width = static_cast<std::size_t>(d.width);
    if (IsAbsentOrEmpty(value)) return;
    std::string storage;
    const auto number = NumericValue(value, storage);
    if (!number) {
        std::fill_n(field, width, '*');
    } else if (d.letter == 'F') {
        WriteRightAligned(field, FormatFixedPoint(*number, d.decimals, width), width);
    } else {
        WriteRightAligned(field, FormatScientific(*number, d.decimals, width), width);
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
