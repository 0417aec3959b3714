// Deck text is single-byte Latin-1; terminals and JSON speak UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovan {

std::string Latin1ToUtf8(std::string_view latin1);

// Nothing when the text is not valid UTF-8 or holds a character beyond Latin-1.
std::optional<std::string> Utf8ToLatin1(std::string_view utf8);

} // namespace tovan
