// File names travel through the program as text: on POSIX systems the bytes the system uses,
// on Windows UTF-8. The narrow Windows calls would read that text in the user's code page and
// lose every letter outside it, so a name is turned into a wide path only here, where a file
// is opened or handed to the file system library.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tovan {

std::filesystem::path PathFromText(std::string_view text);
std::string TextFromPath(const std::filesystem::path& path);

// std::fopen with a name given as text; `mode` as for std::fopen.
std::FILE* OpenCFile(std::string_view name, const char* mode);

#if defined(_WIN32)
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
#endif

} // namespace tovan
