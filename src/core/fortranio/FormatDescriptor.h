// The column format descriptor language of the deck: "A10", "I3", "F5.2", "E10.3", "D12.4",
// "44X" or "X44", one descriptor per field.
#pragma once

#include <optional>
#include <string_view>

namespace tovan {

struct FormatDescriptor {
    char letter = 0;   // 'A', 'I', 'F', 'E', 'D' or 'X' (upper case); 0 for the empty descriptor
    long width = 0;    // columns; saturates far above 80 so that absurd widths still fail cleanly
    long decimals = 0; // implied decimals of F, E and D
    bool isEmpty() const { return letter == 0; }
};

enum class DescriptorUse {
    Reading, // blanks around the descriptor are trimmed; the empty descriptor is allowed
    Writing, // taken as given; the empty descriptor is malformed
};

// Parses one descriptor; nothing when it is malformed (which fails the whole card).
// Chosen here: the numbers of a descriptor may not carry an exponent ("F5E1.2" is malformed);
// the language gives no meaning to one.
std::optional<FormatDescriptor> ParseDescriptor(std::string_view text, DescriptorUse use);

} // namespace tovan
