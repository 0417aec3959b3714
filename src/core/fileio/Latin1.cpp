#include "fileio/Latin1.h"

namespace tovan {

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string utf8;
    utf8.reserve(latin1.size());
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::optional<std::string> Utf8ToLatin1(std::string_view utf8) {
    std::string latin1;
    latin1.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            latin1 += static_cast<char>(byte);
            continue;
        }
        // Only the two-byte forms C2 80 to C3 BF stand for Latin-1 characters.
        if ((byte != 0xC2 && byte != 0xC3) || i + 1 >= utf8.size()) return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        latin1 += static_cast<char>(((byte & 0x03) << 6) | (next & 0x3F));
        ++i;
    }
    return latin1;
}

} // namespace tovan
