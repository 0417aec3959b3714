// The SHA-256 digest of a deck's bytes (FIPS 180-4), in lower-case hexadecimal as sha256sum
// prints it, so that a reviewer can check that the deck in hand is the one a run or report
// came from.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tovan {

std::string Sha256Hex(std::string_view bytes);
// Of a file's bytes; nothing when it cannot be read.
std::optional<std::string> FileSha256Hex(const std::filesystem::path& file);
// The first 12 digits, enough to tell a deck's states apart at a glance.
std::string ShortDigest(const std::string& hex);

} // namespace tovan
