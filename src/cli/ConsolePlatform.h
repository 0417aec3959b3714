// The platform of tovandeck: every message box becomes one line on standard error, written as
// the box's title, a colon, a blank and the text. There are no dialogs and no questions.
#pragma once

#include "platform/Platform.h"

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tovan::cli {

class ConsolePlatform : public Platform {
  public:
    explicit ConsolePlatform(std::FILE* out = stderr) : out_(out) {}
    // Tells how often each repeated message was left out (see collapseRepeats).
    ~ConsolePlatform() override;
    ConsolePlatform(const ConsolePlatform&) = delete;
    ConsolePlatform& operator=(const ConsolePlatform&) = delete;

    // A rule broken in every row of a large deck would print its message millions of times.
    // When set, a message is printed the first time only and counted afterwards; the counts
    // follow at the end ("... and 4,999,998 more rows: SaveFile: ...").
    void collapseRepeats(bool collapse) { collapse_ = collapse; }

    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override;
    // The detail goes on a second line, indented, so that the first line stays the box's text.
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageIcon icon,
                             std::string_view title) override;
    Answer askYesNo(std::string_view text, MessageIcon icon, std::string_view title) override;
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseFileToSave(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::string setting(std::string_view section, std::string_view key,
                        std::string_view defaultValue) override;
    void saveSetting(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void setBusy(bool) override {}

    int messageCount() const { return messages_; }

  private:
    bool print(std::string_view text, std::string_view title); // false when left out

    std::FILE* out_;
    int messages_ = 0;
    bool collapse_ = false;
    std::map<std::string, long long, std::less<>> repeats_; // "title: text" -> times left out
    std::vector<std::string> repeatOrder_;
    std::string key_; // reused, so that a repeat costs no allocation
    std::map<std::string, std::string, std::less<>> settings_; // for this run only
};

} // namespace tovan::cli
