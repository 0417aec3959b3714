// Formatted record I/O: cutting an 80-column card image into field values by a list of format
// descriptors, and building a card image back from descriptor-value pairs. Neither operation
// throws or talks to the user; callers decide what a failed card means.
#pragma once

#include "fortranio/FieldValue.h"
#include "fortranio/FormatDescriptor.h"

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tovan {

inline constexpr std::size_t kCardWidth = 80;

// Either "failed" (nothing) or one value per descriptor, in descriptor order.
using ReadResult = std::optional<FieldList>;

// Reads one card image (without its line terminator). Choices made here:
// - a number too small for its precision underflows to zero rather than becoming null;
// - an I field whose exponent form is not a whole number ("15E-1") is null;
// - only the point is a decimal separator; no other number forms are accepted.
ReadResult FortranRead(std::string_view line, std::span<const std::string_view> descriptors);
ReadResult FortranRead(std::string_view line, std::initializer_list<std::string_view> descriptors);
ReadResult FortranRead(std::string_view line, const std::vector<std::string>& descriptors);

// A descriptor list parsed once, for a card type that is read many times: reading with it gives
// exactly what reading with its texts gives, a malformed list failing every card.
class ReadFormat {
  public:
    explicit ReadFormat(std::span<const std::string_view> descriptors);
    // The first and last card column (from 1) of the value at `index`.
    std::pair<long, long> columnsOf(std::size_t index) const;

  private:
    friend bool FortranReadInto(std::string_view line, const ReadFormat& format, FieldList& values);
    std::vector<FormatDescriptor> descriptors_;
    bool valid_ = true;
};

ReadResult FortranRead(std::string_view line, const ReadFormat& format);
// The same into `values`, whose elements and texts are reused: a reader of many cards then
// allocates nothing per card. False when the card fails; `values` is then unspecified.
bool FortranReadInto(std::string_view line, const ReadFormat& format, FieldList& values);

// One element of a pair list: absent, a text, or a number.
using WriteValue = std::variant<std::monostate, std::string_view, double>;

// Builds one card image from a flat pair list (descriptor, value, descriptor, value, ...).
// Returns exactly 80 characters, or the empty text when the card cannot be built.
// Choices made here:
// - an absent value in an I field writes blanks, so an empty integer cell stays empty when the
//   card is read back (an empty text is still w asterisks);
// - a negative value that rounds to zero is written without its sign ("0.", "0");
// - the descriptor letters are exactly A, I, F, E, D and X; any other letter fails the card.
std::string FortranWrite(std::span<const WriteValue> pairs);
std::string FortranWrite(std::initializer_list<WriteValue> pairs);

// A descriptor list parsed once, for a card type that is written many times: writing values with
// it gives exactly what FortranWrite gives for the pairs of its descriptors and those values. A
// malformed list, or one wider than a card, fails every card.
class WriteFormat {
  public:
    explicit WriteFormat(std::span<const std::string_view> descriptors);

  private:
    friend std::string FortranWrite(const WriteFormat& format, std::span<const WriteValue> values);
    std::vector<FormatDescriptor> descriptors_;
    bool valid_ = true;
};

// One value per descriptor of the format, in its order; the empty text when the format is
// malformed or the number of values differs from its number of descriptors.
std::string FortranWrite(const WriteFormat& format, std::span<const WriteValue> values);

enum class JustifyDirection { Left, Right };

// Cuts text to its first `width` characters, or pads it with blanks on the right (Left) or on
// the left (Right), so that the result is exactly `width` characters.
std::string Justify(std::string_view text, std::size_t width, JustifyDirection direction);

} // namespace tovan
