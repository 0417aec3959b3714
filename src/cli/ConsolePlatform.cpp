#include "cli/ConsolePlatform.h"

#include "cli/Latin1.h"

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
        const std::string summary =
            "... and " + WithThousands(more) + (more == 1 ? " more row: " : " more rows: ") + line;
        std::fputs(summary.c_str(), out_);
    }
}

bool ConsolePlatform::print(std::string_view text, std::string_view title) {
    ++messages_;
    const std::string line = Latin1ToUtf8(title) + ": " + Latin1ToUtf8(text) + "\n";
    if (collapse_) {
        const auto [found, first] = repeats_.try_emplace(line, 0);
        if (!first) {
            ++found->second;
            return false;
        }
        repeatOrder_.push_back(line);
    }
    std::fputs(line.c_str(), out_);
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
