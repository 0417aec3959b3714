#include "cli/ConsolePlatform.h"

#include "fileio/Latin1.h"

namespace tovan::cli {

namespace {

// 4999998 -> "4,999,998"
std::string WithThousands(long long count) {
    std::string digits = std::to_string(count);
    for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

} // namespace

ConsolePlatform::~ConsolePlatform() {
    for (const std::string& line : repeatOrder_) {
        const long long more = repeats_[line];
        if (more == 0) continue;
        const std::string summary = "... and " + WithThousands(more) +
                                    (more == 1 ? " more row: " : " more rows: ") +
                                    Latin1ToUtf8(line) + "\n";
        std::fputs(summary.c_str(), out_);
    }
}

bool ConsolePlatform::print(std::string_view text, std::string_view title) {
    ++messages_;
    if (collapse_) {
        key_.assign(title).append(": ").append(text); // converted only when printed
        const auto found = repeats_.find(key_);
        if (found != repeats_.end()) {
            ++found->second;
            return false;
        }
        repeats_.emplace(key_, 0);
        repeatOrder_.push_back(key_);
    }
    std::fputs((Latin1ToUtf8(title) + ": " + Latin1ToUtf8(text) + "\n").c_str(), out_);
    return true;
}

void ConsolePlatform::showMessage(std::string_view text, MessageIcon, std::string_view title) {
    print(text, title);
}

void ConsolePlatform::showDetailedMessage(std::string_view text, std::string_view detail,
                                          MessageIcon icon, std::string_view title) {
    (void)icon;
    if (print(text, title) && !detail.empty())
        std::fputs(("  " + Latin1ToUtf8(detail) + "\n").c_str(), out_);
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
