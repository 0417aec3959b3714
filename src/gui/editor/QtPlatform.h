// The desktop implementation of the core's window on the user: message boxes, the open and
// save dialogs, the per-user settings store of "Tovan 2000" and the busy cursor.
#pragma once

#include "platform/Platform.h"

#include <QPointer>
#include <QWidget>

class QSettings;

namespace tovan {

class QtPlatform : public Platform {
  public:
    // Dialogs and message boxes are placed over `parent` once it is set.
    void setParentWidget(QWidget* parent) { parent_ = parent; }

    void showMessage(std::string_view text, MessageIcon icon, std::string_view title) override;
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageIcon icon,
                             std::string_view title) override;
    Answer askYesNo(std::string_view text, MessageIcon icon, std::string_view title) override;
    std::size_t askChoice(std::string_view text, std::string_view title,
                          const std::vector<std::string>& buttons) override;
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest& request) override;
    // The next open dialog is not shown: `path` is taken as the user's choice. This is how a
    // deck named on the command line goes through the ordinary open command.
    void answerNextOpenDialog(const QString& path) { nextOpenAnswer_ = path; }
    std::optional<std::string> chooseFileToSave(const FileDialogRequest& request) override;
    std::string setting(std::string_view section, std::string_view key,
                        std::string_view defaultValue) override;
    void saveSetting(std::string_view section, std::string_view key,
                     std::string_view value) override;
    void setBusy(bool busy) override;

    // "Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*" in Qt's ";;" form.
    static QString qtFilter(const std::string& filter);
    // The folder the dialog opens in: empty when the stored one does not exist here (the
    // Windows default "C:\" on other systems), so that the dialog picks its own.
    static QString existingFolder(const std::string& folder);

  private:
    std::optional<std::string> afterChoice(const QString& chosen);

    QPointer<QWidget> parent_;
    std::optional<QString> nextOpenAnswer_;
    bool busy_ = false;
};

// The settings store shared by the whole program: organisation and application "Tovan 2000".
QSettings* NewTovanSettings();

} // namespace tovan
