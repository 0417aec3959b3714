#include "cli/ConsolePlatform.h"

#include "cli/Latin1.h"

namespace tovan::cli {

void ConsolePlatform::showMessage(std::string_view text, MessageIcon, std::string_view title) {
    ++messages_;
    const std::string line = Latin1ToUtf8(title) + ": " + Latin1ToUtf8(text) + "\n";
    std::fputs(line.c_str(), out_);
}

void ConsolePlatform::showDetailedMessage(std::string_view text, std::string_view detail,
                                          MessageIcon icon, std::string_view title) {
    showMessage(text, icon, title);
    if (!detail.empty()) std::fputs(("  " + Latin1ToUtf8(detail) + "\n").c_str(), out_);
}

Answer ConsolePlatform::askYesNo(std::string_view text, MessageIcon icon, std::string_view title) {
    showMessage(text, icon, title);
    return Answer::No; // nobody is there to answer; No never changes anything
}

std::string ConsolePlatform::setting(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) {
    const auto found = settings_.find(std::string(section) + '/' + std::string(key));
    return found == settings_.end() ? std::string(defaultValue) : found->second;
}

void ConsolePlatform::saveSetting(std::string_view section, std::string_view key,
                                  std::string_view value) {
    settings_[std::string(section) + '/' + std::string(key)] = std::string(value);
}

} // namespace tovan::cli
