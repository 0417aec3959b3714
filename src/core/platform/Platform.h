// The only way the core reaches the user: message boxes, Yes/No questions, file dialogs, the
// per-user settings store and the busy cursor. The desktop application implements it with Qt,
// the command-line tool with standard error, and the tests with RecordingPlatform.
//
// Texts shown to the user (messages, titles) are single-byte Latin-1, like the deck itself.
// File paths are the system's own narrow encoding (UTF-8 on Linux).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovan {

// The title of a message box that has no title of its own.
inline constexpr std::string_view kApplicationTitle = "Tovan2000";

enum class MessageIcon { None, Information, Exclamation, Critical, Question };

enum class Answer { Yes, No };

struct FileDialogRequest {
    std::string title;
    std::string filter;           // "Tovan Files (*.tvi)|*.tvi" style: description|pattern pairs
    std::string initialDirectory; // empty: the dialog's own choice
    std::string defaultExtension; // without the point; empty for none
    std::string fileName;         // proposed file name, may be empty
};

class Platform {
  public:
    virtual ~Platform() = default;

    // A message box with an OK button.
    virtual void showMessage(std::string_view text, MessageIcon icon, std::string_view title) = 0;
    // The same box with more words beside its text (why a save or an open failed, the line of
    // a deck), so that the text users know stays as it is. A platform that cannot show the
    // detail shows the box without it.
    virtual void showDetailedMessage(std::string_view text, std::string_view detail,
                                     MessageIcon icon, std::string_view title) {
        (void)detail;
        showMessage(text, icon, title);
    }
    // A message box with Yes and No buttons.
    virtual Answer askYesNo(std::string_view text, MessageIcon icon, std::string_view title) = 0;
    // A question with buttons of its own; returns the index of the button chosen. Without a
    // user to ask, the last button, which should be the one that changes nothing.
    virtual std::size_t askChoice(std::string_view text, std::string_view title,
                                  const std::vector<std::string>& buttons) {
        (void)text;
        (void)title;
        return buttons.empty() ? 0 : buttons.size() - 1;
    }

    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) = 0;

    // The per-user settings store of the application "Tovan 2000", values held as text.
    virtual std::string setting(std::string_view section, std::string_view key,
                                std::string_view defaultValue) = 0;
    virtual void saveSetting(std::string_view section, std::string_view key,
                             std::string_view value) = 0;

    // Shows or restores the busy cursor. A state, not a count: setBusy(false) restores the
    // normal cursor however often setBusy(true) was called, and does nothing when not busy.
    virtual void setBusy(bool busy) = 0;
};

// A platform that passes everything to another; a subclass changes what it takes over.
class ForwardingPlatform : public Platform {
  public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override {
        inner_.showMessage(text, icon, title);
    }
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageIcon icon,
                             std::string_view title) override {
        inner_.showDetailedMessage(text, detail, icon, title);
    }
    Answer askYesNo(std::string_view text, MessageIcon icon, std::string_view title) override {
        return inner_.askYesNo(text, icon, title);
    }
    std::size_t askChoice(std::string_view text, std::string_view title,
                          const std::vector<std::string>& buttons) override {
        return inner_.askChoice(text, title, buttons);
    }
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) override {
        return inner_.chooseFileToOpen(request);
    }
    std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) override {
        return inner_.chooseFileToSave(request);
    }
    std::string setting(std::string_view section, std::string_view key,
                        std::string_view defaultValue) override {
        return inner_.setting(section, key, defaultValue);
    }
    void saveSetting(std::string_view section, std::string_view key,
                     std::string_view value) override {
        inner_.saveSetting(section, key, value);
    }
    void setBusy(bool busy) override { inner_.setBusy(busy); }

  private:
    Platform& inner_;
};

// Shows the busy cursor for the lifetime of the object, whatever way the scope is left.
// For the outermost scope only, since the cursor is a state.
class BusyCursor {
  public:
    explicit BusyCursor(Platform& platform) : platform_(platform) { platform_.setBusy(true); }
    ~BusyCursor() { platform_.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

  private:
    Platform& platform_;
};

} // namespace tovan
