#include "platform/FilePath.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace tovan {

#if defined(_WIN32)

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), needed);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

std::filesystem::path PathFromText(std::string_view text) {
    return std::filesystem::path(WideFromUtf8(text));
}

std::string TextFromPath(const std::filesystem::path& path) {
    return Utf8FromWide(path.native());
}

std::FILE* OpenCFile(std::string_view name, const char* mode) {
    return ::_wfopen(WideFromUtf8(name).c_str(), WideFromUtf8(mode).c_str());
}

#else

std::filesystem::path PathFromText(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

std::string TextFromPath(const std::filesystem::path& path) {
    return path.native();
}

std::FILE* OpenCFile(std::string_view name, const char* mode) {
    return std::fopen(std::string(name).c_str(), mode);
}

#endif

} // namespace tovan
