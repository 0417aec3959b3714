// A Platform that shows nothing and records every call, with scripted answers: the tests'
// window on what the core would have shown the user, and the base of the command-line tool.
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tovan {

class RecordingPlatform : public Platform {
  public:
    struct Message {
        std::string text;
        MessageIcon icon = MessageIcon::None;
        std::string title;
        bool question = false;
        std::string detail{}; // the words shown beside the text, if any
        // The box as users know it; the detail beside it is checked on its own where it matters.
        friend bool operator==(const Message& a, const Message& b) {
            return a.text == b.text && a.icon == b.icon && a.title == b.title &&
                   a.question == b.question;
        }
    };

    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override;
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageIcon icon,
                             std::string_view title) override;
    Answer askYesNo(std::string_view text, MessageIcon icon, std::string_view title) override;
    std::size_t askChoice(std::string_view text, std::string_view title,
                          const std::vector<std::string>& buttons) override;
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) override;
    std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) override;
    std::string setting(std::string_view section, std::string_view key,
                        std::string_view defaultValue) override;
    void saveSetting(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void setBusy(bool busy) override;

    // Scripted answers, used in order; when none is left: No, and Cancel for dialogs.
    std::deque<Answer> answers;
    std::deque<std::size_t> choices; // for askChoice; when none is left: the last button
    std::deque<std::optional<std::string>> chosenFiles;

    std::vector<Message> messages;
    std::vector<FileDialogRequest> dialogs;
    std::map<std::pair<std::string, std::string>, std::string> settings;
    bool busy = false;       // the busy cursor is showing
    int busyTransitions = 0; // how many times the cursor was switched either way

  private:
    std::optional<std::string> nextChosenFile(const FileDialogRequest& request);
};

} // namespace tovan
